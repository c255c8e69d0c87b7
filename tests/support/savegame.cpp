#include "support/savegame.h"

#include <QRegularExpression>

QList<int> SaveGame::ReportedCounts(const QStringList &addresses)
{
    static const QRegularExpression report(QStringLiteral("/save/report\\?n=(\\d+)$"));
    QList<int> counts;
    for (const QString &a : addresses) {
        const QRegularExpressionMatch m = report.match(a);
        if (m.hasMatch())
            counts << m.captured(1).toInt();
    }
    return counts;
}

void RequestLog::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    urls << info.requestUrl().toString();
}

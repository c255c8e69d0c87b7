#include "services/updatenotice.h"

#include <QRegularExpression>
#include <QStringList>

namespace
{
const QString SEPARATOR = QStringLiteral("====");
}

UpdateNotice ParseUpdateNotice(const QString &text)
{
    UpdateNotice notice;
    if (text.isEmpty() || !text.contains(SEPARATOR))
        return notice;
    notice.usable = true;
    const QStringList parts = text.split(SEPARATOR);
    notice.exitPromoFlag = parts.at(0);
    bool isNumber = false;
    const double promotion = parts.at(1).toDouble(&isNumber);
    notice.floatingPromotion = isNumber && promotion == 1.0;
    if (parts.size() > 2) {
        QString version = QString(parts.at(2)).remove(QStringLiteral("\r\n"));
        // A notice saved on another system ends in a bare LF (or blanks).
        qsizetype end = version.size();
        while (end > 0 && QStringView(u" \t\r\n").contains(version.at(end - 1)))
            --end;
        version.truncate(end);
        notice.latestVersion = version;
    }
    return notice;
}

double VersionNumberValue(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^[ \\t\\r\\n]*([+-]?(?:\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch m = leading.match(text);
    return m.hasMatch() ? m.captured(1).toDouble() : 0.0;
}

QString TrimmedVersion(const QString &installedVersion)
{
    qsizetype begin = 0;
    qsizetype end = installedVersion.size();
    while (begin < end && installedVersion.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && installedVersion.at(end - 1) == QLatin1Char(' '))
        --end;
    return installedVersion.mid(begin, end - begin);
}

bool UpdateOfferDue(const QString &latestVersion, const QString &installedVersion)
{
    return OnDemandOfferDue(latestVersion, installedVersion) && VersionNumberValue(latestVersion) != 0.0;
}

bool OnDemandOfferDue(const QString &latestVersion, const QString &installedVersion)
{
    return !latestVersion.isEmpty() && TrimmedVersion(installedVersion) != latestVersion;
}

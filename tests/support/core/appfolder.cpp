#include "support/core/appfolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace
{
bool isStoredByTheProgram(const QString &relative)
{
    static const QRegularExpression stored(
        QStringLiteral("^(config\\.ini|flash(/.*)?|webdata(/.*)?|app/date_[ncd]\\.dat|app/[ncd]\\.htm)$"));
    return stored.match(relative).hasMatch();
}
}

bool CopyInstalledApplication(const QString &to)
{
    const QString from = QStringLiteral(KAVO_APP_DIR);
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString relative = QDir(from).relativeFilePath(src);
        if (isStoredByTheProgram(relative))
            continue;
        const QString dst = to + QLatin1Char('/') + relative;
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(dst))
                return false;
        } else if (!QFile::copy(src, dst)
                   || !QFile::setPermissions(dst, QFileInfo(src).permissions())) {
            return false;
        }
    }
    return true;
}

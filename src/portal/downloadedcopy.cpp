#include "portal/downloadedcopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool IsPlainDecimal(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

std::optional<QString> DownloadedCopyPath(const AppPaths &paths, const QString &gameId)
{
    if (!IsPlainDecimal(gameId))
        return std::nullopt;
    return paths.flashFile(gameId);
}

bool HasDownloadedCopy(const AppPaths &paths, const QString &gameId)
{
    const auto path = DownloadedCopyPath(paths, gameId);
    return path && QFileInfo(*path).isFile();
}

bool DeleteDownloadedCopy(const AppPaths &paths, const QString &gameId)
{
    const auto path = DownloadedCopyPath(paths, gameId);
    // QFile::remove refuses folders; a link is removed, never its target.
    return path && QFile::remove(*path);
}

int DeleteAllDownloadedCopies(const AppPaths &paths)
{
    QDir flash(paths.flashDir());
    int deleted = 0;
    const QStringList names = flash.entryList({QStringLiteral("*.swf")},
                                              QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (flash.remove(name))
            ++deleted;
    }
    return deleted;
}

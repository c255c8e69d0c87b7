#include "portal/downloadedcopy.h"

#include "download/resumerules.h"

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
    if (!path)
        return false;
    // QFile::remove refuses folders; a link is removed, never its target.
    const bool partial = QFile::remove(DlResume::partialPath(*path));
    const bool record = QFile::remove(DlResume::recordPath(*path));
    return QFile::remove(*path) || partial || record;
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
    const QStringList kept = flash.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : kept) {
        const DlResume::KeptFile file = DlResume::keptFileOf(name);
        if (file.kind != DlResume::KeptKind::None
            && file.target.endsWith(QStringLiteral(".swf"), Qt::CaseInsensitive) && flash.remove(name))
            ++deleted;
    }
    return deleted;
}

#include "startup/leftoverfiles.h"

#include "common/apppaths.h"
#include "common/safefile.h"
#include "download/downloadjob.h"
#include "download/resumerules.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"

#include <QByteArray>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <functional>

namespace
{
// Regular files only: a folder or a link with such a name is not ours.
int removeMatching(const QString &folder, const std::function<bool(const QString &)> &isLeftover)
{
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink() || !entry.isFile() || !isLeftover(entry.fileName()))
            continue;
        if (QFile::remove(entry.filePath()))
            ++removed;
    }
    return removed;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A list change renames its list and then its page. A kill between the two
// renames leaves the new list with the old page, and the new page complete
// under its temporary name: that page is put in place, since it is the one
// that describes the list. Any other temporary page is removed below.
void completeInterruptedPage(const AppPaths &paths, const QString &listFile)
{
    const QString page = PageNameFor(listFile);
    const auto lines = ReadListLines(paths.dataFile(listFile));
    if (!lines)
        return;
    const QByteArray wanted = ListPageBytes(*lines);
    const QFileInfoList entries = QDir(paths.dataDir()).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink() || !SafeFile::isTemporaryNameFor(entry.fileName(), page))
            continue;
        if (readAll(entry.filePath()) == wanted && readAll(paths.dataFile(page)) != wanted) {
            SafeFile::writeWhole(paths.dataFile(page), wanted);
            return;
        }
    }
}

// The ids (second field) the downloads list names.
QSet<QString> downloadedIds(const AppPaths &paths)
{
    QSet<QString> ids;
    const auto lines = ReadListLines(paths.dataFile(DownloadsListFile()));
    if (!lines)
        return ids;
    for (const QString &line : *lines) {
        const QStringList fields = line.split(u'|');
        if (fields.size() > 1)
            ids.insert(fields.at(1));
    }
    return ids;
}

// A broken-off download's data stays for the next click while the list names
// its game; a half-written record never is of use.
bool isLeftoverOfDownload(const QString &fileName, const QSet<QString> &listed)
{
    if (DownloadJob::isTemporaryFileName(fileName))
        return true;
    const DlResume::KeptFile kept = DlResume::keptFileOf(fileName);
    const QString swf = QStringLiteral(".swf");
    switch (kept.kind) {
    case DlResume::KeptKind::RecordTemporary:
        return true;
    case DlResume::KeptKind::Partial:
    case DlResume::KeptKind::Record:
        return kept.target.endsWith(swf) && !listed.contains(kept.target.chopped(swf.size()));
    case DlResume::KeptKind::None:
        break;
    }
    return false;
}

bool isTemporaryOfAny(const QString &fileName, const QStringList &targets)
{
    for (const QString &target : targets) {
        if (SafeFile::isTemporaryNameFor(fileName, target))
            return true;
    }
    return false;
}
}

int RemoveLeftoverFiles(const AppPaths &paths)
{
    const QString config = QFileInfo(paths.configPath()).fileName();
    int removed = removeMatching(paths.appDir(), [&config](const QString &name) {
        return SafeFile::isTemporaryNameFor(name, config);
    });

    QStringList dataFiles;
    for (const QString &list : GameListFiles()) {
        completeInterruptedPage(paths, list);
        dataFiles << list << PageNameFor(list);
    }
    removed += removeMatching(paths.dataDir(), [&dataFiles](const QString &name) {
        return isTemporaryOfAny(name, dataFiles);
    });

    const QSet<QString> listed = downloadedIds(paths);
    removed += removeMatching(paths.flashDir(), [&listed](const QString &name) {
        return isLeftoverOfDownload(name, listed);
    });
    return removed;
}

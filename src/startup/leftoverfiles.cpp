#include "startup/leftoverfiles.h"

#include "common/apppaths.h"
#include "common/safefile.h"
#include "download/downloadjob.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"

#include <QByteArray>

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

    removed += removeMatching(paths.flashDir(), &DownloadJob::isTemporaryFileName);
    return removed;
}

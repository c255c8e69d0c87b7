#include "startup/processentry.h"

#include "common/apppaths.h"
#include "common/safefile.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "startup/settingsstore.h"

#include <QDir>
#include <QFileInfo>

void PrepareApplicationFolder(const AppPaths &paths)
{
    InitSettings(paths.configPath());

    QDir appDir(paths.appDir());
    if (!QFileInfo(paths.dataDir()).isDir())
        appDir.mkdir(QStringLiteral("app"));

    for (const QString &list : GameListFiles()) {
        const QString file = paths.dataFile(list);
        if (!QFileInfo::exists(file))
            SafeFile::writeWhole(file, QByteArrayLiteral("\r\n"));
    }

    // Existing pages stay as they are, even when their list file is newer.
    for (const QString &list : GameListFiles()) {
        if (!QFileInfo::exists(paths.dataFile(PageNameFor(list))))
            GenerateListPage(paths, list);
    }
}

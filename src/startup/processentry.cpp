#include "startup/processentry.h"

#include "common/apppaths.h"
#include "common/safefile.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "services/statistics.h"
#include "startup/settings.h"

#include <QDir>
#include <QFileInfo>

void PrepareApplicationFolder(const AppPaths &paths)
{
    // A per-user folder may not exist yet (a portable one always does), and
    // config.ini goes into it first.
    if (!QFileInfo(paths.dataDir()).isDir())
        QDir().mkpath(paths.dataDir());

    InitSettings(paths.configPath(), [] { return MacAddressText(); });

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

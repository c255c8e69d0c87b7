#include "startup/processentry.h"

#include "common/apppaths.h"
#include "common/safefile.h"
#include "lists/listpage.h"
#include "startup/settingsstore.h"

#include <QDir>
#include <QFileInfo>

namespace
{
const char *const LIST_FILES[] = {"date_n.dat", "date_c.dat", "date_d.dat"};
}

void PrepareApplicationFolder(const AppPaths &paths)
{
    InitSettings(paths.configPath());

    QDir appDir(paths.appDir());
    if (!QFileInfo(paths.dataDir()).isDir())
        appDir.mkdir(QStringLiteral("app"));

    for (const char *name : LIST_FILES) {
        const QString file = paths.dataFile(QString::fromLatin1(name));
        if (!QFileInfo::exists(file))
            SafeFile::writeWhole(file, QByteArrayLiteral("\r\n"));
    }

    // Existing pages stay as they are, even when their list file is newer.
    for (const char *name : LIST_FILES) {
        const QString list = QString::fromLatin1(name);
        if (!QFileInfo::exists(paths.dataFile(PageNameFor(list))))
            GenerateListPage(paths, list);
    }
}

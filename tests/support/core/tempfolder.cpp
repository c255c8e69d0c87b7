#include "support/core/tempfolder.h"

#include <QDir>

#include <cstdlib>
#include <vector>

namespace
{
std::vector<QString> &removedAtExit()
{
    static std::vector<QString> folders;
    return folders;
}

void removeAll()
{
    for (const QString &folder : removedAtExit())
        QDir(folder).removeRecursively();
}
} // namespace

TempFolder::~TempFolder()
{
    if (!isValid() || !autoRemove())
        return;
    // The list is made before the handler is registered, so that it is
    // destroyed after the handler ran.
    static const bool registered = (removedAtExit(), std::atexit(removeAll) == 0);
    if (registered)
        removedAtExit().push_back(path());
}

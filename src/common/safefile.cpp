#include "common/safefile.h"

#include <QSaveFile>

namespace SafeFile
{
bool writeWhole(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // Never fall back to writing the target in place.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
}

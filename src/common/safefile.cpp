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
    // QSaveFile::commit() does not notice a failure of its own final flush
    // (a full disk would then rename a truncated file over the old one), so
    // the buffered data is flushed and checked here first.
    if (file.write(data) != data.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
}

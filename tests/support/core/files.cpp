#include "support/core/files.h"

#include <QDirIterator>
#include <QFileInfo>

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool WriteFile(const QString &path, const QByteArray &bytes, QFile::Permissions permissions)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    return !permissions || file.setPermissions(permissions);
}

QStringList EntriesUnder(const QString &dir, QDir::Filters filters)
{
    QStringList out;
    QDirIterator it(dir, filters | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

QStringList FilesUnder(const QString &dir)
{
    return EntriesUnder(dir, QDir::Files | QDir::Hidden);
}

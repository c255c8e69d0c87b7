#include "common/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
constexpr int RANDOM_CHARS = 6;

bool isLetterOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// A replaced file keeps its permissions; a new one is readable by everybody,
// like the files the program creates otherwise.
mode_t modeFor(const QByteArray &target)
{
    struct stat st;
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    return 0644;
}

// Writes `data` to a new file "<target>.XXXXXX" and syncs it. Returns the
// temporary file's name, or an empty name (nothing left behind) on failure.
QByteArray writeTemporary(const QByteArray &target, const QByteArray &data)
{
    QByteArray name = target + '.' + QByteArray(RANDOM_CHARS, 'X');
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return QByteArray();
    bool ok = ::fchmod(fd, modeFor(target)) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    // close() can report a late write error of some file systems.
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(name.constData());
        return QByteArray();
    }
    return name;
}

// Makes the renames in a folder survive a power cut. Some file systems cannot
// sync a folder; the renames are done all the same, so this is not a failure.
void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
}

namespace SafeFile
{
bool writeWhole(const QString &path, const QByteArray &data)
{
    return writeTogether({Content{path, data}});
}

bool writeTogether(const QList<Content> &files, qsizetype *placed)
{
    if (placed)
        *placed = 0;
    QList<QByteArray> targets;
    QList<QByteArray> temporaries;
    const auto dropTemporaries = [&temporaries](qsizetype from) {
        for (qsizetype i = from; i < temporaries.size(); ++i)
            ::unlink(temporaries.at(i).constData());
    };

    for (const Content &file : files) {
        targets.append(QFile::encodeName(file.path));
        const QByteArray temporary = writeTemporary(targets.last(), file.data);
        if (temporary.isEmpty()) {
            dropTemporaries(0);
            return false;
        }
        temporaries.append(temporary);
    }

    QSet<QByteArray> folders;
    qsizetype done = 0;
    for (; done < targets.size(); ++done) {
        if (::rename(temporaries.at(done).constData(), targets.at(done).constData()) != 0)
            break;
        folders.insert(QFile::encodeName(QFileInfo(files.at(done).path).path()));
    }
    dropTemporaries(done);
    for (const QByteArray &folder : std::as_const(folders))
        syncFolder(folder);
    if (placed)
        *placed = done;
    return done == targets.size();
}

bool isTemporaryNameFor(const QString &fileName, const QString &targetName)
{
    if (fileName.size() != targetName.size() + 1 + RANDOM_CHARS || !fileName.startsWith(targetName)
        || fileName.at(targetName.size()) != QLatin1Char('.'))
        return false;
    for (qsizetype i = targetName.size() + 1; i < fileName.size(); ++i) {
        if (!isLetterOrDigit(fileName.at(i)))
            return false;
    }
    return true;
}
}

#include "download/dlrules.h"

namespace DlRules
{
namespace
{
bool isSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

qsizetype lastSeparator(const QString &text)
{
    return qMax(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
}
}

QString lastPart(const QString &text, const QString &separator)
{
    if (separator.isEmpty())
        return text;
    const qsizetype pos = text.lastIndexOf(separator, -1, Qt::CaseSensitive);
    return pos < 0 ? text : text.mid(pos + separator.size());
}

QString joinPath(const QString &folder, const QString &name)
{
    if (!folder.isEmpty() && isSeparator(folder.back()))
        return folder + name;
    return folder + u'/' + name;
}

SplitPath splitSaveFilePath(const QString &path)
{
    const qsizetype pos = lastSeparator(path);
    if (pos < 0)
        return {QString(), path};
    return {path.left(pos + 1), path.mid(pos + 1)};
}

QString redirectFileTitle(const QString &redirectUrl)
{
    const qsizetype pos = lastSeparator(redirectUrl);
    return pos < 0 ? redirectUrl : redirectUrl.mid(pos + 1);
}

QString localPath(const QString &path)
{
    QString result = path;
    result.replace(u'\\', u'/');
    return result;
}

bool renameOnRedirectReading(bool failOnRedirect, bool storedRenameOnRedirect)
{
    return !failOnRedirect && storedRenameOnRedirect;
}

QString redirectedText(const QString &newUrl)
{
    return QStringLiteral("Redirected to ") + newUrl;
}

QString zeroBytesText()
{
    return QStringLiteral("Zero bytes retrieved");
}

QString writeFailedText(const QString &reason, const QString &saveFileName)
{
    return reason + QStringLiteral(" [") + saveFileName + u']';
}

float progressFraction(qint64 bytesRead, qint64 bytesMax)
{
    if (bytesMax <= 0)
        return 0.0f;
    return float(double(bytesRead) / double(bytesMax));
}

bool isFlashMovie(QByteArrayView head, qint64 size)
{
    if (head.size() < FLASH_HEADER_SIZE || size < FLASH_HEADER_SIZE)
        return false;
    const QByteArrayView signature = head.first(3);
    const bool plain = signature == "FWS";
    if (!plain && signature != "CWS" && signature != "ZWS")
        return false;
    const int version = static_cast<unsigned char>(head[3]);
    if (version < 1 || version > 64)
        return false;
    qint64 length = 0;
    for (int i = 7; i >= 4; --i)
        length = (length << 8) | static_cast<unsigned char>(head[i]);
    // The smallest movie: the header, a one-byte frame rectangle, rate and
    // count, and the end tag.
    constexpr qint64 smallest = FLASH_HEADER_SIZE + 1 + 4 + 2;
    if (length < smallest || length > MAX_FLASH_MOVIE)
        return false;
    if (plain)
        return length <= size;
    // zlib and LZMA add a few bytes a block at worst; ZWS also carries its
    // own header of nine bytes.
    return length + size / 128 + 64 >= size - FLASH_HEADER_SIZE;
}

QString notFlashMovieText()
{
    return QStringLiteral("Not a Flash movie");
}
}

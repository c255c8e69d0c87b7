#include "lists/listfile.h"

#include "common/textcodec.h"

#include <QFile>

#include <utility>

QString RecentListFile()
{
    return QStringLiteral("date_n.dat");
}

QString FavouritesListFile()
{
    return QStringLiteral("date_c.dat");
}

QString DownloadsListFile()
{
    return QStringLiteral("date_d.dat");
}

QStringList GameListFiles()
{
    return {RecentListFile(), FavouritesListFile(), DownloadsListFile()};
}

QString PageNameFor(const QString &listFile)
{
    if (listFile == FavouritesListFile())
        return QStringLiteral("c.htm");
    if (listFile == RecentListFile())
        return QStringLiteral("n.htm");
    return QStringLiteral("d.htm");
}

std::optional<QByteArray> ReadListBytes(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<QString> ReadListText(const QString &filePath)
{
    const auto bytes = ReadListBytes(filePath);
    if (!bytes)
        return std::nullopt;
    return TextCodec::fromAnsi(*bytes);
}

std::optional<QStringList> ReadListLines(const QString &filePath)
{
    const auto text = ReadListText(filePath);
    if (!text)
        return std::nullopt;
    QStringList lines;
    for (const QStringView line : ListLineViews(*text))
        lines.append(line.toString());
    return lines;
}

namespace
{
// Every list change splits a whole list: lines and fields are views, not
// strings of their own. `View` is QStringView, or QByteArrayView for ASCII.
template<typename View>
QList<View> lineViews(View text)
{
    QList<View> lines;
    qsizetype start = 0;
    for (qsizetype cr = text.indexOf('\r'); cr >= 0; cr = text.indexOf('\r', cr + 1)) {
        if (cr + 1 < text.size() && text.at(cr + 1) == '\n') {
            lines.append(text.sliced(start, cr - start));
            start = cr + 2;
            ++cr;
        }
    }
    // A final CR LF ends the last line rather than starting an empty one.
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

// `View`'s own search finds the separators (memchr for bytes, a vector
// search for UTF-16), which matters on every list change's thousands of lines.
template<typename View>
View field(View line, int index)
{
    qsizetype begin = 0;
    for (; index > 0; --index) {
        const qsizetype bar = line.indexOf('|', begin);
        if (bar < 0)
            return View();
        begin = bar + 1;
    }
    const qsizetype end = line.indexOf('|', begin);
    return line.sliced(begin, (end < 0 ? line.size() : end) - begin);
}
}

QList<QStringView> ListLineViews(QStringView text)
{
    return lineViews(text);
}

QList<QByteArrayView> ListLineViews(QByteArrayView asciiText)
{
    return lineViews(asciiText);
}

QStringView ListField(QStringView line, int index)
{
    return field(line, index);
}

QByteArrayView ListField(QByteArrayView line, int index)
{
    return field(line, index);
}

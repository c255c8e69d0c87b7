#include "lists/listfile.h"

#include "common/textcodec.h"

#include <QFile>

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

std::optional<QString> ReadListText(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return TextCodec::fromAnsi(file.readAll());
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

// Every list change splits a whole list: lines and fields are views, not
// strings of their own.
QList<QStringView> ListLineViews(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', cr + 1)) {
        if (cr + 1 < text.size() && text.at(cr + 1) == u'\n') {
            lines.append(text.mid(start, cr - start));
            start = cr + 2;
            ++cr;
        }
    }
    // A final CR LF ends the last line rather than starting an empty one.
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QStringView ListField(QStringView line, int index)
{
    const char16_t *p = line.utf16();
    const char16_t *const end = p + line.size();
    for (; index > 0; --index) {
        while (p < end && *p != u'|')
            ++p;
        if (p == end)
            return QStringView();
        ++p;
    }
    const char16_t *fieldEnd = p;
    while (fieldEnd < end && *fieldEnd != u'|')
        ++fieldEnd;
    return QStringView(p, fieldEnd);
}

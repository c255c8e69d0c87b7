#include "lists/gamelist.h"

#include "common/safefile.h"
#include "common/textcodec.h"
#include "lists/listpage.h"

#include <QFile>

namespace
{
const QString CRLF = QStringLiteral("\r\n");
const QChar SEPARATOR = QLatin1Char('|');

int oldLinesKept(const QString &listFile)
{
    return (listFile == QLatin1String("date_c.dat") || listFile == QLatin1String("date_n.dat"))
        ? 100
        : 2000;
}

// A "|" or a line break inside a received name or address would shift the
// record's fields or split it in two lines. They are stored in the escaped
// form the page decodes, so the name still shows as received.
QString fieldText(QString text)
{
    text.replace(QLatin1Char('|'), QLatin1String("%7C"));
    text.replace(QLatin1Char('\r'), QLatin1String("%0D"));
    text.replace(QLatin1Char('\n'), QLatin1String("%0A"));
    return text;
}

QStringList linesOf(const QString &text)
{
    QStringList lines;
    for (const QStringView line : ListLineViews(text))
        lines.append(line.toString());
    return lines;
}

std::optional<QString> readListText(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return TextCodec::fromAnsi(file.readAll());
}

// Puts the new list and its page in place together. The page is made from the
// bytes the list file will hold, so it is exactly the page that generating it
// from the file would give. Both are written completely before either is
// renamed; the list goes first, so a kill between the two renames leaves a
// page one change behind, which the next change or a regeneration replaces.
// On a failed write nothing changes and the list pane is not refreshed.
bool commitList(const AppPaths &paths, const QString &listFile, const QString &text)
{
    const QByteArray listBytes = TextCodec::toAnsi(text);
    const QString pagePath = paths.dataFile(PageNameFor(listFile));
    // The page shows what the file will hold; the text itself when it
    // survives encoding unchanged.
    const QString stored = TextCodec::isAnsiExact(text) ? text : TextCodec::fromAnsi(listBytes);
    const QByteArray pageBytes = ListPageBytes(ListLineViews(stored));
    qsizetype placed = 0;
    const bool written = SafeFile::writeTogether(
        {{paths.dataFile(listFile), listBytes}, {pagePath, pageBytes}}, &placed);
    if (placed == 0)
        return false;
    // The list is new but its page could not be renamed over the old one: a
    // page that does not match its list must not stay, since its links act
    // on line numbers. Without a page the next start generates it.
    if (!written && !SafeFile::writeWhole(pagePath, pageBytes))
        QFile::remove(pagePath);
    RefreshListPane();
    return true;
}
}

QStringList GameListFiles()
{
    return {QStringLiteral("date_n.dat"), QStringLiteral("date_c.dat"), QStringLiteral("date_d.dat")};
}

std::optional<QStringList> ReadListLines(const QString &filePath)
{
    const auto text = readListText(filePath);
    if (!text)
        return std::nullopt;
    return linesOf(*text);
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

bool AddGameRecord(const AppPaths &paths, const QString &name, const QString &gameId,
                   const QString &address, int kind, const QString &listFile)
{
    const auto old = readListText(paths.dataFile(listFile));
    if (!old)
        return false;
    const QList<QStringView> lines = ListLineViews(*old);

    const QString record = fieldText(name) + SEPARATOR + gameId + SEPARATOR + fieldText(address)
        + SEPARATOR + QString::number(kind);
    const int limit = qMin(oldLinesKept(listFile), int(lines.size()));
    qsizetype size = record.size() + 2 * CRLF.size();
    for (int i = 0; i < limit; ++i)
        size += lines.at(i).size() + CRLF.size();
    QString text;
    text.reserve(size);
    text += record;
    text += CRLF;
    bool keptAny = false;
    for (int i = 0; i < limit; ++i) {
        const QStringView line = lines.at(i);
        const QStringView id = ListField(line, 1);
        if (id.isNull() || id == gameId)
            continue;
        text += line;
        text += CRLF;
        keptAny = true;
    }
    // The kept lines end without a line break of their own.
    if (keptAny)
        text.chop(CRLF.size());
    text += CRLF;

    return commitList(paths, listFile, text);
}

bool RemoveGameLine(const AppPaths &paths, const QString &listFile, int lineNumber)
{
    const QString filePath = paths.dataFile(listFile);
    const auto lines = ReadListLines(filePath);
    if (!lines)
        return false;

    QString kept;
    for (int i = 0; i < lines->size(); ++i) {
        if (i + 1 != lineNumber)
            kept += lines->at(i) + CRLF;
    }
    for (int n = 0; n < 2 && kept.endsWith(CRLF); ++n)
        kept.chop(CRLF.size());

    return commitList(paths, listFile, kept + CRLF);
}

bool ClearGameList(const AppPaths &paths, const QString &listFile)
{
    const QString filePath = paths.dataFile(listFile);
    if (!QFile::exists(filePath))
        return false;
    return commitList(paths, listFile, CRLF);
}

std::optional<QStringList> ReadGameLine(const AppPaths &paths, const QString &listFile,
                                        int lineNumber)
{
    const auto lines = ReadListLines(paths.dataFile(listFile));
    if (!lines || lineNumber < 1 || lineNumber > lines->size())
        return std::nullopt;
    return lines->at(lineNumber - 1).split(SEPARATOR);
}

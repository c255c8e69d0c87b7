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
    return listFile == FavouritesListFile() || listFile == RecentListFile() ? 100 : 2000;
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

// Puts the new list and its page in place together: `lines` are the lines
// the list file will hold, the page is made from them. Both are written
// completely before either is renamed; the list goes first, so a kill between
// the two renames leaves a page one change behind, which the next change or a
// regeneration replaces. On a failed write nothing changes and the list pane
// is not refreshed.
bool commitList(const AppPaths &paths, const QString &listFile, const QByteArray &listBytes,
                const QList<QStringView> &lines)
{
    const QString pagePath = paths.dataFile(PageNameFor(listFile));
    const QByteArray pageBytes = ListPageBytes(lines);
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

// The same for a list given as its whole text.
bool commitText(const AppPaths &paths, const QString &listFile, const QString &text)
{
    const QByteArray listBytes = TextCodec::toAnsi(text);
    // The page shows what the file will hold; the text itself when it
    // survives encoding unchanged.
    const QString stored = TextCodec::isAnsiExact(text) ? text : TextCodec::fromAnsi(listBytes);
    return commitList(paths, listFile, listBytes, ListLineViews(stored));
}
}

bool AddGameRecord(const AppPaths &paths, const QString &name, const QString &gameId,
                   const QString &address, int kind, const QString &listFile)
{
    const auto old = ReadListText(paths.dataFile(listFile));
    if (!old)
        return false;
    const QList<QStringView> lines = ListLineViews(*old);

    const QString record = fieldText(name) + SEPARATOR + gameId + SEPARATOR + fieldText(address)
        + SEPARATOR + QString::number(kind);
    // The new list: the record, then the old lines up to the limit but the
    // game's own; each line ends with a line break, and a list of the record
    // alone ends with an empty line.
    const int limit = qMin(oldLinesKept(listFile), int(lines.size()));
    QList<QStringView> kept;
    kept.reserve(limit + 1);
    kept.append(record);
    qsizetype units = record.size();
    for (int i = 0; i < limit; ++i) {
        const QStringView line = lines.at(i);
        const QStringView id = ListField(line, 1);
        if (id.isNull() || id == gameId)
            continue;
        kept.append(line);
        units += line.size();
    }
    const qsizetype breaks = kept.size() == 1 ? 2 : kept.size();

    // Usually the lines go to the file as they are: encoded straight into it,
    // and the page is made from them without reading the text back. A game id
    // with a line break (the record becomes two lines) or text the code page
    // does not give back unchanged takes the way through the whole text.
    if (!record.contains(QLatin1Char('\r')) && !record.contains(QLatin1Char('\n'))
        && TextCodec::isAnsiExact(record) && TextCodec::isAnsiExact(*old)) {
        QByteArray listBytes(2 * units + breaks * CRLF.size(), Qt::Uninitialized);
        char *d = listBytes.data();
        for (const QStringView line : std::as_const(kept)) {
            d = TextCodec::encodeAnsi(line, d);
            *d++ = '\r';
            *d++ = '\n';
        }
        if (kept.size() == 1) {
            *d++ = '\r';
            *d++ = '\n';
        }
        listBytes.truncate(d - listBytes.constData());
        return commitList(paths, listFile, listBytes, kept);
    }
    QString text;
    text.reserve(units + breaks * CRLF.size());
    for (const QStringView line : std::as_const(kept)) {
        text += line;
        text += CRLF;
    }
    if (kept.size() == 1)
        text += CRLF;
    return commitText(paths, listFile, text);
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

    return commitText(paths, listFile, kept + CRLF);
}

bool ClearGameList(const AppPaths &paths, const QString &listFile)
{
    const QString filePath = paths.dataFile(listFile);
    if (!QFile::exists(filePath))
        return false;
    return commitText(paths, listFile, CRLF);
}

std::optional<QStringList> ReadGameLine(const AppPaths &paths, const QString &listFile,
                                        int lineNumber)
{
    const auto lines = ReadListLines(paths.dataFile(listFile));
    if (!lines || lineNumber < 1 || lineNumber > lines->size())
        return std::nullopt;
    return lines->at(lineNumber - 1).split(SEPARATOR);
}

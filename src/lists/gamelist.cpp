#include "lists/gamelist.h"

#include "common/safefile.h"
#include "common/textcodec.h"
#include "lists/listpage.h"

#include <QFile>

#include <algorithm>

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

// Puts the new list and its page in place together; the page was made from
// the lines the list file will hold. Both are written
// completely before either is renamed; the list goes first, so a kill between
// the two renames leaves a page one change behind, which the next change or a
// regeneration replaces. On a failed write nothing changes and the list pane
// is not refreshed.
bool commitList(const AppPaths &paths, const QString &listFile, const QByteArray &listBytes,
                const QByteArray &pageBytes)
{
    const QString pagePath = paths.dataFile(PageNameFor(listFile));
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
    return commitList(paths, listFile, listBytes, ListPageBytes(ListLineViews(stored)));
}

// The new list: the record, then the old lines up to the limit but those
// with the game's id (and those without an id); each line ends with a line
// break, and a list of the record alone ends with an empty line. `View` is
// QStringView, or QByteArrayView for an all-ASCII list.
template<typename View, typename Id>
QList<View> keptLines(View record, const QList<View> &lines, int limit, const Id &gameId, qsizetype *units)
{
    QList<View> kept;
    kept.reserve(limit + 1);
    kept.append(record);
    *units = record.size();
    for (int i = 0; i < limit; ++i) {
        const View line = lines.at(i);
        const View id = ListField(line, 1);
        if (id.isNull() || id == gameId)
            continue;
        kept.append(line);
        *units += line.size();
    }
    return kept;
}

// The kept lines of `View` as the list file's text (`Text` QString or
// QByteArray), each with its line break; a record alone is followed by an
// empty line. The lines take `units` units.
template<typename Text, typename View>
Text joinedLines(const QList<View> &kept, qsizetype units, const Text &lineBreak)
{
    Text text;
    text.reserve(units + (kept.size() + 1) * lineBreak.size());
    for (const View line : kept) {
        text += line;
        text += lineBreak;
    }
    if (kept.size() == 1)
        text += lineBreak;
    return text;
}
}

bool AddGameRecord(const AppPaths &paths, const QString &name, const QString &gameId,
                   const QString &address, int kind, const QString &listFile)
{
    const auto old = ReadListBytes(paths.dataFile(listFile));
    if (!old)
        return false;
    const QString record = fieldText(name) + SEPARATOR + gameId + SEPARATOR + fieldText(address)
        + SEPARATOR + QString::number(kind);
    // A game id with a line break makes two lines of the record: the new
    // list then goes through its whole text.
    const bool oneLine = !record.contains(QLatin1Char('\r')) && !record.contains(QLatin1Char('\n'));

    // Usually the list is all ASCII (names and addresses come escaped):
    // then its bytes are its text, and the kept lines are copied as bytes.
    const bool asciiRecord = std::all_of(record.cbegin(), record.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (oneLine && asciiRecord && TextCodec::isAscii(*old)) {
        const QByteArray recordBytes = record.toLatin1();
        const QList<QByteArrayView> lines = ListLineViews(QByteArrayView(*old));
        const int limit = qMin(oldLinesKept(listFile), int(lines.size()));
        qsizetype units = 0;
        const QByteArray id = gameId.toLatin1();
        const QList<QByteArrayView> kept = keptLines(QByteArrayView(recordBytes), lines, limit, id, &units);
        return commitList(paths, listFile, joinedLines(kept, units, QByteArray("\r\n")), ListPageBytes(kept));
    }

    // Other lists go through their whole text, which is encoded once and
    // read back for the page when GBK does not give it back unchanged.
    const QString oldText = TextCodec::fromAnsi(*old);
    const QList<QStringView> lines = ListLineViews(oldText);
    const int limit = qMin(oldLinesKept(listFile), int(lines.size()));
    qsizetype units = 0;
    const QList<QStringView> kept = keptLines(QStringView(record), lines, limit, gameId, &units);
    return commitText(paths, listFile, joinedLines(kept, units, CRLF));
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

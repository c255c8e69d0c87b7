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

bool AddGameRecord(const AppPaths &paths, const QString &name, const QString &gameId,
                   const QString &address, int kind, const QString &listFile)
{
    const auto old = ReadListText(paths.dataFile(listFile));
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

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
    if (text.isEmpty())
        return QStringList();
    QStringList lines = text.split(CRLF);
    if (text.endsWith(CRLF))
        lines.removeLast();
    return lines;
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
    const QByteArray pageBytes = ListPageBytes(linesOf(TextCodec::fromAnsi(listBytes)));
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
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return linesOf(TextCodec::fromAnsi(file.readAll()));
}

bool AddGameRecord(const AppPaths &paths, const QString &name, const QString &gameId,
                   const QString &address, int kind, const QString &listFile)
{
    const QString filePath = paths.dataFile(listFile);
    const auto lines = ReadListLines(filePath);
    if (!lines)
        return false;

    const QString record = fieldText(name) + SEPARATOR + gameId + SEPARATOR + fieldText(address)
        + SEPARATOR + QString::number(kind);
    QString kept;
    const int limit = qMin(oldLinesKept(listFile), int(lines->size()));
    for (int i = 0; i < limit; ++i) {
        const QString &line = lines->at(i);
        if (!line.contains(SEPARATOR) || line.section(SEPARATOR, 1, 1) == gameId)
            continue;
        kept += line + CRLF;
    }
    if (kept.endsWith(CRLF))
        kept.chop(CRLF.size());

    return commitList(paths, listFile, record + CRLF + kept + CRLF);
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

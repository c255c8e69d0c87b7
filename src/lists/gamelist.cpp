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

bool writeList(const QString &filePath, const QString &text)
{
    return SafeFile::writeWhole(filePath, TextCodec::toAnsi(text));
}
}

std::optional<QStringList> ReadListLines(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = TextCodec::fromAnsi(file.readAll());
    if (text.isEmpty())
        return QStringList();
    QStringList lines = text.split(CRLF);
    if (text.endsWith(CRLF))
        lines.removeLast();
    return lines;
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

    const bool written = writeList(filePath, record + CRLF + kept + CRLF);
    GenerateListPage(paths, listFile);
    return written;
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

    const bool written = writeList(filePath, kept + CRLF);
    GenerateListPage(paths, listFile);
    return written;
}

bool ClearGameList(const AppPaths &paths, const QString &listFile)
{
    const QString filePath = paths.dataFile(listFile);
    if (!QFile::exists(filePath))
        return false;
    const bool written = writeList(filePath, CRLF);
    GenerateListPage(paths, listFile);
    return written;
}

std::optional<QStringList> ReadGameLine(const AppPaths &paths, const QString &listFile,
                                        int lineNumber)
{
    const auto lines = ReadListLines(paths.dataFile(listFile));
    if (!lines || lineNumber < 1 || lineNumber > lines->size())
        return std::nullopt;
    return lines->at(lineNumber - 1).split(SEPARATOR);
}

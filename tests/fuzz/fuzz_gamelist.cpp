// List files can hold anything a page sent or a hand edited; every change must
// leave a list that keeps its shape and a page that describes it.
#include "fuzzcheck.h"

#include "common/apppaths.h"
#include "common/textcodec.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "support/core/files.h"

#include <QDir>
#include <QTemporaryDir>

namespace
{
const QString LISTS[] = {QStringLiteral("date_n.dat"), QStringLiteral("date_c.dat"),
                         QStringLiteral("date_d.dat"), QStringLiteral("other.dat")};

const AppPaths &paths()
{
    static QTemporaryDir dir;
    static const AppPaths p = [] {
        const AppPaths made(dir.path());
        QDir().mkpath(made.dataDir());
        return made;
    }();
    return p;
}

// Lines as a rewrite stores them: bytes that were no GBK read as U+FFFD and
// are written back as "?".
QStringList rewritten(const QStringList &lines)
{
    if (lines.isEmpty())
        return lines;
    const QString crlf = QStringLiteral("\r\n");
    return TextCodec::fromAnsi(TextCodec::toAnsi(lines.join(crlf))).split(crlf);
}

bool isRecord(const QString &line)
{
    return line.contains(QLatin1Char('|'));
}

void checkPageMatches(const QString &listFile)
{
    const auto lines = ReadListLines(paths().dataFile(listFile));
    FUZZ_CHECK(lines);
    FUZZ_CHECK(ReadFile(paths().dataFile(PageNameFor(listFile))) == ListPageBytes(*lines));
    // Nothing but the list and its page is ever left in the folder.
    const QStringList files = QDir(paths().dataDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    FUZZ_CHECK(files == QStringList({PageNameFor(listFile), listFile}) || files == QStringList({listFile, PageNameFor(listFile)}));
}

void checkAdd(const QString &listFile, const QStringList &original, const QString &id)
{
    const QStringList before = rewritten(original);
    const QStringList after = *ReadListLines(paths().dataFile(listFile));
    FUZZ_CHECK(!after.isEmpty());
    // The new record is on top with its four fields, and its id is nowhere else.
    const QStringList top = after.first().split(QLatin1Char('|'));
    FUZZ_CHECK(top.size() == 4 && top.at(1) == id);
    for (int i = 1; i < after.size(); ++i) {
        // Records only, and an empty last line when no old record was kept.
        FUZZ_CHECK(isRecord(after.at(i)) || (i == 1 && after.size() == 2 && after.at(i).isEmpty()));
        FUZZ_CHECK(after.at(i).section(QLatin1Char('|'), 1, 1) != id);
    }
    const int limit = (listFile == LISTS[0] || listFile == LISTS[1]) ? 100 : 2000;
    FUZZ_CHECK(after.size() <= limit + 1 + 1);
    // The other records keep their order: they are the first records of the
    // old list, less the one with the same id.
    QStringList kept;
    for (int i = 0; i < qMin(limit, int(before.size())); ++i) {
        if (isRecord(before.at(i)) && before.at(i).section(QLatin1Char('|'), 1, 1) != id)
            kept << before.at(i);
    }
    QStringList rest = after.mid(1);
    if (!rest.isEmpty() && rest.last().isEmpty())
        rest.removeLast();
    FUZZ_CHECK(rest == kept);
}

void checkRemove(const QStringList &before, const QStringList &after, int number)
{
    QStringList expected = rewritten(before);
    if (number >= 1 && number <= expected.size())
        expected.removeAt(number - 1);
    // The rewrite drops one trailing empty line; an empty list is one empty
    // line.
    if (!expected.isEmpty() && expected.last().isEmpty())
        expected.removeLast();
    if (expected.isEmpty())
        expected << QString();
    FUZZ_CHECK(after == expected);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString listFile = LISTS[in.ConsumeIntegralInRange<size_t>(0, std::size(LISTS) - 1)];
    QDir(paths().dataDir()).removeRecursively();
    FUZZ_CHECK(WriteFile(paths().dataFile(listFile), takeBytes(in, 8192)));
    FUZZ_CHECK(GenerateListPage(paths(), listFile));
    checkPageMatches(listFile);

    for (int step = 0; step < 8 && in.remaining_bytes() > 0; ++step) {
        const QStringList before = *ReadListLines(paths().dataFile(listFile));
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            // Callers pass ids as whole-number text.
            const QString id = QString::number(in.ConsumeIntegralInRange(-5, 300));
            const QString name = takeText(in);
            const QString address = takeText(in);
            FUZZ_CHECK(AddGameRecord(paths(), name, id, address, in.ConsumeIntegralInRange(0, 1), listFile));
            checkAdd(listFile, before, id);
            break;
        }
        case 1: {
            const int number = in.ConsumeIntegralInRange(-1, int(before.size()) + 2);
            FUZZ_CHECK(RemoveGameLine(paths(), listFile, number));
            checkRemove(before, *ReadListLines(paths().dataFile(listFile)), number);
            break;
        }
        case 2:
            FUZZ_CHECK(ClearGameList(paths(), listFile));
            FUZZ_CHECK(ReadFile(paths().dataFile(listFile)) == QByteArray("\r\n"));
            break;
        default: {
            const int number = in.ConsumeIntegralInRange(-1, int(before.size()) + 2);
            const auto fields = ReadGameLine(paths(), listFile, number);
            FUZZ_CHECK(bool(fields) == (number >= 1 && number <= before.size()));
            if (fields)
                FUZZ_CHECK(fields->join(QLatin1Char('|')) == before.at(number - 1));
            break;
        }
        }
        checkPageMatches(listFile);
    }
    return 0;
}

// Cost of adding a game to a full list: read the list, rewrite it and
// regenerate its page, as a play or download command does.
#include "common/apppaths.h"
#include "common/safefile.h"
#include "common/textcodec.h"
#include "lists/gamelist.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace
{
void fillList(const AppPaths &paths, const QString &listFile, int records)
{
    QString text;
    for (int i = 0; i < records; ++i) {
        // Names as the portal sends them: escaped Chinese plus a number.
        text += QStringLiteral("%u5766%u514B%u5927%u6218%1|%1|g/%1.swf|%2\r\n").arg(i).arg(i % 5 ? 1 : 0);
    }
    SafeFile::writeWhole(paths.dataFile(listFile), TextCodec::toAnsi(text));
}

void addToFullList(benchmark::State &state, const QString &listFile, int records)
{
    QTemporaryDir dir;
    const AppPaths paths(dir.path());
    QDir().mkpath(paths.dataDir());
    fillList(paths, listFile, records);
    int id = 1000000;
    for (auto _ : state) {
        // A new id each time, so the list stays full and the oldest record
        // drops out.
        const QString gameId = QString::number(++id);
        const bool ok = AddGameRecord(paths, QStringLiteral("%u65B0%u6E38%u620F"), gameId,
                                      QStringLiteral("g/") + gameId + QStringLiteral(".swf"), 1, listFile);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["records"] = records;
}

void BM_AddFullDownloadList(benchmark::State &state)
{
    addToFullList(state, QStringLiteral("date_d.dat"), 2001);
}

void BM_AddFullRecentList(benchmark::State &state)
{
    addToFullList(state, QStringLiteral("date_n.dat"), 101);
}
}

BENCHMARK(BM_AddFullDownloadList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddFullRecentList)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

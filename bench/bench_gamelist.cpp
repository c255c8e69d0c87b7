// Cost of adding a game to a full list (read the list, rewrite it and
// regenerate its page, as a play or download command does) against its floor:
// the durable write of the same bytes, measured in the same run. The floor
// writes the list's and the page's bytes each to a temporary file, syncs and
// renames it, and then syncs the folder once. The two are timed in turns,
// round by round, so a busy disk weighs on both alike.
//
// Usage: bench_gamelist [rounds] [folder]
//   rounds  timed rounds for each list (default 40)
//   folder  where the lists are written (default: the current folder); put
//           it on the disk whose figures matter.
#include "common/apppaths.h"
#include "common/safefile.h"
#include "common/textcodec.h"
#include "lists/gamelist.h"
#include "lists/listpage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

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

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeSynced(const QByteArray &path, const QByteArray &data)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, data.constData(), size_t(data.size())) == data.size() && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok;
}

// The floor: two files durably replaced, then their folder synced.
bool durableWrite(const QString &folder, const QByteArray &listBytes, const QByteArray &pageBytes)
{
    const QByteArray dir = QFile::encodeName(folder);
    const QByteArray list = dir + "/floor.dat";
    const QByteArray page = dir + "/floor.htm";
    if (!writeSynced(list + ".tmp", listBytes) || ::rename((list + ".tmp").constData(), list.constData()) != 0)
        return false;
    if (!writeSynced(page + ".tmp", pageBytes) || ::rename((page + ".tmp").constData(), page.constData()) != 0)
        return false;
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

struct Figures
{
    double median = 0;
    double min = 0;
    double p90 = 0;
};

Figures figuresOf(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&ms](double q) { return ms[std::min(ms.size() - 1, size_t(q * double(ms.size())))]; };
    return {ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2, ms.front(), at(0.9)};
}

double millisecondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Processor time of this thread: what the work costs without the waits for
// the disk, which a busy machine stretches.
double cpuMilliseconds()
{
    timespec ts;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Returns false when a write failed.
bool benchList(const QString &folder, const QString &listFile, int records, int rounds)
{
    QTemporaryDir dir(folder + QStringLiteral("/bench_gamelist-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a folder in %s\n", qPrintable(folder));
        return false;
    }
    const AppPaths paths(dir.path());
    QDir().mkpath(paths.dataDir());
    fillList(paths, listFile, records);

    int id = 1000000;
    const auto addOne = [&] {
        // A new id each time, so the list stays full and the oldest record
        // drops out.
        const QString gameId = QString::number(++id);
        return AddGameRecord(paths, QStringLiteral("%u65B0%u6E38%u620F"), gameId,
                             QStringLiteral("g/") + gameId + QStringLiteral(".swf"), 1, listFile);
    };
    // One untimed change first: the lists are full from then on.
    if (!addOne())
        return false;
    const QByteArray listBytes = readAll(paths.dataFile(listFile));
    const QByteArray pageBytes = readAll(paths.dataFile(PageNameFor(listFile)));

    std::vector<double> floorMs, addMs, ratios, floorCpu, addCpu;
    for (int round = 0; round < rounds; ++round) {
        double f = 0, a = 0;
        for (int turn = 0; turn < 2; ++turn) {
            QElapsedTimer timer;
            const double cpu = cpuMilliseconds();
            // Every other round the list change goes first.
            if ((turn == 0) == (round % 2 == 0)) {
                timer.start();
                if (!durableWrite(paths.dataDir(), listBytes, pageBytes))
                    return false;
                f = millisecondsOf(timer);
                floorCpu.push_back(cpuMilliseconds() - cpu);
            } else {
                timer.start();
                if (!addOne())
                    return false;
                a = millisecondsOf(timer);
                addCpu.push_back(cpuMilliseconds() - cpu);
            }
        }
        floorMs.push_back(f);
        addMs.push_back(a);
        ratios.push_back(a / f);
    }
    const Figures fl = figuresOf(floorMs);
    const Figures ad = figuresOf(addMs);
    const Figures ra = figuresOf(ratios);
    const Figures flCpu = figuresOf(floorCpu);
    const Figures adCpu = figuresOf(addCpu);
    std::printf("%s, %d records (list %lld bytes, page %lld bytes), %d rounds\n", qPrintable(listFile),
                records, static_cast<long long>(listBytes.size()), static_cast<long long>(pageBytes.size()),
                rounds);
    const char *row = "  %-34s median %7.3f ms   min %7.3f ms   p90 %7.3f ms   processor %6.3f ms\n";
    std::printf(row, "floor: durable write of the bytes", fl.median, fl.min, fl.p90, flCpu.median);
    std::printf(row, "AddGameRecord with its page", ad.median, ad.min, ad.p90, adCpu.median);
    std::printf("  ratio to the floor: %.2f (medians), %.2f (median of the rounds' ratios), %.2f (minima)\n",
                ad.median / fl.median, ra.median, ad.min / fl.min);
    return true;
}
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rounds = args.size() > 1 ? qMax(1, args.at(1).toInt()) : 40;
    const QString folder = args.size() > 2 ? args.at(2) : QDir::currentPath();
    std::printf("lists in %s\n", qPrintable(folder));
    const bool ok = benchList(folder, QStringLiteral("date_d.dat"), 2001, rounds)
        && benchList(folder, QStringLiteral("date_n.dat"), 101, rounds);
    if (!ok)
        std::fprintf(stderr, "a write failed\n");
    return ok ? 0 : 1;
}

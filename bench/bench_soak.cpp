// A long session: plays through the portal's command path, alternating the
// demo portal's games, then opens from the recent-games list page. Memory
// (PSS summed over this process, which holds the main window, and every
// engine process below it; the demo portal is left out), open file
// descriptors and the number of processes are taken after the tenth play,
// after the last play and after the last open, and memory after every play
// for the medians of ten plays and the trend over the session; at the end
// the list files and their pages must still agree.
//
// Usage: bench_soak [plays] [opens]   (defaults 200 and 50; needs a display,
// see bench/soak.sh)
#include "lists/gamelist.h"
#include "lists/listpage.h"
#include "support/gamebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEngineScript>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace
{
// The parent of a process, from "pid (name) state ppid ...": the name may
// hold spaces. 0 when the process has gone.
int parentOf(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toInt();
}

// pid and every process below it, except the demo portal: it is this
// benchmark's server, not a process of the program.
QList<int> processTree(int root)
{
    const QString portal = QFileInfo(PortalServer::binaryPath()).canonicalFilePath();
    QMultiHash<int, int> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool number = false;
        const int pid = entry.toInt(&number);
        if (!number)
            continue;
        const int parent = parentOf(pid);
        if (parent > 0 && QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() != portal)
            children.insert(parent, pid);
    }
    QList<int> tree{root};
    for (qsizetype i = 0; i < tree.size(); ++i)
        tree += children.values(tree.at(i));
    return tree;
}

// PSS and private memory (USS) of a process, in kB. PSS shares the pages of
// the libraries with every process that maps them, also other programs'
// web engine processes, so it moves when those come and go; USS does not.
std::pair<qint64, qint64> memoryKb(int pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return {0, 0};
    qint64 pss = 0;
    qint64 uss = 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const qint64 kb = line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLongLong();
        if (line.startsWith("Pss:"))
            pss = kb;
        else if (line.startsWith("Private_Clean:") || line.startsWith("Private_Dirty:"))
            uss += kb;
    }
    return {pss, uss};
}

struct Sample
{
    qint64 pss = 0;
    qint64 uss = 0;
    int processes = 0;
    int fds = 0;
    QStringList detail; // "pid kB kind" for each process
};

QString typeArgument(int pid)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray &arg : cmdline.readAll().split('\0')) {
        if (arg.startsWith("--type="))
            return QString::fromLatin1(arg.mid(7));
    }
    return QString();
}

// The engine's process kind ("zygote", "utility", ...), or the program.
// Renderers are forked from a zygote and keep its command line.
QString kindOf(int pid)
{
    const QString type = typeArgument(pid);
    if (type == QLatin1String("zygote") && typeArgument(parentOf(pid)) == QLatin1String("zygote"))
        return QStringLiteral("renderer");
    if (!type.isEmpty())
        return type;
    return pid == QCoreApplication::applicationPid() ? QStringLiteral("program") : QStringLiteral("other");
}

Sample sample()
{
    Sample s;
    const QList<int> tree = processTree(int(QCoreApplication::applicationPid()));
    s.processes = int(tree.size());
    for (int pid : tree) {
        const auto [kb, privateKb] = memoryKb(pid);
        s.pss += kb;
        s.uss += privateKb;
        s.detail << QStringLiteral("%1:%2:%3").arg(pid).arg(kb).arg(kindOf(pid));
    }
    s.fds = int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size());
    return s;
}

void report(const char *when, const Sample &s)
{
    std::printf("%-24s PSS %8lld kB   USS %8lld kB   processes %3d   file descriptors %4d\n", when,
                static_cast<long long>(s.pss), static_cast<long long>(s.uss), s.processes, s.fds);
    std::printf("    pid:kB:kind %s\n", qPrintable(s.detail.join(QLatin1Char(' '))));
    std::fflush(stdout);
}

// The list file's records are well formed and its page is the one generated
// from it.
bool listValid(const AppPaths &paths, const QString &listFile, int maxLines)
{
    const auto lines = ReadListLines(paths.dataFile(listFile));
    if (!lines || lines->size() > maxLines)
        return false;
    for (const QString &line : *lines) {
        if (!line.isEmpty() && line.split(QLatin1Char('|')).size() != 4)
            return false;
    }
    QFile page(paths.dataFile(PageNameFor(listFile)));
    return page.open(QIODevice::ReadOnly) && page.readAll() == ListPageBytes(*lines);
}

qint64 medianOf(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// Least-squares slope of values[i] over i, per step.
double slopeOf(const QList<qint64> &values)
{
    const qsizetype n = values.size();
    if (n < 2)
        return 0;
    const double meanX = (n - 1) / 2.0;
    double meanY = 0;
    for (qint64 v : values)
        meanY += double(v) / double(n);
    double num = 0;
    double den = 0;
    for (qsizetype i = 0; i < n; ++i) {
        num += (double(i) - meanX) * (double(values.at(i)) - meanY);
        den += (double(i) - meanX) * (double(i) - meanX);
    }
    return num / den;
}
}

// Waits in an event loop of its own, checking every 20 ms: QTest's waits
// sleep between rounds of events, which holds the engine's work on this
// thread back and made every game page take many times longer.
bool waitUntil(const std::function<bool()> &done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    check.setInterval(20);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    check.start();
    loop.exec();
    return done();
}

// Asks the page's script until it answers true, one question at a time.
bool askUntil(WebPane *pane, const QString &code, int ms)
{
    struct State
    {
        bool asking = false;
        bool yes = false;
    };
    const auto state = std::make_shared<State>();
    return waitUntil([&] {
        if (!state->asking && !state->yes) {
            state->asking = true;
            pane->page()->runJavaScript(code, QWebEngineScript::MainWorld, [state](const QVariant &v) {
                state->asking = false;
                state->yes = state->yes || v.toBool();
            });
        }
        return state->yes;
    }, ms);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int plays = argc > 1 ? qMax(11, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    const int opens = argc > 2 ? qMax(0, QString::fromLocal8Bit(argv[2]).toInt()) : 50;

    GameBox box;
    if (!box.start()) {
        std::fprintf(stderr, "the window or the portal did not start\n");
        return 1;
    }
    BA1 &w = *box.w;

    // The front page's games: id and escaped name as the portal links them.
    const QStringList games = {
        QStringLiteral("101$$$%1games/101.swf$$$%u5F69%u7403%u5F39%u8DF3").arg(box.base()),
        QStringLiteral("102$$$102$$$%u661F%u591C%u63A5%u82F9%u679C"),
        QStringLiteral("103$$$%1games/103.swf$$$%u5FEB%u4E50%u6253%u6C14%u7403").arg(box.base()),
        QStringLiteral("104$$$104$$$%u98CE%u8F66%u5C0F%u9547"),
        QStringLiteral("105$$$%1games/105.swf$$$%u5E78%u8FD0%u5927%u8F6C%u76D8").arg(box.base()),
        QStringLiteral("106$$$106$$$%u6781%u901F%u8D5B%u8F66%20F1"),
    };

    // Waits until the game pane has loaded the game's page and the Flash
    // runtime shows the game: a game plays for a while, as in a session.
    const auto gameLoaded = [&](QSignalSpy &loads) {
        return waitUntil([&] { return !loads.isEmpty(); }, 60000)
            && askUntil(w.game()->Web2(), QStringLiteral("(function(){var p=document.getElementById('player');"
                                               "var c=p&&p.shadowRoot&&p.shadowRoot.querySelector('canvas');"
                                               "return !!(c&&c.width);})()"),
                        60000);
    };

    // Memory depends on the game that plays: the last play's game is played
    // for the first time after the tenth play too, and that sample is the
    // like-for-like reference for growth (play 14 of 200 plays).
    const int gameCount = int(games.size());
    const int lastGame = (plays - 1) % gameCount;
    int sameGamePlay = 10;
    while ((sameGamePlay - 1) % gameCount != lastGame)
        ++sameGamePlay;
    Sample tenth;
    Sample sameGame;
    // PSS after every play: a single sample moves by up to a tenth with the
    // game renderer's garbage collection, so growth is also judged on the
    // medians of ten plays and on the trend over the whole session.
    QList<qint64> pssAfterPlay;
    for (int i = 0; i < plays; ++i) {
        const QString command = QStringLiteral("tuzoflash://") + games.at(i % games.size());
        w.npc_Click(Caption::PortalTab);
        QSignalSpy loads(w.game()->Web2(), &QWebEngineView::loadFinished);
        GameBox::followLink(w.Web1(), command, QStringLiteral("tuzomain"));
        if (!waitUntil([&] { return w.state().CurrentGameUrl == command; }, 10000) || !gameLoaded(loads)) {
            std::fprintf(stderr, "play %d (%s) did not start\n", i + 1, qPrintable(command));
            return 1;
        }
        const Sample now = sample();
        pssAfterPlay << now.pss;
        if (i + 1 == 10) {
            tenth = now;
            report("after play 10", tenth);
        }
        if (i + 1 == sameGamePlay) {
            sameGame = now;
            report(qPrintable(QStringLiteral("after play %1 (the last play's game)").arg(sameGamePlay)), sameGame);
        }
    }
    const Sample last = sample();
    report(qPrintable(QStringLiteral("after play %1").arg(plays)), last);

    // Opens from the recent list page, shown as a user sees it: its items,
    // first to sixth, in turns.
    w.lc_Click(0);
    for (int i = 0; i < opens; ++i) {
        w.npc_Click(Caption::ListTab);
        const QString before = w.state().CurrentGameUrl;
        const int line = 1 + i % games.size();
        QSignalSpy loads(w.game()->Web2(), &QWebEngineView::loadFinished);
        QSignalSpy starts(w.game()->Web2(), &QWebEngineView::loadStarted);
        // The list page reloads after each play's list change; a click that
        // falls on the page being replaced is lost, so it is given again.
        bool clicked = false;
        for (int attempt = 0; attempt < 3 && !clicked; ++attempt) {
            if (!askUntil(w.list()->Web3(), QStringLiteral("document.readyState == 'complete'"
                                                 " && !!document.querySelector('a[href^=\"open://%1\"]')")
                                      .arg(line),
                          10000)) {
                std::fprintf(stderr, "the recent list page shows no item %d\n", line);
                return 1;
            }
            GameBox::clickElement(w.list()->Web3(), QStringLiteral("a[href^=\"open://%1\"]").arg(line));
            clicked = waitUntil([&] { return !starts.isEmpty() || !loads.isEmpty(); }, 5000);
        }
        // The item at the top may be the game playing: it plays again.
        if (!gameLoaded(loads)) {
            std::fprintf(stderr, "open %d (item %d after %s) did not play\n", i + 1, line, qPrintable(before));
            return 1;
        }
        w.lc_Click(0);
    }
    const Sample opened = sample();
    report(qPrintable(QStringLiteral("after %1 list opens").arg(opens)), opened);

    const bool listsValid = listValid(box.paths, QStringLiteral("date_n.dat"), 101)
        && listValid(box.paths, QStringLiteral("date_c.dat"), 101)
        && listValid(box.paths, QStringLiteral("date_d.dat"), 2001);
    std::printf("memory after play %d / after play 10: %.3f (target <= 1.1)\n", plays,
                double(last.pss) / double(tenth.pss));
    std::printf("same game: memory after play %d / after play %d: %.3f (USS %.3f)\n", plays, sameGamePlay,
                double(last.pss) / double(sameGame.pss), double(last.uss) / double(sameGame.uss));
    std::printf("memory after the opens / after play 10: %.3f\n", double(opened.pss) / double(tenth.pss));
    std::printf("private memory (USS), same ratios: %.3f and %.3f\n", double(last.uss) / double(tenth.uss),
                double(opened.uss) / double(tenth.uss));
    const qint64 early = medianOf(pssAfterPlay.mid(5, 10));
    const qint64 late = medianOf(pssAfterPlay.mid(plays - 10));
    std::printf("medians of ten plays: plays 6-15 %lld kB, plays %d-%d %lld kB: %.3f\n", static_cast<long long>(early),
                plays - 9, plays, static_cast<long long>(late), double(late) / double(early));
    const double perHundred = 100 * slopeOf(pssAfterPlay.mid(9));
    std::printf("trend over plays 10-%d: %+.0f kB per 100 plays (%+.2f%% of play 10's memory)\n", plays, perHundred,
                100 * perHundred / double(tenth.pss));
    std::printf("processes %d -> %d -> %d, file descriptors %d -> %d -> %d\n", tenth.processes,
                last.processes, opened.processes, tenth.fds, last.fds, opened.fds);
    std::printf("list files and pages %s\n", listsValid ? "valid" : "NOT VALID");
    return listsValid ? 0 : 2;
}

// Play latency: from a click on a game in the portal's frame "tuzomain" to
// the game pane's navigation start, and to the first frame of the game drawn.
// The main window runs on a fresh application folder against the demo portal
// on a free port; the games of the portal's front page are played in turns.
// The pointer rests on the game before each click, as a user's does.
//
// Figures per play, in milliseconds from the click:
//   portal frame  the frame's page saw the mouse button go down, the click
//                 and the navigation to the play command (its own clock)
//   command       the window asks the game pane to load the game (Navigate)
//   engine        the game page's navigation start (performance.timeOrigin)
//   game page     its DOMContentLoaded (after the Flash runtime's script), the
//                 runtime's "loadeddata", and the first animation frame at
//                 which the runtime's canvas shows a picture
// The first play is reported on its own: the window's lazy parts (the game
// page not yet shown, the game pane's first real page) fall on it.
// Each play also gives the bytes its game page transferred (the page and its
// resources, by resource timing: 0 for what came from the cache, headers
// only for a 304) and the first frame counted from the command, so that the
// online plays compare with the downloaded ones.
//
// After the online plays the same games, downloaded, are played as many times
// from their copies in flash/ by the local player (the play command with the
// copy in place, as the list pages give it).
//
// With --link RATE,DELAY the demo portal plays a home line (every answer
// DELAY ms late, its body at RATE bytes per second; 2500000,40 is 20 Mbit/s):
// the online figures are then those of a real network.
//
// With --access-log FILE the portal writes every request it answers there.
//
// With --link, a new install's first play over loopback is measured first,
// in a process of its own (the benchmark with --online-only and one play), and
// the two new installs' first plays are compared.
//
// Usage: bench_playlatency [plays] [--link RATE,DELAY] [--access-log FILE] [--online-only]
// (default 20 plays; needs a display: run it with scripts/with-x.sh, see README)
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QEventLoop>
#include <QDirIterator>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <algorithm>
#include <chrono>
#include <memory>
#include <cstdio>
#include <vector>

namespace
{
double nowMs()
{
    using namespace std::chrono;
    return double(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count()) / 1000.0;
}

// In the game pane's pages, in a script world of its own: the page's
// navigation start and the animation frame at which the runtime's canvas
// first holds a picture, on the wall clock the benchmark uses.
const char PROBE[] = R"JS(
(function () {
    var probe = { start: performance.timeOrigin, frame: 0 };
    window.kavoPlayProbe = probe;
    function now() { return performance.timeOrigin + performance.now(); }
    document.addEventListener('DOMContentLoaded', function () { probe.ready = now(); });
    window.addEventListener('loadeddata', function () { probe.data = now(); }, true);
    function drawn(canvas) {
        if (!canvas || !canvas.width || !canvas.height)
            return false;
        var sample = document.createElement('canvas');
        sample.width = 16; sample.height = 16;
        var g = sample.getContext('2d');
        g.drawImage(canvas, 0, 0, 16, 16);
        var d = g.getImageData(0, 0, 16, 16).data;
        for (var i = 4; i < d.length; i += 4) {
            if (d[i] !== d[0] || d[i + 1] !== d[1] || d[i + 2] !== d[2] || d[i + 3] !== d[3])
                return true;
        }
        return false;
    }
    function look() {
        var player = document.querySelector('ruffle-player, ruffle-object, ruffle-embed');
        var canvas = player && player.shadowRoot && player.shadowRoot.querySelector('canvas');
        if (drawn(canvas)) {
            probe.frame = performance.timeOrigin + performance.now();
            return;
        }
        requestAnimationFrame(look);
    }
    requestAnimationFrame(look);
})();
)JS";

// In the portal pane's frames: when the pointer went down, when the click
// came and when the page started the navigation to the play command, kept in
// the top page's window of the same script world.
const char CLICK_PROBE[] = R"JS(
(function () {
    function now() { return performance.timeOrigin + performance.now(); }
    function note(key) {
        try { window.top.kavoClickProbe = window.top.kavoClickProbe || {}; window.top.kavoClickProbe[key] = now(); } catch (e) {}
    }
    window.addEventListener('mousedown', function () { note('down'); }, true);
    window.addEventListener('click', function () { note('click'); }, true);
    if (window.navigation)
        window.navigation.addEventListener('navigate', function () { note('navigate'); });
})();
)JS";

struct Play
{
    double bytes = -1;   // transferred by the game page, as resource timing says
    double down = -1;
    double click = -1;
    double navigate = -1;
    double command = -1;
    double engine = -1;
    double ready = -1;   // the game page's DOMContentLoaded
    double loaded = -1;  // the runtime has loaded the movie
    double frame = -1;
};

// How long the pointer rests on a game before the click.
constexpr int HOVER_MS = 600;

const quint32 PROBE_WORLD = QWebEngineScript::ApplicationWorld + 1;

// What the game page transferred over the network: the page itself and
// every resource, as the engine reports them (0 from the cache, the headers
// for a 304); the program's own files do not count, nor what the page's
// renderer took from its memory cache (no request went out for it, and the
// engine reports the first load's size for it).
const char BYTES[] = "performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))"
                     ".filter(function (e) { return /^https?:/.test(e.name) && e.requestStart > 0; })"
                     ".reduce(function (sum, e) { return sum + (e.transferSize || 0); }, 0)";

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Where the game page's time went: its runtime and game files (and anything
// else it transferred), when each was fetched (ms from `from`) and where it
// came from.
QString resourcesOf(WebPane *pane, double from)
{
    return GameBox::js(
               pane,
               QStringLiteral("performance.getEntriesByType('resource').filter(function (e) {"
                              " return e.transferSize > 0 || /ruffle|\\.wasm$|\\.swf$/.test(e.name); }).map(function (e) {"
                              " return e.name.replace(/^.*\\//, '').slice(0, 12) + ' ' + Math.round(performance.timeOrigin"
                              " + e.startTime - %1) + '-' + Math.round(performance.timeOrigin + e.responseEnd - %1)"
                              " + (/^https?:/.test(e.name) ? (e.requestStart === 0 ? ' memory' : e.transferSize === 0 ? ' cache'"
                              " : e.transferSize < 1000 ? ' 304' : ' net ' + e.transferSize) : ' local'); }).join(', ')")
                   .arg(from, 0, 'f', 1),
               PROBE_WORLD)
        .toString();
}

long long largestMovie(const QStringList &games)
{
    long long largest = 0;
    for (const QString &id : games)
        largest = qMax(largest, QFileInfo(PortalServer::gamesDir() + QLatin1Char('/') + id + QStringLiteral(".swf")).size());
    return largest;
}

void printRow(const char *label, const std::vector<double> &values)
{
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) {
        std::printf("  %-10s no figures\n", label);
        return;
    }
    std::printf("  %-10s median %8.1f ms   min %8.1f ms   max %8.1f ms\n", label, median(values),
                sorted.front(), sorted.back());
}
}

// A new install's first play over loopback: this benchmark again, in a
// process of its own (a new window, profile and engine processes), for one
// online play. The frame counted from the command, or -1.
double coldLoopbackFirstPlay()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("1"), QStringLiteral("--online-only")});
    if (!child.waitForFinished(300000))
        child.kill();
    const QString out = QString::fromLocal8Bit(child.readAllStandardOutput());
    static const QRegularExpression first(QStringLiteral("  first play  frame\\s+([0-9.]+) ms\\n"));
    const QRegularExpressionMatch m = first.match(out);
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int plays = 20;
    bool onlineOnly = false;
    QStringList portalSwitches;
    const QStringList args = QCoreApplication::arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--link") && i + 1 < args.size())
            portalSwitches << QStringLiteral("--link") << args.at(++i);
        else if (args.at(i) == QLatin1String("--access-log") && i + 1 < args.size())
            portalSwitches << QStringLiteral("--access-log") << args.at(++i);
        else if (args.at(i) == QLatin1String("--online-only"))
            onlineOnly = true;
        else
            plays = qMax(1, args.at(i).toInt());
    }

    // Over the link, a new install's first play over loopback is measured
    // first, for the comparison.
    const double coldLoopback = portalSwitches.contains(QStringLiteral("--link")) ? coldLoopbackFirstPlay() : -1;

    GameBox box;
    if (!box.start(portalSwitches)) {
        std::fprintf(stderr, "the window or the portal did not start\n");
        return 1;
    }
    BA1 &w = *box.w;

    QWebEngineScript probe;
    probe.setName(QStringLiteral("kavo-play-probe"));
    probe.setSourceCode(QString::fromUtf8(PROBE));
    probe.setInjectionPoint(QWebEngineScript::DocumentCreation);
    probe.setWorldId(PROBE_WORLD);
    probe.setRunsOnSubFrames(false);
    w.game()->Web2()->page()->scripts().insert(probe);
    // Seen by frames loaded from now on: the portal page is loaded again.
    QWebEngineScript clickProbe;
    clickProbe.setName(QStringLiteral("kavo-click-probe"));
    clickProbe.setSourceCode(QString::fromUtf8(CLICK_PROBE));
    clickProbe.setInjectionPoint(QWebEngineScript::DocumentCreation);
    clickProbe.setWorldId(PROBE_WORLD);
    clickProbe.setRunsOnSubFrames(true);
    w.Web1()->page()->scripts().insert(clickProbe);
    // The old page still answers until the new one commits: wait for the
    // new load before asking whether the portal is ready.
    bool reloaded = false;
    const QMetaObject::Connection reload =
        QObject::connect(w.Web1(), &QWebEngineView::loadFinished, &w, [&reloaded] { reloaded = true; });
    w.Web1()->Navigate(box.base());
    const bool loadedAgain = KavoTest::WaitUntil([&reloaded] { return reloaded; }, 20000);
    QObject::disconnect(reload);
    if (!loadedAgain || !box.portalReady()) {
        std::fprintf(stderr, "the portal page did not load again\n");
        return 1;
    }

    double commandAt = -1;
    QObject::connect(w.game()->Web2(), &WebPane::BeforeNavigate2, &w, [&](const QString &url, bool *) {
        if (url != QLatin1String("about:blank"))
            commandAt = nowMs();
    });

    const QStringList games = {QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("103"),
                               QStringLiteral("104"), QStringLiteral("105"), QStringLiteral("106")};
    // Online plays by clicks in the portal's frame, the games in turns.
    const auto playOnline = [&](int count, const char *label) {
    std::vector<Play> results;
    for (int i = 0; i < count; ++i) {
        const QString id = games.at(i % games.size());
        w.npc_Click(Caption::PortalTab);
        // The portal pane takes input once it is shown and has drawn again.
        (void)QTest::qWaitFor([&] { return w.Web1()->isVisible(); }, 5000);
        const QPoint at = GameBox::centreOf(w.Web1(), QStringLiteral("#g") + id, QStringLiteral("tuzomain"));
        if (at.x() < 0) {
            std::fprintf(stderr, "game %s is not on the portal page\n", qPrintable(id));
            std::exit(1);
        }
        const QString before = w.state().CurrentGameUrl;
        commandAt = -1;
        GameBox::js(w.Web1(), QStringLiteral("window.kavoClickProbe = {}"), PROBE_WORLD);
        Play play;
        double clickAt = 0;
        // The first clicks after the pane is shown again may come before the
        // page takes input; the click that plays is the one measured.
        for (int attempt = 0; attempt < 20 && w.state().CurrentGameUrl == before; ++attempt) {
            // As a user does, the pointer rests on the game before the click;
            // the portal's hover effect has ended by then.
            QTest::mouseMove(w.Web1()->focusProxy(), at);
            QTest::qWait(HOVER_MS);
            clickAt = nowMs();
            // Waited for in an event loop of its own: QTest's waits sleep
            // 10 ms between rounds of events, which the engine's work
            // between the page and the window pays several times over.
            QEventLoop played;
            QTimer::singleShot(1000, &played, &QEventLoop::quit);
            const QMetaObject::Connection seen =
                QObject::connect(w.game()->Web2(), &WebPane::BeforeNavigate2, &played, [&](const QString &url, bool *) {
                    if (url != QLatin1String("about:blank"))
                        played.quit();
                });
            QTest::mouseClick(w.Web1()->focusProxy(), Qt::LeftButton, {}, at);
            if (w.state().CurrentGameUrl == before)
                played.exec();
            QObject::disconnect(seen);
        }
        if (w.state().CurrentGameUrl == before || commandAt < 0) {
            std::fprintf(stderr, "the click on game %s did not play it\n", qPrintable(id));
            std::exit(1);
        }
        play.command = commandAt - clickAt;
        const QVariantList seen = GameBox::js(w.Web1(), QStringLiteral("var p = window.kavoClickProbe || {};"
                                                                     " window.kavoClickProbe = {};"
                                                                     " [p.down || 0, p.click || 0, p.navigate || 0]"),
                                              PROBE_WORLD)
                                      .toList();
        if (seen.size() == 3) {
            play.down = seen.at(0).toDouble() > 0 ? seen.at(0).toDouble() - clickAt : -1;
            play.click = seen.at(1).toDouble() > 0 ? seen.at(1).toDouble() - clickAt : -1;
            play.navigate = seen.at(2).toDouble() > 0 ? seen.at(2).toDouble() - clickAt : -1;
        }
        const QString read = QStringLiteral("window.kavoPlayProbe && window.kavoPlayProbe.frame ?"
                                            " [window.kavoPlayProbe.start, window.kavoPlayProbe.frame] : []");
        // Asked every 100 ms from a running event loop, so the engine's
        // work on this thread goes on at its own pace in between.
        struct Probe
        {
            QVariantList times;
            bool asking = false;
            bool done = false;
        };
        const auto state = std::make_shared<Probe>();
        {
            QEventLoop shown;
            QTimer::singleShot(30000, &shown, &QEventLoop::quit);
            QTimer ask;
            ask.setInterval(100);
            QObject::connect(&ask, &QTimer::timeout, &shown, [&, state] {
                if (state->asking || state->done)
                    return;
                state->asking = true;
                QPointer<QEventLoop> loop(&shown);
                w.game()->Web2()->page()->runJavaScript(read, PROBE_WORLD, [state, loop, clickAt](const QVariant &v) {
                    state->asking = false;
                    const QVariantList t = v.toList();
                    // The previous game's page may still answer.
                    if (state->done || t.size() != 2 || t.at(0).toDouble() < clickAt - 1)
                        return;
                    state->times = t;
                    state->done = true;
                    if (loop)
                        loop->quit();
                });
            });
            ask.start();
            shown.exec();
        }
        const QVariantList times = state->times;
        if (times.size() == 2) {
            play.engine = times.at(0).toDouble() - clickAt;
            if (times.at(1).toDouble() > 0)
                play.frame = times.at(1).toDouble() - clickAt;
        }
        const QVariantList detail = GameBox::js(w.game()->Web2(), QStringLiteral("var p = window.kavoPlayProbe || {};"
                                                                       " [p.ready || 0, p.data || 0]"),
                                                PROBE_WORLD)
                                        .toList();
        if (detail.size() == 2) {
            play.ready = detail.at(0).toDouble() > 0 ? detail.at(0).toDouble() - clickAt : -1;
            play.loaded = detail.at(1).toDouble() > 0 ? detail.at(1).toDouble() - clickAt : -1;
        }
        // Where the game page's time went: its largest resources, when each
        // was fetched (ms from the click) and whether it came from the cache.
        const QString resources = resourcesOf(w.game()->Web2(), clickAt);
        play.bytes = GameBox::js(w.game()->Web2(), QString::fromLatin1(BYTES), PROBE_WORLD).toDouble();
        std::printf("%s play %2d game %s | portal frame: down %5.1f click %5.1f navigate %5.1f | command %6.1f"
                    "  engine %6.1f | game page: ready %7.1f movie %7.1f frame %7.1f  (ms)\n",
                    label, i + 1, qPrintable(id), play.down, play.click, play.navigate, play.command, play.engine,
                    play.ready, play.loaded, play.frame);
        std::printf("        from the command: frame %7.1f ms | transferred %9.0f bytes\n", play.frame - play.command,
                    play.bytes);
        if (!resources.isEmpty())
            std::printf("        game page resources: %s\n", qPrintable(resources));
        std::fflush(stdout);
        results.push_back(play);
    }
    return results;
    };

    const qsizetype link = portalSwitches.indexOf(QStringLiteral("--link"));
    // Over the home line first, from a cold cache; then the same plays over
    // loopback, every one a repeat (the runtime is in the cache by then).
    std::vector<Play> results = playOnline(plays, link < 0 ? "online" : "online over the link");
    std::vector<Play> loopback;
    if (link >= 0) {
        if (!box.portal.start({QStringLiteral("--port"), QString::number(box.portal.port())})) {
            std::fprintf(stderr, "the portal did not start again on loopback\n");
            return 1;
        }
        loopback = playOnline(plays, "online over loopback");
    }

    if (onlineOnly) {
        std::printf("  first play  frame %8.1f ms\n", results.front().frame - results.front().command);
        return 0;
    }

    // The same games, downloaded: their copies in flash/ and the local player.
    std::vector<Play> local;
    for (const QString &id : games) {
        if (!box.placeDownloadedGame(id, QStringLiteral("%u6E38%u620F") + id)) {
            std::fprintf(stderr, "game %s could not be placed in flash/\n", qPrintable(id));
            return 1;
        }
    }
    for (int i = 0; i < plays; ++i) {
        const QString id = games.at(i % games.size());
        // From another page each time, as a user comes from the list.
        w.game()->Web2()->Navigate(QStringLiteral("about:blank"));
        (void)KavoTest::WaitUntil([&] { return w.game()->Web2()->url().toString() == QLatin1String("about:blank"); }, 10000);
        const double start = nowMs();
        commandAt = -1;
        box.play(QStringLiteral("tuzoflash://%1$$$%2games/%1.swf$$$%u6E38%u620F%1").arg(id, box.base()));
        const auto state = std::make_shared<QVariantList>();
        {
            QEventLoop shown;
            QTimer::singleShot(30000, &shown, &QEventLoop::quit);
            QTimer ask;
            ask.setInterval(50);
            bool asking = false;
            QObject::connect(&ask, &QTimer::timeout, &shown, [&, state] {
                if (asking || !state->isEmpty())
                    return;
                asking = true;
                QPointer<QEventLoop> loop(&shown);
                w.game()->Web2()->page()->runJavaScript(
                    QStringLiteral("window.kavoPlayProbe && window.kavoPlayProbe.frame ?"
                                   " [window.kavoPlayProbe.start, window.kavoPlayProbe.frame] : []"),
                    PROBE_WORLD, [state, loop, start, &asking](const QVariant &v) {
                        asking = false;
                        const QVariantList t = v.toList();
                        if (t.size() != 2 || t.at(0).toDouble() < start - 1)
                            return;
                        *state = t;
                        if (loop)
                            loop->quit();
                    });
            });
            ask.start();
            shown.exec();
        }
        Play play;
        if (commandAt >= 0 && state->size() == 2) {
            play.command = commandAt - start;
            play.frame = state->at(1).toDouble() - start;
        }
        play.bytes = GameBox::js(w.game()->Web2(), QString::fromLatin1(BYTES), PROBE_WORLD).toDouble();
        const QVariantList detail = GameBox::js(w.game()->Web2(), QStringLiteral("var p = window.kavoPlayProbe || {};"
                                                                       " [p.ready || 0, p.data || 0]"),
                                                PROBE_WORLD)
                                        .toList();
        const auto since = [&](int k) { return detail.size() == 2 && detail.at(k).toDouble() > 0 ? detail.at(k).toDouble() - commandAt : -1.0; };
        std::printf("downloaded play %2d game %s | from the command: ready %7.1f movie %7.1f frame %7.1f ms"
                    " | transferred %9.0f bytes | renderer %lld\n",
                    i + 1, qPrintable(id), since(0), since(1), play.frame - play.command, play.bytes,
                    qint64(w.game()->Web2()->page()->renderProcessPid()));
        const QString resources = resourcesOf(w.game()->Web2(), commandAt);
        if (!resources.isEmpty())
            std::printf("        game page resources: %s\n", qPrintable(resources));
        std::fflush(stdout);
        local.push_back(play);
    }

    std::vector<double> navigate, command, engine, frame, repeatFrame, repeatBytes, localFrame;
    for (const Play &p : results) {
        if (p.navigate >= 0)
            navigate.push_back(p.navigate);
        command.push_back(p.command);
        if (p.engine >= 0)
            engine.push_back(p.engine);
        if (p.frame >= 0)
            frame.push_back(p.frame);
    }
    const auto repeatsOf = [](const std::vector<Play> &v, size_t from, std::vector<double> *frames, std::vector<double> *bytes) {
        for (size_t i = from; i < v.size(); ++i) {
            if (v[i].frame >= 0)
                frames->push_back(v[i].frame - v[i].command);
            if (bytes)
                bytes->push_back(v[i].bytes);
        }
    };
    repeatsOf(results, 1, &repeatFrame, &repeatBytes);
    std::vector<double> loopFrame;
    repeatsOf(loopback, 0, &loopFrame, nullptr);
    repeatsOf(local, 1, &localFrame, nullptr);
    std::printf("%d plays, from the click:\n", plays);
    printRow("navigate", navigate);
    printRow("command", command);
    printRow("engine", engine);
    printRow("frame", frame);
    std::printf("first play: command %.1f ms, engine %.1f ms, frame %.1f ms (target: under 50 ms to the"
                " navigation start)\n",
                results.front().command, results.front().engine, results.front().frame);
    std::printf("online, from the command (%s):\n",
                link < 0 ? "loopback" : qPrintable(QStringLiteral("link ") + portalSwitches.at(link + 1)));
    std::printf("  first play  frame %8.1f ms   transferred %10.0f bytes\n",
                results.front().frame - results.front().command, results.front().bytes);
    printRow("repeats", repeatFrame);
    std::printf("  repeats    transferred median %10.0f bytes   max %10.0f bytes (largest movie %lld bytes)\n",
                median(repeatBytes), repeatBytes.empty() ? -1.0 : *std::max_element(repeatBytes.begin(), repeatBytes.end()),
                largestMovie(games));
    if (!loopback.empty()) {
        std::printf("online over loopback, from the command (every play a repeat):\n");
        printRow("repeats", loopFrame);
        std::printf("a new install's first play over loopback, from the command: frame %8.1f ms\n", coldLoopback);
        if (coldLoopback > 0)
            std::printf("first play over the link / over loopback (both a new install's): %.2f\n",
                        (results.front().frame - results.front().command) / coldLoopback);
        if (!repeatFrame.empty() && !loopFrame.empty())
            std::printf("repeats over the link / over loopback (medians): %.2f\n", median(repeatFrame) / median(loopFrame));
    }
    std::printf("downloaded, from the command:\n");
    std::printf("  first play  frame %8.1f ms\n", local.front().frame - local.front().command);
    printRow("repeats", localFrame);
    // Compiled code the engine keeps between plays (its code cache).
    qint64 js = 0;
    qint64 wasm = 0;
    QDirIterator files(box.paths.webDataDir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (path.contains(QLatin1String("/Code Cache/js/")))
            js += QFileInfo(path).size();
        else if (path.contains(QLatin1String("/Code Cache/wasm/")))
            wasm += QFileInfo(path).size();
    }
    std::printf("the engine's code cache: scripts %lld bytes, WebAssembly %lld bytes\n", js, wasm);
    const std::vector<double> &online = loopFrame.empty() ? repeatFrame : loopFrame;
    if (!online.empty() && !localFrame.empty())
        std::printf("downloaded repeats / online repeats over loopback (medians): %.2f\n",
                    median(localFrame) / median(online));
    return 0;
}

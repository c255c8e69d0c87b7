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
//
// Usage: bench_playlatency [plays]   (default 20; needs a display: run it with
// scripts/with-x.sh, see README)
#include "support/eventwait.h"
#include "support/gamebox.h"

#include <QEventLoop>
#include <QPointer>
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
        var player = document.getElementById('player');
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

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
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

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int plays = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20;

    GameBox box;
    if (!box.start()) {
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
    w.Web2->page()->scripts().insert(probe);
    // Seen by frames loaded from now on: the portal page is loaded again.
    QWebEngineScript clickProbe;
    clickProbe.setName(QStringLiteral("kavo-click-probe"));
    clickProbe.setSourceCode(QString::fromUtf8(CLICK_PROBE));
    clickProbe.setInjectionPoint(QWebEngineScript::DocumentCreation);
    clickProbe.setWorldId(PROBE_WORLD);
    clickProbe.setRunsOnSubFrames(true);
    w.Web1->page()->scripts().insert(clickProbe);
    // The old page still answers until the new one commits: wait for the
    // new load before asking whether the portal is ready.
    bool reloaded = false;
    const QMetaObject::Connection reload =
        QObject::connect(w.Web1, &QWebEngineView::loadFinished, &w, [&reloaded] { reloaded = true; });
    w.Web1->Navigate(box.base());
    const bool loadedAgain = KavoTest::WaitUntil([&reloaded] { return reloaded; }, 20000);
    QObject::disconnect(reload);
    if (!loadedAgain || !box.portalReady()) {
        std::fprintf(stderr, "the portal page did not load again\n");
        return 1;
    }

    double commandAt = -1;
    QObject::connect(w.Web2, &WebPane::BeforeNavigate2, &w, [&](const QString &url, bool *) {
        if (url != QLatin1String("about:blank"))
            commandAt = nowMs();
    });

    const QStringList games = {QStringLiteral("101"), QStringLiteral("102"), QStringLiteral("103"),
                               QStringLiteral("104"), QStringLiteral("105"), QStringLiteral("106")};
    std::vector<Play> results;
    for (int i = 0; i < plays; ++i) {
        const QString id = games.at(i % games.size());
        w.npc_Click(6);
        // The portal pane takes input once it is shown and has drawn again.
        (void)QTest::qWaitFor([&] { return w.Web1->isVisible(); }, 5000);
        const QPoint at = GameBox::centreOf(w.Web1, QStringLiteral("#g") + id, QStringLiteral("tuzomain"));
        if (at.x() < 0) {
            std::fprintf(stderr, "game %s is not on the portal page\n", qPrintable(id));
            return 1;
        }
        const QString before = w.CurrentGameUrl;
        commandAt = -1;
        GameBox::js(w.Web1, QStringLiteral("window.kavoClickProbe = {}"), PROBE_WORLD);
        Play play;
        double clickAt = 0;
        // The first clicks after the pane is shown again may come before the
        // page takes input; the click that plays is the one measured.
        for (int attempt = 0; attempt < 20 && w.CurrentGameUrl == before; ++attempt) {
            // As a user does, the pointer rests on the game before the click;
            // the portal's hover effect has ended by then.
            QTest::mouseMove(w.Web1->focusProxy(), at);
            QTest::qWait(HOVER_MS);
            clickAt = nowMs();
            // Waited for in an event loop of its own: QTest's waits sleep
            // 10 ms between rounds of events, which the engine's work
            // between the page and the window pays several times over.
            QEventLoop played;
            QTimer::singleShot(1000, &played, &QEventLoop::quit);
            const QMetaObject::Connection seen =
                QObject::connect(w.Web2, &WebPane::BeforeNavigate2, &played, [&](const QString &url, bool *) {
                    if (url != QLatin1String("about:blank"))
                        played.quit();
                });
            QTest::mouseClick(w.Web1->focusProxy(), Qt::LeftButton, {}, at);
            if (w.CurrentGameUrl == before)
                played.exec();
            QObject::disconnect(seen);
        }
        if (w.CurrentGameUrl == before || commandAt < 0) {
            std::fprintf(stderr, "the click on game %s did not play it\n", qPrintable(id));
            return 1;
        }
        play.command = commandAt - clickAt;
        const QVariantList seen = GameBox::js(w.Web1, QStringLiteral("var p = window.kavoClickProbe || {};"
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
                w.Web2->page()->runJavaScript(read, PROBE_WORLD, [state, loop, clickAt](const QVariant &v) {
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
        const QVariantList detail = GameBox::js(w.Web2, QStringLiteral("var p = window.kavoPlayProbe || {};"
                                                                       " [p.ready || 0, p.data || 0]"),
                                                PROBE_WORLD)
                                        .toList();
        if (detail.size() == 2) {
            play.ready = detail.at(0).toDouble() > 0 ? detail.at(0).toDouble() - clickAt : -1;
            play.loaded = detail.at(1).toDouble() > 0 ? detail.at(1).toDouble() - clickAt : -1;
        }
        // Where the game page's time went: its largest resources, when each
        // was fetched (ms from the click) and whether it came from the cache.
        const QString resources = GameBox::js(
            w.Web2,
            QStringLiteral("performance.getEntriesByType('resource').filter(function (e) {"
                           " return /ruffle|\\.wasm$|\\.swf$/.test(e.name); }).map(function (e) {"
                           " return e.name.replace(/^.*\\//, '').slice(0, 12) + ' ' + Math.round(performance.timeOrigin"
                           " + e.startTime - %1) + '-' + Math.round(performance.timeOrigin + e.responseEnd - %1)"
                           " + (e.transferSize === 0 ? ' cache' : e.transferSize < 1000 ? ' 304' : ' net'); }).join(', ')")
                .arg(clickAt, 0, 'f', 1),
            PROBE_WORLD).toString();
        std::printf("play %2d game %s | portal frame: down %5.1f click %5.1f navigate %5.1f | command %6.1f"
                    "  engine %6.1f | game page: ready %7.1f movie %7.1f frame %7.1f  (ms)\n",
                    i + 1, qPrintable(id), play.down, play.click, play.navigate, play.command, play.engine,
                    play.ready, play.loaded, play.frame);
        if (!resources.isEmpty())
            std::printf("        game page resources: %s\n", qPrintable(resources));
        std::fflush(stdout);
        results.push_back(play);
    }

    std::vector<double> navigate, command, engine, frame;
    for (const Play &p : results) {
        if (p.navigate >= 0)
            navigate.push_back(p.navigate);
        command.push_back(p.command);
        if (p.engine >= 0)
            engine.push_back(p.engine);
        if (p.frame >= 0)
            frame.push_back(p.frame);
    }
    std::printf("%d plays, from the click:\n", plays);
    printRow("navigate", navigate);
    printRow("command", command);
    printRow("engine", engine);
    printRow("frame", frame);
    std::printf("first play: command %.1f ms, engine %.1f ms, frame %.1f ms (target: under 50 ms to the"
                " navigation start)\n",
                results.front().command, results.front().engine, results.front().frame);
    return 0;
}

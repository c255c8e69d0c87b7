// The games play in a web pane: the portal's player pages (in the main
// window's player pane, started by play commands), pages written for the
// browser's Flash plug-in, and the installed local player page show the
// generated games with the program's Flash runtime, animate them, and pass
// keyboard and mouse input through to them; movies of hosts that send no
// cross-origin consent play too.
#include "portal/commandurl.h"
#include "portal/gui/webpane.h"
#include "portal/gui/webprofile.h"
#include "support/core/appfolder.h"
#include "support/core/tempfolder.h"
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/portalserver.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace {

// Every generated game has a 550 x 400 stage, letterboxed into the pane.
constexpr double kStageWidth = 550, kStageHeight = 400;

QRectF stageRect(const QSize &view)
{
    const double s = std::min(view.width() / kStageWidth, view.height() / kStageHeight);
    return QRectF((view.width() - kStageWidth * s) / 2, (view.height() - kStageHeight * s) / 2,
                  kStageWidth * s, kStageHeight * s);
}

// A rectangle given in stage pixels, in view pixels.
QRect onView(const QSize &view, const QRectF &stage)
{
    const QRectF r = stageRect(view);
    const double s = r.width() / kStageWidth;
    return QRectF(r.x() + stage.x() * s, r.y() + stage.y() * s, stage.width() * s, stage.height() * s)
        .toRect()
        .intersected(QRect(QPoint(), view));
}

QPoint onView(const QSize &view, double x, double y)
{
    return onView(view, QRectF(x, y, 1, 1)).topLeft();
}

// Distinct colours (4 bits a channel) among samples of the area.
int colourCount(const QImage &img, const QRect &area)
{
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 3)
        for (int x = area.left(); x <= area.right(); x += 3)
            colours.insert(img.pixel(x, y) & 0xf0f0f0);
    return colours.size();
}

// Share of samples of the area that differ between two pictures.
double changedShare(const QImage &a, const QImage &b, const QRect &area)
{
    int changed = 0, total = 0;
    for (int y = area.top(); y <= area.bottom(); y += 2)
        for (int x = area.left(); x <= area.right(); x += 2) {
            ++total;
            changed += a.pixel(x, y) != b.pixel(x, y);
        }
    return total ? double(changed) / total : 0;
}

// Remembers every request that leaves the local disc.
class RemoteRequests : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String("kavo") && scheme != QLatin1String("kavoflash") && scheme != QLatin1String("data")
            && scheme != QLatin1String("blob"))
            urls << info.requestUrl().toString();
    }
    QStringList urls;
};

// Looks at most every `everyMs` (a picture of the pane is not free), in the
// event loop in between.
bool waitLooking(const std::function<bool()> &done, int timeoutMs, int everyMs = 100)
{
    QElapsedTimer since;
    return KavoTest::WaitUntil(
        [&] {
            if (since.isValid() && since.elapsed() < everyMs)
                return false;
            since.start();
            return done();
        },
        timeoutMs);
}

// The window system shows the view (waited for in the event loop).
bool exposed(QWidget *w)
{
    return KavoTest::WaitUntil([w] { return w->windowHandle() && w->windowHandle()->isExposed(); }, 10000);
}

// Runs a script in the view's page and waits for its answer.
QVariant pageValue(QWebEngineView &view, const QString &code)
{
    // Shared with the callback: a page being destroyed still answers.
    auto answer = std::make_shared<std::optional<QVariant>>();
    view.page()->runJavaScript(code, [answer](const QVariant &v) { *answer = v; });
    KavoTest::WaitUntil([answer] { return answer->has_value(); }, 10000);
    return answer->value_or(QVariant());
}

// The page has shown `frames` more animation frames. The runtime steps the
// game from the same frame callbacks, so a game that runs has moved on by
// then, however busy the machine.
bool pageFramesPass(QWebEngineView &view, int frames)
{
    pageValue(view, QStringLiteral("if (window.__kavoFrames === undefined) { window.__kavoFrames = 0;"
                                   " (function tick() { ++window.__kavoFrames; requestAnimationFrame(tick); })(); }"
                                   " window.__kavoFrom = window.__kavoFrames; 0"));
    return waitLooking([&] {
        return pageValue(view, QStringLiteral("window.__kavoFrames - window.__kavoFrom")).toInt() >= frames;
    }, 20000, 50);
}

} // namespace

class tst_ui_RufflePlay : public QObject
{
    Q_OBJECT

private:
    // One window on the demo portal for every case that plays from it.
    GameBox box;
    TempFolder m_appCopy;
    QString m_appDir;
    QTemporaryDir m_pages; // the test pages, and a movie that reports its keys

    std::unique_ptr<QWebEngineView> newView(QWebEngineProfile *profile = nullptr);
    // Loads the page and waits until the runtime draws the game.
    bool playUntilDrawn(QWebEngineView &view, const QUrl &url);
    // Waits until the runtime draws the game the view has loaded.
    bool drawn(QWebEngineView &view);
    // Plays a game by its play command in the window's player pane: it loads
    // `page` and the runtime draws the game. Returns the pane.
    WebPane *playInWindow(const QString &command, const QString &page);
    // Whether the area shows a new picture of the game.
    bool animates(QWebEngineView &view, const QRect &area);
    // Whether the basket of game 102 follows the arrow keys; says why not.
    QString basketFollowsKeys(WebPane *view);
    // Loads an address into the window's player pane and waits for the load.
    bool navigateGamePane(const QString &url);
    QString appCopy();

private Q_SLOTS:
    void initTestCase();
    void portalPlayerPagesPlayEachGame_data();
    void portalPlayerPagesPlayEachGame();
    void localPlayerPlaysDownloadedGameOffline_data();
    void localPlayerPlaysDownloadedGameOffline();
    void missingGameIsReported_data();
    void missingGameIsReported();
    void arrowKeysMoveTheBasket();
    void clickStopsAndRestartsTheWindmill();
    void pluginPagesPlay_data();
    void pluginPagesPlay();
    void moviesOfHostsWithoutConsentPlay();
    void hostileFlashPagesAreContained_data();
    void hostileFlashPagesAreContained();
};

std::unique_ptr<QWebEngineView> tst_ui_RufflePlay::newView(QWebEngineProfile *profile)
{
    auto view = std::make_unique<QWebEngineView>();
    if (profile)
        view->setPage(new QWebEnginePage(profile, view.get()));
    view->resize(640, 480);
    view->show();
    return view;
}

bool tst_ui_RufflePlay::playUntilDrawn(QWebEngineView &view, const QUrl &url)
{
    QSignalSpy loaded(&view, &QWebEngineView::loadFinished);
    view.load(url);
    if (!loaded.wait(20000) || !loaded.first().first().toBool())
        return false;
    return drawn(view);
}

WebPane *tst_ui_RufflePlay::playInWindow(const QString &command, const QString &page)
{
    WebPane *pane = box.w->game()->Web2();
    QSignalSpy loaded(pane, &QWebEngineView::loadFinished);
    box.play(QString(command).replace(QStringLiteral("{BASE}"), box.base()));
    const QString url = QString(page).replace(QStringLiteral("{BASE}"), box.base());
    const bool ok = KavoTest::WaitUntil([&] {
        return !loaded.isEmpty() && loaded.last().first().toBool() && pane->url().toString() == url;
    }, 20000);
    if (!ok) {
        qWarning("the player pane shows %s", qPrintable(pane->url().toString()));
        return nullptr;
    }
    return pane;
}

bool tst_ui_RufflePlay::drawn(QWebEngineView &view)
{
    // Before the runtime draws, the pane shows the page's plain background.
    return waitLooking([&] {
        return colourCount(pictureOf(&view), onView(view.size(), QRectF(0, 0, kStageWidth, kStageHeight))) >= 12;
    }, 45000, 200);
}

bool tst_ui_RufflePlay::animates(QWebEngineView &view, const QRect &area)
{
    // Until the game has drawn a frame that differs from the first picture.
    const QImage a = pictureOf(&view);
    return waitLooking([&] { return changedShare(a, pictureOf(&view), area) > 0.002; }, 10000);
}

QString tst_ui_RufflePlay::appCopy()
{
    // A copy of the built application folder, as a user would run it.
    if (m_appDir.isEmpty()) {
        const QString dir = m_appCopy.filePath(QStringLiteral("kavo"));
        if (CopyInstalledApplication(dir) && QDir().mkpath(dir + QStringLiteral("/flash")))
            m_appDir = dir;
    }
    return m_appDir;
}

void tst_ui_RufflePlay::initTestCase()
{
    // The pages' console chatter (the runtime's audio warnings) is no finding.
    if (qEnvironmentVariableIsEmpty("KAVO_TEST_PAGE_LOG"))
        QLoggingCategory::setFilterRules(QStringLiteral("js=false"));
    QVERIFY(m_pages.isValid());
    const QDir source(QStringLiteral(KAVO_SOURCE_DIR "/tests/pages"));
    for (const QString &page : source.entryList(QDir::Files))
        QVERIFY(QFile::copy(source.filePath(page), m_pages.filePath(page)));
    QVERIFY(box.start({QStringLiteral("--pages"), m_pages.path()}));
    // Reports every key it hears to the portal (/key?code=N).
    QProcess gen;
    gen.start(QStringLiteral(KAVO_SWFGEN_BIN), {QStringLiteral("--keys"), box.base(), m_pages.filePath(QStringLiteral("keys.swf"))});
    QVERIFY(gen.waitForFinished(30000) && gen.exitCode() == 0);
    QVERIFY(m_appCopy.isValid());
}

void tst_ui_RufflePlay::portalPlayerPagesPlayEachGame_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("page");
    // The address form of the player page, and the number form for every game.
    QTest::newRow("flash.htm with address")
        << QStringLiteral("tuzoflash://101$$${BASE}games/101.swf$$$A") << QStringLiteral("{BASE}flash.htm?{BASE}games/101.swf");
    for (int id : {101, 102, 103, 104, 105, 106, 107})
        QTest::newRow(qPrintable(QStringLiteral("app.asp %1").arg(id)))
            << QStringLiteral("tuzoflash://%1$$$%1$$$G").arg(id) << QStringLiteral("{BASE}app/app.asp?id=%1").arg(id);
}

void tst_ui_RufflePlay::portalPlayerPagesPlayEachGame()
{
    QFETCH(QString, command);
    QFETCH(QString, page);
    WebPane *view = playInWindow(command, page);
    QVERIFY(view);
    QVERIFY2(drawn(*view), "the game never showed");
    QVERIFY2(animates(*view, view->rect()), "the picture does not change");
}

void tst_ui_RufflePlay::localPlayerPlaysDownloadedGameOffline_data()
{
    QTest::addColumn<bool>("perUser");
    QTest::newRow("portable folder") << false;
    // An installed program: the player page and the runtime from the
    // installed folder, the game from the user's folder.
    QTest::newRow("installed, per-user data") << true;
}

void tst_ui_RufflePlay::localPlayerPlaysDownloadedGameOffline()
{
    QFETCH(bool, perUser);
    const QString app = appCopy();
    QVERIFY(!app.isEmpty());
    TempFolder userDir;
    const AppPaths paths = perUser ? AppPaths(app, userDir.path()) : AppPaths(app);
    QVERIFY(QDir().mkpath(paths.flashDir()));
    QVERIFY(QFile::copy(PortalServer::gamesDir() + QStringLiteral("/104.swf"), paths.flashFile(QStringLiteral("104"))));
    const auto removeCopy = qScopeGuard([&] { QFile::remove(paths.flashFile(QStringLiteral("104"))); });

    // The interceptor must outlive the profile, and the profile its page.
    // The program's pane reads the page, the runtime and the game through
    // the program's door.
    RemoteRequests remote;
    ProgramProfile profile{paths};
    profile.setUrlRequestInterceptor(&remote);
    {
        WebPane pane(&profile);
        pane.resize(640, 480);
        pane.show();
        QVERIFY(exposed(&pane));
        const QUrl url = profile.urlForLocalPath(
            PlayerPageFor(paths, box.base(), ParsePlayCommand(QStringLiteral("tuzoflash://104$$$104$$$N"))));
        QCOMPARE(url.scheme(), QStringLiteral("kavo"));
        QVERIFY2(playUntilDrawn(pane, url), "the downloaded game never showed");
        QVERIFY2(animates(pane, pane.rect()), "the picture does not change");
    }
    QVERIFY2(remote.urls.isEmpty(), qPrintable(remote.urls.join(QLatin1Char(' '))));
}

void tst_ui_RufflePlay::missingGameIsReported_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("message");
    // A downloaded game whose file has gone, and a portal number without a game.
    QTest::newRow("local player") << QStringLiteral("{APP}/app/flash.htm") << QStringLiteral("游戏文件不存在");
    QTest::newRow("portal player") << QStringLiteral("tuzoflash://999$$$999$$$X") << QStringLiteral("没有找到这个游戏");
}

void tst_ui_RufflePlay::missingGameIsReported()
{
    QFETCH(QString, page);
    QFETCH(QString, message);
    // The local player page on a folder of its own (a page, no window); the
    // portal's through the window.
    std::unique_ptr<ProgramProfile> profile;
    std::unique_ptr<QWebEngineView> own;
    QWebEngineView *view = nullptr;
    if (page.startsWith(QLatin1String("{APP}"))) {
        const QString app = appCopy();
        QVERIFY(!app.isEmpty());
        profile = std::make_unique<ProgramProfile>(AppPaths(app));
        const QUrl url = profile->urlForLocalPath(page.replace(QStringLiteral("{APP}"), app) + QStringLiteral("?999"));
        own = newView(profile.get());
        view = own.get();
        QSignalSpy loaded(view, &QWebEngineView::loadFinished);
        view->load(url);
        QVERIFY(loaded.wait(20000));
    } else {
        view = playInWindow(page, QStringLiteral("{BASE}app/app.asp?id=999"));
        QVERIFY(view);
    }
    // Shared with the callbacks: the page answers pending ones even while it
    // is being destroyed.
    QString text;
    waitLooking([&] {
        text = pageValue(*view, QStringLiteral("document.body.innerText")).toString();
        return text.contains(message);
    }, 20000);
    QVERIFY2(text.contains(message), qPrintable(text));
}

void tst_ui_RufflePlay::arrowKeysMoveTheBasket()
{
    WebPane *view = playInWindow(QStringLiteral("tuzoflash://102$$$102$$$G"), QStringLiteral("{BASE}app/app.asp?id=102"));
    QVERIFY(view);
    QVERIFY(drawn(*view));
    const QString fault = basketFollowsKeys(view);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

QString tst_ui_RufflePlay::basketFollowsKeys(WebPane *view)
{
    // The basket is the only brown thing on the row just above the grass.
    const QRect row = onView(view->size(), QRectF(0, 328, kStageWidth, 12));
    auto basketX = [&]() {
        const QImage img = pictureOf(view);
        double sum = 0;
        int n = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left(); x <= row.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() > 100 && c.red() - c.blue() > 60 && c.green() > 55 && c.green() < c.red() - 30)
                    sum += x, ++n;
            }
        return n ? sum / n : -1.0;
    };
    // The game draws its scene over its first frames.
    double before = -1;
    waitLooking([&] { return (before = basketX()) > 0; }, 10000);
    if (before <= 0)
        return QStringLiteral("no basket seen");

    // A click gives the player the keyboard focus.
    QWidget *input = view->focusProxy();
    if (!input)
        return QStringLiteral("the pane has no input widget");
    // The key is held until the basket has gone far enough; a press that
    // came before the player took the keyboard is given again, after
    // another click in case the first came too early as well.
    const auto hold = [&](Qt::Key key, const std::function<bool(double)> &far) {
        for (int i = 0; i < 5; ++i) {
            QTest::mouseClick(input, Qt::LeftButton, {}, onView(view->size(), 275, 60));
            QTest::keyPress(input, key);
            const bool went = waitLooking([&] { return far(basketX()); }, 4000);
            QTest::keyRelease(input, key);
            if (went)
                break;
        }
        // The release has reached the game: it has stepped on since.
        pageFramesPass(*view, 10);
    };
    // Where the page's keyboard focus was, should the basket not move.
    const auto focus = [&] {
        return pageValue(*view, QStringLiteral("document.hasFocus() + ' ' + (document.activeElement"
                                               " ? document.activeElement.tagName : 'none')")).toString();
    };
    constexpr double FAR = 40;
    hold(Qt::Key_Right, [&](double x) { return x > before + FAR; });
    const double right = basketX();
    if (right <= before + FAR)
        return QStringLiteral("basket at %1, then %2; focus %3").arg(before).arg(right).arg(focus());
    hold(Qt::Key_Left, [&](double x) { return x >= 0 && x < right - FAR; });
    const double left = basketX();
    if (left >= right - FAR)
        return QStringLiteral("basket at %1, then %2; focus %3").arg(right).arg(left).arg(focus());
    return QString();
}

bool tst_ui_RufflePlay::navigateGamePane(const QString &url)
{
    WebPane *pane = box.w->game()->Web2();
    // The game page shows, as after a play command.
    box.w->npc_Click(Caption::GameTab);
    if (!KavoTest::WaitUntil([&] { return pane->isVisible(); }, 10000))
        return false;
    QSignalSpy loaded(pane, &QWebEngineView::loadFinished);
    pane->Navigate(url);
    return KavoTest::WaitUntil([&] { return !loaded.isEmpty() && loaded.last().first().toBool(); }, 20000);
}

void tst_ui_RufflePlay::clickStopsAndRestartsTheWindmill()
{
    WebPane *view = playInWindow(QStringLiteral("tuzoflash://104$$$104$$$G"), QStringLiteral("{BASE}app/app.asp?id=104"));
    QVERIFY(view);
    QVERIFY(drawn(*view));

    // Below the hub only the lower blades move (the clouds stay higher up).
    const QRect blades = onView(view->size(), QRectF(250, 175, 260, 110));
    QVERIFY2(animates(*view, blades), "the windmill does not turn");

    QWidget *input = view->focusProxy();
    const QPoint hub = onView(view->size(), 380, 160);
    // Each input event has reached the game once the page has drawn a few
    // frames after it.
    auto click = [&]() {
        QTest::mouseMove(input, hub);
        pageFramesPass(*view, 2);
        QTest::mousePress(input, Qt::LeftButton, {}, hub);
        pageFramesPass(*view, 2);
        QTest::mouseRelease(input, Qt::LeftButton, {}, hub);
        pageFramesPass(*view, 2);
    };
    click();
    // Stopped: two pictures half a second of the game's frames apart show the
    // blades alike (a busy machine may take a while to deliver the click).
    bool still = false;
    for (int i = 0; i < 8 && !still; ++i) {
        const QImage a = pictureOf(view);
        pageFramesPass(*view, 30);
        still = changedShare(a, pictureOf(view), blades) == 0.0;
    }
    QVERIFY2(still, "the windmill did not stop");

    click();
    QVERIFY2(animates(*view, blades), "the windmill did not start again");
}

void tst_ui_RufflePlay::pluginPagesPlay_data()
{
    QTest::addColumn<QString>("page");
    // Pages written for the plug-in, in the shapes portals used: the
    // runtime is the program's, nothing of it comes from the network.
    // %1: the movie, games/102 (drawn) or pages/keys (reports its keys).
    for (const char *shape : {"classic", "object-data", "embed", "late-embed", "swfobject", "frame"})
        QTest::newRow(shape) << QStringLiteral("{BASE}pages/flashshapes.html?shape=%1&movie=/%2.swf")
                                    .arg(QLatin1String(shape), QStringLiteral("%1"));
    QTest::newRow("portal's flash.htm") << QStringLiteral("{BASE}flash.htm?{BASE}%1.swf");
    // A page that brings its own copy of the same version: the program's
    // copy plays, and only the page's script is fetched.
    QTest::newRow("own runtime") << QStringLiteral("{BASE}pages/ownplayer.html?{BASE}%1.swf");
}

void tst_ui_RufflePlay::pluginPagesPlay()
{
    QFETCH(QString, page);
    box.portal.requests(); // the log so far
    const int before = box.portal.requests().size();
    page.replace(QStringLiteral("{BASE}"), box.base());
    QVERIFY(navigateGamePane(page.arg(QStringLiteral("games/102"))));
    WebPane *view = box.w->game()->Web2();
    QVERIFY2(drawn(*view), "the game never showed");
    // A key reaches a game of the same shape, with a click into it as a
    // player gives one.
    const int ready = box.portal.requests().count(QStringLiteral("/keys-ready"));
    QVERIFY(navigateGamePane(page.arg(QStringLiteral("pages/keys"))));
    QVERIFY(KavoTest::WaitUntil([&] { return box.portal.requests().count(QStringLiteral("/keys-ready")) > ready; }, 20000));
    const auto heard = [&] { return box.portal.requests().filter(QStringLiteral("/key?code=39")).size(); };
    const int before39 = heard();
    QVERIFY2(KavoTest::WaitUntil([&] {
                 QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, view->rect().center());
                 QTest::keyClick(view->focusProxy(), Qt::Key_Right);
                 return KavoTest::WaitUntil([&] { return heard() > before39; }, 2000);
             }, 20000),
             "the arrow key never reached the game");
    const QStringList asked = box.portal.requests().mid(before);
    for (const QString &r : asked)
        QVERIFY2(!r.contains(QLatin1String(".wasm")) && !r.startsWith(QLatin1String("/fonts/"))
                     && !r.contains(QLatin1String("core.ruffle")),
                 qPrintable(asked.join(QLatin1Char(' '))));
}

void tst_ui_RufflePlay::moviesOfHostsWithoutConsentPlay()
{
    // A game host of the Flash era: no Access-Control-Allow-Origin.
    PortalServer host;
    QVERIFY2(host.start({QStringLiteral("--no-cors")}), qPrintable(host.errorString()));
    const QString movie = host.baseUrl() + QStringLiteral("games/104.swf");
    WebPane *view = box.w->game()->Web2();
    // The plug-in page, and the portal's own player with its checks.
    for (const QString &page : {box.base() + QStringLiteral("flash.htm?") + movie,
                                box.base() + QStringLiteral("pages/ownplayer.html?") + movie}) {
        QVERIFY(navigateGamePane(page));
        QVERIFY2(drawn(*view), qPrintable(page));
        QVERIFY2(animates(*view, view->rect()), qPrintable(page));
        const QString text = pageValue(*view, QStringLiteral("document.body.innerText")).toString();
        QVERIFY2(!text.contains(QStringLiteral("失败")), qPrintable(text));
    }
    QVERIFY(host.requests().contains(QStringLiteral("/games/104.swf")));

    // What is no movie or picture of that host stays unreadable, however the
    // page asks; the program's own files too.
    pageValue(*view, QStringLiteral(
        "window.__kavoGot = [];"
        "for (const a of [%1, %2, 'kavo://app/app/n.htm', 'kavoflash://app/fetch?t=x&m=GET&u=' + encodeURIComponent(%1)])"
        "  fetch(a).then(r => r.arrayBuffer()).then(b => __kavoGot.push(a + ' read ' + b.byteLength),"
        "                                          e => __kavoGot.push(a + ' refused'));"
        "0").arg(QStringLiteral("'%1index.html'").arg(host.baseUrl()), QStringLiteral("'%1lib/wenc.txt'").arg(host.baseUrl())));
    QStringList got;
    QVERIFY(KavoTest::WaitUntil([&] {
        got = pageValue(*view, QStringLiteral("window.__kavoGot")).toStringList();
        return got.size() == 4;
    }, 20000));
    for (const QString &line : got)
        QVERIFY2(line.endsWith(QLatin1String(" refused")), qPrintable(got.join(QLatin1Char('\n'))));
}

void tst_ui_RufflePlay::hostileFlashPagesAreContained_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("players"); // movie players the page ends with; -1: in frames, drawn
    const QString shapes = QStringLiteral("{BASE}pages/flashshapes.html?shape=");
    QTest::newRow("a thousand embeds") << shapes + QStringLiteral("thousand&movie=/games/104.swf") << 16;
    QTest::newRow("an HTML page as movie") << shapes + QStringLiteral("embed&movie=/index.html%3F.swf") << 1;
    QTest::newRow("the program's door") << shapes + QStringLiteral("embed&movie=kavo://app/flash/104.swf") << 1;
    QTest::newRow("a local file") << shapes + QStringLiteral("embed&movie=file:///etc/hostname%3F.swf") << 1;
    QTest::newRow("frames in frames") << shapes + QStringLiteral("frame&nest=3&movie=/games/104.swf") << -1;
}

void tst_ui_RufflePlay::hostileFlashPagesAreContained()
{
    QFETCH(QString, page);
    QFETCH(int, players);
    box.placeDownloadedGame(QStringLiteral("104"), QStringLiteral("G"));
    QVERIFY(navigateGamePane(page.replace(QStringLiteral("{BASE}"), box.base())));
    WebPane *view = box.w->game()->Web2();
    const QString count = QStringLiteral("document.querySelectorAll('ruffle-embed, ruffle-object, ruffle-player').length");
    if (players < 0)
        QVERIFY2(drawn(*view), "the movie in the innermost frame never showed");
    else
        QVERIFY2(KavoTest::WaitUntil([&] { return pageValue(*view, count).toInt() == players; }, 20000),
                 qPrintable(pageValue(*view, count + QStringLiteral(" + ' ' + document.querySelectorAll('embed').length"
                     " + ' ' + (window.RufflePlayer && window.RufflePlayer.invoked) + ' ' + document.body.innerHTML.slice(-300)")).toString()));
    // Nothing of the local files shows; the page and the other panes go on.
    const QString text = pageValue(*view, QStringLiteral(
        "Array.from(document.querySelectorAll('ruffle-embed')).map(function (p) {"
        " return p.shadowRoot ? p.shadowRoot.textContent : ''; }).join(' ')")).toString();
    QVERIFY2(!text.contains(QLatin1String("FWS")) && !text.contains(QLatin1String("localhost")), qPrintable(text.left(300)));
    pageFramesPass(*view, 10);
    QCOMPARE(GameBox::js(box.w->Web1(), QStringLiteral("1 + 1")).toInt(), 2);
    QCOMPARE(pageValue(*view, QStringLiteral("1 + 1")).toInt(), 2);
}

QTEST_MAIN(tst_ui_RufflePlay)
#include "tst_ui_ruffleplay.moc"

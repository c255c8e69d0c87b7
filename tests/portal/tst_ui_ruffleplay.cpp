// The games play in a web pane: the portal's player pages and the installed
// local player page show the generated games with the Flash runtime, animate
// them, and pass keyboard and mouse input through to them.
#include "portal/commandurl.h"
#include "portal/gui/webpane.h"
#include "portal/gui/webprofile.h"
#include "support/appfolder.h"
#include "support/eventwait.h"
#include "support/portalserver.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <algorithm>
#include <memory>

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

QImage shot(QWidget *w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
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
        if (scheme != QLatin1String("kavo") && scheme != QLatin1String("data") && scheme != QLatin1String("blob"))
            urls << info.requestUrl().toString();
    }
    QStringList urls;
};

} // namespace

class tst_ui_RufflePlay : public QObject
{
    Q_OBJECT

private:
    PortalServer m_portal;
    QTemporaryDir m_appCopy;
    QString m_appDir;

    std::unique_ptr<QWebEngineView> newView(QWebEngineProfile *profile = nullptr);
    // Loads the page and waits until the runtime draws the game.
    bool playUntilDrawn(QWebEngineView &view, const QUrl &url);
    // Whether the area changes between pictures taken a moment apart.
    bool animates(QWebEngineView &view, const QRect &area);
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
    // Before the runtime draws, the pane shows the page's plain background.
    QDeadlineTimer deadline(45000);
    while (!deadline.hasExpired()) {
        QTest::qWait(250);
        if (colourCount(shot(&view), onView(view.size(), QRectF(0, 0, kStageWidth, kStageHeight))) >= 12)
            return true;
    }
    return false;
}

bool tst_ui_RufflePlay::animates(QWebEngineView &view, const QRect &area)
{
    // Several tries: a picture may be taken between two frames of the game.
    for (int i = 0; i < 4; ++i) {
        const QImage a = shot(&view);
        QTest::qWait(400);
        if (changedShare(a, shot(&view), area) > 0.002)
            return true;
    }
    return false;
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
    QLoggingCategory::setFilterRules(QStringLiteral("js=false"));
    QVERIFY2(m_portal.start(), qPrintable(m_portal.errorString()));
    QVERIFY(m_appCopy.isValid());
}

void tst_ui_RufflePlay::portalPlayerPagesPlayEachGame_data()
{
    QTest::addColumn<QString>("page");
    // The address form of the player page, and the number form for every game.
    QTest::newRow("flash.htm with address") << QStringLiteral("flash.htm?{BASE}games/101.swf");
    for (int id : {101, 102, 103, 104, 105, 106, 107})
        QTest::newRow(qPrintable(QStringLiteral("app.asp %1").arg(id)))
            << QStringLiteral("app/app.asp?id=%1").arg(id);
}

void tst_ui_RufflePlay::portalPlayerPagesPlayEachGame()
{
    QFETCH(QString, page);
    page.replace(QStringLiteral("{BASE}"), m_portal.baseUrl());
    auto view = newView();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QVERIFY2(playUntilDrawn(*view, QUrl(m_portal.baseUrl() + page)), "the game never showed");
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
    QTemporaryDir userDir;
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
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const QUrl url = profile.urlForLocalPath(
            PlayerPageFor(paths, m_portal.baseUrl(), ParsePlayCommand(QStringLiteral("tuzoflash://104$$$104$$$N"))));
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
    QTest::newRow("portal player") << QStringLiteral("{BASE}app/app.asp?id=999") << QStringLiteral("没有找到这个游戏");
}

void tst_ui_RufflePlay::missingGameIsReported()
{
    QFETCH(QString, page);
    QFETCH(QString, message);
    QUrl url;
    std::unique_ptr<ProgramProfile> profile;
    if (page.startsWith(QLatin1String("{APP}"))) {
        const QString app = appCopy();
        QVERIFY(!app.isEmpty());
        profile = std::make_unique<ProgramProfile>(AppPaths(app));
        url = profile->urlForLocalPath(page.replace(QStringLiteral("{APP}"), app) + QStringLiteral("?999"));
    } else {
        url = QUrl(page.replace(QStringLiteral("{BASE}"), m_portal.baseUrl()));
    }
    auto view = newView(profile.get());
    QSignalSpy loaded(view.get(), &QWebEngineView::loadFinished);
    view->load(url);
    QVERIFY(loaded.wait(20000));
    // Shared with the callbacks: the page answers pending ones even while it
    // is being destroyed.
    auto shown = std::make_shared<QString>();
    QString text;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && !text.contains(message)) {
        view->page()->runJavaScript(QStringLiteral("document.body.innerText"),
                                    [shown](const QVariant &v) { *shown = v.toString(); });
        QTest::qWait(250);
        text = *shown;
    }
    QVERIFY2(text.contains(message), qPrintable(text));
}

void tst_ui_RufflePlay::arrowKeysMoveTheBasket()
{
    auto view = newView();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QVERIFY(playUntilDrawn(*view, QUrl(m_portal.baseUrl() + QStringLiteral("app/app.asp?id=102"))));

    // The basket is the only brown thing on the row just above the grass.
    const QRect row = onView(view->size(), QRectF(0, 328, kStageWidth, 12));
    auto basketX = [&]() {
        const QImage img = shot(view.get());
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
    const double before = basketX();
    QVERIFY2(before > 0, "no basket seen");

    // A click gives the player the keyboard focus.
    QWidget *input = view->focusProxy();
    QVERIFY(input);
    QTest::mouseClick(input, Qt::LeftButton, {}, onView(view->size(), 275, 60));
    QTest::qWait(300);
    QTest::keyPress(input, Qt::Key_Right);
    QTest::qWait(800);
    QTest::keyRelease(input, Qt::Key_Right);
    QTest::qWait(300);
    const double right = basketX();
    QVERIFY2(right > before + 40, qPrintable(QStringLiteral("basket at %1, then %2").arg(before).arg(right)));

    QTest::keyPress(input, Qt::Key_Left);
    QTest::qWait(800);
    QTest::keyRelease(input, Qt::Key_Left);
    QTest::qWait(300);
    const double left = basketX();
    QVERIFY2(left < right - 40, qPrintable(QStringLiteral("basket at %1, then %2").arg(right).arg(left)));
}

void tst_ui_RufflePlay::clickStopsAndRestartsTheWindmill()
{
    auto view = newView();
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    QVERIFY(playUntilDrawn(*view, QUrl(m_portal.baseUrl() + QStringLiteral("app/app.asp?id=104"))));

    // Below the hub only the lower blades move (the clouds stay higher up).
    const QRect blades = onView(view->size(), QRectF(250, 175, 260, 110));
    QVERIFY2(animates(*view, blades), "the windmill does not turn");

    QWidget *input = view->focusProxy();
    const QPoint hub = onView(view->size(), 380, 160);
    auto click = [&]() {
        QTest::mouseMove(input, hub);
        QTest::qWait(150);
        QTest::mousePress(input, Qt::LeftButton, {}, hub);
        QTest::qWait(100);
        QTest::mouseRelease(input, Qt::LeftButton, {}, hub);
        QTest::qWait(400);
    };
    click();
    // Stopped: two pictures a moment apart show the blades alike (a busy
    // machine may take a while to deliver the click).
    bool still = false;
    for (int i = 0; i < 8 && !still; ++i) {
        const QImage a = shot(view.get());
        QTest::qWait(500);
        still = changedShare(a, shot(view.get()), blades) == 0.0;
    }
    QVERIFY2(still, "the windmill did not stop");

    click();
    QVERIFY2(animates(*view, blades), "the windmill did not start again");
}

QTEST_MAIN(tst_ui_RufflePlay)
#include "tst_ui_ruffleplay.moc"

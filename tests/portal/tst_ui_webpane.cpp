#include <QApplication>
#include <QQuickWindow>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineScript>
#include <QtTest>

#include <memory>

#include "portal/gui/panedrawing.h"
#include "portal/gui/webpane.h"
#include "portal/gui/webprofile.h"
#include "support/core/files.h"
#include "support/core/httpserver.h"
#include "support/core/tempfolder.h"
#include "support/eventwait.h"
#include "support/pagescript.h"

namespace {

const QString PLAY = QStringLiteral("tuzoflash://12$$$34$$$%u4E2D%u6587/");
const QString FRAME_PLAY = QStringLiteral("tuzoflash://7$$$http://x/g.swf$$$%u4E2D/");
const QString DELETE = QStringLiteral("delk://1/2");

const char PORTAL[] =
    "<!DOCTYPE html><html><head><title>portal</title></head>\n"
    "<body style=\"margin:0\">\n"
    "<a id=\"play\" href=\"tuzoflash://12$$$34$$$%u4E2D%u6587/\" style=\"display:block;height:40px\">play</a>\n"
    "<a id=\"del\" href=\"delk://1/2\" style=\"display:block;height:40px\">delete</a>\n"
    "<a id=\"upper\" href=\"TUZOFLASH://5$$$6$$$x/\">upper</a>\n"
    "<a id=\"next\" href=\"next.htm\" style=\"display:block;height:40px\">next</a>\n"
    "<iframe name=\"tuzomain\" src=\"frame.htm\" style=\"position:absolute;left:0;top:200px;width:300px;height:150px;border:0\"></iframe>\n"
    "<iframe name=\"other\" src=\"frame.htm\" style=\"position:absolute;left:320px;top:200px;width:300px;height:150px;border:0\"></iframe>\n"
    "</body></html>";

const char FRAME[] =
    "<!DOCTYPE html><html><body style=\"margin:0\">\n"
    "<a id=\"play\" href=\"tuzoflash://7$$$http://x/g.swf$$$%u4E2D/\" style=\"display:block;height:100px\">game</a>\n"
    "<a id=\"next\" href=\"next.htm\">next</a>\n"
    "</body></html>";

const char NEXT[] = "<!DOCTYPE html><html><head><title>next</title></head><body>next</body></html>";

const char DIALOGS[] =
    "<!DOCTYPE html><html><body><script>\n"
    "alert('a');\n"
    "var c = confirm('b');\n"
    "var p = prompt('c', 'd');\n"
    "document.title = 'done:' + c + ':' + p;\n"
    "</script></body></html>";

const char STAY[] =
    "<!DOCTYPE html><html><head><title>stay</title></head>\n"
    "<body style=\"margin:0;height:500px\"><script>\n"
    "window.onbeforeunload = function (e) { e.preventDefault(); e.returnValue = 'stay'; return 'stay'; };\n"
    "</script></body></html>";

// Closes any modal dialog that shows up, and counts them.
class DialogWatch : public QObject
{
public:
    DialogWatch()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                ++dialogs;
                w->close();
            }
        });
        m_timer.start(20);
    }
    int dialogs = 0;

private:
    QTimer m_timer;
};

} // namespace

class TestWebPane : public QObject
{
    Q_OBJECT

private:
    HttpServer m_http;
    QString m_base;

    // Navigations seen by the handler; the handler cancels those m_cancel
    // picks: by default all but the frames' own loads.
    QStringList m_seen;
    std::function<bool(const QString &)> m_cancel;
    static bool cancelAllButFrames(const QString &url) { return !url.endsWith(QLatin1String("/frame.htm")); }

    std::unique_ptr<WebPane> newPane(QWebEngineProfile *profile = QWebEngineProfile::defaultProfile())
    {
        auto pane = std::make_unique<WebPane>(profile);
        pane->setPortal(m_base);
        m_seen.clear();
        m_cancel = cancelAllButFrames;
        connect(pane.get(), &WebPane::BeforeNavigate2, this, [this](const QString &url, bool *cancel) {
            m_seen << url;
            if (m_cancel(url))
                *cancel = true;
        });
        pane->resize(800, 600);
        pane->show();
        return pane;
    }

    // Navigates with the handler letting the address through; true when it loaded.
    bool load(WebPane &pane, const QString &url)
    {
        const auto keep = m_cancel;
        m_cancel = [](const QString &) { return false; };
        QSignalSpy finished(&pane, &WebPane::DownloadComplete);
        pane.Navigate(url);
        m_cancel = keep;
        return finished.wait(10000) && pane.page()->url().isValid();
    }

    QVariant js(WebPane &pane, const QString &code, quint32 world = QWebEngineScript::MainWorld)
    {
        return PageScript::js(&pane, code, world);
    }

    // The sync point for what must not follow: a round trip to the page
    // (it answers after everything it did before, and in the same document
    // unless a navigation went through), then whatever that left queued here.
    bool settled(WebPane &pane)
    {
        return js(pane, QStringLiteral("document.readyState")).isValid() && KavoTest::Settle();
    }

    QPoint centreOf(WebPane &pane, const QString &frame, const QString &id)
    {
        const QString code = frame.isEmpty()
            ? QStringLiteral("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                             "return [r.left+r.width/2, r.top+r.height/2];})()").arg(id)
            : QStringLiteral("(function(){var f=document.querySelector('iframe[name=%1]').getBoundingClientRect();"
                             "var r=frames['%1'].document.getElementById('%2').getBoundingClientRect();"
                             "return [f.left+r.left+r.width/2, f.top+r.top+r.height/2];})()")
                  .arg(frame, id);
        const QVariantList xy = js(pane, code).toList();
        return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint();
    }

    // A page may ask to stay only after the user has clicked it. The first
    // clicks after a load can arrive before the page takes input.
    bool activateByClick(WebPane &pane)
    {
        const auto active = [&] { return js(pane, QStringLiteral("navigator.userActivation.hasBeenActive")).toBool(); };
        for (int i = 0; i < 10; ++i) {
            QTest::mouseClick(pane.focusProxy(), Qt::LeftButton, {}, QPoint(100, 100));
            if (KavoTest::WaitUntil(active, 1000))
                return true;
        }
        return false;
    }

    bool loadPortal(WebPane &pane)
    {
        if (!load(pane, m_base + QStringLiteral("portal.htm")))
            return false;
        // The frames load on their own; wait until both show their link.
        return KavoTest::WaitUntil([&] {
            return js(pane, QStringLiteral("!!(frames['tuzomain'] && frames['tuzomain'].document.getElementById('play')"
                                           " && frames['other'] && frames['other'].document.getElementById('play'))"))
                .toBool();
        }, 5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_http.setPage(QStringLiteral("/portal.htm"), PORTAL);
        m_http.setPage(QStringLiteral("/frame.htm"), FRAME);
        m_http.setPage(QStringLiteral("/next.htm"), NEXT);
        m_http.setPage(QStringLiteral("/dialogs.htm"), DIALOGS);
        m_http.setPage(QStringLiteral("/stay.htm"), STAY);
        QVERIFY(m_http.start());
        m_base = m_http.baseUrl();
    }

    void cleanupTestCase() { m_http.stop(); }

    // Links and scripts in the top page and in the frame "tuzomain" reach the
    // handler byte for byte, each once, and the page stays where it was.
    void commandNavigationsFromPagesAreReportedVerbatim()
    {
        auto pane = newPane();
        QVERIFY(loadPortal(*pane));
        QCOMPARE(js(*pane, QStringLiteral("window.kavoPane.hasNavigationApi"),
                    QWebEngineScript::ApplicationWorld),
                 QVariant(true));
        m_seen.clear();
        m_http.clearRequests();
        QSignalSpy begin(pane.get(), &WebPane::DownloadBegin);

        const QList<QPair<QString, QString>> steps = {
            {QStringLiteral("document.getElementById('play').click()"), PLAY},
            {QStringLiteral("document.getElementById('del').click()"), DELETE},
            {QStringLiteral("document.getElementById('upper').click()"),
             QStringLiteral("TUZOFLASH://5$$$6$$$x/")},
            {QStringLiteral("location.href = '%1'").arg(PLAY), PLAY},
            {QStringLiteral("location.href = 'delk://1/2'"), DELETE},
            {QStringLiteral("frames['tuzomain'].document.getElementById('play').click()"), FRAME_PLAY},
            {QStringLiteral("frames['tuzomain'].eval(\"location.href = 'delk://3/'\")"),
             QStringLiteral("delk://3/")},
            {QStringLiteral("frames['tuzomain'].eval(\"location.assign('%1')\")").arg(PLAY), PLAY},
        };
        QStringList expected;
        for (const auto &step : steps) {
            js(*pane, step.first);
            expected << step.second;
            QTRY_COMPARE(m_seen, expected);
        }

        QVERIFY(settled(*pane));
        QCOMPARE(m_seen, expected);
        QCOMPARE(begin.count(), 0);
        QCOMPARE(pane->page()->url().toString(), m_base + QStringLiteral("portal.htm"));
        QCOMPARE(js(*pane, QStringLiteral("frames['tuzomain'].location.href")).toString(),
                 m_base + QStringLiteral("frame.htm"));
        QCOMPARE(m_http.requests(), QStringList());
    }

    void realMouseClickReachesTheHandler()
    {
        auto pane = newPane();
        QVERIFY(loadPortal(*pane));
        m_seen.clear();
        QVERIFY(pane->focusProxy());
        QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, centreOf(*pane, QString(), QStringLiteral("play")));
        QTRY_COMPARE(m_seen, QStringList{PLAY});
        QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {},
                          centreOf(*pane, QStringLiteral("tuzomain"), QStringLiteral("play")));
        QTRY_COMPARE(m_seen, (QStringList{PLAY, FRAME_PLAY}));
    }

    // Without a graphics device the panes draw with Qt Quick's software
    // renderer, not with an OpenGL rasteriser imitating a GPU; a device, or
    // the user's own choice of Qt Quick's drawing, keeps Qt's default.
    void panesDrawInSoftwareWithoutAGraphicsDevice()
    {
        QTemporaryDir dev;
        QVERIFY(!GraphicsDevicePresent(dev.path()));
        QVERIFY(QDir(dev.path()).mkpath(QStringLiteral("dri/by-path")));
        QVERIFY(!GraphicsDevicePresent(dev.path()));
        // Links to a character device stand for the nodes.
        for (const QString &node : {QStringLiteral("dri/renderD128"), QStringLiteral("dri/card0"), QStringLiteral("nvidia0")}) {
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), dev.filePath(node)));
            QVERIFY2(GraphicsDevicePresent(dev.path()), qPrintable(node));
            QVERIFY(QFile::remove(dev.filePath(node)));
        }
        QVERIFY(!UseSoftwareDrawing(true, {}, {}));
        QVERIFY(!UseSoftwareDrawing(false, "rhi", {}));
        QVERIFY(!UseSoftwareDrawing(false, {}, "opengl"));

        // This machine: a shown pane's page is drawn the chosen way.
        const bool software = UseSoftwareDrawing(GraphicsDevicePresent(), qgetenv("QT_QUICK_BACKEND"),
                                                 qgetenv("QSG_RHI_BACKEND"));
        auto pane = newPane();
        QVERIFY(load(*pane, m_base + QStringLiteral("next.htm")));
        QList<QSGRendererInterface::GraphicsApi> apis;
        QVERIFY(KavoTest::WaitUntil([&] {
            apis.clear();
            for (QWindow *window : QGuiApplication::allWindows()) {
                const auto *quick = qobject_cast<QQuickWindow *>(window);
                if (quick && quick->rendererInterface())
                    apis << quick->rendererInterface()->graphicsApi();
            }
            return !apis.isEmpty();
        }, 10000));
        for (const QSGRendererInterface::GraphicsApi api : apis)
            QCOMPARE(api == QSGRendererInterface::Software, software);
    }

    // A command nobody cancels fails with its text; nothing loads.
    void uncancelledCommandFailsQuietly()
    {
        auto pane = newPane();
        QVERIFY(loadPortal(*pane));
        m_cancel = [](const QString &) { return false; };
        m_seen.clear();
        QSignalSpy errors(pane.get(), &WebPane::NavigateError);
        QSignalSpy begin(pane.get(), &WebPane::DownloadBegin);
        js(*pane, QStringLiteral("document.getElementById('del').click()"));
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(m_seen, QStringList{DELETE});
        QCOMPARE(errors.at(0).at(0).toString(), DELETE);
        QCOMPARE(errors.at(0).at(1).toInt(), WebPane::UnknownSchemeError);

        pane->Navigate(QStringLiteral("tuzojf://1$$$2$$$x"));
        QTRY_COMPARE(errors.count(), 2);
        QCOMPARE(errors.at(1).at(0).toString(), QStringLiteral("tuzojf://1$$$2$$$x"));
        QVERIFY(settled(*pane));
        QCOMPARE(begin.count(), 0);
        QCOMPARE(pane->page()->url().toString(), m_base + QStringLiteral("portal.htm"));
    }

    // Navigate() reports before anything loads, once, and a cancel holds.
    void navigateReportsSynchronouslyAndOnce()
    {
        auto pane = newPane();
        QVERIFY(loadPortal(*pane));
        m_seen.clear();
        m_http.clearRequests();
        QSignalSpy begin(pane.get(), &WebPane::DownloadBegin);

        pane->Navigate(PLAY);
        QCOMPARE(m_seen, QStringList{PLAY});
        const QString next = m_base + QStringLiteral("next.htm");
        pane->Navigate2(next);
        QCOMPARE(m_seen, (QStringList{PLAY, next}));
        QVERIFY(settled(*pane));
        QCOMPARE(begin.count(), 0);
        QCOMPARE(m_http.requests(), QStringList());
        QCOMPARE(pane->page()->url().toString(), m_base + QStringLiteral("portal.htm"));

        // A link to an ordinary address is reported by the page filter, once.
        m_seen.clear();
        js(*pane, QStringLiteral("document.getElementById('next').click()"));
        QTRY_COMPARE(m_seen, QStringList{next});
        js(*pane, QStringLiteral("frames['tuzomain'].document.getElementById('next').click()"));
        QTRY_COMPARE(m_seen, (QStringList{next, next}));
        QVERIFY(settled(*pane));
        QCOMPARE(m_http.requests(), QStringList());
        QCOMPARE(begin.count(), 0);
        QCOMPARE(js(*pane, QStringLiteral("frames['tuzomain'].location.href")).toString(),
                 m_base + QStringLiteral("frame.htm"));

        // Let through, the load is reported once, by Navigate().
        m_seen.clear();
        QSignalSpy complete(pane.get(), &WebPane::DownloadComplete);
        QVERIFY(load(*pane, next));
        QCOMPARE(m_seen, QStringList{next});
        QCOMPARE(pane->page()->url().toString(), next);
        QCOMPARE(pane->locationUrl(), next);
        QCOMPARE(begin.count(), 1);
        QCOMPARE(complete.count(), 1);

        // History steps count as navigations of the page.
        m_seen.clear();
        pane->GoBack();
        QTRY_COMPARE(m_seen, QStringList{m_base + QStringLiteral("portal.htm")});
    }

    void localPathLoadsAsFileUrl()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(WriteFile(dir.filePath(QStringLiteral("app/flash.htm")),
                          "<html><body><script>document.title = 'q' + location.search;</script></body></html>"));

        auto pane = newPane();
        const QString path = dir.filePath(QStringLiteral("app/flash.htm"));
        QVERIFY(load(*pane, path + QStringLiteral("?12")));
        QCOMPARE(m_seen, QStringList{path + QStringLiteral("?12")});
        QCOMPARE(pane->page()->url().toLocalFile(), path);
        QCOMPARE(pane->page()->url().query(), QStringLiteral("12"));
        QTRY_COMPARE(pane->page()->title(), QStringLiteral("q?12"));
        QCOMPARE(pane->locationUrl(), path + QStringLiteral("?12"));
    }

    // In the program's profile, local paths of the application folder load
    // through the program's door, and a page there reads what the door
    // serves and nothing else; pages cannot lead a pane to the door.
    void localPathsLoadThroughTheDoor()
    {
        TempFolder dir;
        QVERIFY(dir.isValid());
        const AppPaths paths(dir.path());
        QVERIFY(WriteFile(paths.dataFile(QStringLiteral("flash.htm")),
                          "<html><body><script>document.title = 'q' + location.search;</script></body></html>"));
        QVERIFY(WriteFile(paths.dataFile(QStringLiteral("n.htm")), "<p>list</p>"));
        QVERIFY(WriteFile(paths.dataFile(QStringLiteral("date_n.dat")), "secret"));
        QVERIFY(WriteFile(paths.configPath(), "secret"));
        QVERIFY(QDir().mkpath(paths.flashDir()));
        QVERIFY(QFile::link(paths.configPath(), paths.flashFile(QStringLiteral("1"))));

        ProgramProfile profile(paths);
        {
            auto pane = newPane(&profile);
            const QString path = paths.dataFile(QStringLiteral("flash.htm"));
            QVERIFY(load(*pane, path + QStringLiteral("?12")));
            QCOMPARE(m_seen, QStringList{path + QStringLiteral("?12")});
            QCOMPARE(pane->page()->url(), QUrl(QStringLiteral("kavo://app/app/flash.htm?12")));
            QTRY_COMPARE(pane->page()->title(), QStringLiteral("q?12"));
            QCOMPARE(pane->locationUrl(), path + QStringLiteral("?12"));

            const QString read = QStringLiteral(
                "(function(u){var x=new XMLHttpRequest();x.open('GET',u,false);"
                "try{x.send();return x.status+':'+x.responseText}catch(e){return 'refused'}})('%1')");
            QCOMPARE(js(*pane, read.arg(QStringLiteral("n.htm"))).toString(), QStringLiteral("200:<p>list</p>"));
            for (const QString &bad : {QStringLiteral("../config.ini"), QStringLiteral("%2e%2e/config.ini"),
                                       QStringLiteral("date_n.dat"), QStringLiteral("/etc/passwd"),
                                       QStringLiteral("../flash/1.swf"), QStringLiteral("../flash/x1.swf"),
                                       QUrl::fromLocalFile(paths.configPath()).toString(),
                                       QStringLiteral("file:///etc/passwd")})
                QVERIFY2(js(*pane, read.arg(bad)).toString() == QLatin1String("refused"), qPrintable(bad));

            // A web page cannot send the pane (or a frame) to the door.
            QVERIFY(load(*pane, m_base + QStringLiteral("next.htm")));
            m_seen.clear();
            m_cancel = [](const QString &) { return false; };
            js(*pane, QStringLiteral("var f=document.createElement('iframe');f.src='kavo://app/app/n.htm';"
                                     "document.body.appendChild(f);location.href='kavo://app/app/n.htm';"));
            js(*pane, QStringLiteral("setTimeout(function(){location.href='portal.htm'},0)"));
            QTRY_COMPARE(pane->page()->url(), QUrl(m_base + QStringLiteral("portal.htm")));
            for (const QString &seen : m_seen)
                QVERIFY2(!seen.startsWith(QLatin1String("kavo")), qPrintable(seen));
        }
    }

    void navigateErrorCarriesTheFailingUrl()
    {
        auto pane = newPane();
        QSignalSpy errors(pane.get(), &WebPane::NavigateError);
        QSignalSpy complete(pane.get(), &WebPane::DownloadComplete);

        const QString missing = m_base + QStringLiteral("missing.htm");
        load(*pane, missing);
        QTRY_COMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), missing);
        QCOMPARE(errors.at(0).at(1).toInt(), 404);

        const QString refused = QStringLiteral("http://127.0.0.1:%1/x.htm").arg(HttpServer::closedPort());
        load(*pane, refused);
        QTRY_COMPARE(errors.count(), 2);
        QCOMPARE(errors.at(1).at(0).toString(), refused);
        QVERIFY(errors.at(1).at(1).toInt() < 0);
        QCOMPARE(complete.count(), 2);

        QVERIFY(load(*pane, m_base + QStringLiteral("next.htm")));
        QCOMPARE(errors.count(), 2);
    }

    void silentPaneShowsNoDialogs()
    {
        DialogWatch watch;
        auto pane = newPane();
        // As the main window does it: silent from the first load on.
        connect(pane.get(), &WebPane::DownloadBegin, pane.get(), [&] { pane->setSilent(true); });
        QVERIFY(load(*pane, m_base + QStringLiteral("dialogs.htm")));
        QTRY_COMPARE(pane->page()->title(), QStringLiteral("done:false:null"));

        // A page that asks to stay, after a real click gave it the right to
        // ask, is left without a question.
        m_cancel = [](const QString &) { return false; };
        QVERIFY(load(*pane, m_base + QStringLiteral("stay.htm")));
        QVERIFY(activateByClick(*pane));
        js(*pane, QStringLiteral("location.href = 'next.htm'"));
        QTRY_COMPARE(pane->page()->title(), QStringLiteral("next"));
        QCOMPARE(watch.dialogs, 0);

        // The same page in a pane that is not silent does ask.
        pane->disconnect(pane.get(), &WebPane::DownloadBegin, nullptr, nullptr);
        pane->setSilent(false);
        QVERIFY(load(*pane, m_base + QStringLiteral("stay.htm")));
        QVERIFY(activateByClick(*pane));
        js(*pane, QStringLiteral("location.href = 'next.htm'"));
        QTRY_VERIFY(watch.dialogs > 0);
    }

    // A page's own request for a window is dropped without a word; one in
    // answer to a click is asked about, and goes on unless cancelled.
    void newWindowRequests()
    {
        auto pane = newPane();
        QVERIFY(load(*pane, m_base + QStringLiteral("next.htm")));
        bool cancelWindow = false;
        connect(pane.get(), &WebPane::NewWindow2, this, [&](bool *cancel) { *cancel = cancelWindow; });
        QSignalSpy asked(pane.get(), &WebPane::NewWindow2);
        QSignalSpy open(pane.get(), &WebPane::NewWindowRequested);

        js(*pane, QStringLiteral("window.open('%1portal.htm');"
                                 "var a = document.createElement('a'); a.href = 'frame.htm'; a.target = '_blank';"
                                 "a.style = 'position:fixed;left:0;top:0;width:200px;height:200px;display:block';"
                                 "document.body.appendChild(a); a.click();").arg(m_base));
        QVERIFY(settled(*pane));
        QCOMPARE(asked.count(), 0);

        QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, QPoint(100, 100));
        QTRY_COMPARE(open.count(), 1);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(open.at(0).at(0).toString(), m_base + QStringLiteral("frame.htm"));

        cancelWindow = true;
        QTest::mouseClick(pane->focusProxy(), Qt::LeftButton, {}, QPoint(100, 100));
        QTRY_COMPARE(asked.count(), 2);
        QVERIFY(settled(*pane));
        QCOMPARE(open.count(), 1);
        QCOMPARE(pane->page()->url().toString(), m_base + QStringLiteral("next.htm"));
    }

    // A page's requests for permissions are refused at once, not left open.
    void permissionsAreRefused()
    {
        auto pane = newPane();
        QVERIFY(load(*pane, m_base + QStringLiteral("next.htm")));
        js(*pane, QStringLiteral("window.r = []; Notification.requestPermission().then(x => r.push(x));"
                                 "navigator.geolocation.getCurrentPosition(p => r.push('located'), e => r.push(e.code));"));
        QTRY_COMPARE(js(*pane, QStringLiteral("r.sort().join()")).toString(), QStringLiteral("1,denied"));
    }

    // Hooked documents raise ContextMenu instead of the browser's menu; the
    // others keep the browser's menu.
    void contextMenusFollowTheHooks()
    {
        auto pane = newPane();
        WebPane::MenuHooks hooks;
        hooks.hookTop = true;
        hooks.hookFrameNames = {QStringLiteral("tuzomain")};
        pane->setMenuHooks(hooks);
        QVERIFY(loadPortal(*pane));
        QSignalSpy menus(pane.get(), &WebPane::ContextMenu);

        QTest::mouseClick(pane->focusProxy(), Qt::RightButton, {}, centreOf(*pane, QString(), QStringLiteral("play")));
        QTRY_COMPARE(menus.count(), 1);
        auto info = menus.at(0).at(0).value<WebPane::ContextMenuInfo>();
        QVERIFY(info.isTop);
        QCOMPARE(info.targetHref, PLAY);
        QCOMPARE(info.documentUrl, m_base + QStringLiteral("portal.htm"));

        QTest::mouseClick(pane->focusProxy(), Qt::RightButton, {},
                          centreOf(*pane, QStringLiteral("tuzomain"), QStringLiteral("play")));
        QTRY_COMPARE(menus.count(), 2);
        info = menus.at(1).at(0).value<WebPane::ContextMenuInfo>();
        QVERIFY(!info.isTop);
        QCOMPARE(info.frameName, QStringLiteral("tuzomain"));
        QCOMPARE(info.targetHref, FRAME_PLAY);
        QVERIFY(settled(*pane));
        QVERIFY(!QApplication::activePopupWidget());

        QTest::mouseClick(pane->focusProxy(), Qt::RightButton, {},
                          centreOf(*pane, QStringLiteral("other"), QStringLiteral("play")));
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
        QCOMPARE(menus.count(), 2);
    }
};

QTEST_MAIN(TestWebPane)
#include "tst_ui_webpane.moc"

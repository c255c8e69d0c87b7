// The two promotion windows on the test screen against the demo portal: the
// floating window's place, state and pages, its close picture, new windows
// and the boss key; the recommendation window at quit, closed by its picture
// or by a new window, each time ending the program.
#include "resources/gui/skinresources.h"
#include "services/gui/promotionwindow.h"
#include "services/promotionplace.h"
#include "shell/framegeometry.h"
#include "support/browserrecorder.h"
#include "support/eventwait.h"
#include "support/gamebox.h"
#include "support/trayhost.h"
#include "support/x11probe.h"

#include <QElapsedTimer>
#include <QScreen>
#include <QtTest>

namespace
{
// The page of a promotion window has loaded and shows its link.
bool pageShown(PromotionWindow *window, const QString &url)
{
    return window->Web1()->locationUrl() == url
        && GameBox::js(window->Web1(), QStringLiteral("document.readyState == 'complete' && !!document.querySelector('a[target=_blank]')"))
               .toBool();
}

// A real click on the page's link that opens a new window.
void clickNewWindowLink(PromotionWindow *window)
{
    const QPoint at = GameBox::centreOf(window->Web1(), QStringLiteral("a[target=_blank]"));
    QVERIFY(at.x() >= 0);
    QTest::mouseClick(window->Web1()->focusProxy(), Qt::LeftButton, {}, at);
}

// What the screen shows of a window, for a look.
void saveScreenshot(QWidget *window, const char *name)
{
    const QRect r = window->frameGeometry();
    QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height())
        .save(QStringLiteral(KAVO_BUILD_DIR "/%1.png").arg(QString::fromLatin1(name)));
}

// Runs `action` in the event loop and answers whether the program was ended
// by it: a quit it asked for comes before the loop's own end.
bool actionEndsTheProgram(const std::function<void()> &action)
{
    QTimer::singleShot(0, [action] {
        action();
        QTimer::singleShot(0, [] { QCoreApplication::exit(7); });
    });
    return QCoreApplication::exec() != 7;
}
} // namespace

class TestUiPromotion : public QObject
{
    Q_OBJECT

    // A window on the demo portal with the default notice (no promotions),
    // one for each case.
    std::unique_ptr<GameBox> m_box;

    BA1 *window() const { return m_box->w.get(); }

    adsb *showFloating()
    {
        BA1 *w = window();
        w->Timer2_Timer();
        adsb *floating = w->floatingPromotion();
        if (!floating || !QTest::qWaitForWindowExposed(floating, 10000)) {
            qWarning("the floating window did not show");
            return nullptr;
        }
        const QString page = m_box->base() + QStringLiteral("js/ads/fudong.html");
        if (!KavoTest::WaitUntil([&] { return pageShown(floating, page); }, 40000)) {
            qWarning("the floating window shows %s", qPrintable(floating->Web1()->locationUrl()));
            return nullptr;
        }
        return floating;
    }

    // Calls `act` once, from the event loop, when the recommendation window
    // shows its page; looks while `watch` runs.
    void whenRecommendationShown(QTimer &watch, const std::function<void(ba4 *)> &act)
    {
        connect(&watch, &QTimer::timeout, this, [this, &watch, act] {
            ba4 *r = window()->exitPromotion();
            if (!r || !r->isVisible() || !pageShown(r, m_box->base() + QStringLiteral("js/ads/tui.html")))
                return;
            watch.stop();
            act(r);
        });
        watch.start(100);
    }

private Q_SLOTS:
    void init()
    {
        // The quitting cases get the notice's flag for the recommendation
        // window: exactly "1", or a "1" with a line break.
        const QByteArray name = QTest::currentTestFunction();
        QStringList switches;
        if (name.startsWith("recommendation"))
            switches = {QStringLiteral("--notice"), QStringLiteral("1====0====1.0")};
        else if (name == "otherFlagsEndAtOnce")
            switches = {QStringLiteral("--notice"), QStringLiteral("1\r\n====0====1.0")};
        m_box = std::make_unique<GameBox>();
        QVERIFY(m_box->start(switches, false));
    }
    // The notice has been read (6 s after the window was made).
    bool exitFlagIs(const QString &flag)
    {
        return KavoTest::WaitUntil([&] { return window()->state().ExitPromoFlag == flag; }, 30000);
    }

    void cleanup()
    {
        m_box.reset();
    }

    void floatingWindow()
    {
        BA1 *w = window();
        QPointer<adsb> floating = showFloating();
        QVERIFY(floating);

        QCOMPARE(floating->windowTitle(), QStringLiteral("Kavo游戏盒推荐"));
        QCOMPARE(floating->size(), QSize(268, 200));
        // Bottom right, by the twips: 4020 x 3000 twips on this screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint place = FloatingPromotionPlace(screen, QSize(268, 200));
        if (screen.size() == QSize(1280, 1024))
            QCOMPARE(place, QPoint(1006, 794));
        const X11Probe::Window xid = X11Probe::Window(floating->winId());
        // On the work area: a panel taller than the gap below pushes it up.
        const QRect expected = FrameGeometry::FitInside(QRect(place, QSize(268, 200)),
                                                        QGuiApplication::primaryScreen()->availableGeometry());
        QTRY_COMPARE_WITH_TIMEOUT(X11Probe::rootGeometry(xid), expected, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(X11Probe::netWmState(xid).contains(QStringLiteral("_NET_WM_STATE_ABOVE")), 5000);
        // The page's border lies outside the window; the close picture sits on
        // top in the corner.
        QCOMPARE(floating->Web1()->geometry(), QRect(-2, -2, 272, 204));
        QCOMPARE(floating->Picture1()->geometry(), QRect(252, 3, 11, 11));
        QCOMPARE(floating->Picture1()->image().convertToFormat(QImage::Format_RGB32),
                 PromotionCloseImage(PromotionClose::Floating).convertToFormat(QImage::Format_RGB32));
        QVERIFY(floating->Web1()->isSilent());
        QVERIFY(GameBox::js(floating->Web1(), QStringLiteral("document.body.innerText")).toString().contains(QStringLiteral("今日热门")));
        QTRY_VERIFY(floating->Picture1()->visibleRegion().boundingRect() == QRect(0, 0, 11, 11));
        saveScreenshot(floating, "promotion-floating");

        // A click on the close picture unloads it; the program goes on.
        QTest::mouseClick(floating->Picture1(), Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_VERIFY(!floating);
        QVERIFY(!w->floatingPromotion());
        QVERIFY(w->isVisible());

        // Shown again, a link that asks for a new window: the page goes to
        // the user's browser and the window closes.
        floating = showFloating();
        QVERIFY(floating);
        BrowserRecorder browser;
        clickNewWindowLink(floating);
        QTRY_COMPARE_WITH_TIMEOUT(browser.opened, QStringList{m_box->base()}, 10000);
        QTRY_VERIFY(!floating);
        QVERIFY(w->isVisible());
    }

    // The boss key takes the floating window with everything else, it does
    // not come back with the main window, and its timer shows nothing while
    // the program is hidden. Closing it while the main
    // window is hidden does not end the program.
    void floatingWindowAndTheBossKey()
    {
        BA1 *w = window();
        QVERIFY(w->bossKey());
        QPointer<adsb> floating = showFloating();
        QVERIFY(floating);
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+s")}));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 5000);
        QTRY_VERIFY(!floating);
        // Its timer while everything is hidden shows nothing.
        w->Timer2_Timer();
        QVERIFY(!w->floatingPromotion());
        QVERIFY(Xdotool({QStringLiteral("key"), QStringLiteral("ctrl+s")}));
        QTRY_VERIFY_WITH_TIMEOUT(w->isVisible(), 5000);
        QVERIFY(!w->floatingPromotion());

        w->hide();
        floating = showFloating();
        QVERIFY(floating);
        QVERIFY(!actionEndsTheProgram([&] { QTest::mouseClick(floating->Picture1(), Qt::LeftButton, {}, QPoint(5, 5)); }));
        QTRY_VERIFY(!floating);
    }

    // Quitting with ExitPromoFlag "1": the recommendation window, closed by
    // its picture well before its time, and the program ends with it.
    void recommendationWindowClosedByItsPicture()
    {
        BA1 *w = window();
        QPointer<adsb> floating = showFloating();
        QVERIFY(floating);
        QVERIFY(exitFlagIs(QStringLiteral("1")));

        QString failure = QStringLiteral("the window was never clicked");
        QElapsedTimer sinceClick;
        QTimer watch;
        whenRecommendationShown(watch, [&](ba4 *r) {
            failure.clear();
            if (floating || w->isVisible())
                failure = QStringLiteral("other windows are still there");
            else if (r->windowTitle() != QStringLiteral("推荐") || r->size() != QSize(350, 250))
                failure = QStringLiteral("title or size");
            else if (r->Web1()->geometry() != QRect(-2, -2, 354, 254) || r->Picture1()->geometry() != QRect(296, 4, 51, 21))
                failure = QStringLiteral("layout");
            else if (r->Picture1()->image().convertToFormat(QImage::Format_RGB32)
                     != PromotionCloseImage(PromotionClose::Recommendation).convertToFormat(QImage::Format_RGB32))
                failure = QStringLiteral("close picture");
            else if (r->Timer1()->remainingTime() <= 0)
                failure = QStringLiteral("its time is already up");
            saveScreenshot(r, "promotion-recommendation");
            sinceClick.start();
            QTest::mouseClick(r->Picture1(), Qt::LeftButton, {}, QPoint(20, 10));
        });
        QVERIFY(endsTheProgram([w] { w->ttt_v(); }, 30000));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(sinceClick.elapsed() < 3000);
        QTRY_VERIFY(!w->exitPromotion());
    }

    void recommendationWindowNewWindow()
    {
        BA1 *w = window();
        QVERIFY(exitFlagIs(QStringLiteral("1")));
        BrowserRecorder browser;
        bool clicked = false;
        QTimer watch;
        whenRecommendationShown(watch, [&](ba4 *r) {
            clicked = true;
            clickNewWindowLink(r);
        });
        QVERIFY(endsTheProgram([w] { w->ttt_v(); }, 30000));
        QVERIFY(clicked);
        QCOMPARE(browser.opened, QStringList{m_box->base()});
    }

    // Anything but exactly "1" ends the program at once.
    void otherFlagsEndAtOnce()
    {
        BA1 *w = window();
        QVERIFY(exitFlagIs(QStringLiteral("1\r\n")));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(endsTheProgram([w] { w->ttt_v(); }, 30000));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!w->exitPromotion());
        QVERIFY(!m_box->portal.requests().contains(QStringLiteral("/js/ads/tui.html")));
    }
};

QTEST_MAIN(TestUiPromotion)
#include "tst_ui_promotion.moc"

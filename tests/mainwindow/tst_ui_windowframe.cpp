// The borderless main window against the window manager: real pointer input
// (xdotool) moves, resizes and maximises it; the "above" state shows in the
// window's _NET_WM_STATE.

#include "support/gamebox.h"

#include "resources/skinrects.h"

#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "support/eventwait.h"
#include "support/x11probe.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QtTest>

#include <functional>

using namespace SkinRects;

namespace
{
bool xdotool(const QStringList &args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args) == 0;
}

// What of the real pointer's input the program has been given so far.
class PointerInput : public QObject
{
public:
    PointerInput() { qApp->installEventFilter(this); }
    ~PointerInput() override { qApp->removeEventFilter(this); }
    QPoint last{-1, -1};
    int presses = 0;
    int releases = 0;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        switch (e->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            last = static_cast<QMouseEvent *>(e)->globalPosition().toPoint();
            presses += e->type() == QEvent::MouseButtonPress;
            releases += e->type() == QEvent::MouseButtonRelease;
            break;
        case QEvent::Enter:
            last = static_cast<QEnterEvent *>(e)->globalPosition().toPoint();
            break;
        default:
            break;
        }
        return false;
    }
};

PointerInput *input()
{
    static PointerInput *seen = new PointerInput;
    return seen;
}

// The pointer goes there and the program has seen it arrive.
bool pointerTo(const QPoint &global)
{
    const QPoint native = X11Probe::toNative(global);
    const bool ok = xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(native.x()),
                             QString::number(native.y())});
    return ok && KavoTest::WaitUntil([global] { return input()->last == global; }, 5000);
}

// A step of a drag the window manager carries out (it holds the pointer, the
// program sees nothing): done once the window has followed to `arrived`.
bool dragStep(const QPoint &global, const std::function<bool()> &arrived)
{
    const QPoint native = X11Probe::toNative(global);
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(native.x()),
                    QString::number(native.y())})
        && KavoTest::WaitUntil(arrived, 5000);
}

// A press or release the program is given; "click" is both.
bool button(const char *action)
{
    const int presses = input()->presses, releases = input()->releases;
    const QString a = QString::fromLatin1(action);
    if (!xdotool({a, QStringLiteral("1")}))
        return false;
    return KavoTest::WaitUntil(
        [&] {
            return (a == QLatin1String("mouseup") || input()->presses > presses)
                && (a == QLatin1String("mousedown") || input()->releases > releases);
        },
        5000);
}

// The program has asked the window manager to carry out a move or resize
// (it lets go of the pointer and sends the request), and the manager has
// taken the pointer for it: the window saw the pointer go to a grab.
// Watched without grabbing: a test's own grab, even a short one, could
// take the pointer from under the manager and end its resize.
bool handedToWindowManager(X11Probe::GrabWatch &watch, int takenBefore)
{
    X11Probe::sync();
    return KavoTest::WaitUntil([&] { return watch.taken() > takenBefore; }, 5000);
}

// The release that ends a move or resize of the window manager: it goes to
// the manager. Done once the manager has let go of the pointer, and what it
// last told the window has reached the program (the server's geometry of
// the window is the program's).
bool releaseFromWindowManager(const QWidget *w)
{
    return xdotool({QStringLiteral("mouseup"), QStringLiteral("1")})
        && KavoTest::WaitUntil([] { return !X11Probe::pointerGrabbed(); }, 5000)
        && KavoTest::WaitUntil(
            [w] { return X11Probe::rootGeometry(X11Probe::Window(w->winId())) == w->geometry(); }, 5000)
        && KavoTest::Settle();
}

QString netWmState(const QWidget *w)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(w->winId()), QStringLiteral("_NET_WM_STATE")});
    xprop.waitForFinished(5000);
    return QString::fromLocal8Bit(xprop.readAllStandardOutput());
}

QRect workArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}
} // namespace

class TestUiWindowFrame : public QObject
{
    Q_OBJECT

private:
    // Shows the window at its design size and waits for the window manager.
    bool showWindow(GameBox &f)
    {
        if (!f.show())
            return false;
        input();
        const BA1 *w = f.w.get();
        // Placed by the window manager: the server's geometry of the window
        // has reached the program.
        return KavoTest::WaitUntil([w] { return w->size() == QSize(903, 614); }, 5000)
            && KavoTest::WaitUntil(
                [w] { return X11Probe::rootGeometry(X11Probe::Window(w->winId())) == w->geometry(); }, 5000)
            && KavoTest::Settle();
    }

    // A point of the caption bar that no control covers.
    static QPoint background(const BA1 *w) { return w->geometry().topLeft() + QPoint(300, 14); }

private Q_SLOTS:
    // A case that failed with the button held would leave the window
    // manager in its move or resize for every later case.
    void cleanup()
    {
        if (QTest::currentTestFailed())
            xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});
    }

    void draggingTheBackgroundMovesTheWindow()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QPoint before = w->geometry().topLeft();
        const QPoint start = background(w);
        QVERIFY(pointerTo(start));
        X11Probe::GrabWatch watch(X11Probe::Window(w->winId()));
        const int taken = watch.taken();
        QVERIFY(button("mousedown"));
        // The first move with the button held reaches the program, which
        // hands the move to the window manager; the manager moves the window
        // from there.
        QVERIFY(pointerTo(start + QPoint(10, 5)));
        QVERIFY(handedToWindowManager(watch, taken));
        for (const QPoint step : {QPoint(50, 25), QPoint(100, 50)})
            dragStep(start + step, [=] { return w->geometry().topLeft() == before + step - QPoint(10, 5); });
        QVERIFY(releaseFromWindowManager(w));
        // The window manager takes over at the first move with the button
        // held and follows the pointer from there.
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry().topLeft(), before + QPoint(100, 50) - QPoint(10, 5), 5000);
        QCOMPARE(w->size(), QSize(903, 614));
        // A move saves no size.
        QCOMPARE(f.setting("h_w"), QStringLiteral("13550"));
    }

    void rightEdgeBandWidensAndSavesTheSize()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        f.setSetting("h_w", QStringLiteral("1"));
        const QPoint edge = w->geometry().topLeft() + QPoint(903 - 1, 300);

        // Hovering on the band shows the size cursor; the interior the default one.
        QVERIFY(pointerTo(edge));
        QTRY_COMPARE(w->cursor().shape(), Qt::SizeHorCursor);
        QVERIFY(pointerTo(background(w)));
        QTRY_COMPARE(w->cursor().shape(), Qt::ArrowCursor);

        QVERIFY(pointerTo(edge));
        // The press hands the resize to the window manager.
        X11Probe::GrabWatch watch(X11Probe::Window(w->winId()));
        const int taken = watch.taken();
        QVERIFY(button("mousedown"));
        QVERIFY(handedToWindowManager(watch, taken));
        for (int dx : {20, 60, 120})
            dragStep(edge + QPoint(dx, 0), [=] { return w->width() == 903 + dx; });
        QVERIFY(releaseFromWindowManager(w));
        QTRY_COMPARE_WITH_TIMEOUT(w->width(), 903 + 120, 5000);
        QCOMPARE(w->height(), 614);
        QTRY_COMPARE_WITH_TIMEOUT(f.setting("h_w"), QString::number((903 + 120) * 15), 5000);
        QCOMPARE(f.setting("h_h"), QString::number(614 * 15));
        // The left edge did not move.
        QVERIFY(pointerTo(background(w)));
    }

    void resizingBelowTheMinimumSnapsBack()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QPoint corner = w->geometry().topLeft() + QPoint(903 - 1, 614 - 1);
        QVERIFY(pointerTo(corner));
        QTRY_COMPARE(w->cursor().shape(), Qt::SizeFDiagCursor);
        X11Probe::GrabWatch watch(X11Probe::Window(w->winId()));
        const int taken = watch.taken();
        QVERIFY(button("mousedown"));
        QVERIFY(handedToWindowManager(watch, taken));
        for (int d : {50, 150, 300})
            dragStep(corner - QPoint(d, d),
                     [=] { return w->size() == QSize(std::max(903 - d, 737), std::max(614 - d, 521)); });
        // 11050 x 7815 twips; the saved size is the one the window ends at.
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(737, 521), 5000);
        // The manager has let go and its last word has reached the window.
        QVERIFY(releaseFromWindowManager(w));
        QCOMPARE(w->size(), QSize(737, 521));
        QTRY_COMPARE_WITH_TIMEOUT(f.setting("h_w"), QString::number(737 * 15), 5000);
        QCOMPARE(f.setting("h_h"), QString::number(521 * 15));
    }

    void pressOnTheBandSavesTheSizeEvenWithoutChange()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        f.setSetting("h_w", QStringLiteral("1"));
        f.setSetting("h_h", QStringLiteral("1"));
        QVERIFY(pointerTo(w->geometry().topLeft() + QPoint(450, 614 - 1)));
        QTRY_COMPARE(w->cursor().shape(), Qt::SizeVerCursor);
        X11Probe::GrabWatch watch(X11Probe::Window(w->winId()));
        const int taken = watch.taken();
        QVERIFY(button("mousedown"));
        QVERIFY(handedToWindowManager(watch, taken));
        QVERIFY(releaseFromWindowManager(w));
        QTRY_COMPARE_WITH_TIMEOUT(f.setting("h_w"), QStringLiteral("13545"), 5000);
        QCOMPARE(f.setting("h_h"), QStringLiteral("9210"));
        QCOMPARE(w->size(), QSize(903, 614));

        // A press inside saves nothing.
        f.setSetting("h_w", QStringLiteral("1"));
        QVERIFY(pointerTo(background(w)));
        QVERIFY(button("mousedown"));
        QVERIFY(button("mouseup"));
        QCOMPARE(f.setting("h_w"), QStringLiteral("1"));
    }

    void maximisedWindowNeitherMovesNorResizes()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        w->npc_Click(Caption::Maximise);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        QVERIFY(KavoTest::WaitUntil(
            [w] { return X11Probe::netWmState(X11Probe::Window(w->winId())).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ")); },
            5000));
        QVERIFY(KavoTest::Settle());
        f.setSetting("h_w", QStringLiteral("1"));

        const QPoint edge(workArea().right(), workArea().center().y());
        QVERIFY(pointerTo(edge));
        QTRY_COMPARE(w->cursor().shape(), Qt::SizeHorCursor);
        // Maximised, the program keeps the press and every move to itself
        // and hands nothing to the window manager: each reaches it.
        QVERIFY(button("mousedown"));
        QVERIFY(pointerTo(edge - QPoint(100, 0)));
        QVERIFY(button("mouseup"));
        QVERIFY(!X11Probe::pointerGrabbed());
        QVERIFY(KavoTest::Settle());
        QCOMPARE(w->geometry(), workArea());
        QCOMPARE(f.setting("h_w"), QStringLiteral("1"));

        const QPoint start = workArea().topLeft() + QPoint(600, 14);
        QVERIFY(pointerTo(start));
        QVERIFY(button("mousedown"));
        QVERIFY(pointerTo(start + QPoint(80, 80)));
        QVERIFY(button("mouseup"));
        QVERIFY(!X11Probe::pointerGrabbed());
        QVERIFY(KavoTest::Settle());
        QCOMPARE(w->geometry(), workArea());
    }

    void doubleClickOnTheBackgroundTogglesMaximise()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QRect normal = w->geometry();
        QVERIFY(pointerTo(background(w)));
        QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                         QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        // The maximised window covers the work area from its origin.
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        QCOMPARE(w->npc(Caption::Maximise)->toolTipText(), QStringLiteral("还原"));
        QVERIFY(netWmState(w).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ")));
        // The next two clicks land far from the last ones (the window has
        // grown under the pointer): no triple click, whatever the time between.

        QVERIFY(pointerTo(workArea().topLeft() + QPoint(600, 14)));
        QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                         QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMaximized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), normal, 5000);
        QCOMPARE(w->npc(Caption::Maximise)->toolTipText(), QStringLiteral("最大化"));
    }

    void minimisingKeepsTheLayoutAndFullScreenComesBackMaximised()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QRect page = w->zz(0)->geometry();
        w->npc_Click(Caption::Minimise);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMinimized(), 5000);
        // Iconified by the window manager, and that news handled.
        QVERIFY(KavoTest::WaitUntil(
            [w] { return X11Probe::netWmState(X11Probe::Window(w->winId())).contains(QStringLiteral("_NET_WM_STATE_HIDDEN")); },
            5000));
        QVERIFY(KavoTest::Settle());
        QCOMPARE(w->zz(0)->geometry(), page);
        w->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMinimized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(903, 614), 5000);

        // In full-screen game mode a restore from the taskbar maximises again.
        f.play(QStringLiteral("tuzoflash://7$$$http://127.0.0.1:9/7.swf$$$风车"));
        w->c_z_click(Tool::FullScreen);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        w->npc_Click(Caption::Minimise);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMinimized(), 5000);
        w->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized() && !w->isMinimized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->zz(1)->geometry(), QRect(4, 30, workArea().width() - 8, workArea().height() - 34), 5000);
    }

    void alwaysOnTopIsTheAboveState()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QRect before = w->geometry();
        QVERIFY(!netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));

        // The pin button, clicked with the real pointer.
        QVERIFY(pointerTo(w->npc(Caption::OnTop)->mapToGlobal(QPoint(10, 9))));
        QVERIFY(button("click"));
        QCOMPARE(w->npc(Caption::OnTop)->toolTipText(), QStringLiteral("取消置顶"));
        QTRY_VERIFY_WITH_TIMEOUT(netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE")), 5000);
        QVERIFY(w->isVisible());
        QCOMPARE(w->geometry(), before);

        w->zhi_d(0);
        QTRY_VERIFY_WITH_TIMEOUT(!netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE")), 5000);
        w->zhi_d(1);
        QTRY_VERIFY_WITH_TIMEOUT(netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE")), 5000);
        QCOMPARE(w->geometry(), before);
        QVERIFY(w->isVisible());
    }

    void hoverFollowsTheRealPointer()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        ImageButton *close = w->npc(Caption::Close);
        const auto pixels = [close] { return framePixels(close->image(), close->size()); };

        QVERIFY(pointerTo(close->mapToGlobal(QPoint(16, 9))));
        QTRY_COMPARE(pixels(), stripPixels(w->ppt(Strip::CaptionButtonsHover), CAPTION_CLOSE));
        QTRY_VERIFY(w->P1()->isVisible());
        QCOMPARE(w->P1()->pos(), QPoint(close->x() + 2, close->y() + 19 + 3));
        QCOMPARE(w->bo_tip()->text(), QStringLiteral("关闭"));

        QVERIFY(pointerTo(background(w)));
        QTRY_COMPARE(pixels(), stripPixels(w->ppt(Strip::CaptionButtons), CAPTION_CLOSE));
        QTRY_VERIFY(!w->P1()->isVisible());

        // A tab: hover image, no tooltip box.
        ImageButton *tab = w->npc(Caption::FourthTab);
        QVERIFY(pointerTo(tab->mapToGlobal(QPoint(38, 30))));
        QTRY_COMPARE(framePixels(tab->image(), {77, 63}), stripPixels(w->ppt(Strip::TabsHover), {231, 0, 77, 63}));
        QVERIFY(!w->P1()->isVisible());
        QVERIFY(pointerTo(background(w)));
        QTRY_COMPARE(framePixels(tab->image(), {77, 63}), stripPixels(w->ppt(Strip::Tabs), {231, 0, 77, 63}));
    }
};

QTEST_MAIN(TestUiWindowFrame)
#include "tst_ui_windowframe.moc"

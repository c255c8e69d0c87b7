// The borderless main window against the window manager: real pointer input
// (xdotool) moves, resizes and maximises it; the "above" state shows in the
// window's _NET_WM_STATE.

#include "support/gamebox.h"

#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "support/eventwait.h"

#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QtTest>

namespace
{
bool xdotool(const QStringList &args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args) == 0;
}

bool pointerTo(const QPoint &global)
{
    const bool ok = xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
                             QString::number(global.y())});
    QTest::qWait(150);
    return ok;
}

bool button(const char *action)
{
    const bool ok = xdotool({QString::fromLatin1(action), QStringLiteral("1")});
    QTest::qWait(250);
    return ok;
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
        const bool sized = KavoTest::WaitUntil([&f] { return f.w->size() == QSize(903, 614); }, 5000);
        QTest::qWait(300);
        return sized;
    }

    // A point of the caption bar that no control covers.
    static QPoint background(const BA1 *w) { return w->geometry().topLeft() + QPoint(300, 14); }

private Q_SLOTS:
    void draggingTheBackgroundMovesTheWindow()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QPoint before = w->geometry().topLeft();
        const QPoint start = background(w);
        QVERIFY(pointerTo(start));
        QVERIFY(button("mousedown"));
        for (const QPoint step : {QPoint(10, 5), QPoint(50, 25), QPoint(100, 50)})
            pointerTo(start + step);
        QVERIFY(button("mouseup"));
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
        QVERIFY(button("mousedown"));
        for (int dx : {20, 60, 120})
            pointerTo(edge + QPoint(dx, 0));
        QVERIFY(button("mouseup"));
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
        QVERIFY(button("mousedown"));
        for (int d : {50, 150, 300})
            pointerTo(corner - QPoint(d, d));
        QVERIFY(button("mouseup"));
        // 11050 x 7815 twips; the saved size is the one the window ends at.
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(737, 521), 5000);
        QTest::qWait(300);
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
        QVERIFY(button("mousedown"));
        QVERIFY(button("mouseup"));
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
        w->npc_Click(1);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        QTest::qWait(300);
        f.setSetting("h_w", QStringLiteral("1"));

        const QPoint edge(workArea().right(), workArea().center().y());
        QVERIFY(pointerTo(edge));
        QTRY_COMPARE(w->cursor().shape(), Qt::SizeHorCursor);
        QVERIFY(button("mousedown"));
        pointerTo(edge - QPoint(100, 0));
        QVERIFY(button("mouseup"));
        QTest::qWait(300);
        QCOMPARE(w->geometry(), workArea());
        QCOMPARE(f.setting("h_w"), QStringLiteral("1"));

        const QPoint start = workArea().topLeft() + QPoint(600, 14);
        QVERIFY(pointerTo(start));
        QVERIFY(button("mousedown"));
        pointerTo(start + QPoint(80, 80));
        QVERIFY(button("mouseup"));
        QTest::qWait(300);
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
        QCOMPARE(w->npc[1]->toolTipText(), QStringLiteral("还原"));
        QVERIFY(netWmState(w).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ")));
        QTest::qWait(300);

        QVERIFY(pointerTo(workArea().topLeft() + QPoint(600, 14)));
        QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                         QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMaximized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), normal, 5000);
        QCOMPARE(w->npc[1]->toolTipText(), QStringLiteral("最大化"));
    }

    void minimisingKeepsTheLayoutAndFullScreenComesBackMaximised()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QRect page = w->zz[0]->geometry();
        w->npc_Click(0);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMinimized(), 5000);
        QTest::qWait(200);
        QCOMPARE(w->zz[0]->geometry(), page);
        w->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMinimized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(903, 614), 5000);

        // In full-screen game mode a restore from the taskbar maximises again.
        w->npc_Click(7);
        w->FullScreenGame = 1;
        w->LayoutFullScreenGame();
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        w->npc_Click(0);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMinimized(), 5000);
        w->showNormal();
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized() && !w->isMinimized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->zz[1]->geometry(), QRect(4, 30, workArea().width() - 8, workArea().height() - 34), 5000);
    }

    void alwaysOnTopIsTheAboveState()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(showWindow(f));
        BA1 *w = f.w.get();
        const QRect before = w->geometry();
        QVERIFY(!netWmState(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE")));

        // The pin button, clicked with the real pointer.
        QVERIFY(pointerTo(w->npc[4]->mapToGlobal(QPoint(10, 9))));
        QVERIFY(button("click"));
        QCOMPARE(w->npc[4]->toolTipText(), QStringLiteral("取消置顶"));
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
        ImageButton *close = w->npc[2];
        const auto pixels = [close] { return framePixels(close->image(), close->size()); };

        QVERIFY(pointerTo(close->mapToGlobal(QPoint(16, 9))));
        QTRY_COMPARE(pixels(), stripPixels(w->ppt[2], {93, 0, 33, 19}));
        QTRY_VERIFY(w->P1->isVisible());
        QCOMPARE(w->P1->pos(), QPoint(close->x() + 2, close->y() + 19 + 3));
        QCOMPARE(w->bo_tip->text(), QStringLiteral("关闭"));

        QVERIFY(pointerTo(background(w)));
        QTRY_COMPARE(pixels(), stripPixels(w->ppt[1], {93, 0, 33, 19}));
        QTRY_VERIFY(!w->P1->isVisible());

        // A tab: hover image, no tooltip box.
        ImageButton *tab = w->npc[9];
        QVERIFY(pointerTo(tab->mapToGlobal(QPoint(38, 30))));
        QTRY_COMPARE(framePixels(tab->image(), {77, 63}), stripPixels(w->ppt[8], {231, 0, 77, 63}));
        QVERIFY(!w->P1->isVisible());
        QVERIFY(pointerTo(background(w)));
        QTRY_COMPARE(framePixels(tab->image(), {77, 63}), stripPixels(w->ppt[6], {231, 0, 77, 63}));
    }
};

QTEST_MAIN(TestUiWindowFrame)
#include "tst_ui_windowframe.moc"

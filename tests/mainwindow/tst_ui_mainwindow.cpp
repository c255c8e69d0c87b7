// The main window's layout, buttons, tabs and close command, on a real window
// under a window manager.

#include "support/gamebox.h"

#include "portal/gui/webpane.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/windowhooks.h"
#include "support/dialoganswers.h"
#include "support/eventwait.h"
#include "support/trayhost.h"
#include "support/x11probe.h"

#include <QLabel>
#include <QAbstractButton>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>

namespace
{
const int TAB_BUTTONS[5] = {6, 7, 8, 9, 3};

QRect geo(const QWidget *w)
{
    return w->geometry();
}
} // namespace

class TestUiMainWindow : public QObject
{
    Q_OBJECT

private:
    // The standard layout of a W x H client area.
    void checkStandardLayout(BA1 *w)
    {
        const int W = w->width();
        const int H = w->height();
        QCOMPARE(geo(w->npc[2]), QRect(W - 38, 5, 33, 19));
        QCOMPARE(geo(w->npc[1]), QRect(W - 62, 5, 24, 19));
        QCOMPARE(geo(w->npc[0]), QRect(W - 86, 5, 24, 19));
        QCOMPARE(geo(w->npc[5]), QRect(W - 110, 5, 24, 19));
        QCOMPARE(geo(w->npc[4]), QRect(W - 132, 5, 21, 19));
        for (int k = 0; k < 5; ++k)
            QCOMPARE(geo(w->npc[TAB_BUTTONS[k]]), QRect(10 + 77 * k, 30, 77, 63));

        QCOMPARE(w->ni_name->pos(), QPoint(28, 7));
        QCOMPARE(geo(w->ad_pic), QRect(W - 270, 31, 250, 60));
        QCOMPARE(geo(w->adweb), QRect(-2, -2, 254, 64));
        QCOMPARE(w->renj->pos(), QPoint(20, H - 20));
        QCOMPARE(w->renj->text(), QStringLiteral("老板键 Ctrl+S"));

        // Pages and overlay; the game page reaches 24 pixels further down.
        QCOMPARE(geo(w->zzer), QRect(4, 96, W - 8, H - 124));
        for (int i : {0, 2, 3, 4})
            QCOMPARE(geo(w->zz[i]), QRect(4, 96, W - 8, H - 124));
        QCOMPARE(geo(w->zz[1]), QRect(4, 96, W - 8, H - 100));
        QCOMPARE(w->zz[1]->height() - w->zz[0]->height(), 24);
        const QRect page(-2, -2, W - 8 + 4, H - 124 + 4);
        QCOMPARE(geo(w->Web1), page);
        QCOMPARE(geo(w->Web4), page);
        QCOMPARE(geo(w->Web5), page);
        QCOMPARE(w->webe->pos(), QPoint(w->P2->x() + 50, w->P2->y() + w->P2->height() + 30));

        // Toolbar buttons 55 pixels apart, the status after the sixth.
        const int lefts[7] = {30, 85, 140, 195, 250, 305, 360};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(geo(w->c_z[i]), QRect(lefts[i], 7, 45, 25));
        QCOMPARE(w->lblCount->pos(), QPoint(425, 15));

        // Game page with the side list hidden (its design state).
        const int gw = W - 8;
        const int gh = H - 100;
        QCOMPARE(geo(w->picg), QRect(0, 0, gw, 25));
        QVERIFY(w->Pic2->isHidden());
        QCOMPARE(geo(w->picf), QRect(0, 25, gw, gh - 25));
        QCOMPARE(geo(w->Pic1), QRect(0, 0, gw, gh - 25 - 35));
        QCOMPARE(geo(w->Picd), QRect(0, gh - 25 - 35, gw, 35));
        QCOMPARE(geo(w->Web2), QRect(-4, -4, gw + 6, gh - 60 + 6));
        QCOMPARE(geo(w->c_z[7]), QRect(gw - 35, 7, 26, 26));

        // List page.
        const int lw = W - 8;
        const int lh = H - 124;
        QCOMPARE(geo(w->pic4), QRect(0, 0, lw, 25));
        QCOMPARE(w->lcname->pos(), QPoint(168, 7));
        QCOMPARE(w->shan_name->pos(), QPoint(W - w->shan_name->width() - 40, 7));
        QCOMPARE(w->Im2->pos(), QPoint(158, 9));
        QCOMPARE(w->Im2->image(), w->Image1->image());
        QCOMPARE(geo(w->Pic6), QRect(0, 25, 150, lh - 25));
        QCOMPARE(geo(w->Pic3), QRect(1, 1, 148, lh - 25 - 1));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(geo(w->lc[i]), QRect(0, 33 * i, 148, 32));
        QCOMPARE(w->lc[0]->text(), QStringLiteral("\r\n最近玩过游戏"));
        QCOMPARE(w->lc[2]->text(), QStringLiteral("\r\n已下载的游戏"));
        QCOMPARE(geo(w->Pic7), QRect(156, 25, lw - 156, lh - 25));
        QCOMPARE(geo(w->Pic5), QRect(1, 1, lw - 156 - 1, lh - 25 - 1));
        QCOMPARE(geo(w->Web3), QRect(-4, -4, lw - 157 + 6, lh - 26 + 6));

        // The rounded region is one pixel wider and taller than the window.
        QCOMPARE(w->mask().boundingRect(), QRect(0, 0, W + 1, H + 1));
        QVERIFY(!w->mask().contains(QPoint(0, 0)));
        QVERIFY(w->mask().contains(QPoint(2, 0)));
        QVERIFY(w->mask().contains(QPoint(W / 2, H / 2)));
    }

    void waitForSize(BA1 *w, QSize size)
    {
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), size, 5000);
        // The layout the resize queued has run.
        QVERIFY(KavoTest::Settle());
    }

    QRect workArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    // The close command hides the window to the notification area.
    std::unique_ptr<TrayHost> m_trayHost;

private Q_SLOTS:
    void initTestCase()
    {
        m_trayHost = std::make_unique<TrayHost>();
        QVERIFY(m_trayHost->running());
    }

    void standardLayout_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("first-run size") << QSize(903, 614);
        QTest::newRow("larger") << QSize(1100, 760);
    }

    void standardLayout()
    {
        QFETCH(QSize, size);
        GameBox f(GameBox::NO_PORTAL);
        f.w->resize(size);
        QVERIFY(f.show());
        waitForSize(f.w.get(), size);
        checkStandardLayout(f.w.get());
        if (QTest::currentTestFailed())
            return;

        // The loading panel is centred and raised 100 pixels: 240 x 56 picture.
        const QSize inner = f.w->zzer->size();
        QCOMPARE(f.w->P2->size(), QSize(240, 56));
        QCOMPARE(f.w->P2->pos(), QPoint(size.width() == 903 ? 328 : 426, (inner.height() - 56) / 2 - 100));

        // With the side list shown the game area is 172 pixels narrower.
        f.w->c_z[7]->setToolTipText(QStringLiteral("隐藏"));
        f.w->LayoutGamePane();
        const int gw = size.width() - 8;
        const int gh = size.height() - 100;
        QVERIFY(!f.w->Pic2->isHidden());
        QCOMPARE(geo(f.w->Pic2), QRect(gw - 168, 25, 168, gh - 25));
        QCOMPARE(geo(f.w->picf), QRect(0, 25, gw - 172, gh - 25));
        QCOMPARE(geo(f.w->Picd), QRect(0, gh - 60, gw - 172, 35));
        QCOMPARE(geo(f.w->c_z[7]), QRect(gw - 172 - 35, 7, 26, 26));
        QCOMPARE(geo(f.w->Webr), QRect(-1, -1, 171, gh - 25 + 3));
        // A tooltip that only contains the word still counts.
        f.w->c_z[7]->setToolTipText(QStringLiteral("显示"));
        f.w->LayoutGamePane();
        QVERIFY(f.w->Pic2->isHidden());
        QCOMPARE(geo(f.w->picf), QRect(0, 25, gw, gh - 25));
    }

    void framePieces()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        waitForSize(w, QSize(903, 614));
        const QImage shot = pictureOf(w);
        const QImage &skin = w->ppt[0];
        const int W = 903;
        const int H = 614;
        // Corners unstretched, middles stretched from their one column or row.
        QCOMPARE(shot.pixel(5, 50), skin.pixel(5, 50));
        QCOMPARE(shot.pixel(W - 3, 50), skin.pixel(97, 50));
        QCOMPARE(shot.pixel(W / 2, 12), skin.pixel(80, 12));
        QCOMPARE(shot.pixel(W / 2, 94), skin.pixel(80, 94));
        QCOMPARE(shot.pixel(1, 300), skin.pixel(1, 99));
        QCOMPARE(shot.pixel(W - 2, 300), skin.pixel(98, 99));
        QCOMPARE(shot.pixel(2, H - 2), skin.pixel(2, 131));
        QCOMPARE(shot.pixel(W / 2, H - 1), skin.pixel(50, 132));
        QCOMPARE(shot.pixel(W - 2, H - 2), skin.pixel(98, 131));
    }

    void minimumSizeSnapsBack()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        waitForSize(w, QSize(903, 614));
        // 11050 x 7815 twips.
        w->resize(600, 400);
        waitForSize(w, QSize(737, 521));
        checkStandardLayout(w);
        if (QTest::currentTestFailed())
            return;
        w->resize(700, 600);
        waitForSize(w, QSize(737, 600));
        w->resize(737, 521);
        waitForSize(w, QSize(737, 521));

        // Without the size hint (a window manager that ignores it) the resize
        // handler itself puts the window back.
        w->setMinimumSize(0, 0);
        w->resize(600, 700);
        waitForSize(w, QSize(737, 700));
        w->resize(800, 300);
        waitForSize(w, QSize(800, 521));
    }

    void maximisedAndFullScreenLayouts()
    {
        if (const QString no = X11Probe::windowManagerMissing(); !no.isEmpty())
            QFAIL(qPrintable(no));
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        waitForSize(w, QSize(903, 614));
        const QRect normal = w->geometry();

        w->npc_Click(1);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        waitForSize(w, workArea().size());
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        // The window manager has finished maximising: its state on the window.
        QVERIFY(KavoTest::WaitUntil([w] {
            const QStringList state = X11Probe::netWmState(X11Probe::Window(w->winId()));
            return state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ"))
                && state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"));
        }, 10000));
        QCOMPARE(w->npc[1]->toolTipText(), QStringLiteral("还原"));
        QCOMPARE(framePixels(w->npc[1]->image(), {24, 19}), stripPixels(w->ppt[4], {0, 0, 24, 19}));
        checkStandardLayout(w);
        if (QTest::currentTestFailed())
            return;

        // Full-screen game: the toolbar command's part first, then the layout.
        w->npc_Click(7);
        w->FullScreenGame = 1;
        w->Picd->hide();
        w->ad_pic->hide();
        w->c_z[8]->show();
        w->npc[1]->setToolTipText(QStringLiteral("还原"));
        w->LayoutFullScreenGame();
        QVERIFY(KavoTest::Settle());
        const int W = w->width();
        const int H = w->height();
        QCOMPARE(geo(w->zz[1]), QRect(4, 30, W - 8, H - 34));
        QCOMPARE(geo(w->picg), QRect(0, 0, W - 8, 25));
        QCOMPARE(geo(w->c_z[8]), QRect(W - 8 - 80, 3, 55, 20));
        QCOMPARE(geo(w->picf), QRect(0, 25, W - 8, H - 34 - 25));
        QCOMPARE(geo(w->Pic1), QRect(0, 0, W - 8, H - 34 - 25));
        QCOMPARE(geo(w->Web2), QRect(-4, -4, W - 8 + 6, H - 59 + 6));
        QCOMPARE(framePixels(w->npc[1]->image(), {24, 19}), stripPixels(w->ppt[4], {0, 0, 24, 19}));
        // A resize keeps the full-screen layout.
        QMetaObject::invokeMethod(w, [w] { w->setWindowState(Qt::WindowMaximized); });
        // Already maximised: nothing goes to the window manager. Whatever the
        // call sent has reached the server and what it queued has run.
        X11Probe::sync();
        QVERIFY(KavoTest::Settle());
        QCOMPARE(geo(w->zz[1]), QRect(4, 30, W - 8, H - 34));

        // Laying out the game page (a new game, the side-panel button) keeps
        // the game covering the page.
        const QRect pic1 = geo(w->Pic1);
        w->LayoutGamePane();
        QCOMPARE(geo(w->zz[1]), QRect(4, 30, W - 8, H - 34));
        QCOMPARE(geo(w->Pic1), pic1);

        // The maximise button leaves full-screen mode for the normal window.
        w->npc_Click(1);

        QCOMPARE(w->FullScreenGame, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMaximized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), normal.size(), 5000);
        QVERIFY(KavoTest::Settle());
        QVERIFY(w->c_z[8]->isHidden());
        QVERIFY(!w->Picd->isHidden());
        // The test's portal does not answer: the failed promotion stays hidden.
        QTRY_COMPARE_WITH_TIMEOUT(w->TopAdFailed, 1, 20000);
        QVERIFY(w->ad_pic->isHidden());
        QCOMPARE(w->npc[1]->toolTipText(), QStringLiteral("最大化"));
        QCOMPARE(w->npc[2]->toolTipText(), QStringLiteral("关闭"));
        QCOMPARE(framePixels(w->npc[1]->image(), {24, 19}), stripPixels(w->ppt[1], {69, 0, 24, 19}));
        checkStandardLayout(w);
    }

    void initialImages()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        const QImage *ppt = w->ppt;
        QCOMPARE(ppt[6].size(), QSize(385, 63));
        QCOMPARE(framePixels(w->npc[0]->image(), {24, 19}), stripPixels(ppt[1], {45, 0, 24, 19}));
        QCOMPARE(framePixels(w->npc[1]->image(), {24, 19}), stripPixels(ppt[1], {69, 0, 24, 19}));
        QCOMPARE(framePixels(w->npc[2]->image(), {33, 19}), stripPixels(ppt[1], {93, 0, 33, 19}));
        QCOMPARE(framePixels(w->npc[4]->image(), {21, 19}), stripPixels(ppt[5], {0, 0, 21, 19}));
        QCOMPARE(framePixels(w->npc[5]->image(), {24, 19}), stripPixels(ppt[1], {21, 0, 24, 19}));
        QCOMPARE(framePixels(w->npc[6]->image(), {77, 63}), stripPixels(ppt[8], {0, 0, 77, 63}));
        for (int k = 1; k < 5; ++k)
            QCOMPARE(framePixels(w->npc[TAB_BUTTONS[k]]->image(), {77, 63}), stripPixels(ppt[6], {77 * k, 0, 77, 63}));
        QCOMPARE(framePixels(w->c_z[0]->image(), {45, 25}), stripPixels(ppt[11], {0, 0, 45, 25}));
        QCOMPARE(framePixels(w->c_z[2]->image(), {45, 25}), stripPixels(ppt[11], {0, 25, 45, 25}));
        QCOMPARE(framePixels(w->c_z[7]->image(), {26, 26}), stripPixels(ppt[12], {0, 26, 26, 26}));
        const int plain[5] = {1, 3, 4, 5, 6};
        for (int k = 0; k < 5; ++k)
            QCOMPARE(framePixels(w->c_z[plain[k]]->image(), {45, 25}), stripPixels(ppt[9], {45 * k, 0, 45, 25}));
        QCOMPARE(w->c_z[8]->size(), QSize(55, 20));
        QCOMPARE(framePixels(w->c_z[8]->image(), {55, 20}), stripPixels(ppt[3], {0, 0, 55, 20}));
        // Design states the rest of the program compares.
        QCOMPARE(w->npc[4]->toolTipText(), QStringLiteral("置顶"));
        QCOMPARE(w->c_z[0]->toolTipText(), QStringLiteral("停止"));
        QCOMPARE(w->c_z[2]->toolTipText(), QStringLiteral("静音"));
        QCOMPARE(w->c_z[7]->toolTipText(), QStringLiteral("显示"));
        QVERIFY(w->c_z[8]->isHidden());
        // The recent list is current after the load.
        QCOMPARE(w->lcname->text(), QStringLiteral("当前列表 >> 最近玩过的游戏："));
        QCOMPARE(w->shan_name->text(), QStringLiteral("清空全部玩过的游戏"));
    }

    void hoverImages_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("hoverStrip");
        QTest::addColumn<int>("normalStrip");
        QTest::addColumn<QRect>("hoverRect");
        QTest::addColumn<QRect>("normalRect");
        const QString none;
        QTest::newRow("minimise") << 0 << none << 2 << 1 << QRect(45, 0, 24, 19) << QRect(45, 0, 24, 19);
        QTest::newRow("maximise") << 1 << none << 2 << 1 << QRect(69, 0, 24, 19) << QRect(69, 0, 24, 19);
        QTest::newRow("restore") << 1 << QStringLiteral("maximised") << 4 << 4 << QRect(24, 0, 24, 19)
                                 << QRect(0, 0, 24, 19);
        QTest::newRow("close") << 2 << none << 2 << 1 << QRect(93, 0, 33, 19) << QRect(93, 0, 33, 19);
        QTest::newRow("pin") << 4 << QStringLiteral("置顶") << 5 << 5 << QRect(21, 0, 21, 19) << QRect(0, 0, 21, 19);
        QTest::newRow("unpin") << 4 << QStringLiteral("取消置顶") << 5 << 5 << QRect(63, 0, 21, 19)
                               << QRect(42, 0, 21, 19);
        QTest::newRow("menu") << 5 << none << 2 << 1 << QRect(21, 0, 24, 19) << QRect(21, 0, 24, 19);
        for (int k = 0; k < 5; ++k) {
            QTest::addRow("tab %d", k) << TAB_BUTTONS[k] << none << 8 << 6 << QRect(77 * k, 0, 77, 63)
                                       << QRect(77 * k, 0, 77, 63);
        }
    }

    void hoverImages()
    {
        QFETCH(int, index);
        QFETCH(QString, state);
        QFETCH(int, hoverStrip);
        QFETCH(int, normalStrip);
        QFETCH(QRect, hoverRect);
        QFETCH(QRect, normalRect);
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        if (state == QStringLiteral("maximised")) {
            w->npc_Click(1);
            QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        } else if (!state.isEmpty()) {
            w->npc[index]->setToolTipText(state);
        }
        ImageButton *b = w->npc[index];
        const QSize size = b->size();
        const bool caption = index <= 5 && index != 3;

        // Edges count as inside.
        w->npc_MouseMove(index, Qt::NoButton, Qt::NoModifier, QPoint(size.width(), size.height()));
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt[hoverStrip], hoverRect));
        QCOMPARE(w->P1->isVisible(), caption);
        if (caption) {
            QCOMPARE(w->bo_tip->text(), b->toolTipText());
            QCOMPARE(w->bo_tip->pos(), QPoint(2, 2));
            QCOMPARE(geo(w->P1), QRect(b->x() + 2, b->y() + size.height() + 3, w->bo_tip->width() + 5,
                                       w->bo_tip->height() + 5));
        }
        w->npc_MouseMove(index, Qt::NoButton, Qt::NoModifier, QPoint(size.width() + 1, 3));
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt[normalStrip], normalRect));
        QVERIFY(!w->P1->isVisible());

        // The same through the button's own events: a move inside, then leaving.
        // The first tab is the selected one and takes no events.
        if (!b->isEnabled())
            return;
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), b->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(b, &move);
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt[hoverStrip], hoverRect));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b, &leave);
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt[normalStrip], normalRect));
        QVERIFY(!w->P1->isVisible());
    }

    void clicksRepaintTheRestingImage()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        // The menu button repaints its resting image and pops up the program
        // menu; the tooltip box goes away with any click.
        w->npc_MouseMove(5, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(w->P1->isVisible());
        MenuAnswer menu;
        w->npc_Click(5);
        QCOMPARE(menu.count, 1);
        QVERIFY(!w->P1->isVisible());
        QCOMPARE(framePixels(w->npc[5]->image(), {24, 19}), stripPixels(w->ppt[1], {21, 0, 24, 19}));
        QVERIFY(w->isVisible());

        // The pin button changes its state only; the next move paints it.
        w->npc_MouseMove(4, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        w->npc_Click(4);
        QCOMPARE(framePixels(w->npc[4]->image(), {21, 19}), stripPixels(w->ppt[5], {21, 0, 21, 19}));
        w->npc_MouseMove(4, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(framePixels(w->npc[4]->image(), {21, 19}), stripPixels(w->ppt[5], {63, 0, 21, 19}));

        w->npc_MouseMove(0, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        w->npc_Click(0);
        QCOMPARE(framePixels(w->npc[0]->image(), {24, 19}), stripPixels(w->ppt[1], {45, 0, 24, 19}));
        QTRY_VERIFY_WITH_TIMEOUT(w->isMinimized(), 5000);
    }

    void tabs()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        const auto visiblePages = [w] {
            QList<int> pages;
            for (int i = 0; i < 5; ++i) {
                if (w->zz[i]->isVisibleTo(w))
                    pages.append(i);
            }
            return pages;
        };
        QCOMPARE(w->CurrentTab, 6);
        QCOMPARE(visiblePages(), QList<int>{0});
        QVERIFY(!w->npc[6]->isEnabled());

        QTest::mouseClick(w->npc[8], Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(w->CurrentTab, 8);
        QCOMPARE(visiblePages(), QList<int>{2});
        QVERIFY(!w->npc[8]->isEnabled());
        QVERIFY(w->npc[6]->isEnabled());
        QCOMPARE(framePixels(w->npc[8]->image(), {77, 63}), stripPixels(w->ppt[7], {154, 0, 77, 63}));
        QCOMPARE(framePixels(w->npc[6]->image(), {77, 63}), stripPixels(w->ppt[6], {0, 0, 77, 63}));

        // The selected tab takes no clicks and no hover.
        QTest::mouseClick(w->npc[8], Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseMove(w->npc[8], QPoint(30, 30));
        QCOMPARE(w->CurrentTab, 8);
        QCOMPARE(visiblePages(), QList<int>{2});
        QCOMPARE(framePixels(w->npc[8]->image(), {77, 63}), stripPixels(w->ppt[7], {154, 0, 77, 63}));

        // Selecting the current tab again repaints it selected and keeps it disabled.
        w->npc_Click(8);
        QVERIFY(!w->npc[8]->isEnabled());
        QCOMPARE(visiblePages(), QList<int>{2});
        QCOMPARE(framePixels(w->npc[8]->image(), {77, 63}), stripPixels(w->ppt[7], {154, 0, 77, 63}));

        // Last tab and back to the game page.
        w->npc_Click(3);
        QCOMPARE(visiblePages(), QList<int>{4});
        QCOMPARE(framePixels(w->npc[3]->image(), {77, 63}), stripPixels(w->ppt[7], {308, 0, 77, 63}));
        QCOMPARE(framePixels(w->npc[8]->image(), {77, 63}), stripPixels(w->ppt[6], {154, 0, 77, 63}));
        w->npc_Click(7);
        QCOMPARE(visiblePages(), QList<int>{1});
        QCOMPARE(w->CurrentTab, 7);
    }

    void listTabs()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        const auto colour = [w](int i) { return w->lc[i]->palette().color(QPalette::Window); };
        QCOMPARE(w->Im1->pos(), QPoint(22, 10));
        QCOMPARE(colour(0), QColor(0xff, 0xff, 0xff));
        QCOMPARE(colour(1), QColor(0xf5, 0xf5, 0xf5));

        QTest::mouseClick(w->lc[1], Qt::LeftButton);
        QCOMPARE(w->lcname->text(), QStringLiteral("当前列表 >> 我收藏的游戏："));
        QCOMPARE(w->shan_name->text(), QStringLiteral("清空全部收藏的游戏"));
        QCOMPARE(w->Im1->pos(), QPoint(22, 43));
        QCOMPARE(colour(0), QColor(0xf5, 0xf5, 0xf5));
        QCOMPARE(colour(1), QColor(0xff, 0xff, 0xff));
        QTRY_VERIFY_WITH_TIMEOUT(w->Web3->url().toString().endsWith(QStringLiteral("/app/c.htm")), 10000);

        w->lc_Click(2);
        QCOMPARE(w->lcname->text(), QStringLiteral("当前列表 >> 已下载的游戏："));
        QCOMPARE(w->shan_name->text(), QStringLiteral("清空全部下载的游戏"));
        QCOMPARE(w->Im1->pos(), QPoint(22, 76));
        QTRY_VERIFY_WITH_TIMEOUT(w->Web3->url().toString().endsWith(QStringLiteral("/app/d.htm")), 10000);

        // Another index changes nothing.
        w->lc_Click(5);
        QCOMPARE(w->Im1->pos(), QPoint(22, 76));
        QCOMPARE(colour(2), QColor(0xff, 0xff, 0xff));
    }

    void firstCloseAsks_data()
    {
        QTest::addColumn<QString>("quitBefore");
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes hides") << QStringLiteral("2") << true;
        QTest::newRow("yes hides, whatever quit held") << QStringLiteral("1") << true;
        QTest::newRow("no exits") << QStringLiteral("2") << false;
    }

    void firstCloseAsks()
    {
        QFETCH(QString, quitBefore);
        QFETCH(bool, yes);
        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("ts"), QStringLiteral("3")}, {QStringLiteral("quit"), quitBefore}});
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        MessageAnswer answer(yes ? QMessageBox::Yes : QMessageBox::No);
        if (yes) {
            w->npc_Click(2);
            QVERIFY(!w->isVisible());
        } else {
            QVERIFY(endsTheProgram([w] { w->npc_Click(2); }));
            QVERIFY(!w->isVisible());
        }
        QCOMPARE(answer.count, 1);
        QCOMPARE(answer.text, QStringLiteral("关闭 Kavo游戏盒 最小化到托盘吗？"));
        QCOMPARE(answer.title, QStringLiteral("提示："));
        QCOMPARE(answer.icon, QMessageBox::Question);
        QCOMPARE(f.setting("ts"), QStringLiteral("1"));
        QCOMPARE(f.setting("quit"), yes ? QStringLiteral("2") : QStringLiteral("1"));
    }

    void laterClosesFollowQuit_data()
    {
        QTest::addColumn<QString>("quit");
        QTest::addColumn<bool>("exits");
        QTest::newRow("1 exits") << QStringLiteral("1") << true;
        QTest::newRow("2 hides") << QStringLiteral("2") << false;
        QTest::newRow("0 hides") << QStringLiteral("0") << false;
    }

    void laterClosesFollowQuit()
    {
        QFETCH(QString, quit);
        QFETCH(bool, exits);
        GameBox f(GameBox::NO_PORTAL, {{QStringLiteral("ts"), QStringLiteral("1")}, {QStringLiteral("quit"), quit}});
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        MessageAnswer answer(QMessageBox::Yes);
        if (exits)
            QVERIFY(endsTheProgram([w] { w->npc_Click(2); }));
        else
            w->npc_Click(2);
        // A question would have been asked inside the click, as a modal box.
        QCOMPARE(answer.count, 0);
        QVERIFY(!w->isVisible());
        QCOMPARE(f.setting("ts"), QStringLiteral("1"));
        QCOMPARE(f.setting("quit"), quit);
        // The close image is the resting one.
        QCOMPARE(framePixels(w->npc[2]->image(), {33, 19}), stripPixels(w->ppt[1], {93, 0, 33, 19}));
    }

    void sizeLimitHook()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        QVERIFY(w->minMaxHook());
        QCOMPARE(w->minMaxHook()->maximumTrackSize(), workArea().size());
        QCOMPARE(w->minMaxHook()->minimumTrackSize(), QSize(0, 0));
        QCOMPARE(w->maximumSize(), workArea().size());
        QCOMPARE(w->minMaxHook()->maximisedGeometry(), workArea());
    }

    void screenshotAtFirstRunSize()
    {
        GameBox f(GameBox::NO_PORTAL);
        QCOMPARE(f.setting("s_size"), QStringLiteral("2"));
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        waitForSize(w, QSize(903, 614));
        // Earlier tests leave the simulated pointer over a tab.
        QTest::mouseMove(w, QPoint(450, 300));
        // The hover has left every control: no tooltip box, nothing queued.
        QVERIFY(KavoTest::WaitUntil([w] { return !w->P1->isVisible(); }, 5000));
        QVERIFY(KavoTest::Settle());
        const QImage shot = w->grab().toImage();
        QVERIFY(shot.save(QStringLiteral(KAVO_BUILD_DIR "/mainwindow.png")));
        // The game page and the list page, for a look at the other layouts,
        // as they show once the portal has loaded (the overlay gone).
        w->zzer->hide();
        w->c_z[7]->setToolTipText(QStringLiteral("隐藏"));
        w->npc_Click(7);
        w->LayoutGamePane();
        QVERIFY(KavoTest::Settle());
        QVERIFY(w->grab().toImage().save(QStringLiteral(KAVO_BUILD_DIR "/mainwindow-game.png")));
        w->npc_Click(8);
        QVERIFY(KavoTest::Settle());
        QVERIFY(w->grab().toImage().save(QStringLiteral(KAVO_BUILD_DIR "/mainwindow-lists.png")));
    }
};

QTEST_MAIN(TestUiMainWindow)
#include "tst_ui_mainwindow.moc"

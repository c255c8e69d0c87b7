// The main window's layout, buttons, tabs and close command, on a real window
// under a window manager.

#include "support/gamebox.h"

#include "resources/skinrects.h"

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

using namespace SkinRects;

namespace
{

QRect geo(const QWidget *w)
{
    return w->geometry();
}

// Parts of the standard layout: their place in their parent at the first-run
// size (903 x 614), which of its x, y, width and height grow with the window's
// width and height, and the step from one part of a row to the next. A place
// without a size is a label's, whose size follows the font.
struct Placed
{
    const char *name;
    QList<QWidget *> widgets;
    QRect at903x614;
    const char *follows;
    QPoint step = {};
};
} // namespace

class TestUiMainWindow : public QObject
{
    Q_OBJECT

private:
    // The standard layout at the window's present size.
    void checkStandardLayout(BA1 *w)
    {
        const int dw = w->width() - 903;
        const int dh = w->height() - 614;
        const QList<Placed> places = {
            {"close", {w->npc(Caption::Close)}, {865, 5, 33, 19}, "x"},
            {"maximise", {w->npc(Caption::Maximise)}, {841, 5, 24, 19}, "x"},
            {"minimise", {w->npc(Caption::Minimise)}, {817, 5, 24, 19}, "x"},
            {"menu", {w->npc(Caption::Menu)}, {793, 5, 24, 19}, "x"},
            {"pin", {w->npc(Caption::OnTop)}, {771, 5, 21, 19}, "x"},
            {"tabs", {w->npc(Caption::PortalTab), w->npc(Caption::GameTab), w->npc(Caption::ListTab), w->npc(Caption::FourthTab), w->npc(Caption::FifthTab)}, {10, 30, 77, 63}, "", {77, 0}},
            {"title", {w->ni_name()}, {28, 7, 0, 0}, ""},
            {"promotion", {w->ad_pic()}, {633, 31, 250, 60}, "x"},
            {"promotion pane", {w->adweb()}, {-2, -2, 254, 64}, ""},
            {"status line", {w->renj()}, {20, 594, 0, 0}, "y"},
            {"pages 0, 2, 3, 4 and their loading overlay", {w->zz(0), w->zz(2), w->zz(3), w->zz(4), w->zzer()},
             {4, 96, 895, 490}, "wh"},
            {"game page", {w->zz(1)}, {4, 96, 895, 514}, "wh"},
            {"panes of pages 0, 3, 4", {w->Web1(), w->Web4(), w->Web5()}, {-2, -2, 899, 494}, "wh"},
            {"title strips of the game and list pages", {w->game()->picg(), w->list()->pic4()}, {0, 0, 895, 25}, "w"},
            {"game area", {w->game()->picf()}, {0, 25, 895, 489}, "wh"},
            {"player box", {w->game()->Pic1()}, {0, 0, 895, 454}, "wh"},
            {"player pane", {w->game()->Web2()}, {-4, -4, 901, 460}, "wh"},
            {"toolbar", {w->game()->Picd()}, {0, 454, 895, 35}, "yw"},
            {"toolbar buttons", {w->game()->c_z(Tool::StopContinue), w->game()->c_z(Tool::Reload), w->game()->c_z(Tool::Mute), w->game()->c_z(Tool::Favourite), w->game()->c_z(Tool::Screenshot), w->game()->c_z(Tool::Download), w->game()->c_z(Tool::FullScreen)},
             {30, 7, 45, 25}, "", {55, 0}},
            {"side list button", {w->game()->c_z(Tool::SidePanel)}, {860, 7, 26, 26}, "x"},
            {"download status", {w->game()->lblCount()}, {425, 15, 0, 0}, ""},
            {"list name", {w->list()->lcname()}, {168, 7, 0, 0}, ""},
            {"list header marker", {w->list()->Im2()}, {158, 9, 7, 9}, ""},
            {"list column", {w->list()->Pic6()}, {0, 25, 150, 465}, "h"},
            {"list tab column", {w->list()->Pic3()}, {1, 1, 148, 464}, "h"},
            {"list tabs", {w->list()->lc(0), w->list()->lc(1), w->list()->lc(2)}, {0, 0, 148, 32}, "", {0, 33}},
            {"list frame", {w->list()->Pic7()}, {156, 25, 739, 465}, "wh"},
            {"list box", {w->list()->Pic5()}, {1, 1, 738, 464}, "wh"},
            {"list pane", {w->list()->Web3()}, {-4, -4, 744, 470}, "wh"},
        };
        for (const Placed &p : places) {
            const QByteArray f = p.follows;
            QRect expected = p.at903x614.translated(f.contains('x') ? dw : 0, f.contains('y') ? dh : 0);
            expected.setSize(expected.size() + QSize(f.contains('w') ? dw : 0, f.contains('h') ? dh : 0));
            for (QWidget *widget : p.widgets) {
                const QRect actual = expected.isEmpty() ? QRect(widget->pos(), QSize(0, 0)) : geo(widget);
                if (actual != expected)
                    qWarning("%s", p.name);
                QCOMPARE(actual, expected);
                expected.translate(p.step);
            }
        }
        // The loading picture is centred 100 pixels above the middle, its text below it.
        QVERIFY((geo(w->P2()).center() - w->zzer()->rect().center() + QPoint(0, 100)).manhattanLength() <= 2);
        QCOMPARE(w->webe()->pos(), geo(w->P2()).bottomLeft() + QPoint(50, 31));
        QCOMPARE(geo(w->list()->shan_name()).right() + 1, w->width() - 40);
        // Web panes cover their parent; nothing else shown leaves its parent,
        // but for the boxes of labels (the loading text's reaches past the
        // page at the smallest size).
        for (QWidget *child : w->findChildren<QWidget *>()) {
            if (child->isWindow() || !child->isVisibleTo(w) || child->inherits("QLabel")
                || child->parentWidget()->inherits("QWebEngineView"))
                continue;
            const QRect parent = child->parentWidget()->rect();
            QVERIFY2(qobject_cast<WebPane *>(child) ? geo(child).contains(parent) : parent.contains(geo(child)),
                     child->metaObject()->className());
        }
        // The rounded region is one pixel wider and taller than the window.
        QCOMPARE(w->mask().boundingRect(), QRect(0, 0, w->width() + 1, w->height() + 1));
        QVERIFY(!w->mask().contains(QPoint(0, 0)));
        QVERIFY(w->mask().contains(QPoint(2, 0)));
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

    // Other sizes: the tests of the smallest size and of maximising.
    void standardLayout()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        QVERIFY(f.show());
        waitForSize(w, QSize(903, 614));
        checkStandardLayout(w);
        QCOMPARE(w->list()->Im2()->image(), w->game()->Image1()->image());
        QCOMPARE(w->list()->lc(0)->text(), QStringLiteral("\r\n最近玩过游戏"));
        QCOMPARE(w->list()->lc(2)->text(), QStringLiteral("\r\n已下载的游戏"));

        // The side list, shown by a game's play command, takes the right 168
        // pixels of the game page; the game area ends 4 pixels before it.
        f.play(QStringLiteral("tuzoflash://7$$$http://127.0.0.1:9/7.swf$$$风车"));
        QCOMPARE(geo(w->game()->Pic2()), QRect(727, 25, 168, 489));
        QCOMPARE(geo(w->game()->picf()), QRect(0, 25, w->game()->Pic2()->x() - 4, w->game()->Pic2()->height()));
        QCOMPARE(w->game()->c_z(Tool::SidePanel)->x(), w->game()->Picd()->width() - 35);
        QVERIFY(geo(w->game()->Webr()).contains(w->game()->Pic2()->rect()));
    }

    void framePieces()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        waitForSize(w, QSize(903, 614));
        const QImage shot = pictureOf(w);
        const QImage &skin = w->ppt(Strip::Frame);
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

        w->npc_Click(Caption::Maximise);
        QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        waitForSize(w, workArea().size());
        QTRY_COMPARE_WITH_TIMEOUT(w->geometry(), workArea(), 5000);
        // The window manager has finished maximising: its state on the window.
        QVERIFY(KavoTest::WaitUntil([w] {
            const QStringList state = X11Probe::netWmState(X11Probe::Window(w->winId()));
            return state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ"))
                && state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"));
        }, 10000));
        QCOMPARE(w->npc(Caption::Maximise)->toolTipText(), QStringLiteral("还原"));
        QCOMPARE(framePixels(w->npc(Caption::Maximise)->image(), {24, 19}), stripPixels(w->ppt(Strip::Restore), RESTORE));
        checkStandardLayout(w);
        if (QTest::currentTestFailed())
            return;

        // Full-screen game, from the toolbar of a game played.
        f.play(QStringLiteral("tuzoflash://7$$$http://127.0.0.1:9/7.swf$$$风车"));
        w->c_z_click(Tool::FullScreen);
        QVERIFY(KavoTest::Settle());
        const int W = w->width();
        const int H = w->height();
        QCOMPARE(geo(w->zz(1)), QRect(4, 30, W - 8, H - 34));
        QCOMPARE(geo(w->game()->picg()), QRect(0, 0, W - 8, 25));
        QCOMPARE(geo(w->game()->c_z(Tool::LeaveFullScreen)), QRect(W - 8 - 80, 3, 55, 20));
        QCOMPARE(geo(w->game()->picf()), QRect(0, 25, W - 8, H - 34 - 25));
        QCOMPARE(geo(w->game()->Pic1()), QRect(0, 0, W - 8, H - 34 - 25));
        QCOMPARE(geo(w->game()->Web2()), QRect(-4, -4, W - 8 + 6, H - 59 + 6));
        QCOMPARE(framePixels(w->npc(Caption::Maximise)->image(), {24, 19}), stripPixels(w->ppt(Strip::Restore), RESTORE));
        // A resize keeps the full-screen layout.
        QMetaObject::invokeMethod(w, [w] { w->setWindowState(Qt::WindowMaximized); });
        // Already maximised: nothing goes to the window manager. Whatever the
        // call sent has reached the server and what it queued has run.
        X11Probe::sync();
        QVERIFY(KavoTest::Settle());
        QCOMPARE(geo(w->zz(1)), QRect(4, 30, W - 8, H - 34));

        // Laying out the game page (a new game, the side-panel button) keeps
        // the game covering the page.
        const QRect pic1 = geo(w->game()->Pic1());
        w->c_z_click(Tool::SidePanel);
        QCOMPARE(geo(w->zz(1)), QRect(4, 30, W - 8, H - 34));
        QCOMPARE(geo(w->game()->Pic1()), pic1);

        // The maximise button leaves full-screen mode for the normal window.
        w->npc_Click(Caption::Maximise);

        QVERIFY(!w->state().FullScreenGame);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isMaximized(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), normal.size(), 5000);
        QVERIFY(KavoTest::Settle());
        QVERIFY(w->game()->c_z(Tool::LeaveFullScreen)->isHidden());
        QVERIFY(!w->game()->Picd()->isHidden());
        // The test's portal does not answer: the failed promotion stays hidden.
        QTRY_VERIFY_WITH_TIMEOUT(w->state().TopAdFailed, 20000);
        QVERIFY(w->ad_pic()->isHidden());
        QCOMPARE(w->npc(Caption::Maximise)->toolTipText(), QStringLiteral("最大化"));
        QCOMPARE(w->npc(Caption::Close)->toolTipText(), QStringLiteral("关闭"));
        QCOMPARE(framePixels(w->npc(Caption::Maximise)->image(), {24, 19}), stripPixels(w->ppt(Strip::CaptionButtons), CAPTION_MAXIMISE));
        checkStandardLayout(w);
    }

    void initialImages()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        const QImage *ppt = w->skinStrips();
        QCOMPARE(ppt[Strip::Tabs].size(), QSize(385, 63));
        QCOMPARE(framePixels(w->npc(Caption::Minimise)->image(), {24, 19}), stripPixels(ppt[Strip::CaptionButtons], CAPTION_MINIMISE));
        QCOMPARE(framePixels(w->npc(Caption::Maximise)->image(), {24, 19}), stripPixels(ppt[Strip::CaptionButtons], CAPTION_MAXIMISE));
        QCOMPARE(framePixels(w->npc(Caption::Close)->image(), {33, 19}), stripPixels(ppt[Strip::CaptionButtons], CAPTION_CLOSE));
        QCOMPARE(framePixels(w->npc(Caption::OnTop)->image(), {21, 19}), stripPixels(ppt[Strip::OnTop], ON_TOP_OFF));
        QCOMPARE(framePixels(w->npc(Caption::Menu)->image(), {24, 19}), stripPixels(ppt[Strip::CaptionButtons], CAPTION_MENU));
        QCOMPARE(framePixels(w->npc(Caption::PortalTab)->image(), {77, 63}), stripPixels(ppt[Strip::TabsHover], {0, 0, 77, 63}));
        for (int k = 1; k < 5; ++k)
            QCOMPARE(framePixels(w->npc(Caption::TABS[k])->image(), {77, 63}), stripPixels(ppt[Strip::Tabs], Tab(k)));
        QCOMPARE(framePixels(w->game()->c_z(Tool::StopContinue)->image(), {45, 25}), stripPixels(ppt[Strip::StopMute], {0, 0, 45, 25}));
        QCOMPARE(framePixels(w->game()->c_z(Tool::Mute)->image(), {45, 25}), stripPixels(ppt[Strip::StopMute], {0, 25, 45, 25}));
        QCOMPARE(framePixels(w->game()->c_z(Tool::SidePanel)->image(), {26, 26}), stripPixels(ppt[Strip::SidePanel], {0, 26, 26, 26}));
        const int plain[5] = {Tool::Reload, Tool::Favourite, Tool::Screenshot, Tool::Download, Tool::FullScreen};
        for (int k = 0; k < 5; ++k)
            QCOMPARE(framePixels(w->game()->c_z(plain[k])->image(), {45, 25}), stripPixels(ppt[Strip::Tools], {45 * k, 0, 45, 25}));
        QCOMPARE(w->game()->c_z(Tool::LeaveFullScreen)->size(), QSize(55, 20));
        QCOMPARE(framePixels(w->game()->c_z(Tool::LeaveFullScreen)->image(), {55, 20}), stripPixels(ppt[Strip::LeaveFullScreen], {0, 0, 55, 20}));
        // Design states the rest of the program compares.
        QCOMPARE(w->npc(Caption::OnTop)->toolTipText(), QStringLiteral("置顶"));
        QCOMPARE(w->game()->c_z(Tool::StopContinue)->toolTipText(), QStringLiteral("停止"));
        QCOMPARE(w->game()->c_z(Tool::Mute)->toolTipText(), QStringLiteral("静音"));
        QCOMPARE(w->game()->c_z(Tool::SidePanel)->toolTipText(), QStringLiteral("显示"));
        QVERIFY(w->game()->c_z(Tool::LeaveFullScreen)->isHidden());
        // The recent list is current after the load.
        QCOMPARE(w->list()->lcname()->text(), QStringLiteral("当前列表 >> 最近玩过的游戏："));
        QCOMPARE(w->list()->shan_name()->text(), QStringLiteral("清空全部玩过的游戏"));
    }

    void hoverImages_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("state");
        QTest::addColumn<Strip::Index>("hoverStrip");
        QTest::addColumn<Strip::Index>("normalStrip");
        QTest::addColumn<QRect>("hoverRect");
        QTest::addColumn<QRect>("normalRect");
        const QString none;
        const Strip::Index hover = Strip::CaptionButtonsHover, normal = Strip::CaptionButtons;
        QTest::newRow("minimise") << int(Caption::Minimise) << none << hover << normal << CAPTION_MINIMISE << CAPTION_MINIMISE;
        QTest::newRow("maximise") << int(Caption::Maximise) << none << hover << normal << CAPTION_MAXIMISE << CAPTION_MAXIMISE;
        QTest::newRow("restore") << int(Caption::Maximise) << QStringLiteral("maximised") << Strip::Restore << Strip::Restore
                                 << Hover(RESTORE) << RESTORE;
        QTest::newRow("close") << int(Caption::Close) << none << hover << normal << CAPTION_CLOSE << CAPTION_CLOSE;
        QTest::newRow("pin") << int(Caption::OnTop) << QStringLiteral("置顶") << Strip::OnTop << Strip::OnTop << Hover(ON_TOP_OFF)
                             << ON_TOP_OFF;
        QTest::newRow("unpin") << int(Caption::OnTop) << QStringLiteral("取消置顶") << Strip::OnTop << Strip::OnTop << Hover(ON_TOP_ON)
                               << ON_TOP_ON;
        QTest::newRow("menu") << int(Caption::Menu) << none << hover << normal << CAPTION_MENU << CAPTION_MENU;
        // The selected first tab keeps its look under the pointer and after.
        for (int k = 0; k < 5; ++k) {
            QTest::addRow("tab %d", k) << int(Caption::TABS[k]) << none << Strip::TabsHover
                                       << (k == 0 ? Strip::TabsHover : Strip::Tabs) << Tab(k) << Tab(k);
        }
    }

    void hoverImages()
    {
        QFETCH(int, index);
        QFETCH(QString, state);
        QFETCH(Strip::Index, hoverStrip);
        QFETCH(Strip::Index, normalStrip);
        QFETCH(QRect, hoverRect);
        QFETCH(QRect, normalRect);
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        if (state == QStringLiteral("maximised")) {
            w->npc_Click(Caption::Maximise);
            QTRY_VERIFY_WITH_TIMEOUT(w->isMaximized(), 5000);
        } else if (state == QStringLiteral("取消置顶")) {
            w->npc_Click(Caption::OnTop);
        }
        ImageButton *b = w->npc(index);
        const QSize size = b->size();
        const bool caption = Caption::TabSlot(index) < 0;

        // Edges count as inside.
        w->npc_MouseMove(index, Qt::NoButton, Qt::NoModifier, QPoint(size.width(), size.height()));
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt(hoverStrip), hoverRect));
        QCOMPARE(w->P1()->isVisible(), caption);
        if (caption) {
            QCOMPARE(w->bo_tip()->text(), b->toolTipText());
            QCOMPARE(w->bo_tip()->pos(), QPoint(2, 2));
            QCOMPARE(geo(w->P1()), QRect(b->x() + 2, b->y() + size.height() + 3, w->bo_tip()->width() + 5,
                                       w->bo_tip()->height() + 5));
        }
        w->npc_MouseMove(index, Qt::NoButton, Qt::NoModifier, QPoint(size.width() + 1, 3));
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt(normalStrip), normalRect));
        QVERIFY(!w->P1()->isVisible());

        // The same through the button's own events: a move inside, then leaving.
        // The first tab is the selected one and takes no events.
        if (!b->isEnabled())
            return;
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), b->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(b, &move);
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt(hoverStrip), hoverRect));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(b, &leave);
        QCOMPARE(framePixels(b->image(), size), stripPixels(w->ppt(normalStrip), normalRect));
        QVERIFY(!w->P1()->isVisible());
    }

    void clicksRepaintTheRestingImage()
    {
        GameBox f(GameBox::NO_PORTAL);
        QVERIFY(f.show());
        BA1 *w = f.w.get();
        // The menu button repaints its resting image and pops up the program
        // menu; the tooltip box goes away with any click.
        w->npc_MouseMove(Caption::Menu, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(w->P1()->isVisible());
        MenuAnswer menu;
        w->npc_Click(Caption::Menu);
        QCOMPARE(menu.count, 1);
        QVERIFY(!w->P1()->isVisible());
        QCOMPARE(framePixels(w->npc(Caption::Menu)->image(), {24, 19}), stripPixels(w->ppt(Strip::CaptionButtons), CAPTION_MENU));
        QVERIFY(w->isVisible());

        // The pin button changes its state only; the next move paints it.
        w->npc_MouseMove(Caption::OnTop, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        w->npc_Click(Caption::OnTop);
        QCOMPARE(framePixels(w->npc(Caption::OnTop)->image(), {21, 19}), stripPixels(w->ppt(Strip::OnTop), Hover(ON_TOP_OFF)));
        w->npc_MouseMove(Caption::OnTop, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(framePixels(w->npc(Caption::OnTop)->image(), {21, 19}), stripPixels(w->ppt(Strip::OnTop), Hover(ON_TOP_ON)));

        w->npc_MouseMove(Caption::Minimise, Qt::NoButton, Qt::NoModifier, QPoint(5, 5));
        w->npc_Click(Caption::Minimise);
        QCOMPARE(framePixels(w->npc(Caption::Minimise)->image(), {24, 19}), stripPixels(w->ppt(Strip::CaptionButtons), CAPTION_MINIMISE));
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
                if (w->zz(i)->isVisibleTo(w))
                    pages.append(i);
            }
            return pages;
        };
        QCOMPARE(w->state().CurrentTab, Caption::PortalTab);
        QCOMPARE(visiblePages(), QList<int>{0});
        QVERIFY(!w->npc(Caption::PortalTab)->isEnabled());

        QTest::mouseClick(w->npc(Caption::ListTab), Qt::LeftButton, {}, QPoint(30, 30));
        QCOMPARE(w->state().CurrentTab, Caption::ListTab);
        QCOMPARE(visiblePages(), QList<int>{2});
        QVERIFY(!w->npc(Caption::ListTab)->isEnabled());
        QVERIFY(w->npc(Caption::PortalTab)->isEnabled());
        QCOMPARE(framePixels(w->npc(Caption::ListTab)->image(), {77, 63}), stripPixels(w->ppt(Strip::TabsSelected), {154, 0, 77, 63}));
        QCOMPARE(framePixels(w->npc(Caption::PortalTab)->image(), {77, 63}), stripPixels(w->ppt(Strip::Tabs), {0, 0, 77, 63}));

        // The selected tab takes no clicks and no hover.
        QTest::mouseClick(w->npc(Caption::ListTab), Qt::LeftButton, {}, QPoint(30, 30));
        QTest::mouseMove(w->npc(Caption::ListTab), QPoint(30, 30));
        QCOMPARE(w->state().CurrentTab, Caption::ListTab);
        QCOMPARE(visiblePages(), QList<int>{2});
        QCOMPARE(framePixels(w->npc(Caption::ListTab)->image(), {77, 63}), stripPixels(w->ppt(Strip::TabsSelected), {154, 0, 77, 63}));

        // Selecting the current tab again repaints it selected and keeps it disabled.
        w->npc_Click(Caption::ListTab);
        QVERIFY(!w->npc(Caption::ListTab)->isEnabled());
        QCOMPARE(visiblePages(), QList<int>{2});
        QCOMPARE(framePixels(w->npc(Caption::ListTab)->image(), {77, 63}), stripPixels(w->ppt(Strip::TabsSelected), {154, 0, 77, 63}));

        // Last tab and back to the game page.
        w->npc_Click(Caption::FifthTab);
        QCOMPARE(visiblePages(), QList<int>{4});
        QCOMPARE(framePixels(w->npc(Caption::FifthTab)->image(), {77, 63}), stripPixels(w->ppt(Strip::TabsSelected), {308, 0, 77, 63}));
        QCOMPARE(framePixels(w->npc(Caption::ListTab)->image(), {77, 63}), stripPixels(w->ppt(Strip::Tabs), {154, 0, 77, 63}));
        w->npc_Click(Caption::GameTab);
        QCOMPARE(visiblePages(), QList<int>{1});
        QCOMPARE(w->state().CurrentTab, Caption::GameTab);
    }

    void listTabs()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        const auto colour = [w](int i) { return w->list()->lc(i)->palette().color(QPalette::Window); };
        QCOMPARE(w->list()->Im1()->pos(), QPoint(22, 10));
        QCOMPARE(colour(0), QColor(0xff, 0xff, 0xff));
        QCOMPARE(colour(1), QColor(0xf5, 0xf5, 0xf5));

        QTest::mouseClick(w->list()->lc(1), Qt::LeftButton);
        QCOMPARE(w->list()->lcname()->text(), QStringLiteral("当前列表 >> 我收藏的游戏："));
        QCOMPARE(w->list()->shan_name()->text(), QStringLiteral("清空全部收藏的游戏"));
        QCOMPARE(w->list()->Im1()->pos(), QPoint(22, 43));
        QCOMPARE(colour(0), QColor(0xf5, 0xf5, 0xf5));
        QCOMPARE(colour(1), QColor(0xff, 0xff, 0xff));
        QTRY_VERIFY_WITH_TIMEOUT(w->list()->Web3()->url().toString().endsWith(QStringLiteral("/app/c.htm")), 10000);

        w->lc_Click(2);
        QCOMPARE(w->list()->lcname()->text(), QStringLiteral("当前列表 >> 已下载的游戏："));
        QCOMPARE(w->list()->shan_name()->text(), QStringLiteral("清空全部下载的游戏"));
        QCOMPARE(w->list()->Im1()->pos(), QPoint(22, 76));
        QTRY_VERIFY_WITH_TIMEOUT(w->list()->Web3()->url().toString().endsWith(QStringLiteral("/app/d.htm")), 10000);

        // Another index changes nothing.
        w->lc_Click(5);
        QCOMPARE(w->list()->Im1()->pos(), QPoint(22, 76));
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
            w->npc_Click(Caption::Close);
            QVERIFY(!w->isVisible());
        } else {
            QVERIFY(endsTheProgram([w] { w->npc_Click(Caption::Close); }));
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
            QVERIFY(endsTheProgram([w] { w->npc_Click(Caption::Close); }));
        else
            w->npc_Click(Caption::Close);
        // A question would have been asked inside the click, as a modal box.
        QCOMPARE(answer.count, 0);
        QVERIFY(!w->isVisible());
        QCOMPARE(f.setting("ts"), QStringLiteral("1"));
        QCOMPARE(f.setting("quit"), quit);
        // The close image is the resting one.
        QCOMPARE(framePixels(w->npc(Caption::Close)->image(), {33, 19}), stripPixels(w->ppt(Strip::CaptionButtons), CAPTION_CLOSE));
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
        QVERIFY(KavoTest::WaitUntil([w] { return !w->P1()->isVisible(); }, 5000));
        QVERIFY(KavoTest::Settle());
        const QImage shot = w->grab().toImage();
        QVERIFY(shot.save(QStringLiteral(KAVO_BUILD_DIR "/mainwindow.png")));
        // The game page and the list page, for a look at the other layouts,
        // as they show once the portal has loaded (the overlay gone).
        w->zzer()->hide();
        f.play(QStringLiteral("tuzoflash://7$$$http://127.0.0.1:9/7.swf$$$风车"));
        QVERIFY(KavoTest::Settle());
        QVERIFY(w->grab().toImage().save(QStringLiteral(KAVO_BUILD_DIR "/mainwindow-game.png")));
        w->npc_Click(Caption::ListTab);
        QVERIFY(KavoTest::Settle());
        QVERIFY(w->grab().toImage().save(QStringLiteral(KAVO_BUILD_DIR "/mainwindow-lists.png")));
    }
};

QTEST_MAIN(TestUiMainWindow)
#include "tst_ui_mainwindow.moc"

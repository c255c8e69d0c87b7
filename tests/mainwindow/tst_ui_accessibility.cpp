// What a screen reader finds of the main window through Qt's accessibility
// interface: the role, name and state of every skinned control, and that its
// press action does what a click does.

#include "support/gamebox.h"

#include "shell/gui/clicklabel.h"
#include "support/dialoganswers.h"
#include "support/eventwait.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

namespace
{
// One control as a reader finds it, in the order the rows run (a press
// leaves its effect to the rows after it). `on` is the checked state of a
// check box and the selected state of a tab. A row with `after` presses the
// control and finds `after` and the opposite `on`; a row that `flips` then
// takes a mouse click, which must bring back `name` and `on`. `effect` is
// what else the press must bring about.
struct Row
{
    const char *what;
    std::function<QWidget *(BA1 *)> control;
    QAccessible::Role role;
    QString name;
    std::optional<bool> on;
    QString after = {};
    bool flips = false;
    std::function<bool(BA1 *)> effect = {};
};

bool isOn(const QAccessibleInterface *iface)
{
    const QAccessible::State s = iface->state();
    return iface->role() == QAccessible::PageTab ? s.selected : s.checked;
}
} // namespace

class TestUiAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls()
    {
        GameBox f(GameBox::NO_PORTAL);
        BA1 *w = f.w.get();
        QVERIFY(f.show());
        // A game is loaded, so that the toolbar acts; then the side panel it
        // showed goes and the portal's tab is in front again.
        f.play(QStringLiteral("tuzoflash://7$$$http://127.0.0.1:9/7.swf$$$风车"));
        w->c_z_click(Tool::SidePanel);
        w->npc_Click(Caption::PortalTab);
        // The portal failed: its error panel's text spans several lines.
        QTRY_VERIFY_WITH_TIMEOUT(w->webe()->text().startsWith(QStringLiteral("Error")), 20000);
        // So did the game's page, whose note brings a stopped game back: it
        // must be in before the stop button is pressed.
        QTRY_COMPARE_WITH_TIMEOUT(w->game()->Web2()->title(), QStringLiteral("游戏无法打开"), 20000);
        MenuAnswer menus;

        const auto npc = [](int i) { return [i](BA1 *w) -> QWidget * { return w->npc(i); }; };
        const auto c_z = [](int i) { return [i](BA1 *w) -> QWidget * { return w->game()->c_z(i); }; };
        const auto lc = [](int i) { return [i](BA1 *w) -> QWidget * { return w->list()->lc(i); }; };
        const auto B = QAccessible::Button, T = QAccessible::PageTab, C = QAccessible::CheckBox;
        const QList<Row> rows = {
            {"window", [](BA1 *w) -> QWidget * { return w; }, QAccessible::Window, "Kavo游戏盒", {}},
            {"selected tab, disabled against hover", npc(Caption::PortalTab), T, "游戏首页", true},
            {"hidden button", c_z(Tool::LeaveFullScreen), B, "退出全屏", {}},
            {"game tab", npc(Caption::GameTab), T, "正在游戏", false, "正在游戏", false, [](BA1 *w) { return w->zz(1)->isVisible(); }},
            {"stop", c_z(Tool::StopContinue), B, "停止", {}, "继续", true, [](BA1 *w) { return w->game()->Web2()->isHidden(); }},
            {"mute", c_z(Tool::Mute), C, "静音", false, "取消", true},
            {"side panel", c_z(Tool::SidePanel), C, "显示", false, "隐藏", true, [](BA1 *w) { return w->game()->Pic2()->isVisible(); }},
            {"reload", c_z(Tool::Reload), B, "刷新", {}},
            {"favourite", c_z(Tool::Favourite), B, "收藏", {}},
            {"screenshot", c_z(Tool::Screenshot), B, "截图", {}},
            {"download", c_z(Tool::Download), B, "下载", {}},
            {"full screen", c_z(Tool::FullScreen), B, "全屏", {}, "全屏", false, [](BA1 *w) { return w->state().FullScreenGame; }},
            {"leave full screen", c_z(Tool::LeaveFullScreen), B, "退出全屏", {}, "退出全屏", false,
             [](BA1 *w) { return !w->state().FullScreenGame && !w->isMaximized(); }},
            {"maximise", npc(Caption::Maximise), B, "最大化", {}, "还原", true, [](BA1 *w) { return w->isMaximized(); }},
            {"pin", npc(Caption::OnTop), C, "置顶", false, "取消置顶", true, [](BA1 *w) { return w->OnTop(); }},
            {"menu", npc(Caption::Menu), B, "菜单", {}, "菜单", false, [&menus](BA1 *) { return menus.count == 1; }},
            {"minimise", npc(Caption::Minimise), B, "最小化", {}},
            {"close", npc(Caption::Close), B, "关闭", {}},
            {"list tab", npc(Caption::ListTab), T, "我的游戏", false, "我的游戏", false, [](BA1 *w) { return w->zz(2)->isVisible(); }},
            {"list shown, its caption after a line break", lc(0), T, "最近玩过游戏", true},
            {"another list", lc(1), T, "我收藏的游戏", false, "我收藏的游戏", false,
             [](BA1 *w) { return w->list()->Web3()->url().path().endsWith(QStringLiteral("/c.htm")); }},
            {"clear link", [](BA1 *w) { return w->list()->shan_name(); }, QAccessible::Link, "清空全部收藏的游戏", {}},
            {"loading picture", [](BA1 *w) { return w->P2(); }, B, "重新连接", {}},
            {"error text", [](BA1 *w) { return w->webe(); }, QAccessible::Link,
             "Error！出错了 1.请检查你的网络连接 2.软件网络出现了故障 3.请点此尝试重新连接 4.请尝试重新启动软件", {}},
            {"portal pane", [](BA1 *w) { return w->Web1(); }, QAccessible::Client, "游戏首页", {}},
            {"fourth pane", [](BA1 *w) { return w->Web4(); }, QAccessible::Client, "网页游戏", {}},
            {"fifth pane", [](BA1 *w) { return w->Web5(); }, QAccessible::Client, "单机游戏", {}},
            {"game pane", [](BA1 *w) { return w->game()->Web2(); }, QAccessible::Client, "游戏", {}},
            {"game information pane", [](BA1 *w) { return w->game()->Webr(); }, QAccessible::Client, "游戏介绍", {}},
            {"list pane", [](BA1 *w) { return w->list()->Web3(); }, QAccessible::Client, "游戏列表", {}},
            {"promotion pane", [](BA1 *w) { return w->adweb(); }, QAccessible::Client, "推广", {}},
        };

        for (const Row &row : rows) {
            qInfo("%s", row.what);
            QWidget *control = row.control(w);
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
            QVERIFY(iface);
            QCOMPARE(iface->role(), row.role);
            QCOMPARE(iface->text(QAccessible::Name), row.name);
            if (row.on)
                QCOMPARE(isOn(iface), *row.on);
            // The keyboard stays with the game.
            QCOMPARE(control->focusPolicy(), Qt::NoFocus);
            QVERIFY(!iface->state().focusable);
            if (qobject_cast<WebPane *>(control) || control->isWindow())
                continue;

            // The press action clicks what a mouse could click, and nothing else.
            QAccessibleActionInterface *actions = iface->actionInterface();
            QVERIFY(actions);
            const bool clickable = control->isVisible() && control->isEnabled();
            QCOMPARE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()), control->isEnabled());
            QSignalSpy clicks(control, SIGNAL(clicked()));
            if (row.after.isEmpty()) {
                if (!clickable) {
                    actions->doAction(QAccessibleActionInterface::pressAction());
                    QVERIFY(KavoTest::Settle());
                    QCOMPARE(clicks.count(), 0);
                }
                continue;
            }
            actions->doAction(QAccessibleActionInterface::pressAction());
            QTRY_COMPARE_WITH_TIMEOUT(clicks.count(), 1, 5000);
            if (row.effect)
                QTRY_VERIFY_WITH_TIMEOUT(row.effect(w), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(iface->text(QAccessible::Name), row.after, 5000);
            if (row.on)
                QCOMPARE(isOn(iface), !*row.on);
            if (row.flips) {
                QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
                QTRY_COMPARE_WITH_TIMEOUT(iface->text(QAccessible::Name), row.name, 5000);
                if (row.on)
                    QCOMPARE(isOn(iface), *row.on);
            }
        }
    }
};

QTEST_MAIN(TestUiAccessibility)
#include "tst_ui_accessibility.moc"

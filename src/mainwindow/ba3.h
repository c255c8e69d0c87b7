#pragma once

#include <QWidget>

class BA1;
class BA2;
class QAction;
class QMenu;

// The menu form: never shown, it only carries the popup menus that the main
// window pops up. Each entry forwards to a command of the main window or of
// its portal pane.
class BA3 : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BA3)

public:
    explicit BA3(BA1 *main);

    // Menu of the portal pane's page and of its frame "tuzomain".
    QMenu *myMenu = nullptr;
    QAction *ht = nullptr;  // 后退
    QAction *qj = nullptr;  // 前进
    QAction *sss = nullptr; // separator
    QAction *fz = nullptr;  // 复制
    QAction *zt = nullptr;  // 粘贴

    // The program menu: the caption's menu button and a right click on the
    // notification-area icon.
    QMenu *r_m = nullptr;
    QAction *shezhi = nullptr;   // 软件设置
    QAction *about = nullptr;    // 关于我们
    QAction *guanwang = nullptr; // 官方网站
    QAction *aa12 = nullptr;     // separator
    QAction *shengji = nullptr;  // 升级检测
    QAction *aa122 = nullptr;    // separator
    QAction *qsoft = nullptr;    // 退出软件

    // Menu of a game link in the list page.
    QMenu *webc = nullptr;
    QAction *c_f = nullptr;    // 开始游戏
    QAction *c_shan = nullptr; // 删除游戏
    QAction *c_dc = nullptr;   // 导出存档…
    QAction *c_dr = nullptr;   // 导入存档…

    void ht_Click();
    void qj_Click();
    void fz_Click();
    void zt_Click();
    void c_f_Click();
    void c_shan_Click();
    void c_dc_Click();
    void c_dr_Click();
    void shezhi_Click();
    void about_Click();
    void guanwang_Click();
    void shengji_Click();
    void qsoft_Click();

private:
    // Shows the settings dialog on page 0 (about) or 1 (settings), over the
    // main window, which comes back first when it is hidden or minimised.
    void OpenSettingsDialog(int page);

    BA1 *m_main;
};

// The menu form of a main window, loaded on first use.
BA3 *MenuForm(BA1 *main);
// Unloads it (exit, boss key); the next use loads it again.
void UnloadMenuForm(BA1 *main);
// The settings dialog of a main window (dialogs/gui/ba2.h), created on first
// use with the window's paths and skin.
BA2 *SettingsDialog(BA1 *main);

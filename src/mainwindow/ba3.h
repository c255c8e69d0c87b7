#pragma once

#include "dialogs/gui/ba2.h"

#include <QWidget>

class BA1;
class QMenu;

// The menu form: never shown, it only carries the popup menus that the main
// window pops up. Each entry forwards to a command of the main window or of
// its portal pane.
class BA3 final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BA3)

public:
    explicit BA3(BA1 *main);

    // Menu of the portal pane's page and of its frame "tuzomain".
    QMenu *myMenu() const { return m_myMenu; }
    // The program menu: the caption's menu button and a right click on the
    // notification-area icon.
    QMenu *r_m() const { return m_r_m; }
    // Menu of a game link in the list page.
    QMenu *webc() const { return m_webc; }

private:
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

    // Shows the settings dialog on a page, over the main window, which comes
    // back first when it is hidden or minimised.
    void OpenSettingsDialog(BA2::Page page);

    BA1 *m_main;
    QMenu *m_myMenu = nullptr;
    QMenu *m_r_m = nullptr;
    QMenu *m_webc = nullptr;
};

// The menu form of a main window, loaded on first use.
BA3 *MenuForm(BA1 *main);
// Unloads it (exit, boss key); the next use loads it again.
void UnloadMenuForm(BA1 *main);
// The settings dialog of a main window (dialogs/gui/ba2.h), created on first
// use with the window's paths and skin.
BA2 *SettingsDialog(BA1 *main);

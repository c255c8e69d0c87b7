// The main window on the desktop: the hand-off from later starts, the
// notification-area icon and the boss key.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"

#include "dialogs/gui/ba2.h"
#include "mainwindow/ba3.h"
#include "portal/gui/webpane.h"
#include "shell/gui/globalhotkey.h"
#include "shell/gui/trayicon.h"
#include "shell/gui/windowhooks.h"
#include "shell/gui/windowstate.h"
#include "startup/settings.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWindow>

namespace
{
constexpr int BOSS_KEY_ID = 0;

QString BossKeyStatusText(GlobalHotKey::Status status)
{
    switch (status) {
    case GlobalHotKey::Status::Registered:
        return QStringLiteral("老板键 Ctrl+S");
    case GlobalHotKey::Status::Pending:
        return QStringLiteral("老板键 Ctrl+S（等待桌面确认）");
    case GlobalHotKey::Status::Taken:
        return QStringLiteral("老板键ctrlt+s与其他软件冲突,未启用!");
    case GlobalHotKey::Status::Refused:
        return QStringLiteral("桌面没有允许老板键ctrl+s,未启用!");
    case GlobalHotKey::Status::Unsupported:
        return QStringLiteral("当前桌面不支持老板键");
    }
    return QString();
}
} // namespace

void BA1::Form_LinkExecute(const QString &)
{
    // The window comes back when it was hidden to the notification area or
    // minimised, and comes to the front. A window already shown is not hidden
    // and shown again to get there: withdrawn and mapped again within a
    // moment (a second start handing over just as this one maps its window,
    // two starts at once), the window manager can lose the window between the
    // two requests, and it then stays unmapped for good.
    BringBack();
}

void BA1::SessionQuit()
{
    m_state.ExitPromoFlag = QStringLiteral("0");
    ttt_v();
}

void BA1::BringBack()
{
    // Restored before it is shown: a window mapped in the minimised state
    // would only go back to the taskbar.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    ForgetMinimisedState(this);
    show();
    BringToFront(this);
    // Hidden and shown again before the platform noticed the loss of the
    // keyboard (the boss key pressed twice in a moment), the window stays
    // the platform's focus window, so no activation follows the show, and
    // the widgets would stay inactive with the keyboard nowhere.
    if (QGuiApplication::focusWindow() == windowHandle() && !isActiveWindow())
        QApplication::setActiveWindow(this);
}

void BA1::TrayAdd()
{
    m_tray = new TrayIcon(this);
    // The menu is looked up at each click: the menu form is loaded on use.
    m_tray->TrayAdd(this, [this] { return MenuForm(this)->r_m(); }, windowTitle());
}

void BA1::TrayBalloon(const QString &text)
{
    if (!m_tray)
        return;
    if (Settings::Read(m_state.ConfigPath, Settings::S_PAO))
        m_tray->TrayBalloon(text);
}

void BA1::HideToTray()
{
    m_game->Web2()->ReleaseHeldKeys();
    if (TrayIcon::isAvailable())
        hide();
    else
        setWindowState(windowState() | Qt::WindowMinimized);
}

void BA1::InstallBossKey()
{
    new BossKeyWndProc(this, BOSS_KEY_ID, [this] { BossKeyToggle(); });
    auto *key = new GlobalHotKey(this, BOSS_KEY_ID, QKeyCombination(Qt::ControlModifier, Qt::Key_S), this);
    m_bossKey = key;
    connect(key, &GlobalHotKey::statusChanged, this, &BA1::ShowBossKeyStatus);
    ShowBossKeyStatus(key->status());
}

void BA1::ShowBossKeyStatus(GlobalHotKey::Status status)
{
    const QString text = BossKeyStatusText(status);
    if (!text.isEmpty()) {
        m_renj->setText(text);
        m_renj->adjustSize();
    }
    // Only a key the desktop gave stays; a refused one is given back.
    if (status != GlobalHotKey::Status::Registered && status != GlobalHotKey::Status::Pending && m_bossKey) {
        m_bossKey->deleteLater();
        m_bossKey = nullptr;
    }
}

void BA1::BossKeyToggle()
{
    if (isVisible()) {
        m_bossHidden = true;
        // The key's own Ctrl goes up in whatever window has the keyboard
        // next; the game hears it now.
        m_game->Web2()->ReleaseHeldKeys();
        m_tray->TrayHide();
        SilencePanes();
        hide();
        UnloadSettingsDialog(this);
        UnloadMenuForm(this);
        UnloadAdsb();
    } else {
        m_bossHidden = false;
        m_tray->TrayShow();
        GiveSoundBack();
        BringBack();
    }
}

void BA1::SilencePanes()
{
    // A hidden game that still sounds gives it away. The pages are muted,
    // not the sound server: the player's own mute (c_z(2)) stays as it is.
    m_soundBeforeHiding.clear();
    for (QWebEngineView *pane : findChildren<QWebEngineView *>()) {
        QWebEnginePage *page = pane->page();
        m_soundBeforeHiding.emplace_back(page, page->isAudioMuted());
        page->setAudioMuted(true);
    }
}

void BA1::GiveSoundBack()
{
    for (const auto &[page, muted] : m_soundBeforeHiding)
        if (page)
            page->setAudioMuted(muted);
    m_soundBeforeHiding.clear();
}

#pragma once

#include "common/apppaths.h"
#include "mainwindow/boxstate.h"
#include "resources/skinrects.h"
#include "shell/gui/globalhotkey.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <QWidget>

#include <utility>
#include <vector>

class ClickLabel;
class GamePagePart;
class ListPagePart;
class bkDLControl;
class ImageButton;
class MinMaxWndProc;
class NoticeFetch;
class PictureBox;
class ProgramProfile;
class QLabel;
class QTimer;
class QWebEnginePage;
class QWebEngineProfile;
class TrayIcon;
class WebPane;
class adsb;
class ba4;

// "x" for "x.sol": the folder several exported saves go into.
QString ExportFolderFor(const QString &target);

// The main window. It composes the caption, the pages zz(0)..zz(4) (the game
// page and the list page are parts of their own) and the desktop presence,
// and keeps the state its commands share. Its methods live in this folder, one
// file per concern (ba1_<concern>.cpp); the subsystem folders below it hold
// only what the window uses and never include this header.
//
// A borderless skinned window whose controls are placed by code on every
// resize. Controls keep the names the rest of the program uses for them and
// are reached through accessors of those names.
class BA1 final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BA1)

public:
    BA1(const AppPaths &paths, const QString &portalBase, QWidget *parent = nullptr);
    ~BA1() override;

    void setVisible(bool visible) override;

    const AppPaths &paths() const { return m_paths; }
    QString portalBase() const { return m_portalBase; }
    // The web profile of every pane of the program.
    QWebEngineProfile *webProfile() const;

    // The state the window's commands share; they alone set it.
    const BoxState &state() const { return m_state; }

    // The parts of the window: the game page zz(1) and the list page zz(2).
    GamePagePart *game() const { return m_game; }
    ListPagePart *list() const { return m_list; }

    // Controls the window owns itself.
    WebPane *Web1() const { return m_Web1; }   // portal
    WebPane *Web4() const { return m_Web4; }   // fourth page
    WebPane *Web5() const { return m_Web5; }   // fifth page
    WebPane *Web6() const { return m_Web6; }   // statistics request
    WebPane *adweb() const { return m_adweb; } // top promotion
    // The five pages zz(0)..zz(4).
    QWidget *zz(int index) const { return m_zz[index]; }
    // Skin strips ppt(0)..ppt(12), loaded by p_p.
    const QImage &ppt(Strip::Index strip) const { return m_ppt[strip]; }
    const QImage *skinStrips() const { return m_ppt; }
    // Caption bar: the title, the caption buttons and the tab buttons npc(i)
    // (see Caption::Index), the tooltip box P1 with its text bo_tip.
    QLabel *ni_name() const { return m_ni_name; }
    ImageButton *npc(int index) const { return m_npc[index]; }
    PictureBox *P1() const { return m_P1; }
    QLabel *bo_tip() const { return m_bo_tip; }
    // Advertisement picture beside the tabs, holding adweb.
    PictureBox *ad_pic() const { return m_ad_pic; }
    // Loading overlay over the page area, with its picture and text.
    PictureBox *zzer() const { return m_zzer; }
    PictureBox *P2() const { return m_P2; }
    ClickLabel *webe() const { return m_webe; }
    // Status line.
    QLabel *renj() const { return m_renj; }
    // The window stays on top of others (npc(4) reads "取消置顶").
    bool OnTop() const { return m_onTop; }

    // Caption and tab buttons, window commands.
    void npc_Click(int index);
    void npc_MouseMove(int index, Qt::MouseButtons button, Qt::KeyboardModifiers shift, const QPoint &pos);
    void zhi_d(int d);
    void ttt_v();

    // List view.
    void lc_Click(int index);

    // The size-limit hook installed at load.
    MinMaxWndProc *minMaxHook() const { return m_minMaxHook; }

    // --- Desktop presence (ba1_desktop.cpp)
    // True when load step 1 handed this start over to the instance that
    // already runs on the folder: nothing was built, and the process is to
    // end without showing the window.
    bool handedOff() const { return m_handedOff; }
    // A later start handed over to this instance (its command line has no
    // effect): the window comes back in front, restored.
    void Form_LinkExecute(const QString &commandText);
    // The notification-area icon, added at load.
    TrayIcon *tray() const { return m_tray; }
    // A balloon on the icon, unless the balloon option is off.
    void TrayBalloon(const QString &text);
    // The boss key, Ctrl+S, registered at load; null when it could not be.
    GlobalHotKey *bossKey() const { return m_bossKey; }
    // The desktop session (or a terminal) ends the program: the close
    // button's quit without the recommendation window (see
    // startup/quitsignals.h).
    void SessionQuit();

    // --- Update check and promotion windows (ba1_update.cpp)
    // Timer1: the update check, once, 6000 ms after the window was created.
    // Timer2: the floating promotion, 5000 ms after the check asked for it.
    QTimer *Timer1() const { return m_Timer1; }
    QTimer *Timer2() const { return m_Timer2; }
    static constexpr int UPDATE_CHECK_AFTER_MS = 6000;
    static constexpr int FLOATING_PROMOTION_AFTER_MS = 5000;
    // The notice read gives up after this long, as a failed read.
    static constexpr int NOTICE_TIMEOUT_MS = 60000;
    // The update check on the user's request (menu "升级检测"): offers the
    // version the portal's notice named at start-up; never reads anew.
    void shengji();
    void Timer2_Timer();
    // True while the check waits for the portal's notice.
    bool noticeReading() const;
    // The promotion windows while they are shown; null otherwise.
    adsb *floatingPromotion() const;
    ba4 *exitPromotion() const;
    // The floating promotion goes (boss key, quit); it does not come back.
    void UnloadAdsb();

    // --- List commands (ba1_listcommands.cpp): the clear link, the
    // toolbar's favourite, the list menu's open and delete.
    void shan_name_Click();
    void shoucang();
    void CCC_Click();
    void ddd_Click();

    // A game's saves (ba1_saves.cpp). The runtime keeps them in the web
    // storage of the page that plays the game: the portal's origin online,
    // the program's own offline (player/gamesaves.h).
    // Copies the saves the game made online to its downloaded copy, unless
    // the copy has saves of its own; `done` gets how many were copied (0
    // also when nothing could be read or written).
    void CarrySavesToDownload(const QString &gameId, const QString &address, std::function<void(int)> done = {});
    // The list menu's "导出存档…" and "导入存档…" for the game of the link
    // the menu was raised on: a file dialog, then ExportSaves or ImportSaves.
    void ExportSaves_Click();
    void ImportSaves_Click();
    // Writes the game's saves (the downloaded copy's where it has them) as
    // .sol files: one save to the file `target`, several into the folder
    // ExportFolderFor(target). Ends with a message box saying what was written; `done` then
    // gets how many files.
    void ExportSaves(const QString &gameId, const QString &address, const QString &target,
                     std::function<void(int)> done = {});
    // Reads the .sol files `files` into the game's online saves and, when it
    // is downloaded, into the copy's; a file that is no save, a damaged or a
    // huge one, or one of another game changes nothing and is named in a
    // message box. `done` gets how many saves were written.
    void ImportSaves(const QString &gameId, const QString &address, const QStringList &files,
                     std::function<void(int)> done = {});

    // --- Game toolbar and downloads (ba1_toolbar.cpp, ba1_download.cpp)
    // The download control of game downloads (never shown).
    bkDLControl *DL() const { return m_DL; }

    // A click on toolbar button c_z(index); also used by the play command.
    void c_z_click(int index);
    void c_z_MouseMove(int index, Qt::MouseButtons button, Qt::KeyboardModifiers shift, const QPoint &pos);
    // Downloads the current game into the folder flash.
    void xiazai();

private:
    // Command URLs (ba1_dispatch.cpp). The panes raise these for
    // every navigation; a handled command sets *Cancel first.
    void Web1_BeforeNavigate2(const QString &URL, bool *Cancel);
    void Web2_BeforeNavigate2(const QString &URL, bool *Cancel);
    void Web3_BeforeNavigate2(const QString &URL, bool *Cancel);

    // Pane events (ba1_paneevents.cpp).
    void Web1_DownloadComplete();
    void Web1_NavigateError(const QString &URL, int StatusCode);
    void Web2_DownloadComplete();
    void adweb_DownloadComplete();
    void adweb_NavigateError(const QString &URL, int StatusCode);
    void Web2_NewWindow2(bool *Cancel);
    void P2_Click();
    void webe_Click();
    void Webr_NavigateError(const QString &URL, int StatusCode);
    // The game's page could not be reached: a note with a retry takes the
    // place of the engine's error page.
    void Web2_NavigateError(const QString &URL, int StatusCode);
    // The game's information page again, when its load had failed.
    void RetryGameInfo();
    // The error panel over the portal's page (a failed load, or the end of
    // the portal page's renderer).
    void ShowPortalError();
    // The process drawing a pane's page ended (see WebPane::RendererEnded).
    void PaneRendererEnded(WebPane *pane, bool again);
    // The overlay zzer covers the portal's page while the portal loads or
    // has failed; it shows only while the portal's tab is selected.
    void ShowPortalOverlay(bool show);
    void UpdatePortalOverlay();
    // Right clicks in the portal's top document (M_M2), in its frame
    // "tuzomain" (M_M1) and in the list page (M_M3, with the href attribute of
    // the focused link). The pane has already kept the browser's own menu away.
    void M_M1_oncontextmenu(const QPoint &globalPos);
    void M_M2_oncontextmenu(const QPoint &globalPos);
    void M_M3_oncontextmenu(const QString &activeHref, const QPoint &globalPos);

    // Skin and layout.
    void p_p(int h);
    void LayoutGamePane();
    void LayoutFullScreenGame();

    void quit_quan_Click();
    void lc_MouseMove();
    void InstallBossKey();
    // The status line's word on the boss key, as the desktop answered.
    void ShowBossKeyStatus(GlobalHotKey::Status status);
    void Timer1_Timer();
    // At quit, once every other window is gone: the update check and the
    // timers end; when ExitPromoFlag is exactly "1" the recommendation window
    // shows and true comes back (the program ends when it closes), otherwise
    // it is unloaded.
    bool ShowExitPromotion();
    // The game runs again: the game pane shown, c_z(0) reads "停止".
    void ResumeGame();
    void TakeScreenshot();
    void DL_DLBeginDownload();
    void DL_DLProgress(float fraction, qint64 bytesRead, qint64 fileSize);
    void DL_DLCanceled();
    void DL_DLError(int number, const QString &description);
    void DL_DLComplete(qint64 bytes);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    // In full-screen mode Esc, pressed in any of the window's widgets (the
    // game's pane has the keys), leaves it; the game keeps every other key.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // Load step 1 (ba1_load.cpp): true when the start was
    // handed over.
    bool HandOffStart();
    void TrayAdd();
    // Ctrl+S: hides everything, or brings the main window back.
    void BossKeyToggle();
    // Shows the window restored (not minimised), in front.
    void BringBack();
    // The boss key's silence: every pane of the window muted while it hides,
    // and each given back the sound it had before.
    void SilencePanes();
    void GiveSoundBack();
    // The close command's hiding: to the notification area, or minimised
    // when the desktop has none (a hidden window could not be got back).
    void HideToTray();

    void createControls();
    void createUpdateTimers();  // ba1_update.cpp
    void DeletePromotionWindows();
    void NoticeRead(const QString &text);
    // The offer of LatestVersion; true when it was accepted (the program quits).
    bool UpdateOffer();
    void connectPortalEvents(); // ba1_portal.cpp
    void connectToolbar();      // ba1_toolbar.cpp
    void createCaption();
    // Roles, names and states for screen readers (ba1_accessible.cpp).
    void DescribeControls();
    void Form_Load();

    // Layout (ba1_layout.cpp).
    void Form_Resize();
    void LayoutMain();
    void PaintButtons();
    // npc(1) as the restore button (maximised, or the game covers the
    // window), or as the maximise button: its picture and tooltip follow the
    // window's state.
    void PaintMaximise();

    // Commands (ba1_commands.cpp).
    void SelectTab(int index);
    void Form_DblClick();

    // Frame (ba1_frame.cpp).
    void PaintFrame();
    void EdgeResize(int mode, int x, int y);
    void Form_MouseDown(Qt::MouseButton button, int x, int y);
    void Form_MouseMove(Qt::MouseButtons buttons, int x, int y);
    void Form_MouseUp(int x, int y);
    void SaveWindowSize();

    AppPaths m_paths;
    QString m_portalBase;
    BoxState m_state;
    QImage m_ppt[Strip::Count];
    GamePagePart *m_game = nullptr;
    ListPagePart *m_list = nullptr;
    WebPane *m_Web1 = nullptr;
    WebPane *m_Web4 = nullptr;
    WebPane *m_Web5 = nullptr;
    WebPane *m_Web6 = nullptr;
    WebPane *m_adweb = nullptr;
    QWidget *m_zz[5] = {};
    QLabel *m_ni_name = nullptr;
    ImageButton *m_npc[Caption::Count] = {};
    PictureBox *m_P1 = nullptr;
    QLabel *m_bo_tip = nullptr;
    PictureBox *m_ad_pic = nullptr;
    PictureBox *m_zzer = nullptr;
    PictureBox *m_P2 = nullptr;
    ClickLabel *m_webe = nullptr;
    QLabel *m_renj = nullptr;
    bkDLControl *m_DL = nullptr;
    QTimer *m_Timer1 = nullptr;
    QTimer *m_Timer2 = nullptr;
    bool m_onTop = false;
    QString m_userId;
    // Created before the panes, deleted after them.
    ProgramProfile *m_profile = nullptr;

    // The form's persistent image: the painted frame.
    QImage m_formImage;
    MinMaxWndProc *m_minMaxHook = nullptr;
    bool m_handedOff = false;
    // The boss key hid the program (until it brings it back).
    bool m_bossHidden = false;
    // Each pane's page and whether it was muted before the boss key hid it.
    std::vector<std::pair<QPointer<QWebEnginePage>, bool>> m_soundBeforeHiding;
    TrayIcon *m_tray = nullptr;
    GlobalHotKey *m_bossKey = nullptr;
    // A resize was started by a press on the edge band; the window manager
    // carries it out, and every size it reaches is saved.
    bool m_EdgeResizing = false;
    // The pointer moved in a way other than a plain hover over the band.
    bool m_Dragging = false;
    // The window manager was already asked to move the window for this press.
    bool m_moveStarted = false;
    bool m_shownOnce = false;
    // The portal's page is covered by the loading or error overlay.
    bool m_portalOverlay = true;
    // The current game's page, and its information page, when their load
    // failed (the toolbar's reload and the portal's retry load them again).
    QString m_gameNotReached;
    QString m_gameInfoNotReached;
    NoticeFetch *m_noticeFetch = nullptr;
    QPointer<adsb> m_adsb;
    QPointer<ba4> m_ba4;
};

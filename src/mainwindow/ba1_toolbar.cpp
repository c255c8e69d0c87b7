// The main window's game toolbar: what a click on each of its buttons does
// (stop/continue, reload, mute, favourite, screenshot, download, full screen,
// side panel and leaving full screen). The buttons' pictures are the game
// page's (GamePagePart).
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"

#include "download/gui/bkdlcontrol.h"
#include "player/screenshot.h"
#include "player/systemmute.h"
#include "portal/commandurl.h"
#include "portal/gui/webpane.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/messagebox.h"
#include "shell/gui/picturebox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

void BA1::connectToolbar()
{
    connect(m_game, &GamePagePart::toolClicked, this, &BA1::c_z_click);
    connect(m_game, &GamePagePart::toolPointerMoved, this, &BA1::c_z_MouseMove);

    m_DL = new bkDLControl(this);
    m_DL->setObjectName(QStringLiteral("DL"));
    m_DL->hide();
    // Games only: a login page of a captive portal is no game.
    m_DL->setFlashMoviesOnly(true);
    // A broken-off download goes on from what arrived at the next click.
    m_DL->setResumable(true);
    connect(m_DL, &bkDLControl::DLBeginDownload, this, &BA1::DL_DLBeginDownload);
    connect(m_DL, &bkDLControl::DLProgress, this, &BA1::DL_DLProgress);
    connect(m_DL, &bkDLControl::DLCanceled, this, &BA1::DL_DLCanceled);
    connect(m_DL, &bkDLControl::DLError, this, &BA1::DL_DLError);
    connect(m_DL, &bkDLControl::DLComplete, this, &BA1::DL_DLComplete);
}

void BA1::ResumeGame()
{
    m_game->SetGameRunning(true);
}

void BA1::c_z_click(int index)
{
    if (m_state.CurrentGameUrl.isEmpty() || index < 0 || index >= Tool::Count)
        return;

    switch (index) {
    case Tool::StopContinue:
        // Pausing hides the pane; the game page stays loaded behind it.
        m_game->SetGameRunning(m_game->Web2()->isHidden());
        break;
    case Tool::Reload:
        if (m_game->Web2()->isHidden())
            ResumeGame();
        // Over the note of a game that could not be reached, its page.
        if (!m_gameNotReached.isEmpty())
            m_game->Web2()->Navigate(m_gameNotReached);
        else
            m_game->Web2()->Refresh();
        m_game->PaintClicked(index);
        break;
    case Tool::Mute:
        // The state follows the clicks, not the sound server, which other
        // programs may change (or which may not answer at all).
        m_game->SetMuted(!m_game->Muted());
        SystemMute::toggle();
        break;
    case Tool::Favourite:
        m_game->PaintClicked(index);
        shoucang();
        break;
    case Tool::Screenshot:
        TakeScreenshot();
        break;
    case Tool::Download:
        m_game->PaintClicked(index);
        if (NamesPointsGame(m_state.CurrentGameUrl)) {
            m_game->ShowStatus(QStringLiteral("当前游戏为积分游戏，不能下载！"));
        } else {
            xiazai();
        }
        break;
    case Tool::FullScreen:
        m_game->PaintClicked(index);
        m_state.FullScreenGame = true;
        m_game->SetFullScreen(true);
        m_ad_pic->hide();
        // The keys go to the game's pane, not to the window: Esc is taken
        // on its way there (quit_quan_Click stops watching).
        qApp->installEventFilter(this);
        LayoutFullScreenGame();
        break;
    case Tool::SidePanel:
        m_game->SetSidePanelShown(!m_game->SidePanelShown());
        LayoutGamePane();
        break;
    case Tool::LeaveFullScreen:
        m_game->PaintClicked(index);
        quit_quan_Click();
        break;
    default:
        break;
    }
}

void BA1::TakeScreenshot()
{
    // A second click cannot start another capture meanwhile.
    m_game->SetToolEnabled(Tool::Screenshot, false);

    // The pane rendered at its own size; a hidden (paused) pane is rendered too.
    const QImage picture = m_game->Web2()->grab().toImage();
    QPointer<BA1> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return;

    QString name = m_state.CurrentGameName;
    name.remove(QLatin1Char('\\'));
    m_state.CurrentGameName = name.trimmed();
    // The folder is always a direct child of the desktop: no separators, no
    // "." or "..".
    const QString folderName = ScreenshotFolderName(m_state.CurrentGameName);
    if (folderName.isEmpty()) {
        ShowMessage(this, QStringLiteral("游戏错误，无法完成截图！"), ApplicationTitle());
        if (self)
            m_game->SetToolEnabled(Tool::Screenshot, true);
        return;
    }

    const QString path = ScreenshotFilePath(DesktopFolder(), folderName, RandomNumberText());
    if (SaveBitmap(picture, path))
        TrayBalloon(QStringLiteral("截图完成。路径:") + path);
    else
        TrayBalloon(QStringLiteral("截图失败，文件未能保存。路径:") + path);

    m_game->SetToolEnabled(Tool::Screenshot, true);
    m_game->PaintClicked(Tool::Screenshot);
}

void BA1::c_z_MouseMove(int index, Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint &pos)
{
    unsetCursor();
    m_game->PaintHover(index, pos);
}

// The main window's game toolbar: stop/continue, reload, mute, favourite,
// screenshot, download, full screen, side panel and leaving full screen, with
// the hover images that follow each button's state.
#include "mainwindow/ba1.h"

#include "download/gui/bkdlcontrol.h"
#include "player/screenshot.h"
#include "player/systemmute.h"
#include "portal/commandurl.h"
#include "portal/gui/webpane.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/messagebox.h"
#include "shell/gui/picturebox.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

namespace
{
const QString STOP_TIP = QStringLiteral("停止");
const QString MUTE_TIP = QStringLiteral("静音");
const QString UNMUTE_TIP = QStringLiteral("取消");
const QString HIDE_TIP = QStringLiteral("隐藏");
const QString SHOW_TIP = QStringLiteral("显示");

// Toolbar frames: 45 x 25 for buttons 0 to 6, 26 x 26 for button 7, 55 x 20
// for button 8.
QRect frame45(int x, int y)
{
    return QRect(x, y, 45, 25);
}

QRect frame26(int x, int y)
{
    return QRect(x, y, 26, 26);
}

QRect frame55(int x)
{
    return QRect(x, 0, 55, 20);
}

// x of a plain button's frame in the strips 9 (normal) and 10 (hover).
int plainFrameX(int index)
{
    switch (index) {
    case 1: return 0;
    case 3: return 45;
    case 4: return 90;
    case 5: return 135;
    case 6: return 180;
    default: return -1;
    }
}
} // namespace

void BA1::connectToolbar()
{
    for (int i = 0; i < 9; ++i) {
        connect(c_z[i], &PictureBox::clicked, this, [this, i] { c_z_click(i); });
        connect(c_z[i], &PictureBox::mouseMoved, this,
                [this, i](Qt::MouseButtons b, Qt::KeyboardModifiers m, const QPoint &pos) { c_z_MouseMove(i, b, m, pos); });
    }

    DL = new bkDLControl(Picd);
    DL->setObjectName(QStringLiteral("DL"));
    DL->hide();
    // Games only: a login page of a captive portal is no game.
    DL->setFlashMoviesOnly(true);
    connect(DL, &bkDLControl::DLBeginDownload, this, &BA1::DL_DLBeginDownload);
    connect(DL, &bkDLControl::DLProgress, this, &BA1::DL_DLProgress);
    connect(DL, &bkDLControl::DLCanceled, this, &BA1::DL_DLCanceled);
    connect(DL, &bkDLControl::DLError, this, &BA1::DL_DLError);
    connect(DL, &bkDLControl::DLComplete, this, &BA1::DL_DLComplete);
}

void BA1::ResumeGame()
{
    Web2->show();
    c_z[0]->setToolTipText(STOP_TIP);
    c_z[0]->paintFrom(ppt[11], frame45(0, 0));
    c_z[0]->refresh();
}

void BA1::c_z_click(int index)
{
    if (CurrentGameUrl == QStringLiteral("0") || index < 0 || index > 8)
        return;
    ImageButton *button = c_z[index];

    switch (index) {
    case 0:
        // Pausing hides the pane; the game page stays loaded behind it.
        if (!Web2->isHidden()) {
            Web2->hide();
            button->setToolTipText(QStringLiteral("继续"));
            button->paintFrom(ppt[11], frame45(90, 0));
            button->refresh();
        } else {
            ResumeGame();
        }
        tingzhi->setText(QStringLiteral("当前游戏已经暂停"));
        break;
    case 1:
        if (Web2->isHidden())
            ResumeGame();
        Web2->Refresh();
        button->paintFrom(ppt[9], frame45(0, 0));
        button->refresh();
        break;
    case 2:
        // The state text follows the clicks, not the sound server, which
        // other programs may change (or which may not answer at all).
        button->setToolTipText(button->toolTipText() == UNMUTE_TIP ? MUTE_TIP : UNMUTE_TIP);
        SystemMute::toggle();
        break;
    case 3:
        button->paintFrom(ppt[9], frame45(45, 0));
        button->refresh();
        shoucang();
        break;
    case 4:
        TakeScreenshot();
        break;
    case 5:
        button->paintFrom(ppt[9], frame45(135, 0));
        button->refresh();
        if (NamesPointsGame(CurrentGameUrl)) {
            lblCount->setText(QStringLiteral("当前游戏为积分游戏，不能下载！"));
            lblCount->setVisible(true);
        } else {
            xiazai();
        }
        break;
    case 6:
        button->paintFrom(ppt[9], frame45(180, 0));
        button->refresh();
        FullScreenGame = 1;
        Picd->hide();
        ad_pic->hide();
        npc[1]->setToolTipText(QStringLiteral("还原"));
        c_z[8]->show();
        LayoutFullScreenGame();
        break;
    case 7:
        if (button->toolTipText().contains(HIDE_TIP)) {
            button->setToolTipText(SHOW_TIP);
            button->paintFrom(ppt[12], frame26(0, 26));
        } else {
            button->setToolTipText(HIDE_TIP);
            button->paintFrom(ppt[12], frame26(0, 0));
        }
        button->refresh();
        LayoutGamePane();
        break;
    case 8:
        button->paintFrom(ppt[3], frame55(0));
        button->refresh();
        quit_quan_Click();
        break;
    default:
        break;
    }
}

void BA1::TakeScreenshot()
{
    ImageButton *button = c_z[4];
    // A second click cannot start another capture meanwhile.
    button->setEnabled(false);

    // The pane rendered at its own size; a hidden (paused) pane is rendered too.
    const QImage picture = Web2->grab().toImage();
    QPointer<BA1> self(this);
    QCoreApplication::processEvents();
    if (!self)
        return;

    QString name = CurrentGameName;
    name.remove(QLatin1Char('\\'));
    CurrentGameName = name.trimmed();
    // The folder is always a direct child of the desktop: no separators, no
    // "." or "..".
    const QString folderName = ScreenshotFolderName(CurrentGameName);
    if (folderName.isEmpty()) {
        ShowMessage(this, QStringLiteral("游戏错误，无法完成截图！"), ApplicationTitle());
        if (self)
            button->setEnabled(true);
        return;
    }

    const QString path = ScreenshotFilePath(DesktopFolder(), folderName, RandomNumberText());
    if (SaveBitmap(picture, path))
        TrayBalloon(QStringLiteral("截图完成。路径:") + path);
    else
        TrayBalloon(QStringLiteral("截图失败，文件未能保存。路径:") + path);

    button->setEnabled(true);
    button->paintFrom(ppt[9], frame45(90, 0));
    button->refresh();
}

void BA1::c_z_MouseMove(int index, Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint &pos)
{
    unsetCursor();
    if (index < 0 || index > 8)
        return;
    ImageButton *button = c_z[index];
    // The edges count as inside.
    const bool inside = pos.x() >= 0 && pos.x() <= button->width() && pos.y() >= 0 && pos.y() <= button->height();
    const QString tip = button->toolTipText();
    switch (index) {
    case 0:
        if (tip == STOP_TIP)
            button->paintFrom(ppt[11], frame45(inside ? 45 : 0, 0));
        else
            button->paintFrom(ppt[11], frame45(inside ? 135 : 90, 0));
        break;
    case 2:
        if (tip == MUTE_TIP)
            button->paintFrom(ppt[11], frame45(inside ? 45 : 0, 25));
        else
            button->paintFrom(ppt[11], frame45(inside ? 135 : 90, 25));
        break;
    case 7:
        if (tip == HIDE_TIP)
            button->paintFrom(ppt[12], frame26(inside ? 26 : 0, 0));
        else
            button->paintFrom(ppt[12], frame26(inside ? 26 : 0, 26));
        break;
    case 8:
        button->paintFrom(ppt[3], frame55(inside ? 55 : 0));
        break;
    default:
        button->paintFrom(inside ? ppt[10] : ppt[9], frame45(plainFrameX(index), 0));
        break;
    }
    // The button reports the pointer leaving it by itself (a move with a
    // point outside), so no mouse capture is needed to see the leave.
    button->refresh();
}

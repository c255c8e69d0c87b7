// Caption and tab buttons and the window commands of the main window.
#include "mainwindow/ba1.h"

#include "dialogs/gui/ba2.h"
#include "mainwindow/ba3.h"
#include "portal/gui/webpane.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/trayicon.h"
#include "startup/settingsstore.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QWindow>

namespace
{
// Tab buttons and their x in the tab strips; the page of a tab is zz(slot).
int tabSlot(int index)
{
    switch (index) {
    case 6: return 0;
    case 7: return 1;
    case 8: return 2;
    case 9: return 3;
    case 3: return 4;
    default: return -1;
    }
}

QRect tabRect(int slot)
{
    return QRect(77 * slot, 0, 77, 63);
}

// A setting compared as a number: its leading number, 0 when there is none.
double numericValue(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch m = leading.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

QString readSetting(const QString &configPath, const char *key)
{
    return ReadIniValue(configPath, QStringLiteral("S_q"), QString::fromLatin1(key), QStringLiteral("0"));
}
} // namespace

void BA1::npc_MouseMove(int index, Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint &pos)
{
    unsetCursor();
    if (index < 0 || index > 9)
        return;
    ImageButton *button = npc[index];
    const bool inside = pos.x() >= 0 && pos.x() <= button->width() && pos.y() >= 0 && pos.y() <= button->height();
    const QImage &normal = ppt[1];
    const QImage &hover = ppt[2];
    switch (index) {
    case 0:
        button->paintFrom(inside ? hover : normal, QRect(45, 0, 24, 19));
        break;
    case 2:
        button->paintFrom(inside ? hover : normal, QRect(93, 0, 33, 19));
        break;
    case 5:
        button->paintFrom(inside ? hover : normal, QRect(21, 0, 24, 19));
        break;
    case 1:
        if (isMaximized())
            button->paintFrom(ppt[4], QRect(inside ? 24 : 0, 0, 24, 19));
        else
            button->paintFrom(inside ? hover : normal, QRect(69, 0, 24, 19));
        break;
    case 4:
        if (button->toolTipText() == QStringLiteral("置顶"))
            button->paintFrom(ppt[5], QRect(inside ? 21 : 0, 0, 21, 19));
        else
            button->paintFrom(ppt[5], QRect(inside ? 63 : 42, 0, 21, 19));
        break;
    default:
        button->paintFrom(inside ? ppt[8] : ppt[6], tabRect(tabSlot(index)));
        break;
    }

    const bool captionButton = tabSlot(index) < 0;
    if (inside && captionButton) {
        bo_tip->setText(button->toolTipText());
        bo_tip->adjustSize();
        bo_tip->move(2, 2);
        P1->setGeometry(button->x() + 2, button->y() + button->height() + 3, bo_tip->width() + 5,
                        bo_tip->height() + 5);
        P1->show();
        P1->raise();
    } else if (!inside) {
        P1->hide();
    }
    button->refresh();
}

void BA1::npc_Click(int index)
{
    P1->hide();
    switch (index) {
    case 0:
        setWindowState(windowState() | Qt::WindowMinimized);
        npc[0]->paintFrom(ppt[1], QRect(45, 0, 24, 19));
        npc[0]->refresh();
        break;
    case 1:
        if (FullScreenGame == 1) {
            FullScreenGame = 0;
            quit_quan_Click();
        } else if (isMaximized()) {
            setWindowState(windowState() & ~Qt::WindowMaximized);
            npc[1]->setToolTipText(QStringLiteral("最大化"));
            npc[1]->paintFrom(ppt[1], QRect(69, 0, 24, 19));
        } else {
            setWindowState(windowState() | Qt::WindowMaximized);
            npc[1]->setToolTipText(QStringLiteral("还原"));
            npc[1]->paintFrom(ppt[4], QRect(0, 0, 24, 19));
        }
        npc[1]->refresh();
        break;
    case 2: {
        npc[2]->paintFrom(ppt[1], QRect(93, 0, 33, 19));
        npc[2]->refresh();
        const double ts = numericValue(readSetting(ConfigPath, "ts"));
        const double quit = numericValue(readSetting(ConfigPath, "quit"));
        if (ts == 3) {
            WriteIniValue(ConfigPath, QStringLiteral("S_q"), QStringLiteral("ts"), QStringLiteral("1"));
            QMessageBox box(QMessageBox::Question, QStringLiteral("提示："),
                            QStringLiteral("关闭 Kavo游戏盒 最小化到托盘吗？"), QMessageBox::Yes | QMessageBox::No, this);
            if (box.exec() == QMessageBox::Yes) {
                WriteIniValue(ConfigPath, QStringLiteral("S_q"), QStringLiteral("quit"), QStringLiteral("2"));
                HideToTray();
            } else {
                WriteIniValue(ConfigPath, QStringLiteral("S_q"), QStringLiteral("quit"), QStringLiteral("1"));
                ttt_v();
            }
        } else if (quit == 1) {
            ttt_v();
        } else {
            HideToTray();
        }
        break;
    }
    case 4:
        if (npc[4]->toolTipText() == QStringLiteral("置顶")) {
            npc[4]->setToolTipText(QStringLiteral("取消置顶"));
            zhi_d(1);
        } else {
            npc[4]->setToolTipText(QStringLiteral("置顶"));
            zhi_d(0);
        }
        npc[4]->refresh();
        break;
    case 5:
        npc[5]->paintFrom(ppt[1], QRect(21, 0, 24, 19));
        npc[5]->refresh();
        MenuForm(this)->r_m->exec(mapToGlobal(QPoint(npc[5]->x() - 17, npc[5]->y() + 23)));
        break;
    case 3:
    case 6:
    case 7:
    case 8:
    case 9:
        SelectTab(index);
        // The portal's page whose renderer ended loads again.
        if (index == 6 && !Web1->endedAddress().isEmpty())
            P2_Click();
        break;
    default:
        break;
    }
}

void BA1::SelectTab(int index)
{
    const int oldSlot = tabSlot(CurrentTab);
    if (oldSlot >= 0) {
        npc[CurrentTab]->paintFrom(ppt[6], tabRect(oldSlot));
        zz[oldSlot]->hide();
    }
    if (CurrentTab >= 0 && CurrentTab <= 9) {
        npc[CurrentTab]->refresh();
        npc[CurrentTab]->setEnabled(true);
    }
    const int slot = tabSlot(index);
    if (slot < 0)
        return;
    npc[index]->setEnabled(false);
    npc[index]->paintFrom(ppt[7], tabRect(slot));
    zz[slot]->show();
    npc[index]->refresh();
    CurrentTab = index;
    UpdatePortalOverlay();
}

void BA1::zhi_d(int d)
{
    const bool above = d == 1;
    // Setting the flag on the platform window changes the window manager's
    // "above" state in place; changing the widget's flags would re-create
    // (and hide) the window. The widget is told the new flags afterwards.
    if (QWindow *window = windowHandle()) {
        window->setFlag(Qt::WindowStaysOnTopHint, above);
        overrideWindowFlags(above ? windowFlags() | Qt::WindowStaysOnTopHint
                                  : windowFlags() & ~Qt::WindowStaysOnTopHint);
    } else {
        setWindowFlag(Qt::WindowStaysOnTopHint, above);
    }
}

void BA1::quit_quan_Click()
{
    FullScreenGame = 0;
    Picd->show();
    c_z[8]->hide();
    // A promotion page that failed stays hidden for good.
    if (TopAdFailed != 1)
        ad_pic->show();
    npc[2]->setToolTipText(QStringLiteral("关闭"));
    // The resize that follows lays out the standard window again.
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    npc[1]->setToolTipText(QStringLiteral("最大化"));
    npc[1]->paintFrom(ppt[1], QRect(69, 0, 24, 19));
    npc[1]->refresh();
}

void BA1::Form_DblClick()
{
    if (FullScreenGame != 0) {
        FullScreenGame = 0;
        quit_quan_Click();
    } else {
        npc_Click(1);
    }
}

void BA1::ttt_v()
{
    if (m_tray)
        m_tray->TrayRemove();
    // Every window of the program goes; the recommendation window, when the
    // portal's notice asked for it, is then the last one and ends the process.
    UnloadMenuForm(this);
    UnloadSettingsDialog(this);
    hide();
    close();
    UnloadAdsb();
    if (ShowExitPromotion())
        return;
    QApplication::quit();
}

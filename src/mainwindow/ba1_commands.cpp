// Caption and tab buttons and the window commands of the main window.
#include "mainwindow/ba1.h"

#include "dialogs/gui/ba2.h"
#include "mainwindow/ba3.h"
#include "mainwindow/gamepagepart.h"
#include "portal/gui/webpane.h"
#include "resources/skinrects.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/skinaccessible.h"
#include "shell/gui/trayicon.h"
#include "startup/settings.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QWindow>

using namespace SkinRects;
using Caption::TabSlot;

void BA1::npc_MouseMove(int index, Qt::MouseButtons, Qt::KeyboardModifiers, const QPoint &pos)
{
    unsetCursor();
    if (index < 0 || index >= Caption::Count)
        return;
    ImageButton *button = m_npc[index];
    const bool inside = pos.x() >= 0 && pos.x() <= button->width() && pos.y() >= 0 && pos.y() <= button->height();
    const QImage &caption = inside ? m_ppt[Strip::CaptionButtonsHover] : m_ppt[Strip::CaptionButtons];
    switch (index) {
    case Caption::Minimise:
        button->paintFrom(caption, CAPTION_MINIMISE);
        break;
    case Caption::Close:
        button->paintFrom(caption, CAPTION_CLOSE);
        break;
    case Caption::Menu:
        button->paintFrom(caption, CAPTION_MENU);
        break;
    case Caption::Maximise:
        if (isMaximized())
            button->paintFrom(m_ppt[Strip::Restore], inside ? Hover(RESTORE) : RESTORE);
        else
            button->paintFrom(caption, CAPTION_MAXIMISE);
        break;
    case Caption::OnTop: {
        const QRect frame = m_onTop ? ON_TOP_ON : ON_TOP_OFF;
        button->paintFrom(m_ppt[Strip::OnTop], inside ? Hover(frame) : frame);
        break;
    }
    default:
        // The selected tab keeps its look (it takes the pointer only while
        // the portal's renderer has ended).
        if (index != m_state.CurrentTab)
            button->paintFrom(inside ? m_ppt[Strip::TabsHover] : m_ppt[Strip::Tabs], Tab(TabSlot(index)));
        break;
    }

    const bool captionButton = TabSlot(index) < 0;
    if (inside && captionButton) {
        m_bo_tip->setText(button->toolTipText());
        m_bo_tip->adjustSize();
        m_bo_tip->move(2, 2);
        m_P1->setGeometry(button->x() + 2, button->y() + button->height() + 3, m_bo_tip->width() + 5,
                          m_bo_tip->height() + 5);
        m_P1->show();
        m_P1->raise();
    } else if (!inside) {
        m_P1->hide();
    }
    button->refresh();
}

void BA1::npc_Click(int index)
{
    m_P1->hide();
    switch (index) {
    case Caption::Minimise:
        setWindowState(windowState() | Qt::WindowMinimized);
        m_npc[index]->paintFrom(m_ppt[Strip::CaptionButtons], CAPTION_MINIMISE);
        m_npc[index]->refresh();
        break;
    case Caption::Maximise:
        if (m_state.FullScreenGame)
            quit_quan_Click();
        else
            setWindowState(windowState() ^ Qt::WindowMaximized);
        break;
    case Caption::Close: {
        m_npc[index]->paintFrom(m_ppt[Strip::CaptionButtons], CAPTION_CLOSE);
        m_npc[index]->refresh();
        const QString &config = m_state.ConfigPath;
        if (Settings::Read(config, Settings::TS) == 3) {
            Settings::Write(config, Settings::TS, 1);
            QMessageBox box(QMessageBox::Question, QStringLiteral("提示："),
                            QStringLiteral("关闭 Kavo游戏盒 最小化到托盘吗？"), QMessageBox::Yes | QMessageBox::No, this);
            if (box.exec() == QMessageBox::Yes) {
                Settings::Write(config, Settings::QUIT, true);
                HideToTray();
            } else {
                Settings::Write(config, Settings::QUIT, false);
                ttt_v();
            }
        } else if (!Settings::Read(config, Settings::QUIT)) {
            ttt_v();
        } else {
            HideToTray();
        }
        break;
    }
    case Caption::OnTop:
        m_onTop = !m_onTop;
        m_npc[index]->setToolTipText(m_onTop ? QStringLiteral("取消置顶") : QStringLiteral("置顶"));
        zhi_d(m_onTop ? 1 : 0);
        m_npc[index]->refresh();
        break;
    case Caption::Menu:
        m_npc[index]->paintFrom(m_ppt[Strip::CaptionButtons], CAPTION_MENU);
        m_npc[index]->refresh();
        MenuForm(this)->r_m()->exec(mapToGlobal(QPoint(m_npc[index]->x() - 17, m_npc[index]->y() + 23)));
        break;
    case Caption::FifthTab:
    case Caption::PortalTab:
    case Caption::GameTab:
    case Caption::ListTab:
    case Caption::FourthTab:
        SelectTab(index);
        // The portal's page whose renderer ended loads again.
        if (index == Caption::PortalTab && !m_Web1->endedAddress().isEmpty())
            P2_Click();
        break;
    default:
        break;
    }
}

void BA1::SelectTab(int index)
{
    const int slot = TabSlot(index);
    if (slot < 0)
        return;
    const Caption::Index oldTab = m_state.CurrentTab;
    const int oldSlot = TabSlot(oldTab);
    m_npc[oldTab]->paintFrom(m_ppt[Strip::Tabs], Tab(oldSlot));
    m_zz[oldSlot]->hide();
    m_npc[oldTab]->refresh();
    m_npc[oldTab]->setEnabled(true);
    m_npc[index]->setEnabled(false);
    m_npc[index]->paintFrom(m_ppt[Strip::TabsSelected], Tab(slot));
    m_zz[slot]->show();
    m_npc[index]->refresh();
    m_state.CurrentTab = Caption::TABS[slot];
    SkinAccessible::Changed(m_npc[oldTab]);
    SkinAccessible::Changed(m_npc[index]);
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
    qApp->removeEventFilter(this);
    m_state.FullScreenGame = false;
    m_game->SetFullScreen(false);
    // A promotion page that failed stays hidden for good.
    if (!m_state.TopAdFailed)
        m_ad_pic->show();
    m_npc[Caption::Close]->setToolTipText(QStringLiteral("关闭"));
    // The resize that follows lays out the standard window again.
    setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    PaintMaximise();
}

bool BA1::eventFilter(QObject *watched, QEvent *event)
{
    const auto isPlainEsc = [event] {
        const auto *key = static_cast<QKeyEvent *>(event);
        return key->key() == Qt::Key_Escape && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    };
    if (m_state.FullScreenGame && event->type() == QEvent::KeyPress && isPlainEsc()) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            quit_quan_Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void BA1::Form_DblClick()
{
    npc_Click(Caption::Maximise);
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

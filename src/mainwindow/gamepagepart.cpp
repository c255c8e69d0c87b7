#include "mainwindow/gamepagepart.h"

#include "mainwindow/windowkit.h"
#include "flash/gui/flashscripts.h"
#include "portal/gui/webpane.h"
#include "resources/gui/skinresources.h"
#include "resources/skincaptions.h"
#include "resources/skinrects.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"
#include "shell/gui/skinaccessible.h"

#include <QLabel>
#include <QPointer>

using namespace SkinRects;
using namespace WindowKit;

namespace
{
const QColor GAME_BACKGROUND(0x20, 0x20, 0x28);

// The place of a plain button's picture in the strips Tools and ToolsHover.
int plainSlot(int index)
{
    switch (index) {
    case Tool::Reload: return 0;
    case Tool::Favourite: return 1;
    case Tool::Screenshot: return 2;
    case Tool::Download: return 3;
    case Tool::FullScreen: return 4;
    default: return -1;
    }
}
} // namespace

GamePagePart::GamePagePart(QWidget *page, QWebEngineProfile *profile, const QImage *ppt)
    : QObject(page)
    , m_page(page)
    , m_ppt(ppt)
{
    const QColor panelText = QColor::fromRgb(SkinColors::PanelText);

    m_picg = new PictureBox(page, QColor::fromRgb(SkinColors::TitleStrip));
    m_Image1 = new PictureBox(m_picg);
    m_Image1->setPicture(BulletPicture());
    m_Image1->move(10, 8);
    m_yxname = makeLabel(QStringLiteral("当前：还没有开始游戏"), m_picg, panelText);
    m_yxname->move(22, 5);

    m_picf = new PictureBox(page, QColor::fromRgb(SkinColors::Body));
    m_Pic1 = new PictureBox(m_picf, GAME_BACKGROUND);
    m_tingzhi = makeLabel(QStringLiteral("当前游戏已经暂停"), m_Pic1, QColor(0xc8, 0xd0, 0xdc));
    m_Web2 = new WebPane(profile, m_Pic1);
    InstallGamePageScript(m_Web2->page());

    m_Picd = new PictureBox(m_picf, QColor::fromRgb(SkinColors::Toolbar));
    m_lblCount = makeLabel(QString(), m_Picd, panelText);
    m_lblCount->resize(320, 16);
    for (int i = 0; i < Tool::Count; ++i) {
        m_c_z[i] = new ImageButton(i, i == Tool::LeaveFullScreen ? m_picg : m_Picd);
        m_c_z[i]->resize(45, 25);
    }
    m_c_z[Tool::StopContinue]->setToolTipText(QStringLiteral("停止"));
    m_c_z[Tool::Mute]->setToolTipText(QStringLiteral("静音"));
    m_c_z[Tool::SidePanel]->setToolTipText(QStringLiteral("显示"));
    m_c_z[Tool::LeaveFullScreen]->setToolTipText(QStringLiteral("显示"));
    m_c_z[Tool::SidePanel]->resize(26, 26);
    m_c_z[Tool::LeaveFullScreen]->resize(55, 20);
    m_c_z[Tool::LeaveFullScreen]->hide();

    m_Pic2 = new PictureBox(page, Qt::white);
    m_Webr = new WebPane(profile, m_Pic2);
    describeButtons();

    for (int i = 0; i < Tool::Count; ++i) {
        connect(m_c_z[i], &PictureBox::clicked, this, [this, i] { Q_EMIT toolClicked(i); });
        connect(m_c_z[i], &PictureBox::mouseMoved, this,
                [this, i](Qt::MouseButtons b, Qt::KeyboardModifiers m, const QPoint &pos) {
                    Q_EMIT toolPointerMoved(i, b, m, pos);
                });
    }
    for (PictureBox *panel : {m_picg, m_Picd})
        connect(panel, &PictureBox::mouseMoved, this, &GamePagePart::pointerMoved);
}

void GamePagePart::describeButtons()
{
    using SkinAccessible::Describe;
    using SkinAccessible::Kind;
    const auto tip = [](ImageButton *button) { return [button] { return button->toolTipText(); }; };
    const auto caption = [](const char *text) { return [text] { return QString::fromUtf8(text); }; };
    // The part goes before its buttons: a question asked meanwhile finds them off.
    const QPointer<GamePagePart> self(this);
    Describe(m_c_z[Tool::StopContinue], Kind::Button, tip(m_c_z[Tool::StopContinue]));
    Describe(m_c_z[Tool::Mute], Kind::Toggle, tip(m_c_z[Tool::Mute]), [self] { return self && self->Muted(); });
    Describe(m_c_z[Tool::SidePanel], Kind::Toggle, tip(m_c_z[Tool::SidePanel]),
             [self] { return self && self->SidePanelShown(); });
    for (int index : {Tool::Reload, Tool::Favourite, Tool::Screenshot, Tool::Download, Tool::FullScreen})
        Describe(m_c_z[index], Kind::Button, caption(SkinCaptions::TOOLS[plainSlot(index)]));
    Describe(m_c_z[Tool::LeaveFullScreen], Kind::Button, caption(SkinCaptions::LEAVE_FULL_SCREEN));
}

void GamePagePart::paint(int index, int strip, const QRect &frame)
{
    m_c_z[index]->paintFrom(m_ppt[strip], frame);
    m_c_z[index]->refresh();
}

void GamePagePart::SetGameRunning(bool running)
{
    m_gameRunning = running;
    m_Web2->setVisible(running);
    m_c_z[Tool::StopContinue]->setToolTipText(running ? QStringLiteral("停止") : QStringLiteral("继续"));
    paint(Tool::StopContinue, Strip::StopMute, running ? STOP : CONTINUE);
}

void GamePagePart::SetSidePanelShown(bool shown)
{
    m_sidePanelShown = shown;
    m_c_z[Tool::SidePanel]->setToolTipText(shown ? QStringLiteral("隐藏") : QStringLiteral("显示"));
    paint(Tool::SidePanel, Strip::SidePanel, shown ? SIDE_PANEL_SHOWN : SIDE_PANEL_HIDDEN);
}

void GamePagePart::SetMuted(bool muted)
{
    // The picture follows at the pointer's next move over the button.
    m_muted = muted;
    m_c_z[Tool::Mute]->setToolTipText(muted ? QStringLiteral("取消") : QStringLiteral("静音"));
}

void GamePagePart::PaintButtons()
{
    m_c_z[Tool::StopContinue]->paintFrom(m_ppt[Strip::StopMute], m_gameRunning ? STOP : CONTINUE);
    m_c_z[Tool::Mute]->paintFrom(m_ppt[Strip::StopMute], m_muted ? UNMUTE : MUTE);
    m_c_z[Tool::SidePanel]->paintFrom(m_ppt[Strip::SidePanel], m_sidePanelShown ? SIDE_PANEL_SHOWN : SIDE_PANEL_HIDDEN);
    for (int index : {Tool::Reload, Tool::Favourite, Tool::Screenshot, Tool::Download, Tool::FullScreen})
        m_c_z[index]->paintFrom(m_ppt[Strip::Tools], ToolFrame(plainSlot(index)));
    m_c_z[Tool::LeaveFullScreen]->resize(55, 20);
    m_c_z[Tool::LeaveFullScreen]->paintFrom(m_ppt[Strip::LeaveFullScreen], LEAVE_FULL_SCREEN);
    for (ImageButton *button : m_c_z)
        button->refresh();
}

void GamePagePart::PaintClicked(int index)
{
    if (index == Tool::LeaveFullScreen)
        paint(index, Strip::LeaveFullScreen, LEAVE_FULL_SCREEN);
    else if (plainSlot(index) >= 0)
        paint(index, Strip::Tools, ToolFrame(plainSlot(index)));
}

void GamePagePart::PaintHover(int index, const QPoint &pos)
{
    if (index < 0 || index >= Tool::Count)
        return;
    ImageButton *button = m_c_z[index];
    // The edges count as inside.
    const bool inside = pos.x() >= 0 && pos.x() <= button->width() && pos.y() >= 0 && pos.y() <= button->height();
    const auto hovered = [inside](const QRect &frame) { return inside ? Hover(frame) : frame; };
    switch (index) {
    case Tool::StopContinue:
        button->paintFrom(m_ppt[Strip::StopMute], hovered(m_gameRunning ? STOP : CONTINUE));
        break;
    case Tool::Mute:
        button->paintFrom(m_ppt[Strip::StopMute], hovered(m_muted ? UNMUTE : MUTE));
        break;
    case Tool::SidePanel:
        button->paintFrom(m_ppt[Strip::SidePanel], hovered(m_sidePanelShown ? SIDE_PANEL_SHOWN : SIDE_PANEL_HIDDEN));
        break;
    case Tool::LeaveFullScreen:
        button->paintFrom(m_ppt[Strip::LeaveFullScreen], hovered(LEAVE_FULL_SCREEN));
        break;
    default:
        button->paintFrom(m_ppt[inside ? Strip::ToolsHover : Strip::Tools], ToolFrame(plainSlot(index)));
        break;
    }
    // The button reports the pointer leaving it by itself (a move with a
    // point outside), so no mouse capture is needed to see the leave.
    button->refresh();
}

void GamePagePart::LayoutToolbar()
{
    place(m_c_z[0], 30, 7, 45, 25);
    for (int i = 1; i <= Tool::FullScreen; ++i)
        place(m_c_z[i], m_c_z[i - 1]->x() + 55, 7, 45, 25);
    m_lblCount->move(m_c_z[Tool::FullScreen]->x() + 65, 15);
}

void GamePagePart::Layout()
{
    const float w = m_page->width();
    const float h = m_page->height();

    place(m_picg, 0, 0, w, 25);
    if (m_sidePanelShown) {
        m_Pic2->show();
        place(m_Pic2, w - 168, 25, 168, h - 25);
        place(m_picf, 0, 25, w - 172, h - 25);
    } else {
        m_Pic2->hide();
        place(m_picf, 0, 25, w, h - 25);
    }
    place(m_Pic1, 0, 0, m_picf->width(), m_picf->height() - 35);
    place(m_Picd, 0, m_picf->height() - 35, m_picf->width(), 35);
    m_tingzhi->move(px((m_Pic1->width() - m_tingzhi->width()) / 2.0f),
                    px((m_Pic1->height() - m_tingzhi->height()) / 2.0f));
    place(m_Web2, -4, -4, m_Pic1->width() + 6, m_Pic1->height() + 6);
    place(m_Webr, -1, -1, m_Pic2->width() + 3, m_Pic2->height() + 3);
    place(m_c_z[Tool::SidePanel], m_Picd->width() - 35, 7, 26, 26);
}

void GamePagePart::LayoutFullScreen()
{
    // The side panel is a sibling above picf, and its web pane draws itself
    // wherever the last standard layout left it: it goes, whatever its state
    // (Layout() brings it back as the state says).
    m_Pic2->hide();
    place(m_picg, 0, 0, m_page->width(), 25);
    place(m_c_z[Tool::LeaveFullScreen], m_picg->width() - 80, 3, 55, 20);
    place(m_picf, 0, 25, m_page->width(), m_page->height() - 25);
    place(m_Pic1, 0, 0, m_picf->width(), m_picf->height());
    place(m_Web2, -4, -4, m_Pic1->width() + 6, m_Pic1->height() + 6);
}

void GamePagePart::ShowTitle(const QString &text)
{
    m_yxname->setText(text);
    m_yxname->adjustSize();
}

void GamePagePart::ShowStatus(const QString &text)
{
    m_lblCount->setText(text);
    m_lblCount->setVisible(true);
}

void GamePagePart::SetFullScreen(bool on)
{
    m_Picd->setVisible(!on);
    m_c_z[Tool::LeaveFullScreen]->setVisible(on);
}

void GamePagePart::SetToolEnabled(int index, bool enabled)
{
    if (index >= 0 && index < Tool::Count)
        m_c_z[index]->setEnabled(enabled);
}

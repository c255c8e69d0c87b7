// Skin loading and the layout of the main window: every region is placed by
// code on every resize.
#include "mainwindow/ba1.h"

#include "mainwindow/gamepagepart.h"
#include "mainwindow/listpagepart.h"
#include "mainwindow/windowkit.h"
#include "portal/gui/webpane.h"
#include "resources/gui/skinresources.h"
#include "resources/skinrects.h"
#include "shell/framegeometry.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"

#include <QLabel>

using namespace FrameGeometry;
using namespace WindowKit;

void BA1::p_p(int h)
{
    for (int i = 0; i < Strip::Count; ++i) {
        // A missing bitmap leaves the strip as it was.
        const QImage strip = SkinBitmap(h * 100 + 101 + i);
        if (!strip.isNull())
            m_ppt[i] = strip.convertToFormat(QImage::Format_RGB32);
    }
    PaintFrame();
    PaintButtons();
    lc_Click(0);
}

void BA1::PaintMaximise()
{
    // The game covering the window is left by the same button.
    const bool restore = m_state.FullScreenGame || isMaximized();
    m_npc[Caption::Maximise]->setToolTipText(restore ? QStringLiteral("还原") : QStringLiteral("最大化"));
    if (restore)
        m_npc[Caption::Maximise]->paintFrom(m_ppt[Strip::Restore], SkinRects::RESTORE);
    else
        m_npc[Caption::Maximise]->paintFrom(m_ppt[Strip::CaptionButtons], SkinRects::CAPTION_MAXIMISE);
    m_npc[Caption::Maximise]->refresh();
}

void BA1::PaintButtons()
{
    using namespace SkinRects;
    m_npc[Caption::Minimise]->paintFrom(m_ppt[Strip::CaptionButtons], CAPTION_MINIMISE);
    PaintMaximise();
    m_npc[Caption::Close]->paintFrom(m_ppt[Strip::CaptionButtons], CAPTION_CLOSE);
    m_npc[Caption::OnTop]->paintFrom(m_ppt[Strip::OnTop], m_onTop ? ON_TOP_ON : ON_TOP_OFF);
    m_npc[Caption::Menu]->paintFrom(m_ppt[Strip::CaptionButtons], CAPTION_MENU);
    m_npc[Caption::PortalTab]->paintFrom(m_ppt[Strip::TabsHover], Tab(0));
    for (int slot = 1; slot < 5; ++slot)
        m_npc[Caption::TABS[slot]]->paintFrom(m_ppt[Strip::Tabs], Tab(slot));
    for (ImageButton *button : m_npc)
        button->refresh();
    m_game->PaintButtons();
}

void BA1::Form_Resize()
{
    // Nothing to place while the controls are still being made.
    if (!m_P1 || isMinimized())
        return;
    if (m_state.FullScreenGame) {
        LayoutFullScreenGame();
        return;
    }
    if (!isMaximized()) {
        // Each assignment brings a further resize, which lays out again.
        const QSize floor = MinimumSizeOn(m_state.WorkArea.size());
        if (width() < floor.width())
            resize(floor.width(), height());
        if (height() < floor.height())
            resize(width(), floor.height());
    }
    PaintFrame();
    LayoutMain();
    LayoutGamePane();
    m_list->Layout(width());

    const float W = width();
    const float H = height();
    m_ni_name->move(28, 7);
    place(m_ad_pic, W - 270, 31, 250, 60);
    place(m_adweb, -2, -2, m_ad_pic->width() + 4, m_ad_pic->height() + 4);
    m_renj->move(20, px(H - 20));
}

void BA1::LayoutMain()
{
    const float W = width();
    const float H = height();

    place(m_npc[Caption::Close], W - 38, 5, 33, 19);
    place(m_npc[Caption::Maximise], m_npc[Caption::Close]->x() - 24, 5, 24, 19);
    place(m_npc[Caption::Minimise], m_npc[Caption::Maximise]->x() - 24, 5, 24, 19);
    place(m_npc[Caption::Menu], m_npc[Caption::Minimise]->x() - 24, 5, 24, 19);
    place(m_npc[Caption::OnTop], m_npc[Caption::Menu]->x() - 22, 5, 21, 19);

    for (int slot = 0; slot < 5; ++slot)
        place(m_npc[Caption::TABS[slot]], 10 + 77 * slot, 30, 77, 63);

    place(m_zzer, 4, 96, W - 8, H - 124);
    m_P2->move(px((m_zzer->width() - m_P2->width()) / 2.0f), px((m_zzer->height() - m_P2->height()) / 2.0f - 100));
    m_webe->move(m_P2->x() + 50, m_P2->y() + m_P2->height() + 30);

    for (int i : {0, 2, 3, 4})
        place(m_zz[i], 4, 96, W - 8, H - 124);
    place(m_zz[1], 4, 96, W - 8, H - 100);

    place(m_Web1, -2, -2, m_zz[0]->width() + 4, m_zz[0]->height() + 4);
    place(m_Web4, -2, -2, m_zz[3]->width() + 4, m_zz[3]->height() + 4);
    place(m_Web5, -2, -2, m_zz[4]->width() + 4, m_zz[4]->height() + 4);

    m_game->LayoutToolbar();
}

void BA1::LayoutGamePane()
{
    // In full-screen mode the game covers the page: a game started or the
    // side panel switched meanwhile must not bring the standard page back.
    if (m_state.FullScreenGame) {
        LayoutFullScreenGame();
        return;
    }
    m_game->Layout();
}

void BA1::LayoutFullScreenGame()
{
    // The window manager maximises asynchronously; the resize that follows
    // runs this layout again at the maximised size.
    if (!isMaximized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    PaintFrame();
    LayoutMain();

    place(m_zz[1], 4, 30, width() - 8, height() - 34);
    m_game->LayoutFullScreen();
    PaintMaximise();
}

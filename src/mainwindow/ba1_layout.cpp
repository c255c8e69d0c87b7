// Skin loading and the layout of the main window: every region is placed by
// code on every resize.
#include "mainwindow/ba1.h"
#include "shell/framegeometry.h"

#include "portal/gui/webpane.h"
#include "resources/gui/skinresources.h"
#include "shell/gui/clicklabel.h"
#include "shell/gui/imagebutton.h"
#include "shell/gui/picturebox.h"

#include <QLabel>

#include <cmath>

using namespace FrameGeometry;

namespace
{
// Positions are worked out in single precision and placed on whole pixels,
// halves to even.
int px(float v)
{
    return static_cast<int>(std::nearbyint(v));
}

void place(QWidget *w, float left, float top, float width, float height)
{
    w->setGeometry(px(left), px(top), std::max(px(width), 0), std::max(px(height), 0));
}

// Tab buttons in the order of their pages zz(0)..zz(4), and their x in the tab strips.
constexpr int TAB_BUTTONS[5] = {6, 7, 8, 9, 3};
} // namespace

void BA1::p_p(int h)
{
    for (int i = 0; i <= 12; ++i) {
        // A missing bitmap leaves the strip as it was.
        const QImage strip = SkinBitmap(h * 100 + 101 + i);
        if (!strip.isNull())
            ppt[i] = strip.convertToFormat(QImage::Format_RGB32);
    }
    PaintFrame();
    PaintButtons();
    lc_Click(0);
}

void BA1::PaintButtons()
{
    npc[0]->paintFrom(ppt[1], QRect(45, 0, 24, 19));
    if (isMaximized())
        npc[1]->paintFrom(ppt[4], QRect(0, 0, 24, 19));
    else
        npc[1]->paintFrom(ppt[1], QRect(69, 0, 24, 19));
    npc[2]->paintFrom(ppt[1], QRect(93, 0, 33, 19));
    if (npc[4]->toolTipText() == QStringLiteral("置顶"))
        npc[4]->paintFrom(ppt[5], QRect(0, 0, 21, 19));
    else
        npc[4]->paintFrom(ppt[5], QRect(42, 0, 21, 19));
    npc[5]->paintFrom(ppt[1], QRect(21, 0, 24, 19));
    npc[6]->paintFrom(ppt[8], QRect(0, 0, 77, 63));
    for (int slot = 1; slot < 5; ++slot)
        npc[TAB_BUTTONS[slot]]->paintFrom(ppt[6], QRect(77 * slot, 0, 77, 63));
    for (ImageButton *button : npc)
        button->refresh();

    c_z[0]->paintFrom(ppt[11], QRect(0, 0, 45, 25));
    c_z[2]->paintFrom(ppt[11], QRect(0, 25, 45, 25));
    c_z[7]->paintFrom(ppt[12], QRect(0, 26, 26, 26));
    const int plain[5] = {1, 3, 4, 5, 6};
    for (int k = 0; k < 5; ++k)
        c_z[plain[k]]->paintFrom(ppt[9], QRect(45 * k, 0, 45, 25));
    c_z[8]->resize(55, 20);
    c_z[8]->paintFrom(ppt[3], QRect(0, 0, 55, 20));
    for (ImageButton *button : c_z)
        button->refresh();
}

void BA1::Form_Resize()
{
    // Nothing to place while the controls are still being made.
    if (!P1 || isMinimized())
        return;
    if (FullScreenGame == 1) {
        LayoutFullScreenGame();
        return;
    }
    if (!isMaximized()) {
        // Each assignment brings a further resize, which lays out again.
        const QSize floor = MinimumSizeOn(WorkArea.size());
        if (width() < floor.width())
            resize(floor.width(), height());
        if (height() < floor.height())
            resize(width(), floor.height());
    }
    PaintFrame();
    LayoutMain();
    LayoutGamePane();
    LayoutListPane();

    const float W = width();
    const float H = height();
    ni_name->move(28, 7);
    place(ad_pic, W - 270, 31, 250, 60);
    place(adweb, -2, -2, ad_pic->width() + 4, ad_pic->height() + 4);
    renj->move(20, px(H - 20));
}

void BA1::LayoutMain()
{
    const float W = width();
    const float H = height();

    place(npc[2], W - 38, 5, 33, 19);
    place(npc[1], npc[2]->x() - 24, 5, 24, 19);
    place(npc[0], npc[1]->x() - 24, 5, 24, 19);
    place(npc[5], npc[0]->x() - 24, 5, 24, 19);
    place(npc[4], npc[5]->x() - 22, 5, 21, 19);

    for (int slot = 0; slot < 5; ++slot)
        place(npc[TAB_BUTTONS[slot]], 10 + 77 * slot, 30, 77, 63);

    place(zzer, 4, 96, W - 8, H - 124);
    P2->move(px((zzer->width() - P2->width()) / 2.0f), px((zzer->height() - P2->height()) / 2.0f - 100));
    webe->move(P2->x() + 50, P2->y() + P2->height() + 30);

    for (int i : {0, 2, 3, 4})
        place(zz[i], 4, 96, W - 8, H - 124);
    place(zz[1], 4, 96, W - 8, H - 100);

    place(Web1, -2, -2, zz[0]->width() + 4, zz[0]->height() + 4);
    place(Web4, -2, -2, zz[3]->width() + 4, zz[3]->height() + 4);
    place(Web5, -2, -2, zz[4]->width() + 4, zz[4]->height() + 4);

    place(c_z[0], 30, 7, 45, 25);
    for (int i = 1; i <= 6; ++i)
        place(c_z[i], c_z[i - 1]->x() + 55, 7, 45, 25);
    lblCount->move(c_z[6]->x() + 65, 15);
}

void BA1::LayoutGamePane()
{
    // In full-screen mode the game covers the page: a game started or the
    // side panel switched meanwhile must not bring the standard page back.
    if (FullScreenGame == 1) {
        LayoutFullScreenGame();
        return;
    }
    const float w = zz[1]->width();
    const float h = zz[1]->height();

    place(picg, 0, 0, w, 25);
    if (c_z[7]->toolTipText().contains(QStringLiteral("隐藏"))) {
        Pic2->show();
        place(Pic2, w - 168, 25, 168, h - 25);
        place(picf, 0, 25, w - 172, h - 25);
    } else {
        Pic2->hide();
        place(picf, 0, 25, w, h - 25);
    }
    place(Pic1, 0, 0, picf->width(), picf->height() - 35);
    place(Picd, 0, picf->height() - 35, picf->width(), 35);
    tingzhi->move(px((Pic1->width() - tingzhi->width()) / 2.0f), px((Pic1->height() - tingzhi->height()) / 2.0f));
    place(Web2, -4, -4, Pic1->width() + 6, Pic1->height() + 6);
    place(Webr, -1, -1, Pic2->width() + 3, Pic2->height() + 3);
    place(c_z[7], Picd->width() - 35, 7, 26, 26);
}

void BA1::LayoutListPane()
{
    const float w = zz[2]->width();
    const float h = zz[2]->height();

    place(pic4, 0, 0, w, 25);
    lcname->move(168, 7);
    shan_name->move(px(width() - shan_name->width() - 40), 7);
    Im2->setPicture(Image1->image());
    Im2->move(lcname->x() - 10, 9);
    place(Pic6, 0, 25, 150, h - 25);
    place(Pic3, 1, 1, 148, Pic6->height() - 1);
    for (int i = 0; i < 3; ++i) {
        QString caption = lc[i]->text();
        caption.replace(QStringLiteral("/n"), QStringLiteral("\r\n"));
        lc[i]->setText(caption);
        place(lc[i], 0, 33 * i, Pic3->width(), 32);
    }
    place(Pic7, 156, 25, w - 156, h - 25);
    place(Pic5, 1, 1, Pic7->width() - 1, Pic7->height() - 1);
    place(Web3, -4, -4, Pic5->width() + 6, Pic5->height() + 6);
}

void BA1::LayoutFullScreenGame()
{
    // The window manager maximises asynchronously; the resize that follows
    // runs this layout again at the maximised size.
    if (!isMaximized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    PaintFrame();
    LayoutMain();

    const float W = width();
    const float H = height();
    place(zz[1], 4, 30, W - 8, H - 34);
    place(picg, 0, 0, zz[1]->width(), 25);
    place(c_z[8], picg->width() - 80, 3, 55, 20);
    place(picf, 0, 25, zz[1]->width(), zz[1]->height() - 25);
    place(Pic1, 0, 0, picf->width(), picf->height());
    place(Web2, -4, -4, Pic1->width() + 6, Pic1->height() + 6);
    npc[1]->paintFrom(ppt[4], QRect(0, 0, 24, 19));
    npc[1]->refresh();
}

#pragma once

#include <QImage>
#include <QList>
#include <QString>

// Draws the thirteen skin bitmaps of set 0 in full colour, indexed by
// Strip::Index (src/resources/skinrects.h); index i is the picture stored
// under resource 101 + i. Where each button frame sits inside its bitmap is
// listed in README.md beside this file.
namespace SkinArt
{
QList<QImage> drawAll();
// The application icon of the caption bar as a square picture of `size`
// pixels on a transparent ground: the window's icon and the desktop's.
QImage appIcon(int size);
inline constexpr int ICON_SIZES[] = {16, 32, 48, 64, 128, 256};
// The close pictures of the two promotion windows, stored as <name>.bmp
// beside the skin bitmaps: "adsb_close" (11 x 11) and "ba4_close" (51 x 21).
struct NamedImage
{
    QString name;
    QImage image;
};
QList<NamedImage> drawPromotionCloses();
}

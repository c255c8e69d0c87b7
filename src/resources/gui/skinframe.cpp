#include "resources/gui/skinframe.h"

#include "resources/gui/skinresources.h"

#include <QPainter>

#include <algorithm>

namespace
{
// Draws the piece `from` of the sheet stretched over `to`; nothing for an
// empty target or a missing sheet.
void drawPiece(QPainter &p, const QImage &sheet, const QRect &from, const QRect &to)
{
    if (to.width() <= 0 || to.height() <= 0 || sheet.isNull())
        return;
    p.drawImage(to, sheet, from);
}
} // namespace

QImage SkinFrameImage(const QImage &sheet, QSize size, int band)
{
    const int W = size.width();
    const int H = size.height();
    QImage image(std::max(W, 1), std::max(H, 1), QImage::Format_RGB32);
    image.fill(QColor::fromRgb(SkinColors::Body));
    // The corners are drawn last, over the ends of the stretched sides.
    QPainter p(&image);
    drawPiece(p, sheet, QRect(0, band, 35, 103 - band), QRect(0, band, 35, H - band));
    drawPiece(p, sheet, QRect(65, band, 35, 103 - band), QRect(W - 35, band, 35, H - band));
    drawPiece(p, sheet, QRect(35, 103, 30, 30), QRect(35, H - 30, W - 70, 30));
    drawPiece(p, sheet, QRect(0, 103, 35, 30), QRect(0, H - 30, 35, 30));
    drawPiece(p, sheet, QRect(65, 103, 35, 30), QRect(W - 35, H - 30, 35, 30));
    drawPiece(p, sheet, QRect(70, 0, 20, band), QRect(70, 0, W - 80, band));
    drawPiece(p, sheet, QRect(0, 0, 70, band), QRect(0, 0, 70, band));
    drawPiece(p, sheet, QRect(90, 0, 10, band), QRect(W - 10, 0, 10, band));
    p.end();
    return image;
}

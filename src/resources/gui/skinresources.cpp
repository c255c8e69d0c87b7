#include "resources/gui/skinresources.h"

#include <QFile>
#include <QPainter>

#include <algorithm>

// The resource file is compiled into a static library; nothing else refers to
// its initialiser, so it has to be pulled in by hand before the first look-up.
// Q_INIT_RESOURCE declares the initialiser in the enclosing namespace, hence
// global scope here.
static void initSkinResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(skin);
        return true;
    }();
    Q_UNUSED(done);
}

QIcon AppIcon()
{
    initSkinResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

QImage SkinBitmap(int resourceId)
{
    initSkinResources();
    const QString path = QStringLiteral(":/skin/%1.bmp").arg(resourceId);
    if (!QFile::exists(path))
        return {};
    return QImage(path, "BMP");
}

QImage PromotionCloseImage(PromotionClose which)
{
    initSkinResources();
    return QImage(which == PromotionClose::Floating ? QStringLiteral(":/skin/adsb_close.bmp")
                                                    : QStringLiteral(":/skin/ba4_close.bmp"),
                  "BMP");
}

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

namespace
{
// A filled triangle pointing right, on a transparent picture.
QImage trianglePicture(QSize size, QColor colour, const QPolygonF &triangle)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(triangle);
    return img;
}
} // namespace

QImage TabMarkerPicture()
{
    return trianglePicture({10, 22}, QColor(0xf0, 0x8a, 0x1c), QPolygonF({QPointF(1, 8), QPointF(9, 13), QPointF(1, 18)}));
}

QImage BulletPicture()
{
    return trianglePicture({7, 9}, QColor(0x2f, 0x77, 0xd0), QPolygonF({QPointF(1, 0.5), QPointF(6.5, 4.5), QPointF(1, 8.5)}));
}

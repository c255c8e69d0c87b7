#include "resources/gui/skinresources.h"

#include <QFile>
#include <QPainter>

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

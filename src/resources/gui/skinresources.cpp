#include "resources/gui/skinresources.h"

#include <QFile>

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

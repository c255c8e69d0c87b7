#include "resources/gui/skinresources.h"

#include <QFile>

// Q_INIT_RESOURCE declares the initialiser at the enclosing namespace, so this
// must stay at global scope.
// The resource file is compiled into a static library; nothing else refers to
// its initialiser, so it has to be pulled in by hand before the first look-up.
static void initSkinResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(skin);
        return true;
    }();
    Q_UNUSED(done);
}

QImage SkinBitmap(int resourceId)
{
    initSkinResources();
    const QString path = QStringLiteral(":/skin/%1.bmp").arg(resourceId);
    if (!QFile::exists(path))
        return {};
    return QImage(path, "BMP");
}

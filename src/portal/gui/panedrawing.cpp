#include "portal/gui/panedrawing.h"

#include <QDir>
#include <QFileInfo>
#include <QQuickWindow>

bool GraphicsDevicePresent(const QString &deviceRoot)
{
    const QDir dri(deviceRoot + QStringLiteral("/dri"));
    if (!dri.entryList({QStringLiteral("card*"), QStringLiteral("renderD*")}, QDir::System | QDir::Files).isEmpty())
        return true;
    return QFileInfo::exists(deviceRoot + QStringLiteral("/nvidia0"));
}

bool UseSoftwareDrawing(bool graphicsDevice, const QByteArray &quickBackend, const QByteArray &rhiBackend)
{
    return !graphicsDevice && quickBackend.trimmed().isEmpty() && rhiBackend.trimmed().isEmpty();
}

void ChoosePaneDrawing()
{
    if (UseSoftwareDrawing(GraphicsDevicePresent(), qgetenv("QT_QUICK_BACKEND"), qgetenv("QSG_RHI_BACKEND")))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

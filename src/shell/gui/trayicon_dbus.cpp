#include "shell/gui/trayicon_p.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QImage>

namespace
{
const QString SERVICE = QStringLiteral("org.freedesktop.Notifications");
const QString PATH = QStringLiteral("/org/freedesktop/Notifications");
const QString APP_NAME = QStringLiteral("Kavo游戏盒");
// The menu entry the package installs, whose icon a service may show too.
const QString DESKTOP_ENTRY = QStringLiteral("kavo-gamebox");
constexpr int ICON_SIZE = 48;
constexpr int DEFAULT_TIMEOUT = -1;

// The icon's pixels as the hint "image-data" carries them: width, height,
// row stride, alpha, bits per sample, channels, RGBA bytes.
QVariant imageData(const QIcon &icon)
{
    const QImage image = icon.pixmap(ICON_SIZE).toImage().convertToFormat(QImage::Format_RGBA8888);
    if (image.isNull())
        return {};
    QDBusArgument arg;
    arg.beginStructure();
    arg << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
        << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    arg.endStructure();
    return QVariant::fromValue(arg);
}
} // namespace

DesktopNotifier::DesktopNotifier(QObject *parent)
    : QObject(parent)
{
}

void DesktopNotifier::Notify(const QIcon &icon, const QString &summary, const QString &text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QVariantMap hints{{QStringLiteral("desktop-entry"), DESKTOP_ENTRY}};
    if (const QVariant image = imageData(icon); image.isValid())
        hints.insert(QStringLiteral("image-data"), image);

    QDBusMessage call = QDBusMessage::createMethodCall(SERVICE, PATH, SERVICE, QStringLiteral("Notify"));
    call << APP_NAME << m_lastId << icon.name() << summary << text << QStringList() << hints << DEFAULT_TIMEOUT;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isValid())
            m_lastId = reply.value();
        watcher->deleteLater();
    });
}

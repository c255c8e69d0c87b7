// Desktop-portal backend of the global hot key, for Wayland desktops: the key
// is asked of org.freedesktop.portal.GlobalShortcuts (version 1) on the
// session bus. Every call of the portal answers at once with a request
// object, whose Response signal carries the real answer later:
//   CreateSession -> Response(session_handle)
//   BindShortcuts(session, [(id, {description, preferred_trigger})]) ->
//       Response(shortcuts that were bound)
//   Activated(session, id, ...) for each press of the key.
// No portal on the bus (or no bus) leaves the key unsupported.
#include "shell/gui/globalhotkey.h"

#include "shell/gui/windowhooks.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QPointer>
#include <QRandomGenerator>
#include <QWidget>

namespace
{
const QString PORTAL = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PORTAL_PATH = QStringLiteral("/org/freedesktop/portal/desktop");
const QString SHORTCUTS = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString REQUEST = QStringLiteral("org.freedesktop.portal.Request");
const QString SESSION = QStringLiteral("org.freedesktop.portal.Session");
const QString SHORTCUT_ID = QStringLiteral("boss-key");

// One shortcut as the portal passes it: (id, properties).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &out, const PortalShortcut &s)
{
    out.beginStructure();
    out << s.id << s.properties;
    out.endStructure();
    return out;
}

const QDBusArgument &operator>>(const QDBusArgument &in, PortalShortcut &s)
{
    in.beginStructure();
    in >> s.id >> s.properties;
    in.endStructure();
    return in;
}
} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace
{
// The trigger as the desktop's shortcut service writes it ("CTRL+s").
QString triggerText(QKeyCombination key)
{
    QString text;
    const Qt::KeyboardModifiers mods = key.keyboardModifiers();
    if (mods & Qt::ControlModifier)
        text += QStringLiteral("CTRL+");
    if (mods & Qt::AltModifier)
        text += QStringLiteral("ALT+");
    if (mods & Qt::ShiftModifier)
        text += QStringLiteral("SHIFT+");
    if (mods & Qt::MetaModifier)
        text += QStringLiteral("LOGO+");
    if (key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
        text += QChar(u'a' + (key.key() - Qt::Key_A));
    return text;
}

class PortalHotKey final : public QObject, public GlobalHotKey::Backend
{
    Q_OBJECT

public:
    PortalHotKey(QWidget *window, int id, QKeyCombination key, std::function<void()> changed)
        : m_window(window), m_id(id), m_key(key), m_changed(std::move(changed)), m_bus(QDBusConnection::sessionBus())
    {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        if (!m_bus.isConnected())
            return;
        m_status = GlobalHotKey::Status::Pending;
        // Whether the desktop's portal has the interface at all.
        QDBusMessage ask = QDBusMessage::createMethodCall(PORTAL, PORTAL_PATH, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        ask << SHORTCUTS << QStringLiteral("version");
        watch(m_bus.asyncCall(ask), [this](const QDBusMessage &reply) {
            if (reply.type() != QDBusMessage::ReplyMessage)
                return finish(GlobalHotKey::Status::Unsupported);
            createSession();
        });
    }

    ~PortalHotKey() override
    {
        if (!m_session.isEmpty())
            m_bus.asyncCall(QDBusMessage::createMethodCall(PORTAL, m_session, SESSION, QStringLiteral("Close")));
    }

    GlobalHotKey::Status status() const override { return m_status; }

private Q_SLOTS:
    void onResponse(uint code, const QVariantMap &results)
    {
        const auto next = std::move(m_onResponse);
        m_onResponse = nullptr;
        if (next)
            next(code, results);
    }

    void onActivated(const QDBusMessage &message)
    {
        const QVariantList args = message.arguments();
        if (args.size() < 2 || args.at(1).toString() != SHORTCUT_ID || sessionOf(args.at(0)) != m_session)
            return;
        if (QWidget *window = m_window) {
            HotKeyEvent hotKey(m_id);
            QCoreApplication::sendEvent(window, &hotKey);
        }
    }

private:
    static QString sessionOf(const QVariant &value)
    {
        // The portal sends the session as an object path or, in practice, as
        // a string.
        return value.canConvert<QDBusObjectPath>() && value.userType() == qMetaTypeId<QDBusObjectPath>()
            ? value.value<QDBusObjectPath>().path()
            : value.toString();
    }

    void watch(const QDBusPendingCall &call, std::function<void(const QDBusMessage &)> then)
    {
        auto *watcher = new QDBusPendingCallWatcher(call, this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, then] {
            watcher->deleteLater();
            then(watcher->reply());
        });
    }

    // Calls `method` of the portal with a fresh handle token, having listened
    // for the Response at the request path the token makes; `then` gets it.
    void request(const QString &method, QVariantList arguments, QVariantMap options,
                 std::function<void(uint, const QVariantMap &)> then)
    {
        const QString token = QStringLiteral("kavo%1").arg(QRandomGenerator::global()->generate());
        options.insert(QStringLiteral("handle_token"), token);
        const QString sender = m_bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString path = PORTAL_PATH + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
        m_bus.connect(PORTAL, path, REQUEST, QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
        m_onResponse = std::move(then);
        arguments << options;
        QDBusMessage call = QDBusMessage::createMethodCall(PORTAL, PORTAL_PATH, SHORTCUTS, method);
        call.setArguments(arguments);
        watch(m_bus.asyncCall(call), [this, path](const QDBusMessage &reply) {
            if (reply.type() != QDBusMessage::ReplyMessage) {
                m_onResponse = nullptr;
                return finish(GlobalHotKey::Status::Unsupported);
            }
            // An older portal ignores the token: listen where it says.
            const QString handle = reply.arguments().value(0).value<QDBusObjectPath>().path();
            if (!handle.isEmpty() && handle != path)
                m_bus.connect(PORTAL, handle, REQUEST, QStringLiteral("Response"), this,
                              SLOT(onResponse(uint, QVariantMap)));
        });
    }

    void createSession()
    {
        QVariantMap options;
        options.insert(QStringLiteral("session_handle_token"),
                       QStringLiteral("kavo%1").arg(QRandomGenerator::global()->generate()));
        request(QStringLiteral("CreateSession"), {}, options, [this](uint code, const QVariantMap &results) {
            m_session = sessionOf(results.value(QStringLiteral("session_handle")));
            if (code != 0 || m_session.isEmpty())
                return finish(GlobalHotKey::Status::Refused);
            m_bus.connect(PORTAL, PORTAL_PATH, SHORTCUTS, QStringLiteral("Activated"), this,
                          SLOT(onActivated(QDBusMessage)));
            bind();
        });
    }

    void bind()
    {
        QVariantMap properties;
        properties.insert(QStringLiteral("description"), QStringLiteral("老板键：隐藏或显示Kavo游戏盒"));
        properties.insert(QStringLiteral("preferred_trigger"), triggerText(m_key));
        const QList<PortalShortcut> shortcuts{{SHORTCUT_ID, properties}};
        request(QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString()}, {},
                [this](uint code, const QVariantMap &results) {
                    if (code != 0)
                        return finish(GlobalHotKey::Status::Refused);
                    QList<PortalShortcut> bound;
                    const QVariant list = results.value(QStringLiteral("shortcuts"));
                    if (list.canConvert<QDBusArgument>())
                        list.value<QDBusArgument>() >> bound;
                    const bool ours = std::any_of(bound.begin(), bound.end(),
                                                  [](const PortalShortcut &s) { return s.id == SHORTCUT_ID; });
                    // Bound without our key: the desktop gave the key to another.
                    finish(ours ? GlobalHotKey::Status::Registered : GlobalHotKey::Status::Taken);
                });
    }

    void finish(GlobalHotKey::Status status)
    {
        if (m_status == status)
            return;
        m_status = status;
        if (m_changed)
            m_changed();
    }

    QPointer<QWidget> m_window;
    int m_id;
    QKeyCombination m_key;
    std::function<void()> m_changed;
    QDBusConnection m_bus;
    GlobalHotKey::Status m_status = GlobalHotKey::Status::Unsupported;
    QString m_session;
    std::function<void(uint, const QVariantMap &)> m_onResponse;
};
} // namespace

std::unique_ptr<GlobalHotKey::Backend> MakePortalHotKey(QWidget *window, int id, QKeyCombination key,
                                                        std::function<void()> changed)
{
    return std::make_unique<PortalHotKey>(window, id, key, std::move(changed));
}

#include "globalhotkey_portal.moc"

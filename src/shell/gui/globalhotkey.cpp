#include "shell/gui/globalhotkey.h"

#include <QGuiApplication>
#include <QPointer>

GlobalHotKey::GlobalHotKey(QWidget *window, int id, QKeyCombination key, QObject *parent)
    : QObject(parent)
{
    // The X server gives keys to whoever grabs them; a Wayland desktop only
    // through its portal.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_backend = MakeXcbHotKey(window, id, key);
    } else {
        QPointer<GlobalHotKey> self(this);
        m_backend = MakePortalHotKey(window, id, key, [self] {
            if (self)
                Q_EMIT self->statusChanged(self->status());
        });
    }
}

GlobalHotKey::~GlobalHotKey() = default;

GlobalHotKey::Status GlobalHotKey::status() const
{
    return m_backend->status();
}

#pragma once

// The desktop's notification service (org.freedesktop.Notifications on the
// session bus): where the desktop has no notification area, or its balloons
// cannot show, the icon's balloons go there. Only the icon's backends use it.

#include <QIcon>
#include <QObject>
#include <QString>

class DesktopNotifier final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DesktopNotifier)

public:
    explicit DesktopNotifier(QObject *parent = nullptr);

    // Sends a notification from the program ("Kavo游戏盒", with `icon`):
    // `summary` over `text`, in place of the one sent before while that one
    // is still shown. Nothing waits for the answer; without a session bus or
    // a service on it nothing shows and nothing fails.
    void Notify(const QIcon &icon, const QString &summary, const QString &text);

private:
    uint m_lastId = 0;
};

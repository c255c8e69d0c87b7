#pragma once

#include <QKeyCombination>
#include <QObject>

#include <functional>
#include <memory>

class QWidget;

// A key combination taken for the whole desktop. While it is held, the
// combination pressed anywhere (in another program, or in a game or page of
// this one) goes to this program alone and reaches the window as a
// HotKeyEvent through its hook chain. Caps Lock and Num Lock do not matter.
// The key is given back when the object is destroyed.
//
// On X11 (and XWayland) the key is grabbed from the X server at once. On a
// Wayland desktop a program cannot take keys itself; the desktop's portal
// (org.freedesktop.portal.GlobalShortcuts) is asked for the key instead,
// which answers later (statusChanged), or is not there at all.
class GlobalHotKey final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlobalHotKey)

public:
    enum class Status {
        Registered,
        Pending,     // the desktop has been asked and has not answered yet
        Taken,       // another program holds the combination
        Refused,     // the desktop (or the user, in its dialog) did not give it
        Unsupported  // no way to take keys for the whole desktop here
    };

    // Supported keys: a letter with Control, Shift, Alt and Meta.
    GlobalHotKey(QWidget *window, int id, QKeyCombination key, QObject *parent = nullptr);
    ~GlobalHotKey() override;

    Status status() const;

    // The backend behind a key: how this platform takes keys.
    class Backend
    {
    public:
        virtual ~Backend() = default;
        virtual Status status() const = 0;
    };

Q_SIGNALS:
    void statusChanged(GlobalHotKey::Status status);

private:
    std::unique_ptr<Backend> m_backend;
};

// The backends; `changed` is called when a later answer changes the status.
std::unique_ptr<GlobalHotKey::Backend> MakeXcbHotKey(QWidget *window, int id, QKeyCombination key);
std::unique_ptr<GlobalHotKey::Backend> MakePortalHotKey(QWidget *window, int id, QKeyCombination key,
                                                        std::function<void()> changed);

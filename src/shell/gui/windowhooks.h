#pragma once

#include <QEvent>
#include <QObject>
#include <QRect>
#include <QTimer>

#include <functional>

class QEvent;
class QWidget;

// The main window's message hooks form a chain. Every hook sees the window's
// events before the window itself; the hook installed last sees an event
// first, and each passes on whatever it does not consume. The size-limit hook
// goes in first at start-up, the notification-area and boss-key hooks on top
// of it. A hook stays installed until it is destroyed (it belongs to the window).
class WindowHook : public QObject
{
    Q_OBJECT

public:
    // Installs the hook on top of the window's chain.
    explicit WindowHook(QWidget *window);
    ~WindowHook() override;

    QWidget *hookedWindow() const { return m_window; }

protected:
    // True consumes the event: older hooks and the window never see it.
    virtual bool hookEvent(QEvent *event) = 0;

private:
    bool eventFilter(QObject *watched, QEvent *event) final;

    QWidget *m_window;
};

// The size-limit hook: the window's tracking limits (the smallest and the
// largest size the user can drag it to) and, once it is maximised, its size
// and place: the maximum size at the origin of the work area.
class MinMaxWndProc : public WindowHook
{
    Q_OBJECT

public:
    MinMaxWndProc(QWidget *window, int minWidth, int minHeight, int maxWidth, int maxHeight);

    QSize minimumTrackSize() const { return {m_minWidth, m_minHeight}; }
    QSize maximumTrackSize() const { return {m_maxWidth, m_maxHeight}; }
    // Where a maximised window belongs.
    QRect maximisedGeometry() const;

protected:
    bool hookEvent(QEvent *event) override;

private:
    void keepMaximisedPlace();

    int m_minWidth;
    int m_minHeight;
    int m_maxWidth;
    int m_maxHeight;
    QTimer m_settle;
    int m_corrections = 0;
};

// Installs the size-limit hook (sizes in pixels). A maximum of 0 stands for
// the screen's size in that direction. The limits reach the window manager as
// the window's size hints; a larger minimum the window already has is kept.
MinMaxWndProc *HookMinMax(QWidget *window, int minWidth, int minHeight, int maxWidth, int maxHeight);

// A press of a system-wide hot key (GlobalHotKey), sent to the window the key
// was registered for; `id` tells which of its keys it was.
class HotKeyEvent : public QEvent
{
public:
    explicit HotKeyEvent(int id);
    static QEvent::Type eventType();

    int id() const { return m_id; }

private:
    int m_id;
};

// The boss-key hook: on its hot key it runs its action, and then passes the
// event on like everything else.
class BossKeyWndProc : public WindowHook
{
    Q_OBJECT

public:
    BossKeyWndProc(QWidget *window, int hotKeyId, std::function<void()> action);

protected:
    bool hookEvent(QEvent *event) override;

private:
    int m_hotKeyId;
    std::function<void()> m_action;
};

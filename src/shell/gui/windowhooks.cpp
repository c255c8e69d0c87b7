#include "shell/gui/windowhooks.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>

WindowHook::WindowHook(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    // Qt runs the filters of one object newest first, and a filter that
    // returns false hands the event on: that is the chain.
    window->installEventFilter(this);
}

WindowHook::~WindowHook()
{
    m_window->removeEventFilter(this);
}

bool WindowHook::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    return hookEvent(event);
}

namespace
{
QSize screenSize()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}
} // namespace

MinMaxWndProc::MinMaxWndProc(QWidget *window, int minWidth, int minHeight, int maxWidth, int maxHeight)
    : WindowHook(window)
    , m_minWidth(std::max(minWidth, 0))
    , m_minHeight(std::max(minHeight, 0))
    , m_maxWidth(maxWidth > 0 ? maxWidth : screenSize().width())
    , m_maxHeight(maxHeight > 0 ? maxHeight : screenSize().height())
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(150);
    connect(&m_settle, &QTimer::timeout, this, &MinMaxWndProc::keepMaximisedPlace);
    // The window manager asks nobody for the limits while it tracks a drag:
    // they are handed to it as the window's size hints instead.
    // A floor the window set for itself stays.
    window->setMinimumSize(window->minimumSize().expandedTo(QSize(m_minWidth, m_minHeight)));
    if (m_maxWidth > 0 && m_maxHeight > 0)
        window->setMaximumSize(std::max(m_maxWidth, m_minWidth), std::max(m_maxHeight, m_minHeight));
}

QRect MinMaxWndProc::maximisedGeometry() const
{
    const QScreen *screen = hookedWindow()->screen();
    const QPoint origin = screen ? screen->availableGeometry().topLeft() : QPoint();
    return QRect(origin, QSize(m_maxWidth, m_maxHeight));
}

bool MinMaxWndProc::hookEvent(QEvent *event)
{
    // Nothing is consumed: the window still lays itself out on every change.
    switch (event->type()) {
    case QEvent::WindowStateChange:
        // A few corrections per maximise, so a window manager that insists on
        // its own place is not fought for ever.
        m_corrections = 3;
        Q_FALLTHROUGH();
    case QEvent::Resize:
    case QEvent::Move:
        // The window manager places a maximised window itself, in steps; the
        // place is checked once it has settled. A correction made while it is
        // still busy would become the size it restores to later.
        if (hookedWindow()->isMaximized() && m_corrections > 0)
            m_settle.start();
        break;
    default:
        break;
    }
    return false;
}

void MinMaxWndProc::keepMaximisedPlace()
{
    QWidget *window = hookedWindow();
    if (!window->isMaximized() || window->isMinimized() || m_maxWidth <= 0 || m_maxHeight <= 0)
        return;
    const QRect target = maximisedGeometry();
    if (window->geometry() != target) {
        --m_corrections;
        window->setGeometry(target);
    }
}

MinMaxWndProc *HookMinMax(QWidget *window, int minWidth, int minHeight, int maxWidth, int maxHeight)
{
    return new MinMaxWndProc(window, minWidth, minHeight, maxWidth, maxHeight);
}

HotKeyEvent::HotKeyEvent(int id)
    : QEvent(eventType())
    , m_id(id)
{
}

QEvent::Type HotKeyEvent::eventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

BossKeyWndProc::BossKeyWndProc(QWidget *window, int hotKeyId, std::function<void()> action)
    : WindowHook(window)
    , m_hotKeyId(hotKeyId)
    , m_action(std::move(action))
{
}

bool BossKeyWndProc::hookEvent(QEvent *event)
{
    if (event->type() == HotKeyEvent::eventType() && static_cast<HotKeyEvent *>(event)->id() == m_hotKeyId
        && m_action)
        m_action();
    return false;
}

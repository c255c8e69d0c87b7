#pragma once

// Looks at the X server the way another client would: windows, their owners
// and states, the active window, selections. Uses the test's own display
// connection. Window ids are X ids.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace X11Probe
{
using Window = std::uint32_t;

Window root();
Window selectionOwner(const char *selection);
// The notification-area host of the screen (owner of _NET_SYSTEM_TRAY_S0).
Window trayHost();
QList<Window> children(Window w);
// Every window below `w`, depth first.
QList<Window> descendants(Window w);
bool isViewable(Window w);
// _NET_WM_PID; 0 when the window does not say.
quint32 pidOf(Window w);
QString nameOf(Window w);
// Atom names of _NET_WM_STATE, e.g. "_NET_WM_STATE_HIDDEN".
QStringList netWmState(Window w);
// The widget's X id as it is now: the toolkit may make a new native window
// for a widget it shows again, and QWidget::winId() can lag behind.
Window xid(QWidget *w);
// Minimised for the toolkit and hidden (_NET_WM_STATE_HIDDEN) for the
// window manager.
bool minimisedOnScreen(QWidget *w);
Window activeWindow();
// The running window manager's check window (_NET_SUPPORTING_WM_CHECK); 0
// when no manager runs.
Window windowManagerCheck();
// Empty when a window manager runs, else what a test that needs one says
// when it fails at once:
//     if (const QString no = X11Probe::windowManagerMissing(); !no.isEmpty())
//         QFAIL(qPrintable(no));
QString windowManagerMissing();
// The window's place on the screen, in the toolkit's (logical) pixels like
// every geometry a test compares it with: at a scale factor of 2 a window of
// 268 x 200 covers 536 x 400 of the X server's pixels.
QRect rootGeometry(Window w);
// A point of the toolkit's screen in the X server's pixels, for input sent
// from outside (xdotool).
QPoint toNative(const QPoint &logical);
// The window manager's client windows, bottom to top.
QList<Window> stackingOrder();
// Whether a client holds the pointer: a button held over a window (its
// implicit grab) or the window manager running a move or resize. Looked at
// from a connection of its own, by a grab that is released at once. That
// grab can take the pointer from a client about to grab it (a window manager
// starting a resize it was asked for): look only when nobody is about to, and
// watch a hand-over with GrabWatch.
bool pointerGrabbed();
// A round trip on the program's own connection: every request the program
// has made so far has reached the server.
void sync();
// The window that `w` belongs to (WM_TRANSIENT_FOR); 0 when none.
Window transientFor(Window w);

// Main windows of the program ("Kavo游戏盒" outside the notification area)
// that are mapped, of one process (or of any when pid is 0).
QList<Window> shownMainWindows(quint32 pid = 0);
// Every main window of the process, shown or not.
QList<Window> mainWindows(quint32 pid);
// Where the notification area shows on the screen (empty without one).
QRect trayArea();
// Icons of the process embedded in the notification area and mapped there.
QList<Window> trayIcons(quint32 pid);

// A second client that grabs a key on the root window (Control + the
// letter), as another program holding a hot key would.
class KeyGrabber
{
public:
    explicit KeyGrabber(char letter);
    ~KeyGrabber();
    bool grabbed() const { return m_grabbed; }
    // Key presses this client received since the last call.
    int takePresses();

private:
    void *m_connection = nullptr;
    bool m_grabbed = false;
};
// Sees, from a connection of its own, when another client takes the pointer
// away from a window by a grab (the window manager starting a move or
// resize it was asked for) and when it gives it back. Selecting crossing
// events on the window takes nothing from the window's own client.
class GrabWatch
{
public:
    explicit GrabWatch(Window w);
    ~GrabWatch();
    // Counts so far of pointer grabs that left the window and releases of
    // them that came back to it.
    int taken();
    int given();

private:
    void read();
    void *m_connection = nullptr;
    int m_taken = 0;
    int m_given = 0;
};
} // namespace X11Probe

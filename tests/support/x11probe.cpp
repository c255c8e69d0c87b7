#include "support/x11probe.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace X11Probe
{
namespace
{
xcb_connection_t *conn()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T>
Reply<T> reply(T *data)
{
    return Reply<T>(data, &std::free);
}

xcb_atom_t atom(const char *name)
{
    auto r = reply(xcb_intern_atom_reply(conn(), xcb_intern_atom(conn(), 0, uint16_t(strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QString atomName(xcb_atom_t a)
{
    auto r = reply(xcb_get_atom_name_reply(conn(), xcb_get_atom_name(conn(), a), nullptr));
    if (!r)
        return QString();
    return QString::fromLatin1(xcb_get_atom_name_name(r.get()), xcb_get_atom_name_name_length(r.get()));
}

QByteArray property(Window w, const char *name, xcb_atom_t type)
{
    auto r = reply(xcb_get_property_reply(conn(), xcb_get_property(conn(), 0, w, atom(name), type, 0, 4096), nullptr));
    if (!r)
        return QByteArray();
    return QByteArray(static_cast<const char *>(xcb_get_property_value(r.get())), xcb_get_property_value_length(r.get()));
}

// Windows of the tray host's client: every window id of one X client shares
// the bits above the server's resource mask.
QList<Window> trayHostWindows()
{
    QList<Window> found;
    const Window owner = trayHost();
    if (!owner)
        return found;
    const uint32_t mask = ~xcb_get_setup(conn())->resource_id_mask;
    for (Window w : descendants(root()))
        if ((w & mask) == (owner & mask))
            found << w;
    return found;
}

// Windows embedded in the notification area.
QList<Window> embedded()
{
    QList<Window> found;
    const QList<Window> host = trayHostWindows();
    for (Window w : host)
        for (Window c : descendants(w))
            if (!host.contains(c) && !found.contains(c))
                found << c;
    return found;
}

} // namespace

Window root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(conn())).data->root;
}

Window selectionOwner(const char *selection)
{
    auto r = reply(xcb_get_selection_owner_reply(conn(), xcb_get_selection_owner(conn(), atom(selection)), nullptr));
    return r ? r->owner : 0;
}

Window trayHost()
{
    return selectionOwner("_NET_SYSTEM_TRAY_S0");
}

QList<Window> children(Window w)
{
    QList<Window> list;
    auto r = reply(xcb_query_tree_reply(conn(), xcb_query_tree(conn(), w), nullptr));
    if (!r)
        return list;
    const xcb_window_t *kids = xcb_query_tree_children(r.get());
    for (int i = 0; i < xcb_query_tree_children_length(r.get()); ++i)
        list << kids[i];
    return list;
}

QList<Window> descendants(Window w)
{
    QList<Window> all;
    for (Window c : children(w))
        all << c << descendants(c);
    return all;
}

bool isViewable(Window w)
{
    auto r = reply(xcb_get_window_attributes_reply(conn(), xcb_get_window_attributes(conn(), w), nullptr));
    return r && r->map_state == XCB_MAP_STATE_VIEWABLE;
}

quint32 pidOf(Window w)
{
    const QByteArray v = property(w, "_NET_WM_PID", XCB_ATOM_CARDINAL);
    return v.size() >= 4 ? *reinterpret_cast<const quint32 *>(v.constData()) : 0;
}

QString nameOf(Window w)
{
    return QString::fromUtf8(property(w, "_NET_WM_NAME", atom("UTF8_STRING")));
}

Window xid(QWidget *w)
{
    return w->windowHandle() ? Window(w->windowHandle()->winId()) : 0;
}

bool minimisedOnScreen(QWidget *w)
{
    return w->isMinimized() && netWmState(xid(w)).contains(QStringLiteral("_NET_WM_STATE_HIDDEN"));
}

QStringList netWmState(Window w)
{
    QStringList names;
    const QByteArray v = property(w, "_NET_WM_STATE", XCB_ATOM_ATOM);
    for (int i = 0; i + 4 <= v.size(); i += 4)
        names << atomName(*reinterpret_cast<const xcb_atom_t *>(v.constData() + i));
    return names;
}

Window windowManagerCheck()
{
    // The window named on the root must name itself: a manager that died
    // leaves the root's property behind.
    const auto supporting = [](Window w) {
        const QByteArray v = property(w, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW);
        return v.size() >= 4 ? *reinterpret_cast<const Window *>(v.constData()) : Window(0);
    };
    const Window check = supporting(root());
    return check && supporting(check) == check ? check : 0;
}

QString windowManagerMissing()
{
    if (!conn())
        return QStringLiteral("this test needs an X11 display");
    if (!windowManagerCheck())
        return QStringLiteral("this test needs a window manager (none announces itself with "
                              "_NET_SUPPORTING_WM_CHECK on the root window): run it through scripts/with-x.sh");
    return QString();
}

Window activeWindow()
{
    const QByteArray v = property(root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    return v.size() >= 4 ? *reinterpret_cast<const Window *>(v.constData()) : 0;
}

namespace
{
qreal scaleFactor()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}
} // namespace

QRect rootGeometry(Window w)
{
    auto g = reply(xcb_get_geometry_reply(conn(), xcb_get_geometry(conn(), w), nullptr));
    auto t = reply(xcb_translate_coordinates_reply(conn(), xcb_translate_coordinates(conn(), w, root(), 0, 0), nullptr));
    if (!g || !t)
        return QRect();
    const qreal f = scaleFactor();
    return QRect(qRound(t->dst_x / f), qRound(t->dst_y / f), qRound(g->width / f), qRound(g->height / f));
}

QPoint toNative(const QPoint &logical)
{
    const qreal f = scaleFactor();
    return QPoint(qRound(logical.x() * f), qRound(logical.y() * f));
}

bool pointerGrabbed()
{
    static xcb_connection_t *own = nullptr;
    if (!own) {
        own = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(own)) {
            xcb_disconnect(own);
            own = nullptr;
            return false;
        }
    }
    const xcb_window_t rootWindow = xcb_setup_roots_iterator(xcb_get_setup(own)).data->root;
    auto r = reply(xcb_grab_pointer_reply(
        own, xcb_grab_pointer(own, 0, rootWindow, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                              XCB_CURRENT_TIME),
        nullptr));
    if (r && r->status == XCB_GRAB_STATUS_SUCCESS) {
        xcb_ungrab_pointer(own, XCB_CURRENT_TIME);
        xcb_flush(own);
        return false;
    }
    return r && r->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

void sync()
{
    std::free(xcb_get_input_focus_reply(conn(), xcb_get_input_focus(conn()), nullptr));
}

QList<Window> stackingOrder()
{
    QList<Window> list;
    const QByteArray v = property(root(), "_NET_CLIENT_LIST_STACKING", XCB_ATOM_WINDOW);
    for (int i = 0; i + 4 <= v.size(); i += 4)
        list << *reinterpret_cast<const Window *>(v.constData() + i);
    return list;
}

Window transientFor(Window w)
{
    const QByteArray v = property(w, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW);
    return v.size() >= 4 ? *reinterpret_cast<const Window *>(v.constData()) : 0;
}

QList<Window> mainWindows(quint32 pid)
{
    QList<Window> found;
    const QList<Window> tray = embedded();
    for (Window w : descendants(root())) {
        if (nameOf(w) == QStringLiteral("Kavo游戏盒") && (pid == 0 || pidOf(w) == pid) && !tray.contains(w))
            found << w;
    }
    return found;
}

QList<Window> shownMainWindows(quint32 pid)
{
    QList<Window> found;
    for (Window w : mainWindows(pid))
        if (isViewable(w))
            found << w;
    return found;
}

QRect trayArea()
{
    QRect area;
    for (Window w : trayHostWindows())
        if (isViewable(w))
            area = area.united(rootGeometry(w));
    return area;
}

QList<Window> trayIcons(quint32 pid)
{
    QList<Window> found;
    for (Window w : embedded())
        if (pidOf(w) == pid && isViewable(w))
            found << w;
    return found;
}

KeyGrabber::KeyGrabber(char letter)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    m_connection = c;
    if (xcb_connection_has_error(c))
        return;
    const xcb_setup_t *setup = xcb_get_setup(c);
    const xcb_window_t rootWindow = xcb_setup_roots_iterator(setup).data->root;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto map = reply(xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr));
    if (!map)
        return;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map.get());
    xcb_keycode_t code = 0;
    for (int i = 0; i < count * map->keysyms_per_keycode && !code; ++i)
        if (syms[i] == xcb_keysym_t(letter))
            code = xcb_keycode_t(setup->min_keycode + i / map->keysyms_per_keycode);
    if (!code)
        return;
    // The same modifier sets a desktop's key binder takes: with and without
    // the lock keys (Num Lock is the second modifier on the test server).
    bool ok = true;
    for (int locks : {0, int(XCB_MOD_MASK_LOCK), int(XCB_MOD_MASK_2), int(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2)}) {
        xcb_generic_error_t *e = xcb_request_check(
            c, xcb_grab_key_checked(c, 0, rootWindow, uint16_t(XCB_MOD_MASK_CONTROL | locks), code, XCB_GRAB_MODE_ASYNC,
                                    XCB_GRAB_MODE_ASYNC));
        if (e) {
            ok = false;
            std::free(e);
        }
    }
    m_grabbed = ok;
}

GrabWatch::GrabWatch(Window w)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    m_connection = c;
    if (xcb_connection_has_error(c))
        return;
    const uint32_t mask = XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW;
    std::free(xcb_request_check(c, xcb_change_window_attributes_checked(c, w, XCB_CW_EVENT_MASK, &mask)));
}

GrabWatch::~GrabWatch()
{
    xcb_disconnect(static_cast<xcb_connection_t *>(m_connection));
}

void GrabWatch::read()
{
    auto *c = static_cast<xcb_connection_t *>(m_connection);
    if (xcb_connection_has_error(c))
        return;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    while (xcb_generic_event_t *e = xcb_poll_for_event(c)) {
        const uint8_t type = e->response_type & 0x7f;
        if (type == XCB_LEAVE_NOTIFY && reinterpret_cast<xcb_leave_notify_event_t *>(e)->mode == XCB_NOTIFY_MODE_GRAB)
            ++m_taken;
        if (type == XCB_ENTER_NOTIFY && reinterpret_cast<xcb_enter_notify_event_t *>(e)->mode == XCB_NOTIFY_MODE_UNGRAB)
            ++m_given;
        std::free(e);
    }
}

int GrabWatch::taken()
{
    read();
    return m_taken;
}

int GrabWatch::given()
{
    read();
    return m_given;
}

KeyGrabber::~KeyGrabber()
{
    xcb_disconnect(static_cast<xcb_connection_t *>(m_connection));
}

int KeyGrabber::takePresses()
{
    auto *c = static_cast<xcb_connection_t *>(m_connection);
    int presses = 0;
    while (xcb_generic_event_t *e = xcb_poll_for_event(c)) {
        if ((e->response_type & 0x7f) == XCB_KEY_PRESS)
            ++presses;
        std::free(e);
    }
    return presses;
}
} // namespace X11Probe

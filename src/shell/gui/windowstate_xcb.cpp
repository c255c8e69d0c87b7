// X11: the window's _NET_WM_STATE property, which a client may change itself
// while its window is withdrawn, and the window manager's activation request.
#include "shell/gui/windowstate.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// The window's X id as it is now. The toolkit makes a new native window when
// a window whose stays-on-top flag changed is shown again, and the widget's
// own winId() keeps the id of the old one.
xcb_window_t currentId(QWidget *window)
{
    if (const QWindow *handle = window->windowHandle())
        return xcb_window_t(handle->winId());
    return xcb_window_t(window->winId());
}
} // namespace

void ForgetMinimisedState(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || window->isVisible() || !window->testAttribute(Qt::WA_WState_Created))
        return;
    xcb_connection_t *c = x11->connection();
    const xcb_window_t id = currentId(window);
    const xcb_atom_t state = internAtom(c, "_NET_WM_STATE");
    const xcb_atom_t hidden = internAtom(c, "_NET_WM_STATE_HIDDEN");
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 1024), nullptr);
    if (!r)
        return;
    std::vector<xcb_atom_t> atoms;
    const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(r));
    const int count = xcb_get_property_value_length(r) / int(sizeof(xcb_atom_t));
    bool found = false;
    for (int i = 0; i < count; ++i) {
        if (data[i] == hidden)
            found = true;
        else
            atoms.push_back(data[i]);
    }
    std::free(r);
    if (!found)
        return;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, uint32_t(atoms.size()), atoms.data());
    xcb_flush(c);
}

void BringToFront(QWidget *window)
{
    window->raise();
    window->activateWindow();
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window->isVisible())
        return;
    xcb_connection_t *c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = currentId(window);
    event.type = internAtom(c, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 2; // source: a pager, on the user's behalf
    event.data.data32[1] = XCB_CURRENT_TIME;
    // Sent after the window's own map request on the same connection, so the
    // window manager sees the window before the request to activate it.
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

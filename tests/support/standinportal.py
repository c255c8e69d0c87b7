#!/usr/bin/python3
"""A stand-in for the desktop portal's GlobalShortcuts interface (version 1)
on the session bus named by DBUS_SESSION_BUS_ADDRESS, for tests. Run it with
Debian's /usr/bin/python3 (python3-dbus, python3-gi).

It owns org.freedesktop.portal.Desktop and serves, at
/org/freedesktop/portal/desktop, org.freedesktop.portal.GlobalShortcuts with
the Request/Response pattern of the real portal: each call returns a Request
object path /org/freedesktop/portal/desktop/request/SENDER/TOKEN at once and
emits org.freedesktop.portal.Request.Response(u, a{sv}) on that path a moment
later. Sessions live at /org/freedesktop/portal/desktop/session/SENDER/TOKEN.

A test drives it through org.kavo.test.PortalControl on the same path:
  Activate(s shortcut_id)  emits Activated then Deactivated for every session
                           that bound shortcut_id
  Calls() -> as            the calls received so far, "Method arg..." each
Behaviour switches (environment):
  STAND_IN_BIND_RESPONSE=N  the response code of BindShortcuts (0 ok,
                            1 cancelled by the user, 2 other error)
  STAND_IN_BIND_ACCEPT=id,id  bind only these ids (default: all requested)
Prints "ready" on stdout once the name is owned.
"""
import os
import sys
import time

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PORTAL_NAME = "org.freedesktop.portal.Desktop"
PORTAL_PATH = "/org/freedesktop/portal/desktop"
IFACE = "org.freedesktop.portal.GlobalShortcuts"
REQUEST_IFACE = "org.freedesktop.portal.Request"
SESSION_IFACE = "org.freedesktop.portal.Session"
CONTROL_IFACE = "org.kavo.test.PortalControl"


def sender_element(sender):
    return sender[1:].replace(".", "_")


class Request(dbus.service.Object):
    def __init__(self, bus, path):
        super().__init__(bus, path)
        self.path = path

    @dbus.service.signal(REQUEST_IFACE, signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method(REQUEST_IFACE)
    def Close(self):
        self.remove_from_connection()


class Session(dbus.service.Object):
    def __init__(self, bus, path, owner):
        super().__init__(bus, path)
        self.path = path
        self.owner = owner
        self.bound = None  # list of (id, {description, trigger_description})
        self.closed = False

    @dbus.service.method(SESSION_IFACE)
    def Close(self):
        self.closed = True
        self.remove_from_connection()

    @dbus.service.signal(SESSION_IFACE, signature="a{sv}")
    def Closed(self, details):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, PORTAL_PATH)
        self.bus = bus
        self.sessions = {}
        self.calls = []
        self.counter = 0

    def _request(self, sender, options):
        self.counter += 1
        token = str(options.get("handle_token", "t%d" % self.counter))
        path = "%s/request/%s/%s" % (PORTAL_PATH, sender_element(sender), token)
        return Request(self.bus, path)

    def _respond_later(self, request, code, results):
        # The reply carrying the handle goes out first, then the Response.
        def emit():
            request.Response(dbus.UInt32(code), dbus.Dictionary(results, signature="sv"))
            request.remove_from_connection()
            return False
        GLib.timeout_add(20, emit)

    @dbus.service.method(IFACE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        self.calls.append("CreateSession %s" % sorted(str(k) for k in options))
        request = self._request(sender, options)
        self.counter += 1
        token = str(options.get("session_handle_token", "s%d" % self.counter))
        spath = "%s/session/%s/%s" % (PORTAL_PATH, sender_element(sender), token)
        self.sessions[spath] = Session(self.bus, spath, sender)
        # The real portal returns the session handle as a string ("s"), not
        # as an object path, although the interface text says "o".
        self._respond_later(request, 0, {"session_handle": dbus.String(spath)})
        return dbus.ObjectPath(request.path)

    @dbus.service.method(IFACE, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session_handle, shortcuts, parent_window, options, sender=None):
        self.calls.append("BindShortcuts %s %s" % (session_handle, " ".join(
            "%s[%s|%s]" % (sid, props.get("description", ""), props.get("preferred_trigger", ""))
            for sid, props in shortcuts)))
        session = self.sessions.get(str(session_handle))
        if session is None or session.owner != sender:
            raise dbus.exceptions.DBusException("Invalid session", name="org.freedesktop.portal.Error.InvalidArgument")
        request = self._request(sender, options)
        code = int(os.environ.get("STAND_IN_BIND_RESPONSE", "0"))
        accept = os.environ.get("STAND_IN_BIND_ACCEPT")
        accepted = [s for s in shortcuts if accept is None or str(s[0]) in accept.split(",")]
        session.bound = [
            (str(sid), {"description": str(props.get("description", "")),
                        "trigger_description": str(props.get("preferred_trigger", ""))})
            for sid, props in accepted] if code == 0 else []
        results = {}
        if code == 0:
            results["shortcuts"] = dbus.Array(
                [dbus.Struct((sid, dbus.Dictionary(p, signature="sv")), signature="sa{sv}") for sid, p in session.bound],
                signature="(sa{sv})")
        self._respond_later(request, code, results)
        return dbus.ObjectPath(request.path)

    @dbus.service.method(IFACE, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def ListShortcuts(self, session_handle, options, sender=None):
        self.calls.append("ListShortcuts %s" % session_handle)
        session = self.sessions.get(str(session_handle))
        request = self._request(sender, options)
        bound = (session.bound or []) if session else []
        self._respond_later(request, 0, {"shortcuts": dbus.Array(
            [dbus.Struct((sid, dbus.Dictionary(p, signature="sv")), signature="sa{sv}") for sid, p in bound],
            signature="(sa{sv})")})
        return dbus.ObjectPath(request.path)

    @dbus.service.signal(IFACE, signature="osta{sv}")
    def Activated(self, session_handle, shortcut_id, timestamp, options):
        pass

    @dbus.service.signal(IFACE, signature="osta{sv}")
    def Deactivated(self, session_handle, shortcut_id, timestamp, options):
        pass

    @dbus.service.signal(IFACE, signature="oa(sa{sv})")
    def ShortcutsChanged(self, session_handle, shortcuts):
        pass

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        if interface == IFACE and prop == "version":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException("No such property", name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"version": dbus.UInt32(1)} if interface == IFACE else {}

    # The test's side.
    @dbus.service.method(CONTROL_IFACE, in_signature="s", out_signature="u")
    def Activate(self, shortcut_id):
        hits = 0
        for path, session in self.sessions.items():
            if session.closed or not session.bound or shortcut_id not in [s for s, _ in session.bound]:
                continue
            stamp = dbus.UInt64(int(time.time() * 1000))
            self.Activated(dbus.ObjectPath(path), shortcut_id, stamp, dbus.Dictionary({}, signature="sv"))
            self.Deactivated(dbus.ObjectPath(path), shortcut_id, stamp, dbus.Dictionary({}, signature="sv"))
            hits += 1
        return dbus.UInt32(hits)

    @dbus.service.method(CONTROL_IFACE, out_signature="as")
    def Calls(self):
        return self.calls


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus)
    name = dbus.service.BusName(PORTAL_NAME, bus, do_not_queue=True)
    print("ready", flush=True)
    loop = GLib.MainLoop()
    bus.add_signal_receiver(lambda *a: loop.quit(), signal_name="Disconnected",
                            dbus_interface="org.freedesktop.DBus.Local")
    try:
        loop.run()
    except KeyboardInterrupt:
        pass
    del name


if __name__ == "__main__":
    sys.exit(main())

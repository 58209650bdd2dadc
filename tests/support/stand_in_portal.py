"""A stand-in for the desktop portal's Screenshot interface on the session bus, for tests.

    stand_in_portal.py <version> <answer> [other-handle] [at-once] [screenshot=PATH]

answer, to every PickColor:
  "R,G,B"  the colour (each 0..1), response 0
  "cancel" response 1 (the user cancelled)
  "fail"   response 2 (the backend failed)
  "error"  an error reply to the call itself
  "hold"   no answer; a Close of the request prints "closed <path>"
other-handle: the request lives at a path of the portal's own making instead of the one the
caller's handle_token predicts (as older portals do).
at-once: the answer follows the call's reply straight away instead of 50 ms later.
screenshot=PATH: every Screenshot is answered with that file's URI (response 0); without it,
Screenshot fails (response 2). "screenshot <path> interactive=<value>" is printed for each.
Prints "ready" once the portal's name is on the bus, and "picking <path>" for each request."""

import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SERVICE = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
SCREENSHOT = "org.freedesktop.portal.Screenshot"
REQUEST = "org.freedesktop.portal.Request"


class Request(dbus.service.Object):
    def __init__(self, bus, path):
        super().__init__(bus, path)
        self.path = path

    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass

    @dbus.service.method(REQUEST, in_signature="", out_signature="")
    def Close(self):
        print("closed", self.path, flush=True)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus, version, answer, other_handle, at_once, screenshot):
        super().__init__(bus, PATH)
        self.bus, self.version, self.answer = bus, version, answer
        self.other_handle, self.at_once, self.count = other_handle, at_once, 0
        self.screenshot = screenshot

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == SCREENSHOT and name == "version":
            return dbus.UInt32(self.version)
        raise dbus.exceptions.DBusException("no such property",
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(SCREENSHOT, in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Screenshot(self, parent_window, options, sender):
        self.count += 1
        token = str(options.get("handle_token", "t"))
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (
            sender[1:].replace(".", "_"), token)
        request = Request(self.bus, path)
        print("screenshot", path, "interactive=%s" % bool(options.get("interactive", False)),
              flush=True)
        if self.screenshot:
            response, results = 0, {"uri": "file://" + self.screenshot}
        else:
            response, results = 2, {}

        def answer():
            request.Response(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"))
            request.remove_from_connection()
            return False

        GLib.timeout_add(50, answer)
        return path

    @dbus.service.method(SCREENSHOT, in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def PickColor(self, parent_window, options, sender):
        if self.answer == "error":
            raise dbus.exceptions.DBusException("no screenshot backend",
                                                name="org.freedesktop.portal.Error.Failed")
        self.count += 1
        token = str(options.get("handle_token", "t"))
        if self.other_handle:
            token = "own%d" % self.count
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (
            sender[1:].replace(".", "_"), token)
        request = Request(self.bus, path)
        print("picking", path, flush=True)
        if self.answer == "hold":
            return path
        if self.answer == "cancel":
            response, results = 1, {}
        elif self.answer == "fail":
            response, results = 2, {}
        else:
            rgb = dbus.Struct([float(v) for v in self.answer.split(",")], signature="ddd")
            response, results = 0, {"color": rgb}

        def answer():
            request.Response(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"))
            request.remove_from_connection()
            return False

        # The answer comes after the call has returned, as from a real portal.
        if self.at_once:
            GLib.idle_add(answer)
        else:
            GLib.timeout_add(50, answer)
        return path


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(SERVICE, bus)  # noqa: F841 (kept for the process's life)
    flags = sys.argv[3:]
    shots = [f.split("=", 1)[1] for f in flags if f.startswith("screenshot=")]
    Portal(bus, int(sys.argv[1]), sys.argv[2], "other-handle" in flags, "at-once" in flags,
           shots[0] if shots else None)
    print("ready", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()

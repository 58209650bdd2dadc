"""A stand-in for the desktop portal's Screenshot interface on the session bus, for tests.

    stand_in_portal.py <version> <answer>

answer: "R,G,B" (each 0..1) to answer every PickColor with that colour, "cancel" for a pick the
user cancelled, or "fail" for a backend that offers the interface and then fails."""

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
    @dbus.service.signal(REQUEST, signature="ua{sv}")
    def Response(self, response, results):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus, version, answer):
        super().__init__(bus, PATH)
        self.bus, self.version, self.answer = bus, version, answer

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == SCREENSHOT and name == "version":
            return dbus.UInt32(self.version)
        raise dbus.exceptions.DBusException("no such property",
                                            name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(SCREENSHOT, in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def PickColor(self, parent_window, options, sender):
        token = str(options.get("handle_token", "t"))
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (
            sender[1:].replace(".", "_"), token)
        request = Request(self.bus, path)
        if self.answer == "cancel":
            response, results = 1, {}
        elif self.answer == "fail":
            response, results = 2, {}
        else:
            rgb = dbus.Struct([float(v) for v in self.answer.split(",")], signature="ddd")
            response, results = 0, {"color": rgb}
        # The answer comes after the call has returned, as from a real portal.
        GLib.timeout_add(50, lambda: request.Response(dbus.UInt32(response),
                                                       dbus.Dictionary(results, signature="sv"))
                         and False)
        return path


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(SERVICE, bus)  # noqa: F841 (kept for the process's life)
    Portal(bus, int(sys.argv[1]), sys.argv[2])
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()

"""A private GNOME desktop for the end-to-end tests: GNOME Shell headless on Wayland with one
virtual monitor (no GPU, no X11), a session bus and a bus standing for the system bus, the
accessibility bus, and the desktop portal with GNOME's backend. The program runs on Qt's Wayland
platform, is driven through AT-SPI, and the pointer and keyboard are the shell's own, driven
through its remote desktop interface on the session bus.

The desktop's background is a picture in which every pixel has a colour of its own (see
`pattern`), so a colour picked anywhere outside a window names the pixel it came from.

Everything started here is stopped again when the `GnomeDesktop` context ends."""

import os
import select
import shutil
import subprocess
import sys
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import tintora_e2e as e2e  # noqa: E402
import wayland_desktop as wd  # noqa: E402

SHELL = "gnome-shell"
WIDTH, HEIGHT = 1280, 800
PORTAL = "/usr/libexec/xdg-desktop-portal"
PORTAL_GNOME = "/usr/libexec/xdg-desktop-portal-gnome"
REMOTE_DESKTOP = "org.gnome.Mutter.RemoteDesktop"
SESSION_IFACE = REMOTE_DESKTOP + ".Session"
BTN_LEFT = 0x110  # the kernel's code of the left button, which mutter's interface takes
KEYSYMS = {"Escape": 0xFF1B, "Control_L": 0xFFE3, "p": 0x70}


def missing():
    """What this machine lacks for the desktop, or None when it has everything."""
    lacking = [p for p in (SHELL, PORTAL, PORTAL_GNOME)
               if not (shutil.which(p) if "/" not in p else os.access(p, os.X_OK))]
    return ", ".join(lacking) or None


def pattern(x, y):
    """The background's colour at screen point (x, y): red and green the low bytes of x and y,
    blue their high bits, so that no two pixels of the screen share a colour."""
    return x & 0xFF, y & 0xFF, (x >> 8) << 4 | y >> 8


def _pattern_png(path):
    rows = bytearray()
    for y in range(HEIGHT):
        rows.append(0)  # no filter
        for x in range(WIDTH):
            rows.extend(pattern(x, y))

    def chunk(kind, data):
        body = kind + data
        return len(data).to_bytes(4, "big") + body + zlib.crc32(body).to_bytes(4, "big")

    header = WIDTH.to_bytes(4, "big") + HEIGHT.to_bytes(4, "big") + bytes((8, 2, 0, 0, 0))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))


class GnomeDesktop(wd.WaylandDesktop):
    def __init__(self):
        super().__init__(portal=None)
        self._bus = None
        self._session = None
        self._monitor = None

    def _start(self):
        self._make_folders()
        home = self.env["HOME"]
        background = os.path.join(self.tmp, "pattern.png")
        _pattern_png(background)
        # The shell's settings from a key file of their own: the pattern as the background at
        # its own size (tiled, never scaled), no hot corner (the pointer passes the screen's
        # corners), no screen blanking or lock, no welcome tour.
        settings = os.path.join(home, ".config", "glib-2.0", "settings")
        os.makedirs(settings)
        uri = "'file://" + background + "'"
        with open(os.path.join(settings, "keyfile"), "w") as f:
            f.write(f"[org/gnome/desktop/background]\npicture-uri={uri}\n"
                    f"picture-uri-dark={uri}\npicture-options='wallpaper'\n"
                    "[org/gnome/desktop/interface]\nenable-hot-corners=false\n"
                    "[org/gnome/desktop/session]\nidle-delay=uint32 0\n"
                    "[org/gnome/desktop/screensaver]\nlock-enabled=false\n"
                    "[org/gnome/shell]\nwelcome-dialog-last-shown-version='999'\n")
        self.env.update(GSETTINGS_BACKEND="keyfile", XDG_CURRENT_DESKTOP="GNOME",
                        XDG_SESSION_TYPE="wayland", XDG_CONFIG_HOME=os.path.join(home, ".config"))

        # A second bus in the role of the system bus: the shell asks it for the login manager,
        # accounts and power, and carries on without them.
        system = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                             stdout=subprocess.PIPE)
        self.env["DBUS_SYSTEM_BUS_ADDRESS"] = system.stdout.readline().decode().strip()
        self._start_buses()

        self._spawn([SHELL, "--headless", "--wayland", "--no-x11",
                     "--virtual-monitor", f"{WIDTH}x{HEIGHT}"])
        e2e.wait_until("the shell's screenshot service",
                       lambda: self._has_name("org.gnome.Shell.Screenshot"), timeout=60,
                       interval=0.2)
        self.env["WAYLAND_DISPLAY"] = "wayland-0"
        e2e.wait_until("the shell's Wayland socket", lambda: os.path.exists(
            os.path.join(self.env["XDG_RUNTIME_DIR"], "wayland-0")), timeout=15)

        # Services the bus starts on demand (the portal's backends among them) see the display.
        subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                        "/org/freedesktop/DBus", "org.freedesktop.DBus.UpdateActivationEnvironment",
                        "dict:string:string:WAYLAND_DISPLAY,wayland-0"],
                       env=self.env, capture_output=True, check=True)
        self._start_portal_backend()
        self._spawn([PORTAL])
        e2e.wait_until("the desktop portal", lambda: self._has_name(
            "org.freedesktop.portal.Desktop"), timeout=30, interval=0.2)

        self._start_remote_desktop()
        # The shell may open on its overview; Escape leaves it for the bare desktop.
        self.key("Escape")

    def _start_portal_backend(self):
        """Starts the portal's GNOME backend before the portal asks for one (the bus would start
        one of its own). A backend that fails to open the display offers its settings only, for
        good; seen once while the shell was starting, so it is started again until it offers the
        screenshot interface, which holds the pick."""
        for _ in range(5):
            backend = self._spawn([PORTAL_GNOME, "--replace"])
            e2e.wait_until("the portal's GNOME backend", lambda: self._has_name(
                "org.freedesktop.impl.portal.desktop.gnome"), timeout=30, interval=0.2)
            shown = subprocess.run(
                ["dbus-send", "--session", "--print-reply",
                 "--dest=org.freedesktop.impl.portal.desktop.gnome",
                 "/org/freedesktop/portal/desktop",
                 "org.freedesktop.DBus.Introspectable.Introspect"],
                env=self.env, capture_output=True, text=True)
            if "org.freedesktop.impl.portal.Screenshot" in shown.stdout:
                return
            e2e._stop(backend)
            time.sleep(1.0)
        raise e2e.E2EError("the portal's GNOME backend offers no screenshot interface")

    def close(self):
        if self._session is not None:
            try:
                self._call(self._session, SESSION_IFACE, "Stop", None)
            except Exception:
                pass
            self._session = None
        self._bus = None
        super().close()

    # -- the session bus ------------------------------------------------------------------------

    def _has_name(self, name):
        return subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
             "/org/freedesktop/DBus", "org.freedesktop.DBus.GetNameOwner", "string:" + name],
            env=self.env, capture_output=True).returncode == 0

    def _call(self, path, interface, method, args, signature="()"):
        from gi.repository import Gio, GLib
        if self._bus is None:
            self._bus = Gio.DBusConnection.new_for_address_sync(
                self.env["DBUS_SESSION_BUS_ADDRESS"],
                Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        return self._bus.call_sync(
            REMOTE_DESKTOP, path, interface, method,
            None if args is None else GLib.Variant(signature, args), None,
            Gio.DBusCallFlags.NONE, 10000, None)

    # -- the shell's own input, through its remote desktop interface ----------------------------

    def _start_remote_desktop(self):
        e2e.wait_until("the remote desktop interface", lambda: self._has_name(REMOTE_DESKTOP),
                       timeout=15)
        self.atspi()  # the accessibility library sets up GLib's bindings first
        self._session = self._call("/org/gnome/Mutter/RemoteDesktop", REMOTE_DESKTOP,
                                   "CreateSession", None).unpack()[0]
        self._call(self._session, SESSION_IFACE, "Start", None)

    def move_to(self, x, y):
        """Puts the pointer on screen point (x, y). Absolute motion needs a screen-cast stream
        (and with it PipeWire); relative motion is neither accelerated nor needs one, and the
        pointer stops at the screen's edges: first to the bottom left corner, then by (x, y).
        The shell takes a motion in with its next frame, and a button sent right behind it has
        met the pointer where it was before: each step is given time."""
        self._call(self._session, SESSION_IFACE, "NotifyPointerMotionRelative",
                   (-4.0 * WIDTH, 4.0 * HEIGHT), "(dd)")
        time.sleep(0.3)
        self._call(self._session, SESSION_IFACE, "NotifyPointerMotionRelative",
                   (float(x), float(y - (HEIGHT - 1))), "(dd)")
        time.sleep(0.3)

    def click(self, x, y):
        self.move_to(x, y)
        for down in (True, False):
            self._call(self._session, SESSION_IFACE, "NotifyPointerButton", (BTN_LEFT, down),
                       "(ib)")

    def key(self, *names):
        """Presses the keys named (keysym names of KEYSYMS) in order, then lets them go in
        reverse: key("Control_L", "p") is Ctrl+P."""
        for name in names:
            self._call(self._session, SESSION_IFACE, "NotifyKeyboardKeysym",
                       (KEYSYMS[name], True), "(ub)")
        for name in reversed(names):
            self._call(self._session, SESSION_IFACE, "NotifyKeyboardKeysym",
                       (KEYSYMS[name], False), "(ub)")

    # -- the shell being asked for a pick -------------------------------------------------------

    def watch_picks(self):
        """Starts noting the portal's requests to the shell for a colour pick."""
        self._monitor = self._spawn(
            ["dbus-monitor", "--session",
             "type='method_call',interface='org.gnome.Shell.Screenshot',member='PickColor'"],
            stdout=subprocess.PIPE, bufsize=0)
        self._monitored = b""

    def wait_pick_asked(self, timeout=20):
        """Waits until the shell has been asked for one more pick since the last call (or since
        watch_picks), and a moment more for its pick to take the pointer."""
        deadline = time.monotonic() + timeout
        fd = self._monitor.stdout.fileno()
        while b"member=PickColor" not in self._monitored:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                raise e2e.E2EError("the shell was not asked for a colour pick")
            chunk = os.read(fd, 65536)
            if not chunk:
                raise e2e.E2EError("dbus-monitor ended")
            self._monitored += chunk
        self._monitored = self._monitored.split(b"member=PickColor", 1)[1]
        time.sleep(1.0)

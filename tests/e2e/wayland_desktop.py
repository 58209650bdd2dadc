"""A private Wayland desktop for the end-to-end tests: weston on its headless backend (no
pointer, no screen), a session bus with the accessibility bus, and optionally the stand-in
desktop portal. The program runs on Qt's Wayland platform and is driven through AT-SPI. With a
keyboard, weston runs instead in a window of a private X server, which hands it the keys that
xdotool presses there: they reach the program as Wayland keyboard input.

Everything started here is stopped again when the `WaylandDesktop` context ends."""

import os
import select
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import tintora_e2e as e2e  # noqa: E402

STAND_IN_PORTAL = os.path.join(HERE, "..", "support", "stand_in_portal.py")
PICK_CAPTION = "スクリーンの色を取得(P)"
SOCKET = "wayland-tintora"  # in the session's own runtime folder, so it cannot meet another's


def _weston_help():
    shown = subprocess.run(["weston", "--help"], capture_output=True, text=True)
    return shown.stdout + shown.stderr


def _backend(name):
    # Older westons name the backend by its module's file, newer ones by its short name.
    return name + "-backend.so" if name + "-backend.so" in _weston_help() else name


def _pixman():
    # Newer westons choose the renderer by name; older ones have a switch for the CPU one.
    return "--renderer=pixman" if "--renderer" in _weston_help() else "--use-pixman"


class WaylandDesktop(e2e.Session):
    def __init__(self, portal=None, keyboard=False):
        """portal: the stand-in portal's arguments (version, answer, ...), or None for none.
        keyboard: weston in a window of a private X server, for key presses (see key)."""
        super().__init__()
        self.portal_args = portal
        self.keyboard = keyboard
        self.portal = None
        self._a11y_bus = None

    def _start(self):
        self._make_folders()
        if self.keyboard:
            self._start_x_server()
            compositor = ["--backend=" + _backend("x11"), _pixman(), "--width=800",
                          "--height=600"]
        else:
            compositor = ["--backend=" + _backend("headless")]
        self._start_buses()
        self._spawn(["weston", *compositor, "--socket=" + SOCKET, "--idle-time=0"])
        e2e.wait_until("weston's socket", lambda: os.path.exists(
            os.path.join(self.env["XDG_RUNTIME_DIR"], SOCKET)), timeout=15)
        self.env["WAYLAND_DISPLAY"] = SOCKET
        if self.portal_args is not None:
            portal = self._spawn(["/usr/bin/python3", STAND_IN_PORTAL,
                                  *[str(a) for a in self.portal_args]], stdout=subprocess.PIPE)
            if portal.stdout.readline().strip() != b"ready":
                raise e2e.E2EError("the stand-in portal did not start")
            self.portal = portal

    def wait_portal_said(self, start, timeout=10):
        """Waits for a line of the stand-in portal that begins with start, and returns it."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if select.select([self.portal.stdout], [], [], 0.1)[0]:
                line = self.portal.stdout.readline().decode()
                if line.startswith(start):
                    return line
        raise e2e.E2EError(f"the portal did not say {start!r} within {timeout} s")

    def start_program(self, binary, *arguments):
        """Starts a copy of the program on the Wayland platform in a desktop session (Qt asks
        the portal only on a named desktop); returns its accessible application."""
        program = e2e.Program(self, binary)
        return self.accessible_app(program.launch("wayland", *arguments,
                                                  XDG_CURRENT_DESKTOP="GNOME"))

    def run_program(self, binary, *arguments, timeout=20):
        """Runs the program on the Wayland platform to its end: (status, stdout, stderr)."""
        env = dict(self.env, QT_QPA_PLATFORM="wayland")
        env.pop("DISPLAY", None)
        done = subprocess.run([binary, *arguments], env=env, capture_output=True,
                              timeout=timeout)
        return done.returncode, done.stdout.decode(), done.stderr.decode()

    def key(self, *keys):
        """Presses keys on the Wayland keyboard (a desktop made with keyboard=True): through
        weston's window on the X server, with the pointer on weston's background so that the
        keys go to weston and from it to the window it has activated."""
        x11 = dict(self.env)
        subprocess.run(["xdotool", "mousemove", "--sync", "790", "590"], env=x11, check=True,
                       capture_output=True)
        subprocess.run(["xdotool", "key", "--delay", "40", *keys], env=x11, check=True,
                       capture_output=True)

    def nodes(self, top):
        """Every accessible under top, depth first, as (accessible, role, name). Roles are
        Atspi.Role values: their names differ between releases ("push button" became "button")."""
        found = []

        def walk(node, depth):
            if node is None or depth > 14:
                return
            try:
                found.append((node, node.get_role(), node.get_name()))
            except Exception:
                return
            for i in range(node.get_child_count()):
                walk(node.get_child_at_index(i), depth + 1)

        walk(top, 0)
        return found

    def window(self, app, title, timeout=15):
        def find():
            for i in range(app.get_child_count()):
                top = app.get_child_at_index(i)
                if top is not None and top.get_name() == title:
                    return top
            return None

        return e2e.wait_until(f'the window "{title}"', find, timeout=timeout, interval=0.2)

    def press(self, node):
        """Presses a button through its accessible action without waiting for the program's
        reply: a button that opens a modal dialog answers only once the dialog has closed."""
        from gi.repository import Gio, GLib
        if self._a11y_bus is None:
            address = subprocess.run(
                ["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                 "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=self.env,
                capture_output=True, check=True).stdout.decode().strip()
            self._a11y_bus = Gio.DBusConnection.new_for_address_sync(
                address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)
        try:
            self._a11y_bus.call_sync(node.app.bus_name, node.path, "org.a11y.atspi.Action",
                                     "DoAction", GLib.Variant("(i)", (0,)), None,
                                     Gio.DBusCallFlags.NONE, 300, None)
        except GLib.Error:
            pass  # no reply yet: the press has been delivered all the same

    def text(self, node):
        return self.atspi().Text.get_text(node, 0, -1)

    def enabled(self, node):
        return node.get_state_set().contains(self.atspi().StateType.ENABLED)

    def showing(self, node):
        return node.get_state_set().contains(self.atspi().StateType.SHOWING)

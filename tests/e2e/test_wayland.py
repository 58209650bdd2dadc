"""The colour dialog's screen pick on a real Wayland session: the built program on weston's headless
compositor with Qt's Wayland platform, a stand-in desktop portal on a private session bus, and the
dialog read and pressed through the accessibility bus (the headless compositor has no pointer)."""

import os
import shutil
import signal
import subprocess
import tempfile
import threading
import time
import unittest
import warnings

HERE = os.path.dirname(os.path.abspath(__file__))
PORTAL = os.path.join(HERE, "..", "support", "stand_in_portal.py")
PICK_CAPTION = "スクリーンの色を取得(P)"
QT_VERSION = tuple(int(p) for p in os.environ.get("TINTORA_QT_VERSION", "6.4.0").split("."))
# From Qt 6.5 on the dialog's own button picks through the portal: it, not ours, is the one button.
QT_PICKS_ITSELF = QT_VERSION >= (6, 5, 0)


def _headless_backend():
    # Older westons name the backend by its module's file, newer ones by its short name.
    shown = subprocess.run(["weston", "--help"], capture_output=True, text=True)
    return "headless-backend.so" if "headless-backend.so" in shown.stdout + shown.stderr \
        else "headless"


HEADLESS = _headless_backend()


def wait_until(what, probe, timeout=15.0, interval=0.1):
    end = time.monotonic() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)


class WaylandSession:
    """weston headless, a session bus with the accessibility bus, and optionally the portal."""

    def __init__(self, portal_version, answer):
        self.portal_version, self.answer = portal_version, answer
        self.processes = []

    def __enter__(self):
        self.runtime = tempfile.mkdtemp(prefix="tintora-wayland-")
        os.chmod(self.runtime, 0o700)
        self.env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, XDG_CURRENT_DESKTOP="GNOME",
                        QT_QPA_PLATFORM="wayland", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                        WAYLAND_DISPLAY="wayland-tintora",
                        DBUS_SESSION_BUS_ADDRESS=BUS.address)
        self.env.pop("DISPLAY", None)
        if self.portal_version:
            self.spawn(["/usr/bin/python3", PORTAL, str(self.portal_version), self.answer])
        self.spawn(["weston", "--backend=" + HEADLESS, "--socket=wayland-tintora",
                    "--idle-time=0", "--no-config"])
        wait_until("the compositor", lambda: os.path.exists(
            os.path.join(self.runtime, "wayland-tintora")))
        self.Atspi = BUS.Atspi
        return self

    def spawn(self, args):
        process = subprocess.Popen(args, env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        self.processes.append(process)
        return process

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        shutil.rmtree(self.runtime, ignore_errors=True)
        # The portal's name must be free again before the next case's portal takes it.
        time.sleep(0.3)

    # -- the program, read through the accessibility bus ----------------------------------------

    def start(self, binary, folder):
        copy = os.path.join(folder, "tintora")
        shutil.copy(binary, copy)
        self.program = self.spawn([copy])

        def find():
            desktop = self.Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if app is not None and app.get_process_id() == self.program.pid:
                    return app
            return None

        self.app = wait_until("the program on the accessibility bus", find)

    def nodes(self):
        found = []

        def walk(node, depth):
            if node is None or depth > 14:
                return
            found.append(node)
            for i in range(node.get_child_count()):
                walk(node.get_child_at_index(i), depth + 1)

        walk(self.app, 0)
        return found

    def buttons(self, name):
        return [n for n in self.nodes()
                if n.get_role_name() in ("push button", "button") and n.get_name() == name]

    def showing(self, node):
        return node.get_state_set().contains(self.Atspi.StateType.SHOWING)

    def press(self, node):
        # A button that opens a modal dialog answers only when the dialog closes: press it from a
        # thread of its own and go on.
        threading.Thread(target=lambda: _quietly(node.do_action, 0), daemon=True).start()

    def dialog_html(self):
        """The colour dialog's HTML field, once the dialog is open."""
        for node in self.nodes():
            if node.get_role_name() == "text":
                text = _quietly(lambda: node.get_text(0, -1)) or ""
                if text.startswith("#"):
                    return node
        return None

    def html_text(self):
        return wait_until("the colour dialog", self.dialog_html).get_text(0, -1)


class SessionBus:
    """One private session bus with its accessibility bus for the whole run: the accessibility
    library keeps the first bus it is given for the life of the process."""

    def start(self):
        out = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                              "--print-pid=1"], capture_output=True, text=True,
                             check=True).stdout.split()
        self.address, self.pid = out[0], int(out[1])
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=self.address)
        env.pop("DISPLAY", None)
        self.launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher",
                                          "--launch-immediately"], env=env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                         start_new_session=True)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.address
        os.environ.pop("DISPLAY", None)
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", ImportWarning)
            import gi
            gi.require_version("Atspi", "2.0")
            from gi.repository import Atspi
        Atspi.init()
        self.Atspi = Atspi

    def stop(self):
        try:
            os.killpg(self.launcher.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        self.launcher.wait()
        try:
            os.kill(self.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass


BUS = SessionBus()


def setUpModule():
    if not QT_PICKS_ITSELF:
        BUS.start()


def tearDownModule():
    if not QT_PICKS_ITSELF:
        BUS.stop()


def _quietly(function, *args):
    try:
        return function(*args)
    except Exception:
        return None


@unittest.skipIf(QT_PICKS_ITSELF, "Qt 6.5 and later pick through the portal themselves; this "
                 "test's press of the colour dialog button does not open the dialog there yet")
class ScreenPickOnWayland(unittest.TestCase):
    def run_case(self, portal_version, answer):
        """Opens the colour dialog on white and presses the one pick button when one is shown.
        Returns the number of pick buttons shown and the dialog's HTML field after the pick."""
        with WaylandSession(portal_version, answer) as session, \
                tempfile.TemporaryDirectory(prefix="tintora-wayland-app-") as folder:
            session.start(os.environ["TINTORA_BINARY"], folder)
            opener = wait_until("the colour dialog button",
                                lambda: session.buttons("ｶﾗｰﾀﾞｲｱﾛｸﾞを表示"))
            # A press that comes before the window takes input is lost: press again until the
            # dialog is open.
            for attempt in range(4):
                session.press(opener[0])
                try:
                    wait_until("the colour dialog", session.dialog_html, timeout=6)
                    break
                except AssertionError:
                    if attempt == 3:
                        raise
            before = session.html_text()
            self.assertEqual(before, "#ffffff")
            # The portal's answer on colour picking comes soon after the dialog opens.
            deadline = time.monotonic() + 3
            shown = []
            while time.monotonic() < deadline:
                shown = [b for b in session.buttons(PICK_CAPTION) if session.showing(b)]
                if shown:
                    break
                time.sleep(0.1)
            time.sleep(0.3)
            shown = [b for b in session.buttons(PICK_CAPTION) if session.showing(b)]
            self.assertLessEqual(len(shown), 1, "never two pick buttons")
            if shown:
                shown[0].do_action(0)
                time.sleep(1.5)
            if shown and not QT_PICKS_ITSELF:
                # The pick has ended: the button can be pressed again.
                again = [b for b in session.buttons(PICK_CAPTION) if session.showing(b)]
                self.assertEqual(len(again), 1)
                self.assertTrue(again[0].get_state_set().contains(
                    session.Atspi.StateType.ENABLED), "the button is usable again")
            return len(shown), session.html_text()

    def test_pick_shows_the_portal_colour(self):
        # 1.0, 0.5, 0.0: components cut as Qt's own portal pick cuts them, 0.5 giving 7F.
        count, html = self.run_case(2, "1,0.5,0")
        self.assertEqual(count, 1)
        self.assertEqual(html, "#ff7f00")

    def test_cancelled_or_failed_pick_changes_nothing(self):
        for answer in ("cancel", "fail"):
            with self.subTest(answer=answer):
                count, html = self.run_case(2, answer)
                if QT_PICKS_ITSELF:
                    self.assertLessEqual(count, 1)
                else:
                    self.assertEqual(count, 1)
                self.assertEqual(html, "#ffffff")

    def test_no_pick_button_without_colour_picking(self):
        for version in (0, 1):  # no portal at all; a portal whose Screenshot cannot pick
            with self.subTest(version=version):
                count, _ = self.run_case(version, "1,0.5,0")
                if QT_PICKS_ITSELF:
                    self.assertLessEqual(count, 1)
                else:
                    self.assertEqual(count, 0)


if __name__ == "__main__":
    unittest.main()

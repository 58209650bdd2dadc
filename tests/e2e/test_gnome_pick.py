"""The screen pick on a real desktop's portal: GNOME Shell headless on Wayland, the desktop portal
with GNOME's backend, the click and the keys given through the shell's remote desktop interface.
The background gives every pixel a colour of its own, so a picked colour must be exactly the one
of the pixel clicked. Each way of picking is tried with a click and with Escape: the colour
dialog's pick button, Ctrl+P in the window, and `tintora --pick`.

Skipped (exit 77) where GNOME Shell or the portal is not installed."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402
import wayland_desktop as wd  # noqa: E402

SKIP = 77
try:
    import gnome_desktop as gd  # noqa: E402
    MISSING = gd.missing()
except ImportError as error:  # python3-gi without its typelibs
    MISSING = str(error)

DIALOG_TITLE = "色を選択"
START_HTML = "#ffffff"  # the dialog's colour as the program opens it first
START_HEX = ""  # the window's HEX box at start: empty

# Screen points to click: outside the program's windows (the shell centres the window and the
# dialog over it; the top bar is above y 32), a different one for each way of picking so that
# a pick of the wrong pixel cannot match.
DIALOG_POINT = (1157, 693)
SHORTCUT_POINT = (767, 767)  # red and green at 255
COMMAND_POINT = (641, 403)  # the middle of the screen: --pick shows no window
FROZEN_POINT = (903, 517)  # the frozen pick's view covers the whole screen
FROZEN_TITLE = "色の取得"


def hex_of(point):
    return "".join(f"{c:02X}" for c in gd.pattern(*point))


class GnomePickTest(unittest.TestCase):
    desktop = None

    @classmethod
    def setUpClass(cls):
        cls.desktop = gd.GnomeDesktop().__enter__()
        cls.desktop.watch_picks()

    @classmethod
    def tearDownClass(cls):
        if cls.desktop is not None:
            cls.desktop.__exit__(None, None, None)

    def setUp(self):
        self.program = None

    def tearDown(self):
        result = getattr(self._outcome, "result", None)
        if result is not None and any(test is self for test, _ in
                                      result.errors + result.failures):
            self.desktop._report()
        # A pick left waiting by a failed case must not take the next case's click.
        self.desktop.key("Escape")
        if self.program is not None:
            e2e._stop(self.program)

    # -- the program --------------------------------------------------------------------------

    def start(self):
        """Starts the program's window; returns (accessible app, main window)."""
        program = e2e.Program(self.desktop, os.environ["TINTORA_BINARY"])
        self.program = program.launch("wayland", XDG_CURRENT_DESKTOP="GNOME")
        app = self.desktop.accessible_app(self.program)
        return app, self.desktop.window(app, e2e.WINDOW_TITLE)

    def find(self, top, role, name):
        wanted = getattr(self.desktop.atspi().Role, role)
        return e2e.wait_until(f'the {role} "{name}"', lambda: next(
            (n for n, r, s in self.desktop.nodes(top) if r == wanted and s == name), None))

    def open_dialog(self):
        """Starts the program and opens its colour dialog: (main window, dialog)."""
        app, window = self.start()
        self.desktop.press(self.find(window, "PUSH_BUTTON", "ｶﾗｰﾀﾞｲｱﾛｸﾞを表示"))
        return window, self.desktop.window(app, DIALOG_TITLE)

    def wait_text(self, node, expected, timeout=10):
        """Waits for the text field to hold expected; returns what it holds at the end."""
        try:
            e2e.wait_until(f"the text {expected!r}",
                           lambda: self.desktop.text(node) == expected, timeout=timeout)
        except e2e.E2EError:
            pass
        return self.desktop.text(node)

    def pick_button(self, dialog):
        """The dialog's one shown pick button (the program's own or Qt's, by Qt's version)."""
        def buttons():
            return [n for n, r, s in self.desktop.nodes(dialog)
                    if r == self.desktop.atspi().Role.PUSH_BUTTON and s == wd.PICK_CAPTION
                    and self.desktop.showing(n)]

        found = e2e.wait_until("the pick button", buttons, timeout=10)
        self.assertEqual(len(found), 1)
        return found[0]

    # -- the colour dialog's pick button ------------------------------------------------------

    def test_dialog_pick(self):
        window, dialog = self.open_dialog()
        html = self.find(dialog, "TEXT", "HTML:")
        self.desktop.press(self.pick_button(dialog))
        self.desktop.wait_pick_asked()
        self.desktop.click(*DIALOG_POINT)
        self.assertEqual(self.wait_text(html, "#" + hex_of(DIALOG_POINT).lower()),
                         "#" + hex_of(DIALOG_POINT).lower())
        self.desktop.press(self.find(dialog, "PUSH_BUTTON", "OK"))
        self.assertEqual(self.wait_text(self.find(window, "TEXT", "HEX"), hex_of(DIALOG_POINT)),
                         hex_of(DIALOG_POINT))

    def test_dialog_escape(self):
        window, dialog = self.open_dialog()
        html = self.find(dialog, "TEXT", "HTML:")
        button = self.pick_button(dialog)
        self.desktop.press(button)
        self.desktop.wait_pick_asked()
        self.desktop.key("Escape")
        time.sleep(1.5)  # the shell's answer has come by now
        self.assertEqual(self.desktop.text(html), START_HTML)
        self.assertTrue(self.desktop.showing(dialog))  # Escape went to the pick, not the dialog
        self.assertTrue(self.desktop.enabled(button))

    # -- Ctrl+P in the window -----------------------------------------------------------------

    def shortcut(self):
        _, window = self.start()
        hex_box = self.find(window, "TEXT", "HEX")
        self.assertEqual(self.wait_text(hex_box, START_HEX), START_HEX)
        time.sleep(0.5)  # the window has the keyboard once it is shown
        self.desktop.key("Control_L", "p")
        self.desktop.wait_pick_asked()
        return hex_box

    def test_shortcut_pick(self):
        hex_box = self.shortcut()
        self.desktop.click(*SHORTCUT_POINT)
        self.assertEqual(self.wait_text(hex_box, hex_of(SHORTCUT_POINT)), hex_of(SHORTCUT_POINT))

    def test_shortcut_escape(self):
        hex_box = self.shortcut()
        self.desktop.key("Escape")
        time.sleep(1.5)
        self.assertEqual(self.desktop.text(hex_box), START_HEX)

    # -- tintora --pick -----------------------------------------------------------------------

    def command(self):
        program = e2e.Program(self.desktop, os.environ["TINTORA_BINARY"])
        self.program = subprocess.Popen(
            [program.path, "--pick"], cwd=program.home, stdout=subprocess.PIPE,
            stderr=subprocess.PIPE, start_new_session=True,
            env=dict(self.desktop.env, HOME=program.home, QT_QPA_PLATFORM="wayland"))
        try:
            self.desktop.wait_pick_asked()
        except e2e.E2EError:
            self.program.kill()
            out, err = self.program.communicate()
            raise e2e.E2EError(f"--pick asked for no pick (status {self.program.returncode}, "
                               f"output {out!r}, errors {err!r})") from None

    def command_result(self):
        try:
            out, err = self.program.communicate(timeout=15)
        except subprocess.TimeoutExpired:
            raise e2e.E2EError("tintora --pick did not end") from None
        return self.program.returncode, out, err

    def test_command_pick(self):
        self.command()
        self.desktop.click(*COMMAND_POINT)
        status, out, err = self.command_result()
        self.assertEqual((status, out), (0, f"#{hex_of(COMMAND_POINT)}\n".encode()), err)

    def test_command_escape(self):
        self.command()
        self.desktop.key("Escape")
        status, out, err = self.command_result()
        self.assertEqual((status, out), (1, b""), err)

    # -- tintora --pick-frozen: the portal's Screenshot, then the picking view ------------------

    def frozen(self):
        """Starts --pick-frozen and waits for its view over the screen. Skips the case where the
        desktop refuses the screenshot (the program then ends at once with status 2 and the
        reason), which is the desktop's choice and not a fault of the pick."""
        program = e2e.Program(self.desktop, os.environ["TINTORA_BINARY"])
        self.program = program.launch("wayland", "--pick-frozen", XDG_CURRENT_DESKTOP="GNOME")

        def view():
            if self.program.poll() is not None:
                return "ended"
            try:
                app = self.desktop.atspi().get_desktop(0)
                for i in range(app.get_child_count()):
                    one = app.get_child_at_index(i)
                    if one is None or one.get_process_id() != self.program.pid:
                        continue
                    for j in range(one.get_child_count()):
                        top = one.get_child_at_index(j)
                        if top is not None and top.get_name() == FROZEN_TITLE:
                            return "shown"
            except Exception:
                return None
            return None

        state = e2e.wait_until("the picking view", view, timeout=30, interval=0.3)
        if state == "ended":
            if self.program.returncode == 2:
                self.skipTest("the desktop refused the screenshot: " + program.output())
            self.fail(f"--pick-frozen ended with {self.program.returncode}: {program.output()}")
        time.sleep(1.0)  # the shell shows the view full screen and gives it the keyboard
        return program

    def test_frozen_pick(self):
        program = self.frozen()
        # The frame is the screen's own pixels, shown one to one: the pixel clicked is taken.
        self.desktop.click(*FROZEN_POINT)
        self.assertEqual(e2e.wait_until("--pick-frozen to end", lambda: self.program.poll()
                                        is not None or None, timeout=15), True)
        self.assertEqual(self.program.returncode, 0, program.output())
        self.assertIn(f"#{hex_of(FROZEN_POINT)}\n", program.output())

    def test_frozen_escape(self):
        program = self.frozen()
        self.desktop.key("Escape")
        e2e.wait_until("--pick-frozen to end", lambda: self.program.poll() is not None or None,
                       timeout=15)
        self.assertEqual(self.program.returncode, 1, program.output())


if __name__ == "__main__":
    if MISSING:
        print(f"skipped: GNOME Shell's desktop is not installed here ({MISSING})", file=sys.stderr)
        sys.exit(SKIP)
    unittest.main()

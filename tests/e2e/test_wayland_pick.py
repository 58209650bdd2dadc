"""The colour dialog's screen pick on a Wayland session: the program on Qt's Wayland platform
under weston's headless backend, a stand-in desktop portal on the session bus, the buttons
pressed through the accessibility bus. Whichever Qt picks (the program's portal button with an
older Qt, Qt's own with a newer one), the dialog has at most one pick button."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402
import wayland_desktop as wd  # noqa: E402

DIALOG_TITLE = "色を選択"
START = "#ffffff"  # the dialog's colour as the program opens it first
QT_VERSION = tuple(int(p) for p in os.environ["TINTORA_QT_VERSION"].split("."))


class WaylandPickTest(unittest.TestCase):
    def open_dialog(self, desktop):
        """Starts the program and opens its colour dialog: (app, main window, dialog)."""
        app = desktop.start_program(os.environ["TINTORA_BINARY"])
        window = desktop.window(app, e2e.WINDOW_TITLE)
        desktop.press(self.find(desktop, window, "PUSH_BUTTON", "ｶﾗｰﾀﾞｲｱﾛｸﾞを表示"))
        dialog = desktop.window(app, DIALOG_TITLE)
        return app, window, dialog

    def find(self, desktop, top, role, name):
        """The accessible under top with the role (an Atspi.Role name) and name."""
        wanted = getattr(desktop.atspi().Role, role)
        return e2e.wait_until(f'the {role} "{name}"', lambda: next(
            (n for n, r, s in desktop.nodes(top) if r == wanted and s == name), None))

    def pick_buttons(self, desktop, dialog):
        return [n for n, r, s in desktop.nodes(dialog)
                if r == desktop.atspi().Role.PUSH_BUTTON and s == wd.PICK_CAPTION
                and desktop.showing(n)]

    def the_pick_button(self, desktop, dialog):
        """Waits for the dialog's pick button; there must be exactly one."""
        e2e.wait_until("a pick button", lambda: self.pick_buttons(desktop, dialog), timeout=10)
        time.sleep(0.5)  # a second one, were it coming, would be there by now
        buttons = self.pick_buttons(desktop, dialog)
        self.assertEqual(len(buttons), 1)
        return buttons[0]

    def html(self, desktop, dialog):
        return desktop.text(self.find(desktop, dialog, "TEXT", "HTML:"))

    def hex_after_ok(self, desktop, window, dialog, expected):
        """Presses OK and waits for the main window's HEX box to show expected."""
        desktop.press(self.find(desktop, dialog, "PUSH_BUTTON", "OK"))
        hex_box = self.find(desktop, window, "TEXT", "HEX")
        try:
            e2e.wait_until("the HEX box", lambda: desktop.text(hex_box) == expected, timeout=10)
        except e2e.E2EError:
            pass
        self.assertEqual(desktop.text(hex_box), expected)

    def test_pick(self):
        with wd.WaylandDesktop(portal=(2, "1,0.5,0")) as desktop:
            _, window, dialog = self.open_dialog(desktop)
            self.assertEqual(self.html(desktop, dialog), START)
            desktop.press(self.the_pick_button(desktop, dialog))
            # The portal's fractions cut off to 8 bits: 0.5 gives 7F.
            try:
                e2e.wait_until("the picked colour",
                               lambda: self.html(desktop, dialog) == "#ff7f00", timeout=10)
            except e2e.E2EError:
                pass
            self.assertEqual(self.html(desktop, dialog), "#ff7f00")
            self.hex_after_ok(desktop, window, dialog, "FF7F00")

    def assertUnchangedAfterPicks(self, answer):
        with wd.WaylandDesktop(portal=(2, answer)) as desktop:
            _, window, dialog = self.open_dialog(desktop)
            for _ in range(2):
                button = self.the_pick_button(desktop, dialog)
                desktop.press(button)
                time.sleep(1.0)  # the portal answers within 50 ms
                self.assertTrue(desktop.enabled(button))
                self.assertEqual(self.html(desktop, dialog), START)
            self.hex_after_ok(desktop, window, dialog, START[1:].upper())

    # Each time the colour stays and the button can be pressed again.
    def test_cancelled(self):
        self.assertUnchangedAfterPicks("cancel")

    def test_backend_fails(self):
        # The portal offers the interface, then its backend fails (response 2).
        self.assertUnchangedAfterPicks("fail")

    # From Qt 6.5 on the pick is Qt's own, and Qt answers a refused call by setting an invalid
    # colour, which the dialog shows as black.
    @unittest.skipIf(QT_VERSION >= (6, 5), "Qt's own pick turns the colour black on a refused call")
    def test_call_refused(self):
        self.assertUnchangedAfterPicks("error")

    def assertNoPickButton(self, portal):
        with wd.WaylandDesktop(portal=portal) as desktop:
            _, _, dialog = self.open_dialog(desktop)
            time.sleep(2.0)  # the portal's answer (or its absence) has come by now
            self.assertEqual(self.pick_buttons(desktop, dialog), [])

    def test_no_portal(self):
        self.assertNoPickButton(None)

    def test_portal_without_colour_picking(self):
        self.assertNoPickButton((1, "1,1,1"))


if __name__ == "__main__":
    # The accessibility library keeps to the first bus it meets: one desktop per process, so
    # without a test named each test runs in a process of its own.
    if len(sys.argv) > 1:
        unittest.main()
    names = unittest.defaultTestLoader.getTestCaseNames(WaylandPickTest)
    failed = [name for name in names if subprocess.run(
        [sys.executable, __file__, "WaylandPickTest." + name]).returncode != 0]
    print("failed:" if failed else "all passed", *failed, file=sys.stderr)
    sys.exit(1 if failed else 0)

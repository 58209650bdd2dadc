"""The screen pick of the window (Ctrl+P) and of the command line (--pick) on a Wayland session:
the program on Qt's Wayland platform under weston, a stand-in desktop portal on the session bus.
Ctrl+P is pressed on weston's keyboard (weston in a window of a private X server); the window is
read through the accessibility bus."""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402
import wayland_desktop as wd  # noqa: E402

BINARY = os.environ["TINTORA_BINARY"]


class PickCommandTest(unittest.TestCase):
    """tintora --pick: the colour on standard output, or the exit status and one line saying why."""

    CASES = [
        # (stand-in portal's arguments or None, exit status, standard output)
        ((2, "1,0.5,0"), 0, "#FF7F00\n"),
        # An older portal's own request path, its answer right behind the call's reply.
        ((2, "0.2,0.4,0.6", "other-handle", "at-once"), 0, "#336699\n"),
        ((2, "cancel"), 1, ""),
        ((2, "fail"), 2, ""),  # the backend failed
        ((2, "error"), 2, ""),  # the call refused
        ((1, "1,1,1"), 2, ""),  # a portal without colour picking
        (None, 2, ""),  # no portal
    ]

    def test_pick_command(self):
        for portal, status, output in self.CASES:
            with self.subTest(portal=portal), wd.WaylandDesktop(portal=portal) as desktop:
                got_status, got_output, errors = desktop.run_program(BINARY, "--pick")
                self.assertEqual((got_status, got_output), (status, output), errors)
                if status == 2:
                    # One line that says why, and nothing else.
                    self.assertRegex(errors, r"\Atintora: [^\n]+\n\Z")
                else:
                    self.assertEqual(errors, "")


class CtrlPTest(unittest.TestCase):
    """Ctrl+P in the window: a picked colour fills the HEX, R, G and B boxes as the colour
    dialog's OK would; a cancelled pick changes nothing; without a portal a box says why."""

    def start(self, desktop):
        app = desktop.start_program(BINARY)
        window = desktop.window(app, e2e.WINDOW_TITLE)
        time.sleep(0.5)  # weston activates the new window
        return app, window

    def boxes(self, desktop, window):
        texts = [n for n, r, _ in desktop.nodes(window) if r == desktop.atspi().Role.TEXT]
        return {node.get_name(): desktop.text(node) for node in texts}

    def wait_hex(self, desktop, window, expected):
        try:
            e2e.wait_until("the HEX box", lambda: self.boxes(desktop, window).get("HEX")
                           == expected, timeout=10)
        except e2e.E2EError:
            pass
        return self.boxes(desktop, window)

    def test_ctrl_p_picks(self):
        with wd.WaylandDesktop(portal=(2, "1,0.5,0"), keyboard=True) as desktop:
            _, window = self.start(desktop)
            desktop.key("ctrl+p")
            boxes = self.wait_hex(desktop, window, "FF7F00")
            # The portal's fractions cut off to 8 bits: 0.5 gives 7F.
            self.assertEqual([boxes.get(k) for k in ("HEX", "R", "G", "B")],
                             ["FF7F00", "255", "127", "0"], boxes)

    def assertUnchangedAfterPick(self, answer, reason):
        """The boxes unchanged after the portal's answer; a box that says why when reason is
        given (a failed pick), none when the user cancelled."""
        with wd.WaylandDesktop(portal=(2, answer), keyboard=True) as desktop:
            app, window = self.start(desktop)
            before = self.boxes(desktop, window)
            desktop.key("ctrl+p")
            desktop.wait_portal_said("picking ")
            if reason is None:
                time.sleep(1.0)  # the portal answers within 50 ms
                self.assertEqual([app.get_child_at_index(i).get_name()
                                  for i in range(app.get_child_count())], [e2e.WINDOW_TITLE])
            else:
                box = desktop.window(app, "Tintora")
                said = [s for _, _, s in desktop.nodes(box) if s]
                self.assertTrue(any(reason in s for s in said), said)
            self.assertEqual(self.boxes(desktop, window), before)

    def test_ctrl_p_cancelled(self):
        self.assertUnchangedAfterPick("cancel", None)

    def test_ctrl_p_backend_fails(self):
        self.assertUnchangedAfterPick("fail", "デスクトップポータルが色を取得できませんでした")

    def test_ctrl_p_without_portal(self):
        with wd.WaylandDesktop(portal=None, keyboard=True) as desktop:
            app, window = self.start(desktop)
            before = self.boxes(desktop, window)
            desktop.key("ctrl+p")
            box = desktop.window(app, "Tintora")
            said = [s for _, _, s in desktop.nodes(box) if s]
            self.assertTrue(any("org.freedesktop.portal.Desktop" in s for s in said), said)
            self.assertEqual(self.boxes(desktop, window), before)


if __name__ == "__main__":
    # The accessibility library keeps to the first bus it meets: one desktop per process, so
    # without a test named each test runs in a process of its own.
    if len(sys.argv) > 1:
        unittest.main()
    loader = unittest.defaultTestLoader
    names = [f"{case.__name__}.{name}" for case in (PickCommandTest, CtrlPTest)
             for name in loader.getTestCaseNames(case)]
    failed = [name for name in names
              if subprocess.run([sys.executable, __file__, name]).returncode != 0]
    print("failed:" if failed else "all passed", *failed, file=sys.stderr)
    sys.exit(1 if failed else 0)

"""The frozen pick on a Wayland session: the desktop portal's Screenshot gives a frame (a known
image whose every pixel has its own colour), the picking view opens on it, and the point is
moved with the arrow keys and taken; Escape cancels; without Screenshot the reason. A portal
that ends during a pick ends it: --pick exits 2, and Ctrl+P in the window picks again at once.
weston runs in a window of a private X server, which hands it the keys xdotool presses."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402
import wayland_desktop as wd  # noqa: E402

BINARY = os.environ["TINTORA_BINARY"]
WIDTH, HEIGHT = 800, 600  # weston's output


def unique_pixel(x, y):
    return (x & 255, y & 255, (x >> 8) | ((y >> 8) << 4))


def hex_of(rgb):
    return "#%02X%02X%02X\n" % rgb


def frame_file(folder):
    """A PNG of the output's size whose every pixel has its own colour."""
    ppm = os.path.join(folder, "frame.ppm")
    with open(ppm, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT))
        f.write(bytes(v for y in range(HEIGHT) for x in range(WIDTH)
                      for v in unique_pixel(x, y)))
    png = os.path.join(folder, "frame.png")
    subprocess.run(["convert", ppm, png], check=True)
    return png


class FrozenPickTest(unittest.TestCase):
    def setUp(self):
        folder = tempfile.mkdtemp(prefix="tintora-e2e-frame-")
        self.addCleanup(subprocess.run, ["rm", "-rf", folder])
        self.frame = frame_file(folder)

    def pick_frozen(self, desktop, *keys):
        """--pick-frozen with keys pressed once the view is up: (status, stdout, stderr)."""
        env = dict(desktop.env, QT_QPA_PLATFORM="wayland", XDG_CURRENT_DESKTOP="GNOME")
        env.pop("DISPLAY", None)
        picking = subprocess.Popen([BINARY, "--pick-frozen"], env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        try:
            said = desktop.wait_portal_said("screenshot ")
            self.assertIn("interactive=False", said)
            time.sleep(1.5)  # the view opens full screen and weston gives it the keyboard
            # The pointer enters the view at weston's lower right corner (see key), where the
            # point then is; the keys move it from there.
            desktop.key(*keys)
            output, errors = picking.communicate(timeout=15)
        finally:
            picking.kill()
        return picking.returncode, output.decode(), errors.decode()

    def test_nudged_point_is_taken(self):
        with wd.WaylandDesktop(portal=(2, "hold", "screenshot=" + self.frame),
                               keyboard=True) as desktop:
            # From (790, 590): two right, one down, ten left, ten down (at the bottom edge,
            # held there), one up.
            status, output, errors = self.pick_frozen(
                desktop, "Right", "Right", "Down", "shift+Left", "shift+Down", "Up", "Return")
            self.assertEqual((status, output, errors),
                             (0, hex_of(unique_pixel(782, 598)), ""))

    def test_sample_and_cancel(self):
        with wd.WaylandDesktop(portal=(1, "hold", "screenshot=" + self.frame),
                               keyboard=True) as desktop:
            # A portal without a colour pick (version 1) still takes the frame. The 3x3 sample
            # at the corner (799, 599): the four pixels inside the frame, averaged.
            status, output, _ = self.pick_frozen(
                desktop, "shift+Right", "shift+Down", "3", "space")
            inside = [unique_pixel(x, y) for x in (798, 799) for y in (598, 599)]
            average = tuple((2 * sum(p[i] for p in inside) + len(inside)) // (2 * len(inside))
                            for i in range(3))
            self.assertEqual((status, output), (0, hex_of(average)))

            status, output, errors = self.pick_frozen(desktop, "Escape")
            self.assertEqual((status, output, errors), (1, "", ""))

    def test_without_screenshot(self):
        for portal in (None, (2, "hold")):
            with self.subTest(portal=portal), wd.WaylandDesktop(portal=portal) as desktop:
                status, output, errors = desktop.run_program(BINARY, "--pick-frozen")
                self.assertEqual((status, output), (2, ""), errors)
                self.assertRegex(errors, r"\Atintora: [^\n]+\n\Z")

    def test_portal_gone_mid_pick(self):
        with wd.WaylandDesktop(portal=(2, "hold")) as desktop:
            env = dict(desktop.env, QT_QPA_PLATFORM="wayland")
            env.pop("DISPLAY", None)
            picking = subprocess.Popen([BINARY, "--pick"], env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE)
            try:
                desktop.wait_portal_said("picking ")
                desktop.portal.kill()
                output, errors = picking.communicate(timeout=10)
            finally:
                picking.kill()
            self.assertEqual((picking.returncode, output), (2, b""))
            self.assertRegex(errors.decode(), r"\Atintora: [^\n]+\n\Z")


class WindowAfterPortalGoneTest(unittest.TestCase):
    def test_ctrl_p_works_again(self):
        if e2e.DEBIAN_13:
            # Open fault: on Debian 13's weston the Ctrl+P after the portal was killed never
            # reaches the program; the same case passes on Debian 12.
            self.skipTest("Ctrl+P after a killed portal on Debian 13: open fault")
        with wd.WaylandDesktop(portal=(2, "hold"), keyboard=True) as desktop:
            app = desktop.start_program(BINARY)
            window = desktop.window(app, e2e.WINDOW_TITLE)
            time.sleep(0.5)
            desktop.key("ctrl+p")
            desktop.wait_portal_said("picking ")
            desktop.portal.kill()
            # The failed pick says why in a box; closing it leaves the window ready.
            box = desktop.window(app, "Tintora")
            said = [s for _, _, s in desktop.nodes(box) if s]
            self.assertTrue(any("デスクトップポータル" in s for s in said), said)
            desktop.key("Return")
            e2e.wait_until("the box to close", lambda: all(
                app.get_child_at_index(i).get_name() != "Tintora"
                for i in range(app.get_child_count())))

            # A new portal: the next Ctrl+P picks through it at once.
            desktop.portal = desktop._spawn(["/usr/bin/python3", wd.STAND_IN_PORTAL, "2",
                                             "1,0.5,0"], stdout=subprocess.PIPE)
            self.assertEqual(desktop.portal.stdout.readline().strip(), b"ready")
            time.sleep(0.5)
            desktop.key("ctrl+p")
            desktop.wait_portal_said("picking ")
            e2e.wait_until("the HEX box", lambda: any(
                desktop.text(n) == "FF7F00" for n, r, name in desktop.nodes(window)
                if name == "HEX" and r == desktop.atspi().Role.TEXT))


if __name__ == "__main__":
    # The accessibility library keeps to the first bus it meets: one desktop per process, so
    # without a test named each test runs in a process of its own.
    if len(sys.argv) > 1:
        unittest.main()
    loader = unittest.defaultTestLoader
    names = [f"{case.__name__}.{name}" for case in (FrozenPickTest, WindowAfterPortalGoneTest)
             for name in loader.getTestCaseNames(case)]
    failed = [name for name in names
              if subprocess.run([sys.executable, __file__, name]).returncode != 0]
    print("failed:" if failed else "all passed", *failed, file=sys.stderr)
    sys.exit(1 if failed else 0)

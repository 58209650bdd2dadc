"""The picking view of the screen pick on X11: a private X server whose background gives every
pixel its own colour, the pointer moved there, the point nudged with the arrow keys (one pixel,
and ten with Shift, held at the screen's edges) and taken; the colour equals the pixel the test
expects, also with Qt scaling the screen by 2 and 1.5, and a 3x3 or 5x5 sample equals the average
the test computes."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

BINARY = os.environ["TINTORA_BINARY"]
WIDTH, HEIGHT = 1024, 768  # the private X server's screen
STEPS = {"Left": (-1, 0), "Right": (1, 0), "Up": (0, -1), "Down": (0, 1)}


def unique_pixel(x, y):
    return (x & 255, y & 255, (x >> 8) | ((y >> 8) << 4))


def hex_of(rgb):
    return "#%02X%02X%02X" % rgb


def nudged(point, keys):
    """Where the keys take the point: a pixel each, ten with Shift, held inside the screen."""
    x, y = point
    for key in keys:
        shift = key.startswith("shift+")
        dx, dy = STEPS[key.removeprefix("shift+")]
        step = 10 if shift else 1
        x = min(max(x + dx * step, 0), WIDTH - 1)
        y = min(max(y + dy * step, 0), HEIGHT - 1)
    return x, y


def sample(point, size):
    """The average of the size-by-size square round point, pixels off the screen left out."""
    reach = size // 2
    inside = [unique_pixel(x, y)
              for x in range(point[0] - reach, point[0] + reach + 1) if 0 <= x < WIDTH
              for y in range(point[1] - reach, point[1] + reach + 1) if 0 <= y < HEIGHT]
    return tuple((2 * sum(p[i] for p in inside) + len(inside)) // (2 * len(inside))
                 for i in range(3))


def set_background(desktop):
    folder = tempfile.mkdtemp(prefix="tintora-e2e-background-", dir=desktop.tmp)
    ppm = os.path.join(folder, "background.ppm")
    with open(ppm, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT))
        f.write(bytes(v for y in range(HEIGHT) for x in range(WIDTH)
                      for v in unique_pixel(x, y)))
    # display ends with status 1 under a window manager even when the background is set: the
    # screenshot below tells.
    desktop.run(["display", "-window", "root", ppm], check=False)
    shot = desktop.screenshot()
    assert shot.pixel(700, 500) == unique_pixel(700, 500), "the background is not shown"


# (where the pointer goes, the keys, the sample size, Qt's scale factor or None)
CASES = [
    ((101, 201), ["Right", "Right", "Down", "shift+Right", "Left", "Up", "shift+Up",
                  "shift+Left", "shift+Down"], 1, None),
    # At the edges: the point is held at the first and the last pixel.
    ((3, 4), ["shift+Left", "shift+Up", "Left", "Up", "Right", "Down"], 1, None),
    ((1020, 765), ["shift+Right", "shift+Down", "Right", "Down", "Up"], 1, None),
    # Scaled screens: every device pixel can be reached, and the one shown is taken.
    ((101, 201), [], 1, "2"),
    ((101, 201), ["Right", "shift+Down", "Up", "Left", "Left"], 1, "2"),
    ((333, 517), ["Right", "Down", "shift+Right"], 1, "1.5"),
    ((1022, 2), ["shift+Right", "Up"], 1, "1.5"),
    # Sample sizes: the average, also where the square reaches past the edge.
    ((500, 300), ["3"], 3, None),
    ((500, 300), ["5", "Right"], 5, None),
    ((0, 0), ["5"], 5, "2"),
]


class X11LoupeTest(unittest.TestCase):
    def test_pick_command_takes_the_pixel_shown(self):
        with e2e.Desktop() as desktop:
            set_background(desktop)
            for start, keys, size, scale in CASES:
                with self.subTest(start=start, keys=keys, scale=scale):
                    env = dict(desktop.env, QT_QPA_PLATFORM="xcb")
                    if scale:
                        env["QT_SCALE_FACTOR"] = scale
                    desktop.xdotool("mousemove", "--sync", "512", "384")
                    picking = subprocess.Popen([BINARY, "--pick"], env=env,
                                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                    try:
                        desktop.wait_pick_grab()
                        desktop.xdotool("mousemove", "--sync", *map(str, start))
                        time.sleep(0.2)
                        if keys:
                            desktop.key(*keys)
                        time.sleep(0.2)
                        desktop.key("Return")
                        output, errors = picking.communicate(timeout=10)
                    finally:
                        picking.kill()
                    point = nudged(start, [k for k in keys if k not in ("3", "5")])
                    expected = hex_of(sample(point, size)) + "\n"
                    self.assertEqual((picking.returncode, output.decode(), errors.decode()),
                                     (0, expected, ""))
                    # On X11 the pointer went with the point.
                    if keys:
                        where = desktop.xdotool("getmouselocation")
                        self.assertIn("x:%d y:%d " % point, where)

    def test_ctrl_p_shows_the_pixel_in_the_boxes(self):
        with e2e.Desktop() as desktop:
            set_background(desktop)
            program = e2e.Program(desktop, BINARY)
            program.start()
            desktop.key("ctrl+p")
            desktop.wait_pick_grab()
            # Below the window, which lies at the screen's upper left.
            desktop.xdotool("mousemove", "--sync", "600", "650")
            desktop.key("shift+Left", "Up", "Up")
            time.sleep(0.2)
            desktop.xdotool("click", "1")
            rgb = unique_pixel(590, 648)
            picked = {"Edit1": hex_of(rgb)[1:], "Edit2": str(rgb[0]), "Edit3": str(rgb[1]),
                      "Edit4": str(rgb[2])}
            self.assertEqual(program.wait_boxes(picked), dict(program.boxes(), **picked))
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())


if __name__ == "__main__":
    # The accessibility library keeps to the first bus it meets: one desktop per process, so
    # without a test named each test runs in a process of its own.
    if len(sys.argv) > 1:
        unittest.main()
    names = unittest.defaultTestLoader.getTestCaseNames(X11LoupeTest)
    failed = [name for name in names if subprocess.run(
        [sys.executable, __file__, "X11LoupeTest." + name]).returncode != 0]
    print("failed:" if failed else "all passed", *failed, file=sys.stderr)
    sys.exit(1 if failed else 0)

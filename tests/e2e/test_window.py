"""The window on a real X server: where it opens, the swatch as drawn, and Alt+F4 through real
keyboard input ending the program cleanly without touching the settings file."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

BLACK, WHITE = (0, 0, 0), (255, 255, 255)

# A settings file as another run left it: CRLF lines, a user colour and a foreign section.
SETTINGS = (b"[Other]\r\nkey=value\r\n"
            b"[Usercolor]\r\nUsercolcnt=1\r\n1=336699sea\r\n")


class WindowTest(unittest.TestCase):
    def test_opens_shows_white_swatch_and_closes_with_alt_f4(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"], settings=SETTINGS)
            os.utime(program.settings_path, ns=(1_000_000_000_000_000_000,) * 2)
            before = program.settings()
            program.start()

            # The window manager draws its own frame, so of the outer size 311 x 222 the client
            # area is what remains inside a sizeable frame (4-pixel borders, 19-pixel caption).
            frame_x, frame_y, _, _ = program.frame_geometry()
            self.assertEqual((frame_x, frame_y), (197, 107), "window's top-left corner")
            self.assertEqual(program.client_geometry()[2:], (303, 195), "client area's size")

            # The swatch covers 65 x 73 client pixels from (8, 40): a black line one pixel wide
            # round a white fill, with the window's background just outside it.
            shot = desktop.screenshot()
            left, top, width, height = e2e.LAYOUT["Shape1"]
            right, bottom = left + width - 1, top + height - 1
            mid_x, mid_y = left + width // 2, top + height // 2
            expect = {
                (left, top): BLACK, (right, top): BLACK, (left, bottom): BLACK,
                (right, bottom): BLACK, (mid_x, top): BLACK, (mid_x, bottom): BLACK,
                (left, mid_y): BLACK, (right, mid_y): BLACK,
                (left + 1, top + 1): WHITE, (right - 1, bottom - 1): WHITE,
                (mid_x, mid_y): WHITE, (left + 1, mid_y): WHITE, (mid_x, top + 1): WHITE,
            }
            seen = {point: program.pixel(*point, shot) for point in expect}
            self.assertEqual(seen, expect)
            for outside in [(left - 1, mid_y), (mid_x, top - 1), (right + 1, mid_y),
                            (mid_x, bottom + 1)]:
                self.assertNotIn(program.pixel(*outside, shot), (BLACK, WHITE), outside)

            self.assertEqual(program.close_with_alt_f4(), 0, program.output())
            self.assertEqual(program.settings(), before, "settings file bytes and time")
            self.assertEqual(sorted(os.listdir(program.dir)), ["Tintora.ini", "tintora"])
            self.assertEqual(os.listdir(program.home), [], "files left in the home directory")


if __name__ == "__main__":
    unittest.main()

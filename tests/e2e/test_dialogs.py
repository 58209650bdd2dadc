"""The colour dialog and the boxes under a window manager: placed by their outer size, the frame
the window manager drew counted; the dialog's own pick of a colour from the screen."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
DIALOG_TITLE = "色を選択"


def outer_geometry(desktop, window):
    """(x, y, width, height) of a window with the frame the window manager put round it."""
    def framed():
        extents = desktop.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"])
        _, _, numbers = extents.partition("=")
        return [int(n) for n in numbers.split(",")] if numbers.strip() else None

    left, right, top, bottom = e2e.wait_until("the window's frame", framed, timeout=10)
    info = desktop.run(["xwininfo", "-id", window])
    values = dict(line.strip().partition(":")[::2] for line in info.splitlines() if ":" in line)
    x, y = int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])
    width, height = int(values["Width"]), int(values["Height"])
    return x - left, y - top, width + left + right, height + top + bottom


class PlacementTest(unittest.TestCase):
    def assertPlaced(self, desktop, window, rule):
        """The window's outer top-left corner is within 2 px of rule(outer width, height)."""
        def placed():
            x, y, width, height = outer_geometry(desktop, window)
            want = rule(width, height)
            return (x, y, width, height) if (abs(x - want[0]) <= 2
                                             and abs(y - want[1]) <= 2) else None

        try:
            e2e.wait_until("the window in place", placed, timeout=5)
        except e2e.E2EError:
            x, y, width, height = outer_geometry(desktop, window)
            self.fail(f"outer {width}x{height} at ({x}, {y}), want {rule(width, height)}")

    def test_colour_dialog_and_box_placed_by_outer_size(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])
            program.start()

            # The colour dialog: centred across, a third of the free height from the top.
            program.click_at(40 + 12, 4 + 12)  # the colour dialog's picture button
            dialog = desktop.wait_window(DIALOG_TITLE)
            self.assertPlaced(desktop, dialog, lambda w, h: ((SCREEN_WIDTH - w) // 2,
                                                             (SCREEN_HEIGHT - h) // 3))
            desktop.key("Escape")
            desktop.window_gone(dialog)

            # A box (RGB values -> colour with empty boxes tells why it did nothing): centred.
            program.click_control("Button2")
            box = desktop.wait_window("Tintora")
            self.assertPlaced(desktop, box, lambda w, h: ((SCREEN_WIDTH - w) // 2,
                                                          (SCREEN_HEIGHT - h) // 2))
            desktop.key("Return")
            desktop.window_gone(box)
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())


    def test_pick_from_screen(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])
            program.start()
            # An orange swatch to pick from; the HEX box then says something else.
            program.click_text("Edit1")
            desktop.type("FF8000")
            program.click_control("Button1")
            program.wait_boxes({"Edit2": "255", "Edit3": "128", "Edit4": "0"})
            program.click_text("Edit1")
            desktop.key("ctrl+a")
            desktop.type("zz")

            program.click_at(40 + 12, 4 + 12)  # the colour dialog's picture button
            dialog = desktop.wait_window(DIALOG_TITLE)
            desktop.key("alt+p")  # スクリーンの色を取得(P)
            time.sleep(0.5)  # the dialog takes the pointer for picking
            # The swatch's left part lies beside the dialog, which opens to its right.
            x, y = program.to_screen(14, 76)
            desktop.xdotool("mousemove", "--sync", str(x), str(y))
            time.sleep(0.3)
            desktop.xdotool("click", "1")
            # Return presses OK; should the click have come before picking began, the first
            # Return ends the pick on the pixel under the pointer, the same swatch.
            for _ in range(2):
                time.sleep(0.3)
                desktop.key("Return")
                try:
                    desktop.window_gone(dialog, timeout=3)
                    break
                except e2e.E2EError:
                    continue
            desktop.window_gone(dialog)
            picked = {"Edit1": "FF8000", "Edit2": "255", "Edit3": "128", "Edit4": "0"}
            self.assertEqual(program.wait_boxes(picked), dict(program.boxes(), **picked))
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())


if __name__ == "__main__":
    unittest.main()

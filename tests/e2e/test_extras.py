"""The window's additions through real X11 input and the real clipboard: a code copied with "#"
pasted with Ctrl+Shift+V and through the HEX box's menu, then registered; each entry of the copy
button's and the swatch's menus, chosen with the keyboard, read back from the clipboard; a colour
given on the command line; the pick that --pick-in-window starts. (The menus' texts are checked
by the offscreen tests: Qt gives popup menus no place on the accessibility bus.)"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

FORMS = ["#FF8000", "FF8000", "rgb(255, 128, 0)", "hsl(30, 100%, 50%)", "255, 128, 0",
         "oklch(73.2% 0.1858 53)"]
ORANGE = {"Edit1": "FF8000", "Edit2": "255", "Edit3": "128", "Edit4": "0"}


class ExtrasTest(e2e.DesktopTestCase):
    def assertSwatch(self, program, colour):
        e2e.wait_until(f"the swatch to show {colour}",
                       lambda: program.pixel(*e2e.centre("Shape1")) == colour, timeout=5)

    def test_paste_a_copied_code_and_register_it(self):
        desktop = self.desktop
        program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])
        program.start()

        # As copied from a web page: with "#", lower case and a line end.
        desktop.set_clipboard("#ff8000\n")
        desktop.key("ctrl+shift+v")
        self.assertEqual(program.wait_boxes(ORANGE), dict(program.boxes(), **ORANGE))
        self.assertSwatch(program, (255, 128, 0))

        program.click_text("ComboBox2")
        desktop.key("ctrl+a")
        desktop.type("web orange")
        program.click_control("Button4")
        e2e.wait_until("the register command to write", program.settings)
        self.assertEqual(program.settings_bytes(),
                         b"[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000web orange\r\n")

        # The HEX box's own menu ends with the paste command.
        desktop.set_clipboard("rgb(0 128 255)")
        program.choose_menu_entry(program.open_menu("Edit1"), -1)
        blue = {"Edit1": "0080FF", "Edit2": "0", "Edit3": "128", "Edit4": "255"}
        self.assertEqual(program.wait_boxes(blue), dict(program.boxes(), **blue))

        # Text that names no colour: the information box, and nothing changes.
        desktop.set_clipboard("#FF80")
        desktop.key("ctrl+shift+v")
        box = desktop.wait_window("Tintora")
        self.assertTrue(any("色として読み取れませんでした" in t for t in desktop.dialog_texts()))
        desktop.key("Return")
        desktop.window_gone(box)
        self.assertEqual(program.wait_boxes(blue), dict(program.boxes(), **blue))
        self.assertEqual(program.close_with_alt_f4(), 0, program.output())

    def test_copy_menus_put_each_form_on_the_clipboard(self):
        desktop = self.desktop
        program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])
        # Started showing the colour, as a paste would.
        program.start("#FF8000")
        self.assertEqual(program.wait_boxes(ORANGE), dict(program.boxes(), **ORANGE))
        for control in ("SpeedButton4", "Shape1"):
            for index, form in enumerate(FORMS):
                with self.subTest(control=control, form=form):
                    desktop.set_clipboard("previous")
                    program.choose_menu_entry(program.open_menu(control), index)
                    e2e.wait_until("the copy", lambda: desktop.clipboard() != "previous")
                    self.assertEqual(desktop.clipboard(), form)
        self.assertEqual(program.close_with_alt_f4(), 0, program.output())

    def test_pick_in_window_picks_at_start(self):
        desktop = self.desktop
        program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])
        # The desktop entry's action: the window opens and the pick starts at once.
        program.launch("xcb", "--pick-in-window")
        desktop.wait_pick_grab()
        program.window = desktop.wait_window(e2e.WINDOW_TITLE)
        # The swatch, white at start, is the pixel picked.
        desktop.click(*program.to_screen(*e2e.centre("Shape1")))
        white = {"Edit1": "FFFFFF", "Edit2": "255", "Edit3": "255", "Edit4": "255"}
        self.assertEqual(program.wait_boxes(white), dict(program.boxes(), **white))
        self.assertEqual(program.close_with_alt_f4(), 0, program.output())


if __name__ == "__main__":
    unittest.main()

"""A user colour's life through real input: make a colour, register it under a name, find it in
the list after a restart, show it with a double-click and delete it, checking the boxes (through
the accessibility bus), the swatch on the screen and the settings file at each step."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

ORANGE, WHITE = (255, 128, 0), (255, 255, 255)
NAME = "e2e orange"
CLEARED = {"Edit1": "", "Edit2": "", "Edit3": "", "Edit4": "",
           "ComboBox1": "Color Name", "ComboBox2": "User Color"}
REGISTERED = b"[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000" + NAME.encode() + b"\r\n"
DELETED = b"[Usercolor]\r\nUsercolcnt=0\r\n"


class UserColourTest(unittest.TestCase):
    def assertSwatch(self, program, colour):
        """The swatch's middle shows colour on the screen (waiting for the repaint)."""
        seen = []

        def probe():
            seen.append(program.pixel(*e2e.centre("Shape1")))
            return seen[-1] == colour

        try:
            e2e.wait_until(f"the swatch to show {colour}", probe, timeout=5, interval=0.1)
        except e2e.E2EError:
            pass
        self.assertEqual(seen[-1], colour)

    def test_register_restart_show_and_delete(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])

            # First run: FF8000 and colour -> RGB shows it, but a typed code is no colour made
            # by the program, so registering it is refused.
            program.start()
            self.assertEqual(program.boxes(), CLEARED)
            program.click_text("Edit1")
            desktop.type("FF8000")
            program.click_control("Button1")
            shown = dict(CLEARED, Edit1="FF8000", Edit2="255", Edit3="128", Edit4="0")
            self.assertEqual(program.wait_boxes(shown), shown)
            self.assertSwatch(program, ORANGE)

            program.click_text("ComboBox2")
            desktop.key("ctrl+a")
            desktop.type(NAME)
            named = dict(shown, ComboBox2=NAME)
            self.assertEqual(program.wait_boxes(named), named)
            program.click_control("Button4")
            box = desktop.wait_window("Tintora")
            self.assertIn("色を表示してから登録してね", desktop.dialog_texts())
            desktop.key("Return")
            desktop.window_gone(box)
            self.assertIsNone(program.settings(), "a refused register writes nothing")

            # RGB values -> colour with an empty HEX box makes the code; now it registers.
            program.click_text("Edit1")
            desktop.key("ctrl+a", "BackSpace")
            program.click_control("Button2")
            self.assertEqual(program.wait_boxes(named), named)
            program.click_control("Button4")
            e2e.wait_until("the register command to write", program.settings)
            self.assertEqual(program.settings_bytes(), REGISTERED)
            self.assertEqual(program.boxes(), named)
            self.assertSwatch(program, ORANGE)
            written = program.settings()
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())
            self.assertEqual(program.settings(), written, "closing writes nothing")

            # Second run: the name is listed; pick it, double-click the text field to show it.
            program.start()
            self.assertEqual(program.boxes(), CLEARED)
            self.assertSwatch(program, WHITE)
            self.assertEqual(program.items("ComboBox2"), [NAME])
            left, top, width, height = e2e.LAYOUT["ComboBox2"]
            program.click_at(left + width - 8, top + height // 2)  # the arrow opens the list
            desktop.click(*program.item_node("ComboBox2", NAME).centre())
            self.assertEqual(program.wait_boxes({"ComboBox2": NAME})["ComboBox2"], NAME)
            program.click_text("ComboBox2", count=2)
            self.assertEqual(program.wait_boxes(named), named)
            self.assertSwatch(program, ORANGE)
            self.assertEqual(program.settings(), written, "showing writes nothing")

            # Delete it: the warning box's default button is Yes, so Enter confirms.
            program.click_control("Button5")
            desktop.wait_window("警告")
            self.assertIn("表示しているユーザカラーを削除しますよ", desktop.dialog_texts())
            desktop.key("Return")
            e2e.wait_until("the delete command to write",
                           lambda: program.settings_bytes() == DELETED)
            self.assertEqual(program.wait_boxes(CLEARED), CLEARED)
            self.assertSwatch(program, WHITE)
            self.assertEqual(program.items("ComboBox2"), [])
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())
            self.assertEqual(program.settings_bytes(), DELETED)
            self.assertEqual(sorted(os.listdir(program.dir)),
                             [".Tintora.ini.lock", "Tintora.ini", "tintora"])


if __name__ == "__main__":
    unittest.main()

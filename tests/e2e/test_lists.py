"""The drop-down lists under the keyboard, through real keystrokes: with a list open, the arrow,
paging, Home and End keys show the entry they reach at once, hovering only highlights, a click
chooses; in the user colour list the entry reached is the one a double-click shows."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

SETTINGS = (b"[Usercolor]\r\nUsercolcnt=3\r\n"
            b"1=FF0000first\r\n2=00FF00second\r\n3=0000FFthird\r\n")


def shown(name, hex_code, red, green, blue):
    return {"ComboBox1": name, "Edit1": hex_code, "Edit2": str(red), "Edit3": str(green),
            "Edit4": str(blue)}


AQUAMARINE = shown("aquamarine", "70DB93", 112, 219, 147)
MEDIUM_AQUAMARINE = shown("madium aquamarine", "32CC99", 50, 204, 153)
LIGHT_STEEL_BLUE = shown("light steel blue", "8F8FBC", 143, 143, 188)  # 1 + a page of 7
BLUE = shown("blue", "0000FF", 0, 0, 255)


class ListKeysTest(unittest.TestCase):
    def open_list(self, program, name):
        left, top, width, height = e2e.LAYOUT[name]
        program.click_at(left + width - 8, top + height // 2)  # the arrow opens the list

    def step(self, program, key, expected):
        program.desktop.key(key)
        self.assertEqual(program.wait_boxes(expected), dict(program.boxes(), **expected), key)

    def test_open_list_keys_select_and_hover_only_highlights(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"], settings=SETTINGS)
            program.start()

            self.open_list(program, "ComboBox1")
            program.item_node("ComboBox1", "aquamarine")  # the list is showing
            self.step(program, "Down", AQUAMARINE)
            self.step(program, "Down", MEDIUM_AQUAMARINE)
            self.step(program, "Next", LIGHT_STEEL_BLUE)
            self.step(program, "Home", AQUAMARINE)
            self.step(program, "Return", AQUAMARINE)

            # Hovering over an entry of the open list changes nothing; a click chooses it.
            self.open_list(program, "ComboBox1")
            entry = program.item_node("ComboBox1", "blue")
            desktop.xdotool("mousemove", "--sync", *map(str, entry.centre()))
            desktop.xdotool("mousemove", "--sync", str(entry.centre()[0] + 3),
                            str(entry.centre()[1]))
            self.assertEqual(program.boxes(), dict(program.boxes(), **AQUAMARINE))
            desktop.click(*entry.centre())
            self.assertEqual(program.wait_boxes(BLUE), dict(program.boxes(), **BLUE))

            # The user colour list: End reaches the last entry, which a double-click then shows.
            self.open_list(program, "ComboBox2")
            program.item_node("ComboBox2", "first")
            self.step(program, "End", {"ComboBox2": "third"})
            self.step(program, "Up", {"ComboBox2": "second"})
            desktop.key("Return")
            program.click_text("ComboBox2", count=2)
            green = {"Edit1": "00FF00", "Edit2": "0", "Edit3": "255", "Edit4": "0"}
            self.assertEqual(program.wait_boxes(green), dict(program.boxes(), **green))

            self.assertEqual(program.close_with_alt_f4(), 0, program.output())


if __name__ == "__main__":
    unittest.main()

"""The real program in folders a user may have, Japanese, accented, emoji and one whose name holds a
byte that is not UTF-8: it loads the Tintora.ini beside it, registers into that file, and a write
error names the folder so that it reads in the box. Installed (a bin folder with the install's
share/tintora/installed beside it), it keeps the user's colours in the user's configuration
folder."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

ONE = b"[Usercolor]\r\nUsercolcnt=1\r\n1=87CEEBsky\r\n"
TWO = ONE.replace(b"Usercolcnt=1", b"Usercolcnt=2") + b"2=FF8000orange\r\n"
# The last holds accented Latin, an emoji and a byte that is not UTF-8 at once.
FOLDERS = ["デスクトップ", "a郎/b郎", "Café 🎨/" + os.fsdecode(b"\xff\xe5\x90\x8d")]


def shown(path):
    """The path as the box shows it: CP932 with "?" for what it cannot hold or is not UTF-8."""
    text = os.fsencode(path).decode("utf-8", "replace")
    return text.encode("cp932", "replace").decode("cp932")


def register(desktop, program, name):
    """Makes FF8000 the current colour (colour -> RGB, then RGB -> colour with the HEX box
    emptied) and registers it under name."""
    program.click_text("Edit1")
    desktop.key("ctrl+a", "BackSpace")
    desktop.type("FF8000")
    program.click_control("Button1")
    program.wait_boxes({"Edit2": "255", "Edit3": "128", "Edit4": "0"})
    program.click_text("Edit1")
    desktop.key("ctrl+a", "BackSpace")
    program.click_control("Button2")
    program.wait_boxes({"Edit1": "FF8000"})
    program.click_text("ComboBox2")
    desktop.key("ctrl+a")
    desktop.type(name)
    program.wait_boxes({"ComboBox2": name})
    program.click_control("Button4")


class FolderTest(unittest.TestCase):
    def test_settings_file_in_any_folder_and_installed(self):
        with e2e.Desktop() as desktop:
            for folder in FOLDERS:
                with self.subTest(folder=folder):
                    program = e2e.Program(desktop, os.environ["TINTORA_BINARY"], ONE, folder)
                    program.start()
                    self.assertEqual(program.items("ComboBox2"), ["sky"])
                    register(desktop, program, "orange")
                    e2e.wait_until("the register command to write",
                                   lambda: program.settings_bytes() == TWO)
                    self.assertEqual(sorted(os.listdir(program.dir)),
                                     [".Tintora.ini.lock", "Tintora.ini", "tintora"])

                    # A settings file that cannot be written: the box names its path readably.
                    os.remove(program.settings_path)
                    os.mkdir(program.settings_path)
                    program.click_control("Button4")
                    box = desktop.wait_window("Tintora")
                    self.assertIn(shown(program.settings_path) + " に書き込めません.",
                                  desktop.dialog_texts())
                    desktop.key("Return")
                    desktop.window_gone(box)
                    self.assertEqual(program.close_with_alt_f4(), 0, program.output())

            # Installed: nothing in the bin folder, the colour in the user's own folder.
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"], folder="usr/bin")
            share = os.path.join(program.dir, "..", "share", "tintora")
            os.makedirs(share)
            with open(os.path.join(share, "installed"), "w") as f:
                f.write("This file marks an installed Tintora.\n")
            program.start()
            register(desktop, program, "orange")
            settings = os.path.join(program.home, ".config", "tintora", "Tintora.ini")
            e2e.wait_until("the register command to write", lambda: os.path.exists(settings))
            with open(settings, "rb") as f:
                self.assertEqual(f.read(), b"[Usercolor]\r\nUsercolcnt=1\r\n1=FF8000orange\r\n")
            self.assertEqual(os.stat(os.path.dirname(settings)).st_mode & 0o777, 0o700)
            self.assertEqual(os.listdir(program.dir), ["tintora"])
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())


if __name__ == "__main__":
    unittest.main()

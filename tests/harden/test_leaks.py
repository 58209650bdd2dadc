"""The sanitizer-built program on a private desktop: start it, make a colour, meet an error box,
register, show and delete a user colour, open the help window, and close it with Alt+F4. It must
end with status 0 and without a report from AddressSanitizer, UndefinedBehaviorSanitizer or
LeakSanitizer (which makes the exit status non-zero when it finds a leak)."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import tintora_e2e as e2e  # noqa: E402

REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:")


class LeakTest(unittest.TestCase):
    def assertClean(self, program):
        status = program.close_with_alt_f4()
        output = program.output()
        self.assertEqual(status, 0, output)
        for report in REPORTS:
            self.assertNotIn(report, output)

    def test_commands_leave_no_leak(self):
        with e2e.Desktop() as desktop:
            for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
                if name in os.environ:
                    desktop.env[name] = os.environ[name]
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"],
                                  b"[Usercolor]\r\nUsercolcnt=2\r\n1=AAAAAAa\r\n2=BBBBBBb\r\n")

            program.start()
            program.click_text("Edit1")
            desktop.type("FF80")
            program.click_control("Button1")  # the blue piece does not read: the error box
            box = desktop.wait_window("Tintora")
            desktop.key("Return")
            desktop.window_gone(box)
            program.click_text("Edit1")
            desktop.key("ctrl+a")
            desktop.type("FF8000")
            program.click_control("Button1")
            program.click_text("Edit1")
            desktop.key("ctrl+a", "BackSpace")
            program.click_control("Button2")  # RGB -> colour makes the code to register
            program.click_text("ComboBox2")
            desktop.key("ctrl+a")
            desktop.type("mine")
            program.click_control("Button4")
            e2e.wait_until("the register command to write",
                           lambda: b"3=" in (program.settings_bytes() or b""))
            self.assertClean(program)

            program.start()
            self.assertEqual(program.items("ComboBox2"), ["a", "b", "mine"])
            left, top, width, height = e2e.LAYOUT["ComboBox2"]
            program.click_at(left + width - 8, top + height // 2)
            desktop.click(*program.item_node("ComboBox2", "b").centre())
            program.click_text("ComboBox2", count=2)
            program.click_control("Button5")
            desktop.wait_window("警告")
            desktop.key("Return")
            e2e.wait_until("the delete command to write",
                           lambda: b"Usercolcnt=2" in program.settings_bytes())
            program.click_at(104 + 12, 4 + 12)  # the help window, which the end must release
            desktop.wait_window("Tintora ヘルプ")
            self.assertClean(program)


if __name__ == "__main__":
    unittest.main()

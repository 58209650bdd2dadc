"""The screen pick of the window (Ctrl+P and the swatch's menu) and of the command line (--pick)
on X11: a private X server with real input, the pick taking the pixel under a click, Escape
cancelling; the window read through the accessibility bus and its settings file."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

BINARY = os.environ["TINTORA_BINARY"]
ORANGE = (255, 128, 0)
NAME = "picked"


def orange_swatch(desktop, program):
    """Paints the swatch FF8000 (a pixel of known colour to pick), then puts "zz" in the HEX
    box, so that a pick shows in the boxes."""
    program.click_text("Edit1")
    desktop.type("FF8000")
    program.click_control("Button1")
    program.wait_boxes({"Edit2": "255", "Edit3": "128", "Edit4": "0"})
    program.click_text("Edit1")
    desktop.key("ctrl+a")
    desktop.type("zz")
    return program.wait_boxes({"Edit1": "zz"})


class X11PickTest(unittest.TestCase):
    def test_ctrl_p_picks_as_the_dialog_would(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, BINARY)
            program.start()
            orange_swatch(desktop, program)
            desktop.key("ctrl+p")
            desktop.wait_pick_grab()
            desktop.click(*program.to_screen(*e2e.centre("Shape1")))
            picked = {"Edit1": "FF8000", "Edit2": "255", "Edit3": "128", "Edit4": "0"}
            self.assertEqual(program.wait_boxes(picked), dict(program.boxes(), **picked))
            self.assertEqual(program.pixel(*e2e.centre("Shape1")), ORANGE)

            # CurrentHex holds the picked code: registering stores it.
            program.click_text("ComboBox2")
            desktop.key("ctrl+a")
            desktop.type(NAME)
            program.wait_boxes({"ComboBox2": NAME})
            program.click_control("Button4")
            e2e.wait_until("the register", lambda: program.settings_bytes() is not None
                           and b"1=FF8000" + NAME.encode() in program.settings_bytes())

            # The colour dialog's own colour is untouched: it still opens at white.
            program.click_at(40 + 12, 4 + 12)
            dialog = desktop.wait_window("色を選択")
            desktop.key("Return")
            desktop.window_gone(dialog)
            self.assertEqual(program.wait_boxes({"Edit1": "FFFFFF"})["Edit1"], "FFFFFF")
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())

    def test_escape_cancels_and_menu_entry_picks(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, BINARY)
            program.start()
            before = orange_swatch(desktop, program)

            desktop.key("ctrl+p")
            desktop.wait_pick_grab()
            desktop.key("Escape")
            time.sleep(0.5)
            # The click after the cancel is an ordinary click again, into the HEX box: nothing
            # picked, nothing changed, and the window takes input. (Not at the point of the last
            # click: xdotool's --sync waits for the pointer to move.)
            x, y = e2e.text_point("Edit1")
            program.click_at(x + 6, y)
            desktop.key("End")
            desktop.type("!")
            self.assertEqual(program.wait_boxes(dict(before, Edit1="zz!")),
                             dict(before, Edit1="zz!"))

            # The swatch's menu: its last entry picks the same way. Up from the menu's top
            # reaches it only when it is enabled (a disabled entry is passed over).
            program.click_at(20, 60)  # the swatch's upper left
            desktop.xdotool("click", "3")
            time.sleep(0.5)
            desktop.key("Up", "Return")
            desktop.wait_pick_grab()
            desktop.click(*program.to_screen(*e2e.centre("Shape1")))
            picked = {"Edit1": "FF8000", "Edit2": "255", "Edit3": "128", "Edit4": "0"}
            self.assertEqual(program.wait_boxes(picked), dict(program.boxes(), **picked))
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())

    def test_pick_command(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, BINARY)
            program.start()
            orange_swatch(desktop, program)
            env = dict(desktop.env, QT_QPA_PLATFORM="xcb")

            # A click on the swatch: its colour on standard output.
            picking = subprocess.Popen([BINARY, "--pick"], env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE)
            try:
                desktop.wait_pick_grab()
                desktop.click(*program.to_screen(*e2e.centre("Shape1")))
                output, errors = picking.communicate(timeout=10)
            finally:
                picking.kill()
            self.assertEqual((picking.returncode, output, errors), (0, b"#FF8000\n", b""))

            # Escape: status 1, nothing printed.
            picking = subprocess.Popen([BINARY, "--pick"], env=env, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE)
            try:
                desktop.wait_pick_grab()
                desktop.key("Escape")
                output, errors = picking.communicate(timeout=10)
            finally:
                picking.kill()
            self.assertEqual((picking.returncode, output, errors), (1, b"", b""))

            # The window saw neither the click nor the key.
            self.assertEqual(program.boxes()["Edit1"], "zz")
            self.assertEqual(program.close_with_alt_f4(), 0, program.output())

    def test_pick_command_without_a_pick(self):
        """No display, a display that cannot be opened, a platform that cannot pick: status 2
        and one line that says why."""
        runtime = tempfile.mkdtemp(prefix="tintora-e2e-runtime-")
        self.addCleanup(shutil.rmtree, runtime, ignore_errors=True)
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env["XDG_RUNTIME_DIR"] = runtime
        cases = {"no display": env,
                 "unreachable display": dict(env, DISPLAY=":7531"),
                 "offscreen": dict(env, QT_QPA_PLATFORM="offscreen")}
        for case, case_env in cases.items():
            with self.subTest(case):
                done = subprocess.run([BINARY, "--pick"], env=case_env, capture_output=True,
                                      timeout=20)
                self.assertEqual((done.returncode, done.stdout), (2, b""))
                self.assertRegex(done.stderr.decode(), r"\Atintora: [^\n]+\n\Z")


if __name__ == "__main__":
    # The accessibility library keeps to the first bus it meets: one desktop per process, so
    # without a test named each test runs in a process of its own.
    if len(sys.argv) > 1:
        unittest.main()
    names = unittest.defaultTestLoader.getTestCaseNames(X11PickTest)
    failed = [name for name in names if subprocess.run(
        [sys.executable, __file__, "X11PickTest." + name]).returncode != 0]
    print("failed:" if failed else "all passed", *failed, file=sys.stderr)
    sys.exit(1 if failed else 0)

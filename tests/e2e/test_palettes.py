"""Palettes in and out on the real program: the user colour list's context menu with Qt's file
dialogs (the file name typed into the dialog), the command-line options with their exit codes,
and an import while a second copy of the program registers colours at the same time."""

import os
import subprocess
import sys
import threading
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

STORED = (b"[Usercolor]\r\nUsercolcnt=3\r\n1=FF8000orange\r\n2=FF80\r\n"
          b"3=87CEEB\x8b\xf3\x90\x46\r\n")
EXPORTED = ("GIMP Palette\nName: mine\nColumns: 16\n#\n255 128   0\torange\n"
            "135 206 235\t空色\n").encode()
PALETTE = ("GIMP Palette\nName: in\n# comment\n  0   0 255\tblue\n"
           "1 2 3\tsmile 😀\n10 20 30\n").encode()


class PaletteMenuTest(unittest.TestCase):
    def open_palette_entry(self, desktop, program, ups):
        """Right-clicks the user colour list's text field and takes the entry ups from the end."""
        x, y = program.to_screen(*e2e.text_point("ComboBox2"))
        desktop.xdotool("mousemove", "--sync", str(x), str(y))
        desktop.xdotool("click", "3")
        e2e.wait_until("the context menu", lambda: desktop.run(
            ["xdotool", "search", "--onlyvisible", "--class", "tintora"], check=False)
            .split().__len__() > 1, timeout=10)
        desktop.key(*(["Up"] * ups), "Return")

    def box_texts(self, desktop, awaited):
        """The texts of the program's boxes once one shows awaited (published a little after the
        box is mapped), joined by line ends."""
        return e2e.wait_until(f"a box showing {awaited!r}", lambda: (lambda t: t if awaited in t
                              else None)("\n".join(desktop.dialog_texts())), timeout=10)

    def type_file_name(self, desktop, title, path):
        dialog = desktop.wait_window(title)
        desktop.key("ctrl+a")
        desktop.type(path)
        desktop.key("Return")
        desktop.window_gone(dialog)

    def test_export_and_import_through_the_menu(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"], settings=STORED)
            program.start()
            desktop.atspi()

            out = os.path.join(program.home, "mine")  # the dialog adds ".gpl"
            self.open_palette_entry(desktop, program, 2)
            self.type_file_name(desktop, "パレットに書き出す", out)
            box = desktop.wait_window("Tintora")
            texts = self.box_texts(desktop, "2 色を書き出しました")
            self.assertIn("書き出さなかった項目: 1 件", texts)
            self.assertIn('2 番目 "FF80"', texts)
            desktop.key("Return")
            desktop.window_gone(box)
            with open(out + ".gpl", "rb") as f:
                self.assertEqual(f.read(), EXPORTED)

            palette = os.path.join(program.home, "in.gpl")
            with open(palette, "wb") as f:
                f.write(PALETTE)
            self.open_palette_entry(desktop, program, 1)
            self.type_file_name(desktop, "パレットから読み込む", palette)
            box = desktop.wait_window("警告")
            texts = self.box_texts(desktop, "残りの")
            self.assertIn('5 行目 "smile <U+1F600>"', texts)
            self.assertIn("残りの 2 色を読み込みますか?", texts)
            desktop.key("Return")  # Yes
            desktop.window_gone(box)
            e2e.wait_until("the list to show the imported colours", lambda: program.items(
                "ComboBox2") == ["orange", "", "空色", "blue", "0A141E"], timeout=10)
            self.assertEqual(program.settings_bytes(), STORED.replace(b"cnt=3", b"cnt=5")
                             + b"4=0000FFblue\r\n5=0A141E0A141E\r\n")


class PaletteCommandLineTest(unittest.TestCase):
    def run_tintora(self, program, *args):
        done = subprocess.run([program.path, *args], cwd=program.home, capture_output=True,
                              timeout=60, env=dict(os.environ, HOME=program.home))
        return done.returncode, done.stderr.decode()

    def test_exit_codes(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"], settings=STORED)
            home = program.home

            # Some stored entries cannot be exported: listed, the rest written, status 1.
            status, err = self.run_tintora(program, "--export-palette", os.path.join(home, "a.gpl"))
            self.assertEqual(status, 1, err)
            self.assertIn(':2: "FF80"', err)
            with open(os.path.join(home, "a.gpl"), "rb") as f:
                self.assertEqual(f.read(), EXPORTED.replace(b"Name: mine", b"Name: a"))
            status, err = self.run_tintora(program, "--export-palette", os.path.join(home, "a.css"))
            self.assertEqual(status, 1, err)
            # No kind from the extension, or a folder that is not there: status 2, nothing made.
            for name in ("a.txt", "no/such/folder/a.gpl"):
                status, err = self.run_tintora(program, "--export-palette", os.path.join(home, name))
                self.assertEqual(status, 2, err)
                self.assertFalse(os.path.exists(os.path.join(home, name)))

            # A refused palette stores nothing: status 2.
            bad = os.path.join(home, "bad.gpl")
            with open(bad, "wb") as f:
                f.write(b"GIMP Palette\n1 2 300 x\n")
            status, err = self.run_tintora(program, "--import-palette", bad)
            self.assertEqual(status, 2, err)
            self.assertIn("300", err)
            self.assertEqual(program.settings_bytes(), STORED)

            # One colour cannot be stored: listed, the rest stored, status 1.
            palette = os.path.join(home, "in.gpl")
            with open(palette, "wb") as f:
                f.write(PALETTE)
            status, err = self.run_tintora(program, "--import-palette", palette)
            self.assertEqual(status, 1, err)
            self.assertIn(':5: "smile 😀"', err)
            self.assertEqual(program.settings_bytes(), STORED.replace(b"cnt=3", b"cnt=5")
                             + b"4=0000FFblue\r\n5=0A141E0A141E\r\n")

            # Everything stored: status 0.
            good = os.path.join(home, "good.gpl")
            with open(good, "wb") as f:
                f.write(b"GIMP Palette\n1 1 1 one\n")
            self.assertEqual(self.run_tintora(program, "--import-palette", good)[0], 0)

    def test_import_while_another_copy_registers(self):
        """Imports by the command line, one after the other, while the window of the same program
        registers colours: every colour of both ends up stored."""
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])
            palette = os.path.join(program.home, "many.gpl")
            with open(palette, "w") as f:
                f.write("GIMP Palette\n" + "".join(f"1 2 3 imported {i}\n" for i in range(500)))
            program.start()
            # RGB values -> colour makes the code that the register command stores.
            for box, value in (("Edit2", "51"), ("Edit3", "102"), ("Edit4", "153")):
                program.click_text(box)
                desktop.type(value)
            program.click_control("Button2")
            program.wait_boxes({"Edit1": "336699"})

            stop = threading.Event()
            results = []

            def imports():
                while not stop.is_set():
                    results.append(self.run_tintora(program, "--import-palette", palette))

            worker = threading.Thread(target=imports)
            worker.start()
            try:
                for i in range(5):
                    program.click_text("ComboBox2")
                    desktop.key("ctrl+a")
                    desktop.type(f"reg{i}")
                    program.click_control("Button4")
                    e2e.wait_until(f"reg{i} to be stored", lambda: f"=336699reg{i}\r\n".encode()
                                   in (program.settings_bytes() or b""), timeout=20)
            finally:
                stop.set()
                worker.join()
            self.assertEqual({r[0] for r in results}, {0}, results[:3])
            self.assertGreater(len(results), 1)

            text = program.settings_bytes().decode()
            entries = [line.split("=", 1)[1] for line in text.split("\r\n")[2:] if "=" in line]
            total = 500 * len(results) + 5
            self.assertTrue(text.startswith(f"[Usercolor]\r\nUsercolcnt={total}\r\n"), text[:40])
            self.assertEqual(len(entries), total)
            self.assertEqual(sorted(e for e in entries if e.startswith("336699")),
                             [f"336699reg{i}" for i in range(5)])
            # Each import's colours stand together, in the palette's order.
            imported = [f"010203imported {i}" for i in range(500)]
            starts = [i for i, e in enumerate(entries) if e == imported[0]]
            self.assertEqual(len(starts), len(results))
            for start in starts:
                self.assertTrue(entries[start:start + 500] == imported, f"import at {start}")

if __name__ == "__main__":
    unittest.main()

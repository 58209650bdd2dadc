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
# What importing PALETTE into STORED stores: the emoji, which the settings file cannot hold, as 〓.
IMPORTED = (STORED.replace(b"cnt=3", b"cnt=6")
            + b"4=0000FFblue\r\n5=010203smile \x81\xac\r\n6=0A141E0A141E\r\n")


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
            texts = self.box_texts(desktop, "2色を書き出しました。")
            self.assertIn("次の項目は書き出していません。\n2番目「FF80」：HEX コードが16進数6桁ではありません",
                          texts)
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
            texts = self.box_texts(desktop, "読み込みますか")
            self.assertIn("5行目「smile 😀」→「smile 〓」", texts)
            self.assertIn("3色を読み込みますか？", texts)
            desktop.key("Return")  # Yes
            desktop.window_gone(box)
            box = desktop.wait_window("Tintora")
            self.box_texts(desktop, "3色を読み込みました。")
            desktop.key("Return")
            desktop.window_gone(box)
            e2e.wait_until("the list to show the imported colours", lambda: program.items(
                "ComboBox2") == ["orange", "", "空色", "blue", "smile 〓", "0A141E"], timeout=10)
            self.assertEqual(program.settings_bytes(), IMPORTED)

            # The same palette again adds nothing, and says so.
            self.open_palette_entry(desktop, program, 1)
            self.type_file_name(desktop, "パレットから読み込む", palette)
            box = desktop.wait_window("Tintora")
            self.box_texts(desktop, "すでに登録されている3色は読み込みませんでした。")
            desktop.key("Return")
            desktop.window_gone(box)
            self.assertEqual(program.settings_bytes(), IMPORTED)


class PaletteCommandLineTest(unittest.TestCase):
    def run_tintora(self, program, *args):
        done = subprocess.run([program.path, *args], cwd=program.home, capture_output=True,
                              timeout=60, env=dict(os.environ, HOME=program.home))
        return done.returncode, done.stderr.decode()

    def import_file(self, program, name, content):
        """Writes a palette file named name into the program's folder and imports it."""
        path = os.path.join(program.home, name)
        with open(path, "wb") as f:
            f.write(content)
        return self.run_tintora(program, "--import-palette", path)

    def test_exit_codes(self):
        with e2e.Desktop() as desktop:
            program = e2e.Program(desktop, os.environ["TINTORA_BINARY"], settings=STORED)
            home = program.home

            # Some stored entries cannot be exported: listed, the rest written, status 1.
            status, err = self.run_tintora(program, "--export-palette", os.path.join(home, "a.gpl"))
            self.assertEqual(status, 1, err)
            self.assertIn(":2: 「FF80」：HEX コードが16進数6桁ではありません", err)
            with open(os.path.join(home, "a.gpl"), "rb") as f:
                self.assertEqual(f.read(), EXPORTED.replace(b"Name: mine", b"Name: a"))
            status, err = self.run_tintora(program, "--export-palette", os.path.join(home, "a.css"))
            self.assertEqual(status, 1, err)
            # No kind from the extension, or a folder that is not there: status 2, nothing made.
            for name, reason in (
                    ("a.txt", "拡張子からパレットの種類を決められません（.gpl なら GIMP パレット、.css なら CSS）"),
                    ("no/such/folder/a.gpl", "書き出せません（ファイルがありません）")):
                status, err = self.run_tintora(program, "--export-palette", os.path.join(home, name))
                self.assertEqual(status, 2, err)
                self.assertIn(f"{name}: {reason}\n", err)
                self.assertEqual(err.count(name), 1, err)
                self.assertFalse(os.path.exists(os.path.join(home, name)))

            # A refused palette stores nothing: status 2.
            status, err = self.import_file(program, "bad.gpl", b"GIMP Palette\n1 2 300 x\n")
            self.assertEqual(status, 2, err)
            self.assertIn("bad.gpl:2: 色の値 300 が0〜255の範囲外です", err)
            self.assertEqual(program.settings_bytes(), STORED)

            # A name the settings file cannot hold is stored renamed, and said so: status 0.
            status, err = self.import_file(program, "in.gpl", PALETTE)
            self.assertEqual(status, 0, err)
            self.assertIn("in.gpl:5: 「smile 😀」を「smile 〓」という名前で読み込みました", err)
            self.assertEqual(program.settings_bytes(), IMPORTED)
            # The same palette again adds nothing.
            status, err = self.run_tintora(program, "--import-palette",
                                           os.path.join(home, "in.gpl"))
            self.assertEqual(status, 0, err)
            self.assertIn("in.gpl: すでに登録されている3色は読み込みませんでした", err)
            self.assertEqual(program.settings_bytes(), IMPORTED)

            # A colour that cannot be stored at all: listed, the rest stored, status 1.
            status, err = self.import_file(program, "control.gpl",
                                           b"GIMP Palette\n1 2 3 \x1b[2Jgone\n4 5 6 kept\n")
            self.assertEqual(status, 1, err)
            self.assertIn("control.gpl:2: 「<U+001B>[2Jgone」：名前に使えない制御文字（U+001B）があります",
                          err)
            self.assertNotIn("\x1b", err)

            # An export whose settings file cannot be read writes nothing: status 2, the earlier
            # export stays.
            os.rename(program.settings_path, program.settings_path + ".away")
            os.mkdir(program.settings_path)
            status, err = self.run_tintora(program, "--export-palette", os.path.join(home, "a.gpl"))
            self.assertEqual(status, 2, err)
            self.assertIn("を読み込めません（フォルダーです）", err)
            with open(os.path.join(home, "a.gpl"), "rb") as f:
                self.assertEqual(f.read(), EXPORTED.replace(b"Name: mine", b"Name: a"))
            os.rmdir(program.settings_path)
            os.rename(program.settings_path + ".away", program.settings_path)

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
            # Each import brings colours of its own: importing one palette again would add nothing.
            def palette_for(round_):
                palette = os.path.join(program.home, f"many{round_}.gpl")
                with open(palette, "w") as f:
                    f.write("GIMP Palette\n"
                            + "".join(f"1 2 3 imported {round_} {i}\n" for i in range(500)))
                return palette
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
                    results.append(self.run_tintora(program, "--import-palette",
                                                    palette_for(len(results))))

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
            for round_ in range(len(results)):
                imported = [f"010203imported {round_} {i}" for i in range(500)]
                start = entries.index(imported[0])
                self.assertTrue(entries[start:start + 500] == imported, f"import {round_}")

if __name__ == "__main__":
    unittest.main()

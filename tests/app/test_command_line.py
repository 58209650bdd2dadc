"""The built program's command line, run as a user runs it: what it prints on standard output
and standard error, and its exit statuses. No display is offered (no DISPLAY, no Wayland socket,
no Qt platform), so whatever needs none is shown to need none."""

import os
import subprocess
import tempfile
import time
import unittest

BINARY = os.environ["TINTORA_BINARY"]
VERSION = os.environ["TINTORA_VERSION"]
USAGE = "使い方: tintora [オプション] [色]（詳しくは tintora --help）\n"


def without_display(**extra):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(extra)
    return env


def run(*args, env=None, **streams):
    streams = streams or {"stdout": subprocess.PIPE, "stderr": subprocess.PIPE}
    return subprocess.run([BINARY, *args], env=env or without_display(), timeout=30, **streams)


class PrintTest(unittest.TestCase):
    def test_forms_of_each_kind_of_colour(self):
        orange = ["#FF8000", "FF8000", "rgb(255, 128, 0)", "hsl(30, 100%, 50%)", "255, 128, 0",
                  "oklch(73.2% 0.1858 53)"]
        white = ["#FFFFFF", "FFFFFF", "rgb(255, 255, 255)", "hsl(0, 0%, 100%)", "255, 255, 255",
                 "oklch(100% 0 0)"]
        cases = {
            "#FF8000": orange,
            "ff8000": orange,
            " #ff8000\n": orange,
            "rgb(255 128 0 / 0.5)": orange,
            "hsl(30deg, 100%, 50%)": orange,
            "255,128,0": orange,
            "＃ＦＦ８０００": orange,
            "color: #ff8000;": orange,
            "oklch(73.2% 0.1858 53)": orange,
            "\u00a0#ff8000\u200b": orange,
            "#000": ["#000000", "000000", "rgb(0, 0, 0)", "hsl(0, 0%, 0%)", "0, 0, 0",
                     "oklch(0% 0 0)"],
            # CSS's names win over the colour list's values of the same names, in any case.
            "green": ["#008000", "008000", "rgb(0, 128, 0)", "hsl(120, 100%, 25%)", "0, 128, 0",
                      "oklch(52% 0.177 142.5)"],
            "white": white,
            "WHITE": white,
            # The list's names CSS lacks still read, as listed.
            "dark green": ["#2F4F2F", "2F4F2F", "rgb(47, 79, 47)", "hsl(120, 25.4%, 24.7%)",
                           "47, 79, 47", "oklch(39.3% 0.065 144)"],
        }
        for colour, forms in cases.items():
            for args in (["--print", colour], ["--print=" + colour], ["--pr", colour]):
                with self.subTest(args=args):
                    done = run(*args)
                    self.assertEqual((done.returncode, done.stderr.decode()), (0, ""))
                    self.assertEqual(done.stdout.decode(), "".join(f + "\n" for f in forms))

    def test_format_prints_one_form(self):
        for form, line in [("hex", "#1E90FF"), ("bare", "1E90FF"), ("rgb", "rgb(30, 144, 255)"),
                           ("hsl", "hsl(209.6, 100%, 55.9%)"), ("triple", "30, 144, 255"),
                           ("oklch", "oklch(65.2% 0.19 253.2)")]:
            for args in (["--print", "dodgerblue", "--format", form],
                         ["--format=" + form, "--print=#1e90ff"]):
                with self.subTest(args=args):
                    done = run(*args)
                    self.assertEqual((done.returncode, done.stderr.decode()), (0, ""))
                    self.assertEqual(done.stdout.decode(), line + "\n")

    def test_format_refuses_unknown_forms_and_goes_with_print_only(self):
        for args, message in [
                (["--print", "red", "--format", "HEX"],
                 "tintora: --format の形が不明です: 'HEX'（hex、bare、rgb、hsl、triple、oklch のどれかです）\n"),
                (["--format=hex"],
                 "tintora: オプション '--format' は '--print' と一緒に使ってください\n")]:
            with self.subTest(args=args):
                done = run(*args)
                self.assertEqual(done.returncode, 2)
                self.assertEqual(done.stdout, b"")
                self.assertTrue(done.stderr.decode().startswith(message), done.stderr.decode())

    def test_colour_outside_srgb_is_mapped_with_a_note(self):
        done = run("--print", "color(display-p3 1 0 0)", "--format=hex")
        self.assertEqual(done.returncode, 0)
        self.assertEqual(done.stdout.decode(), "#FF0B0C\n")
        self.assertEqual(
            done.stderr.decode(),
            "tintora: この色は sRGB の範囲外のため、sRGB でいちばん近い色にして出力します\n")

    def test_refusal_says_what_was_expected(self):
        done = run("--print", "border: 1px solid red")
        self.assertEqual(done.returncode, 2)
        self.assertEqual(
            done.stderr.decode(),
            "tintora: 'border: 1px solid red' を色として読み取れません。"
            "色を一つだけ書いてください（例: color: #1E90FF;）。書き方は tintora --help で確認できます。\n")

    def test_refused_colours_exit_2_with_one_line(self):
        for colour in ["", "#FF80", "rgb(1,2)", "hsl(30,100,50)", "256 0 0", "nocolour",
                       # the longest single argument Linux passes (128 KiB)
                       "F" * 131071]:
            with self.subTest(colour=colour[:20]):
                done = run("--print", colour)
                self.assertEqual(done.returncode, 2)
                self.assertEqual(done.stdout, b"")
                err = done.stderr.decode()
                self.assertTrue(err.startswith("tintora: '"), err[:200])
                self.assertIn("' を色として読み取れません。", err)
                self.assertEqual(err.count("\n"), 1, err[:200])
                self.assertLess(len(err), 200)

    def test_output_that_cannot_be_written_is_a_failure(self):
        with open("/dev/full", "wb") as full:
            for args in (["--print", "red"], ["--help"], ["--version"]):
                with self.subTest(args=args):
                    done = run(*args, stdout=full, stderr=subprocess.PIPE)
                    self.assertEqual(done.returncode, 2)
                    self.assertEqual(done.stderr.decode(), "tintora: 標準出力に書き込めません\n")


class HelpAndVersionTest(unittest.TestCase):
    def test_help_lists_every_option(self):
        done = run("--help")
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        text = done.stdout.decode()
        self.assertTrue(text.startswith("使い方: tintora [オプション] [色]\n"))
        for option in ["--pick ", "--print 色", "--pick-in-window", "--pick-frozen", "--pick-from ファイル",
                       "--history", "--export-palette ファイル",
                       "--import-palette ファイル", "--help", "--version", "  -- ", "-platform"]:
            self.assertIn(option, text)
        self.assertTrue(all(len(line) < 80 for line in text.splitlines()))

    def test_version_in_gnu_form(self):
        done = run("--version")
        self.assertEqual((done.returncode, done.stderr), (0, b""))
        lines = done.stdout.decode().splitlines()
        self.assertEqual(lines[0], "tintora " + VERSION)
        self.assertRegex(lines[1], r"^Copyright \(C\) \d{4} ")
        self.assertIn("MIT", lines[2])


class RefusalTest(unittest.TestCase):
    def test_wrong_command_lines_print_the_reason_and_the_usage(self):
        cases = {
            ("--nonsense",): "不明なオプションです: '--nonsense'",
            ("-x", "--help"): "不明なオプションです: '-x'",
            ("--print",): "オプション '--print' には引数が必要です",
            ("--p", "red"): "オプション '--p' はあいまいです（候補: '--pick' '--print' "
                            "'--pick-in-window' '--pick-frozen' '--pick-from'）",
            ("--version=1",): "オプション '--version' は引数をとりません",
            ("--pick", "--print", "red"): "オプション '--pick' と '--print' は一緒に使えません",
            ("red", "blue"): "余分な引数があります: 'blue'（色は一つだけ指定できます）",
        }
        for args, reason in cases.items():
            with self.subTest(args=args):
                done = run(*args)
                self.assertEqual(done.returncode, 2)
                self.assertEqual(done.stdout, b"")
                self.assertEqual(done.stderr.decode(), "tintora: " + reason + "\n" + USAGE)

    def test_double_dash_ends_the_options(self):
        # "--help" after "--" is the colour to show, which no colour form reads: refused before
        # any window is made.
        done = run("--", "--help")
        self.assertEqual(done.returncode, 2)
        self.assertEqual(done.stdout, b"")
        self.assertTrue(done.stderr.decode().startswith("tintora: '--help' を色として読み取れません。"))
        # Before it, --help is the option.
        self.assertEqual(run("--help", "--").returncode, 0)

    def test_a_colour_to_show_that_does_not_read_opens_no_window(self):
        done = run("#GG0000")
        self.assertEqual(done.returncode, 2)
        self.assertEqual(done.stderr.decode(),
                         "tintora: '#GG0000' を色として読み取れません。"
                         "16進数の色は #FF8000 のように3、4、6、8桁で書いてください。"
                         "書き方は tintora --help で確認できます。\n")


class HistoryTest(unittest.TestCase):
    """--history prints the colours taken last from the state folder's file, without a display."""

    def history(self, content):
        """Runs --history over a history file holding content (bytes; a folder when a dict,
        no file when None)."""
        state = tempfile.mkdtemp(prefix="tintora-state-")
        os.makedirs(os.path.join(state, "tintora"))
        path = os.path.join(state, "tintora", "recent-colours")
        if isinstance(content, dict):
            os.mkdir(path)
        elif content is not None:
            with open(path, "wb") as f:
                f.write(content)
        return run("--history", env=without_display(XDG_STATE_HOME=state)), path

    def test_prints_the_colours_and_reports_a_damaged_or_unreadable_file(self):
        cases = {
            "none yet": (None, 0, b"", ""),
            "two": (b"#FF8000\n#00ff00\n", 0, b"#FF8000\n#00FF00\n", ""),
            "damaged": (b"#FF8000\n\x82\xa0\n#000080\n", 1, b"#FF8000\n#000080\n",
                        "{path}:2: 色として読み取れない行は飛ばしました\n"),
            "a folder": ({}, 2, b"", "{path}: 最近の色のファイルを読み取れません\n"),
        }
        for case, (content, status, output, error) in cases.items():
            with self.subTest(case):
                done, path = self.history(content)
                self.assertEqual((done.returncode, done.stdout, done.stderr.decode()),
                                 (status, output, error and "tintora: " + error.format(path=path)))


class ContrastTest(unittest.TestCase):
    LEVELS = ["通常の文字の AA（4.5:1以上）", "通常の文字の AAA（7:1以上）",
              "大きな文字の AA（3:1以上）", "大きな文字の AAA（4.5:1以上）",
              "UI 部品・図形（3:1以上）"]

    def report(self, ratio, *passed):
        lines = [ratio] + [level + ": " + ("満たしています" if ok else "満たしていません")
                           for level, ok in zip(self.LEVELS, passed)]
        return "".join(line + "\n" for line in lines)

    def test_ratio_levels_and_the_exit_status_of_the_level_asked(self):
        grey_76 = self.report("4.54:1", True, False, True, True, True)
        grey_77 = self.report("4.47:1", False, False, True, False, True)
        cases = [
            (["--contrast", "#767676", "#FFF"], 0, grey_76),
            (["--contrast", "#FFFFFF", "#767676"], 0, grey_76),
            (["--contrast", "#777777", "#FFF"], 1, grey_77),
            (["--contrast", "#777777", "#FFF", "--level=AA"], 1, grey_77),
            (["--contrast", "#777777", "#FFF", "--level", "AA-large"], 0, grey_77),
            (["--contrast", "#777777", "#FFF", "--level=AAA-large"], 1, grey_77),
            (["--contrast", "#777777", "#FFF", "--level=ui"], 0, grey_77),
            (["--contrast", "#767676", "#FFF", "--level=AAA"], 1, grey_76),
            (["--contrast", "black", "rgb(255 255 255)", "--level=aaa"], 0,
             self.report("21.00:1", True, True, True, True, True)),
            # Both colours as a deuteranope sees them: red and green become two yellows.
            (["--contrast", "#F00", "#0F0", "--vision=deutan"], 1,
             self.report("2.21:1", False, False, False, False, False)),
        ]
        for args, status, out in cases:
            with self.subTest(args=args):
                done = run(*args)
                self.assertEqual((done.returncode, done.stderr.decode()), (status, ""))
                self.assertEqual(done.stdout.decode(), out)

    def test_suggestions_darker_first_the_colour_itself_or_none(self):
        cases = [
            # One grey step darker reaches 4.5; nothing lighter than white does.
            (["#777777", "#FFF"], [], 0, ["#767676"]),
            # A pair that passes: the foreground itself.
            (["#767676", "#FFF"], [], 0, ["#767676"]),
            (["#000", "#FFF"], ["--level=AAA"], 0, ["#000000"]),
            # On mid grey, large text finds a grey on each side; 7:1 finds none.
            (["#777", "#777"], ["--level=AA-large"], 0, None),
            (["#777", "#777"], ["--level=AAA"], 1, []),
        ]
        for colours, extra, status, expected in cases:
            with self.subTest(colours=colours, extra=extra):
                done = run("--contrast", *colours, "--suggest", *extra)
                self.assertEqual((done.returncode, done.stderr.decode()), (status, ""))
                lines = done.stdout.decode().splitlines()
                if expected is None:
                    self.assertEqual(len(lines), 2)
                    darker, lighter = (int(line[1:3], 16) for line in lines)
                    self.assertLess(darker, 0x77)
                    self.assertGreater(lighter, 0x77)
                else:
                    self.assertEqual(lines, expected)

    def test_print_as_a_vision_sees_it(self):
        done = run("--print", "#FF0000", "--vision=achroma")
        self.assertEqual((done.returncode, done.stderr.decode()), (0, ""))
        self.assertEqual(done.stdout.decode().splitlines()[0], "#7F7F7F")
        # The severity changes what is printed: below 1 is another simulation than 1.
        full, half = (run("--print", "#FF0000", "--vision=" + v).stdout for v in
                      ("protan", "protan:0.5"))
        self.assertNotEqual(full, half)

    def test_unreadable_arguments_exit_2_with_one_line(self):
        cases = {
            ("--contrast", "nocolour", "#FFF"): "'nocolour' を色として読み取れません",
            ("--contrast", "#FFF", "#GG0000"): "'#GG0000' を色として読み取れません",
            ("--contrast", "#FFF", "#000", "--level=AA+"): "--level の基準として読み取れません: 'AA+'",
            ("--contrast", "#FFF", "#000", "--vision=protan:0"):
                "--vision の種類として読み取れません: 'protan:0'",
            ("--print", "red", "--vision=blue"): "--vision の種類として読み取れません: 'blue'",
        }
        for args, reason in cases.items():
            with self.subTest(args=args):
                done = run(*args)
                self.assertEqual((done.returncode, done.stdout), (2, b""))
                err = done.stderr.decode()
                self.assertTrue(err.startswith("tintora: " + reason), err)
                self.assertEqual(err.count("\n"), 1, err)

    def test_help_names_the_options(self):
        text = run("--help").stdout.decode()
        for option in ["--contrast 文字色 背景色", "--level 基準", "--suggest",
                       "--vision 種類[:程度]"]:
            self.assertIn(option, text)

    def test_output_that_cannot_be_written_is_a_failure(self):
        with open("/dev/full", "wb") as full:
            for args in (["--contrast", "#777", "#FFF"], ["--contrast", "#777", "#FFF", "--suggest"]):
                with self.subTest(args=args):
                    done = run(*args, stdout=full, stderr=subprocess.PIPE)
                    self.assertEqual(done.returncode, 2)
                    self.assertEqual(done.stderr.decode(), "tintora: 標準出力に書き込めません\n")


class QtOptionsTest(unittest.TestCase):
    """Qt's own options reach the window's application object: with a platform that does not
    exist in the environment, the window starts only when -platform names one that does."""

    def starts(self, *args):
        env = without_display(QT_QPA_PLATFORM="nosuchplatform",
                              XDG_RUNTIME_DIR=tempfile.mkdtemp(prefix="tintora-cli-"))
        env["XDG_CONFIG_HOME"] = env["XDG_RUNTIME_DIR"]
        process = subprocess.Popen([BINARY, *args], env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, cwd=env["XDG_RUNTIME_DIR"])
        try:
            process.wait(3)
            return False, process.stderr.read().decode(errors="replace")
        except subprocess.TimeoutExpired:
            return True, ""
        finally:
            if process.poll() is None:
                process.terminate()
                process.wait(10)
            process.stderr.close()

    def test_platform_option_is_passed_to_qt(self):
        self.assertEqual(self.starts()[0], False, "the environment's platform must fail")
        for args in (["-platform", "offscreen"], ["--platform", "offscreen", "#FF8000"],
                     ["-style=fusion", "-platform", "offscreen", "-reverse"]):
            with self.subTest(args=args):
                started, err = self.starts(*args)
                self.assertTrue(started, err)


if __name__ == "__main__":
    unittest.main()

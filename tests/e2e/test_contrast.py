"""The contrast window through real X11 input, read through the accessibility bus: opened with
its shortcut from the main window's colour, a pair pasted, the ratio and the levels read, a
suggestion taken, the colours swapped, and a colour picked from the screen into it; the main
window's colour stays as it was."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

# Newer AT-SPI libraries (Debian 13's) name the push button role "button".
SAME_ROLE = {"button": "push button"}
TITLE = "コントラストの確認"
PASSES = "：満たしています"
FAILS = "：満たしていません"


class ContrastWindowTest(e2e.DesktopTestCase):
    def nodes(self, program):
        return program.accessibles(TITLE)

    def node(self, program, role, prefix):
        """The one shown accessible of the role (any role: None) whose name starts with
        prefix."""
        def find():
            hits = [n for n in self.nodes(program) if role in (None, SAME_ROLE.get(n.role, n.role))
                    and (n.name or "").startswith(prefix) and n.extents[2] > 0]
            return hits[0] if len(hits) == 1 else None
        return e2e.wait_until(f"the {role} {prefix!r}", find, timeout=10, interval=0.2)

    def box_text(self, program, name):
        Atspi = self.desktop.atspi()
        node = self.node(program, "text", name)
        return Atspi.Text.get_text(node.accessible, 0, -1)

    def wait_state(self, program, ratio, levels):
        """Waits until the ratio shows and the five levels are judged as given (True passes)."""
        names = ["通常の文字の AA（", "通常の文字の AAA（", "大きな文字の AA（", "大きな文字の AAA（",
                 "UI 部品・図形（"]

        def state():
            found = {n.name for n in self.nodes(program) if n.role == "label" and n.name}
            if "コントラスト比 " + ratio not in found:
                return None
            judged = []
            for name in names:
                verdict = [f for f in found if f.startswith(name)
                           and (f.endswith(PASSES) or f.endswith(FAILS))]
                if len(verdict) != 1:
                    return None
                judged.append(verdict[0].endswith(PASSES))
            return judged == levels
        e2e.wait_until(f"the ratio {ratio} with levels {levels}", state, timeout=10, interval=0.2)

    def click(self, node):
        self.desktop.click(*node.centre())

    def paste_into(self, program, name, text):
        self.desktop.set_clipboard(text)
        self.click(self.node(program, "text", name))
        self.desktop.key("ctrl+a", "ctrl+v")

    def test_pair_suggestion_swap_and_pick(self):
        desktop = self.desktop
        program = e2e.Program(desktop, os.environ["TINTORA_BINARY"])
        program.start("#777777")
        desktop.key("ctrl+shift+c")
        window = desktop.wait_window(TITLE)
        # The main window's colour on white, the first background of a run.
        self.assertEqual(self.box_text(program, "文字色"), "#777777")
        self.assertEqual(self.box_text(program, "背景色"), "#FFFFFF")
        self.wait_state(program, "4.47:1", [False, False, True, False, True])

        # A pair pasted: #767676 on white passes AA for normal text at 4.54.
        self.paste_into(program, "文字色", "#767676")
        self.paste_into(program, "背景色", "rgb(255 255 255)")
        self.wait_state(program, "4.54:1", [True, False, True, True, True])
        self.paste_into(program, "文字色", "#777777")
        self.wait_state(program, "4.47:1", [False, False, True, False, True])

        # The nearest darker text colour that passes 7:1, taken with one click.
        self.click(self.node(program, "push button", "文字色 #595959（暗い色）"))
        self.wait_state(program, "7.00:1", [True, True, True, True, True])
        self.assertEqual(self.box_text(program, "文字色"), "#595959")

        self.click(self.node(program, "push button", "文字色と背景色を入れ替え"))
        e2e.wait_until("the swap", lambda: (self.box_text(program, "文字色"),
                                            self.box_text(program, "背景色"))
                       == ("#FFFFFF", "#595959"))
        self.wait_state(program, "7.00:1", [True, True, True, True, True])

        # The background picked from the screen: the text colour's own swatch, white.
        self.click(self.node(program, "push button", "背景色を画面から取得"))
        desktop.wait_pick_grab()
        self.click(self.node(program, None, "文字色の見本"))
        e2e.wait_until("the picked background",
                       lambda: self.box_text(program, "背景色") == "#FFFFFF")
        self.wait_state(program, "1.00:1", [False] * 5)

        # The main window shows what it showed.
        self.assertEqual(program.boxes()["Edit1"], "777777")
        desktop.xdotool("windowactivate", "--sync", window)
        desktop.key("Escape")
        desktop.window_gone(window)
        time.sleep(0.2)
        self.assertEqual(program.close_with_alt_f4(), 0, program.output())


if __name__ == "__main__":
    unittest.main()

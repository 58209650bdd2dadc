"""The program as the package installs it, run by a user who cannot write its bin folder: the
package is unpacked (dpkg-deb -x) into a temporary root, and the program started from there on a
private desktop with a home of its own. Each user keeps the user colours in their own
configuration folder and nothing appears beside the binary; the help button opens the help page
in a window of its own.

Run as root, the test unpacks the package as root and goes on as the user nobody, for whom the
unpacked tree is read-only; run as another user, it takes the write permission off the bin folder.
"""

import glob
import os
import shutil
import stat
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import tintora_e2e as e2e  # noqa: E402

NOBODY = 65534
HELP_TITLE = "Tintora ヘルプ"
ROOT = None  # the unpacked package


def unpack():
    found = glob.glob(os.path.join(os.environ["TINTORA_PACKAGE_DIR"], "tintora_*.deb"))
    if len(found) != 1:
        raise AssertionError(f"expected one package, found {found}")
    root = tempfile.mkdtemp(prefix="tintora-unpacked-")
    os.chmod(root, 0o755)
    e2e.subprocess.run(["dpkg-deb", "-x", found[0], root], check=True)
    return root


def tree(root):
    """Every path below root."""
    found = set()
    for folder, dirs, files in os.walk(root):
        for name in dirs + files:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


class InstalledProgram(e2e.Program):
    """The unpacked program, started in place with a home of its own."""

    def __init__(self, desktop, binary, config_home=None):
        self.desktop = desktop
        self.dir = os.path.dirname(binary)
        self.path = binary
        self.home = tempfile.mkdtemp(prefix="home-", dir=desktop.tmp)
        self.config_home = config_home or os.path.join(self.home, ".config")
        self.settings_path = os.path.join(self.config_home, "tintora", e2e.SETTINGS_NAME)
        self.process = None
        self.window = None


class InstalledTest(unittest.TestCase):
    # One desktop for the whole class: the accessibility library binds to the first bus it meets.
    @classmethod
    def setUpClass(cls):
        cls.desktop = e2e.Desktop().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def setUp(self):
        self.binary = os.path.join(ROOT, "usr", "bin", "tintora")
        self.assertFalse(os.access(os.path.dirname(self.binary), os.W_OK),
                         "the bin folder must not be writable for this test")
        self.before = tree(ROOT)
        self.running = len(self.desktop.processes)

    def tearDown(self):
        # A failed test may leave its program running; the next test starts without it.
        for process in self.desktop.processes[self.running:]:
            e2e._stop(process)
        del self.desktop.processes[self.running:]
        self.assertEqual(tree(ROOT), self.before, "nothing may appear in the installed tree")

    def register(self, program, name):
        """Shows the first named colour (aquamarine, 70DB93) and registers it under name."""
        program.click_text("ComboBox1")
        program.desktop.key("Down")
        program.wait_boxes({"Edit1": "70DB93"})
        program.click_text("ComboBox2")
        program.desktop.key("ctrl+a")
        program.desktop.type(name)
        program.click_control("Button4")
        e2e.wait_until("the register command to write", program.settings)

    def test_each_user_keeps_colours_in_their_own_configuration(self):
        desktop = self.desktop
        first = InstalledProgram(desktop, self.binary)
        first.start()
        self.register(first, "first")
        self.assertEqual(first.settings_bytes(),
                         b"[Usercolor]\r\nUsercolcnt=1\r\n1=70DB93first\r\n")
        self.assertEqual(os.listdir(first.dir), ["tintora"])
        self.assertEqual(first.close_with_alt_f4(), 0, first.output())

        # A second user, whose configuration folder is named by XDG_CONFIG_HOME, sees no
        # colour of the first and keeps their own.
        config = tempfile.mkdtemp(prefix="config-", dir=desktop.tmp)
        second = InstalledProgram(desktop, self.binary, config_home=config)
        desktop.env["XDG_CONFIG_HOME"] = config
        try:
            second.start()
            self.assertEqual(second.items("ComboBox2"), [])
            self.register(second, "second")
            self.assertEqual(second.close_with_alt_f4(), 0, second.output())
        finally:
            del desktop.env["XDG_CONFIG_HOME"]
        self.assertEqual(second.settings_bytes(),
                         b"[Usercolor]\r\nUsercolcnt=1\r\n1=70DB93second\r\n")
        self.assertFalse(os.path.exists(os.path.join(second.home, ".config")))

        # The first user's colour is listed at their next start.
        first.start()
        self.assertEqual(first.items("ComboBox2"), ["first"])
        self.assertEqual(first.close_with_alt_f4(), 0, first.output())

    def test_help_button_opens_the_page_window(self):
        desktop = self.desktop
        program = InstalledProgram(desktop, self.binary)
        program.start()
        program.click_at(104 + 12, 4 + 12)  # the help button
        help_window = desktop.wait_window(HELP_TITLE)

        texts = page_texts(program)
        self.assertTrue(any("よくある質問" in t for t in texts), texts[:3])
        self.assertTrue(any("何かコードいれてね" in t for t in texts))

        # The main window ends the program and the help window with it.
        self.assertEqual(program.close_with_alt_f4(), 0, program.output())
        desktop.window_gone(help_window)


def page_texts(program):
    """The texts of the help window, read through the accessibility bus."""
    Atspi = program.desktop.atspi()
    app = program.accessible_app()

    def find():
        found = []

        def walk(node, depth):
            if node is None or depth > 10:
                return
            if "Text" in node.get_interfaces():
                found.append(Atspi.Text.get_text(node, 0, -1))
            for i in range(node.get_child_count()):
                walk(node.get_child_at_index(i), depth + 1)

        for i in range(app.get_child_count()):
            top = app.get_child_at_index(i)
            if top is not None and top.get_name() == HELP_TITLE:
                walk(top, 0)
        return [t for t in found if t]

    return e2e.wait_until("the help page's text", find, timeout=15, interval=0.3)


def run_tests():
    result = unittest.main(exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


def main():
    global ROOT
    ROOT = unpack()
    try:
        if os.geteuid() == 0:
            # The unpacked tree stays root's; the tests run in a child that goes on as nobody,
            # and root removes the tree afterwards.
            # The desktop's window manager reads its configuration as nobody too, so it gets a copy
            # outside the source tree, which may lie in a folder that only root can enter.
            shared = tempfile.mkdtemp(prefix="tintora-e2e-config-")
            os.chmod(shared, 0o755)
            shutil.copy(os.path.join(e2e.HERE, "openbox-rc.xml"), shared)
            os.chmod(os.path.join(shared, "openbox-rc.xml"), 0o644)
            e2e.HERE = shared
            pid = os.fork()
            if pid == 0:
                code = 1
                try:
                    os.setgroups([])
                    os.setgid(NOBODY)
                    os.setuid(NOBODY)
                    os.chdir(tempfile.gettempdir())
                    os.environ["HOME"] = tempfile.gettempdir()
                    code = run_tests()
                finally:
                    sys.stdout.flush()
                    sys.stderr.flush()
                    os._exit(code)
            code = os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1])
            shutil.rmtree(shared, ignore_errors=True)
        else:
            bin_dir = os.path.join(ROOT, "usr", "bin")
            os.chmod(bin_dir, stat.S_IRUSR | stat.S_IXUSR | stat.S_IRGRP | stat.S_IXGRP
                     | stat.S_IROTH | stat.S_IXOTH)
            try:
                code = run_tests()
            finally:
                os.chmod(bin_dir, 0o755)
    finally:
        shutil.rmtree(ROOT, ignore_errors=True)
    sys.exit(code)


if __name__ == "__main__":
    main()

"""Drives the built program on a private desktop: an X server of its own (Xvfb), a small window
manager (for Alt+F4 and activation), a session bus with the accessibility bus, real input through
XTEST (xdotool), screenshots for pixels, and AT-SPI for what the controls hold.

Everything started here is stopped again when the `Desktop` context ends, whatever happened.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

HERE = os.path.dirname(os.path.abspath(__file__))
WINDOW_TITLE = "Tintora Ver 1.1"
SETTINGS_NAME = "Tintora.ini"
START_TIMEOUT = 30.0  # the window must be up by then, even on a busy two-core machine
EXIT_TIMEOUT = 10.0

# Where the controls lie in the window's client area: left, top, width, height.
LAYOUT = {
    "Shape1": (8, 40, 65, 73),
    "SpeedButton4": (72, 4, 25, 25),
    "Button1": (208, 40, 89, 25),
    "Edit1": (120, 40, 73, 23),
    "Button2": (208, 88, 89, 25),
    "Edit2": (80, 88, 35, 23),
    "Edit3": (120, 88, 35, 23),
    "Edit4": (160, 88, 35, 23),
    "Button3": (224, 128, 57, 25),
    "ComboBox1": (8, 128, 145, 23),
    "ComboBox2": (8, 160, 145, 23),
    "Button4": (224, 160, 57, 25),
    "Button5": (168, 160, 41, 25),
}
BOXES = ("Edit1", "Edit2", "Edit3", "Edit4", "ComboBox1", "ComboBox2")


def centre(name):
    left, top, width, height = LAYOUT[name]
    return left + width // 2, top + height // 2


def text_point(name):
    """A client point inside the text field of an edit box or a drop-down."""
    left, top, _, height = LAYOUT[name]
    return left + 12, top + height // 2


# A session bus as dbus-daemon's own session configuration makes it, without its service folders.
SESSION_BUS_WITHOUT_SERVICES = """<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:tmpdir={folder}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class E2EError(AssertionError):
    pass


def _debian_release():
    try:
        with open("/etc/debian_version") as version:
            return version.read().strip()
    except OSError:
        return ""


# Cases with an open fault on Debian 13 alone are skipped there, saying so.
DEBIAN_13 = _debian_release().startswith(("13", "trixie"))


def wait_until(what, probe, timeout=10.0, interval=0.05):
    """Polls probe() until it returns a true value, and returns that value."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = probe()
        except Exception as error:  # a probe may race the program; keep trying until the deadline
            last = error
        else:
            if last:
                return last
        if time.monotonic() > deadline:
            raise E2EError(f"timed out after {timeout:.0f} s waiting for {what} (last: {last!r})")
        time.sleep(interval)


def _stop(process, grace=3.0):
    """Stops a process we started, and the process group it leads."""
    if process is None or process.poll() is not None:
        return
    try:
        os.killpg(process.pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()


class Session:
    """Private folders and a session bus with the accessibility bus, on which the program runs;
    a display is added by the subclasses. Everything started here is stopped again when the
    context ends, whatever happened."""

    def __init__(self):
        self.processes = []
        self.tmp = None
        self.env = None
        self._atspi = None
        self._logs = []

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, kind, value, traceback):
        if kind is not None:
            self._report()
        self.close()
        return False

    def _report(self):
        """On a failure: what the helpers and the program printed."""
        for name in ("desktop.log", "program.log"):
            path = os.path.join(self.tmp, name)
            if os.path.exists(path):
                with open(path, "rb") as f:
                    print(name + ":", f.read().decode(errors="replace")[-4000:], file=sys.stderr)

    def close(self):
        for process in reversed(self.processes):
            _stop(process)
            for stream in (process.stdout, process.stderr):
                if stream is not None:
                    stream.close()
        self.processes.clear()
        for log in self._logs:
            log.close()
        self._logs.clear()
        if self.tmp is not None:
            shutil.rmtree(self.tmp, ignore_errors=True)
            self.tmp = None

    def _spawn(self, args, **kwargs):
        kwargs.setdefault("stdout", self._log)
        kwargs.setdefault("stderr", self._log)
        process = subprocess.Popen(args, env=self.env, start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def _make_folders(self):
        self.tmp = tempfile.mkdtemp(prefix="tintora-e2e-")
        self._log = open(os.path.join(self.tmp, "desktop.log"), "wb")
        self._logs.append(self._log)
        runtime = os.path.join(self.tmp, "runtime")
        helpers_home = os.path.join(self.tmp, "helpers-home")
        os.mkdir(runtime, 0o700)
        os.mkdir(helpers_home)
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": helpers_home,
            "XDG_RUNTIME_DIR": runtime,
            "LANG": "C.UTF-8",
        }

    def _start_buses(self, activation=True):
        """Session bus, then the accessibility bus it hands out (its registry starts on demand).
        activation=False: a session bus that starts no installed service on demand, so that a
        desktop portal installed on the machine cannot come up where a test wants none."""
        config = ["--session"]
        if not activation:
            path = os.path.join(self.tmp, "session-bus.conf")
            with open(path, "w") as f:
                f.write(SESSION_BUS_WITHOUT_SERVICES.format(folder=self.tmp))
            config = ["--config-file=" + path]
        bus = self._spawn(["dbus-daemon", *config, "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE)
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise E2EError("dbus-daemon printed no address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        wait_until("the accessibility bus", lambda: subprocess.run(
            ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
             "org.a11y.Bus.GetAddress"], env=self.env, capture_output=True).returncode == 0,
            timeout=15)

    def _start_x_server(self):
        """Starts Xvfb on a free display and sets DISPLAY."""
        # -displayfd picks a free display number and reports it once it is ready.
        read_end, write_end = os.pipe()
        self._spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                     "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n"):
            if not select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))[0]:
                raise E2EError("Xvfb did not report a display")
            chunk = os.read(read_end, 16)
            if not chunk:
                raise E2EError("Xvfb ended before reporting a display")
            number += chunk
        os.close(read_end)
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def atspi(self):
        """The Atspi module, set up for this session's buses (one session per process: the
        library keeps to the first bus it meets)."""
        if self._atspi is None:
            os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.env["DBUS_SESSION_BUS_ADDRESS"]
            if "DISPLAY" in self.env:
                os.environ["DISPLAY"] = self.env["DISPLAY"]
            else:
                os.environ.pop("DISPLAY", None)
            with warnings.catch_warnings():  # gi's importer predates exec_module
                warnings.simplefilter("ignore", ImportWarning)
                import gi
                gi.require_version("Atspi", "2.0")
                from gi.repository import Atspi
            Atspi.init()
            self._atspi = Atspi
        return self._atspi

    def accessible_app(self, process):
        """The accessible application of a program we started."""
        Atspi = self.atspi()

        def find():
            if process.poll() is not None:
                raise E2EError(f"the program ended with status {process.returncode}")
            desktop = Atspi.get_desktop(0)
            # One process may register several applications: Qt's GTK platform theme (installed
            # with Qt wherever recommended packages are) adds an empty one of GTK's. The
            # program's own is the one that holds its windows.
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if (app is not None and app.get_process_id() == process.pid
                        and app.get_child_count() > 0):
                    return app
            return None

        return wait_until("the program on the accessibility bus", find, timeout=30, interval=0.2)


class Desktop(Session):
    """A private X server with a window manager, a session bus and the accessibility bus."""

    def _report(self):
        """On a failure: which windows were open, and what the program printed."""
        try:
            ids = self.run(["xdotool", "search", "--onlyvisible", "--name", ""], check=False)
            names = [self.run(["xdotool", "getwindowname", i], check=False).strip()
                     for i in ids.split()]
            print("open windows:", [n for n in names if n], file=sys.stderr)
            if self._atspi is not None:
                print("dialog texts:", self.dialog_texts(), file=sys.stderr)
            path = os.path.join(self.tmp, "program.log")
            if os.path.exists(path):
                with open(path, "rb") as f:
                    print("program output:", f.read().decode(errors="replace"), file=sys.stderr)
        except Exception as error:
            print("no report:", error, file=sys.stderr)

    def wait_window(self, title, timeout=10.0):
        """Waits for a shown window of the exact title, activates it and returns its id."""
        pattern = "^" + re.escape(title) + "$"
        found = wait_until(f'the window "{title}"', lambda: self.run(
            ["xdotool", "search", "--onlyvisible", "--name", pattern], check=False).split(),
            timeout=timeout)
        self.xdotool("windowactivate", "--sync", found[0])
        return found[0]

    def window_gone(self, window, timeout=10.0):
        wait_until(f"window {window} to close", lambda: self.run(
            ["xwininfo", "-id", window], check=False).find("IsViewable") < 0, timeout=timeout)

    def dialog_texts(self):
        """Names of what the program's other top-level windows (its boxes) show."""
        texts = []

        def walk(node, depth):
            if node is None or depth > 8:
                return
            if node.get_name():
                texts.append(node.get_name())
            for i in range(node.get_child_count()):
                walk(node.get_child_at_index(i), depth + 1)

        desktop = self._atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            for j in range(app.get_child_count() if app is not None else 0):
                top = app.get_child_at_index(j)
                if top is not None and top.get_name() != WINDOW_TITLE:
                    walk(top, 0)
        return texts

    def _start(self):
        self._make_folders()
        self._start_x_server()

        # The accessibility bus launcher publishes its address on the X server: it comes second.
        self._start_buses()

        self._spawn(["openbox", "--sm-disable", "--config-file",
                     os.path.join(HERE, "openbox-rc.xml")])
        wait_until("the window manager", lambda: "window id" in self.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False), timeout=15)

    # -- tools ------------------------------------------------------------------------------

    def run(self, args, check=True, timeout=20):
        done = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout)
        if check and done.returncode != 0:
            raise E2EError(f"{args[0]} failed ({done.returncode}): {done.stderr.decode()}")
        return done.stdout.decode(errors="replace")

    def xdotool(self, *args):
        return self.run(["xdotool", *args])

    def click(self, x, y, count=1):
        """Moves the pointer to screen point (x, y) and clicks the left button there."""
        self.xdotool("mousemove", "--sync", str(x), str(y))
        self.xdotool("click", "--repeat", str(count), "--delay", "60", "1")

    def key(self, *keys):
        self.xdotool("key", "--delay", "40", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "40", text)

    def set_clipboard(self, text):
        """Puts text on the clipboard, owned by an xclip that lives until another owner takes it
        over or the desktop ends."""
        owner = self._spawn(["xclip", "-quiet", "-selection", "clipboard", "-in"],
                            stdin=subprocess.PIPE)
        owner.stdin.write(text.encode())
        owner.stdin.close()
        wait_until("xclip to own the clipboard", lambda: self.clipboard() == text, timeout=10)

    def clipboard(self):
        """The clipboard's text as its owner gives it; None when it holds none."""
        done = subprocess.run(["xclip", "-out", "-selection", "clipboard"], env=self.env,
                              capture_output=True, timeout=20)
        return done.stdout.decode(errors="replace") if done.returncode == 0 else None

    def wait_pick_grab(self):
        """Waits until the program's picking view is over the screen (its grab follows at once),
        and a little more."""
        wait_until("the picking view", lambda: self.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^色の取得$"], check=False).split(),
            timeout=10)
        time.sleep(0.3)

    def screenshot(self):
        """The whole screen as a Screenshot (RGB pixels)."""
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                              env=self.env, capture_output=True, timeout=20, check=True).stdout
        return Screenshot(data)

    # -- accessibility ------------------------------------------------------------------------


class DesktopTestCase(unittest.TestCase):
    """Tests that share one desktop: the accessibility library binds to the first bus it meets,
    so a process has one. Whatever a test started (a program, a clipboard owner) is stopped after
    it, also when it failed."""

    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop().__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.close()

    def setUp(self):
        self.running = len(self.desktop.processes)

    def tearDown(self):
        for process in self.desktop.processes[self.running:]:
            _stop(process)
        del self.desktop.processes[self.running:]


class Screenshot:
    def __init__(self, ppm):
        # Binary PPM: "P6", width, height, maxval, one whitespace byte, then RGB triples.
        fields, pos = [], 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            if ppm[pos:pos + 1] == b"#":
                pos = ppm.index(b"\n", pos)
                continue
            start = pos
            while not ppm[pos:pos + 1].isspace():
                pos += 1
            fields.append(ppm[start:pos])
        if fields[0] != b"P6" or fields[3] != b"255":
            raise E2EError(f"unexpected screenshot format {fields!r}")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[pos + 1:]

    def pixel(self, x, y):
        offset = (y * self.width + x) * 3
        return tuple(self.pixels[offset:offset + 3])


class Program:
    """One copy of the built program in a directory of its own, and its runs."""

    def __init__(self, desktop, binary, settings=None, folder=None):
        """folder: a path below the new directory to put the program in instead (made as needed;
        a byte that is not UTF-8 goes in as os.fsdecode gives it)."""
        self.desktop = desktop
        self.dir = tempfile.mkdtemp(prefix="app-", dir=desktop.tmp)
        if folder is not None:
            self.dir = os.path.join(self.dir, folder)
            os.makedirs(self.dir)
        self.home = tempfile.mkdtemp(prefix="home-", dir=desktop.tmp)
        self.path = os.path.join(self.dir, "tintora")
        shutil.copy2(binary, self.path)
        self.settings_path = os.path.join(self.dir, SETTINGS_NAME)
        if settings is not None:
            with open(self.settings_path, "wb") as f:
                f.write(settings)
        self.process = None
        self.window = None

    def settings(self):
        """The settings file's bytes and modification time, or None when there is none."""
        try:
            with open(self.settings_path, "rb") as f:
                return f.read(), os.stat(self.settings_path).st_mtime_ns
        except FileNotFoundError:
            return None

    def settings_bytes(self):
        state = self.settings()
        return None if state is None else state[0]

    def launch(self, platform="xcb", *arguments, **env):
        """Starts the program from another directory than its own, on the Qt platform given,
        with the arguments given and its accessibility published."""
        env = dict(self.desktop.env, HOME=self.home, QT_QPA_PLATFORM=platform,
                   QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", **env)
        log = open(os.path.join(self.desktop.tmp, "program.log"), "ab")
        self.desktop._logs.append(log)
        self.process = subprocess.Popen([self.path, *arguments], cwd=self.home, env=env,
                                        stdout=log, stderr=log,
                                        start_new_session=True)
        self.desktop.processes.append(self.process)
        return self.process

    def start(self, *args):
        """Starts the program with args on the X server and waits for its window."""
        self.launch("xcb", *args)

        def find():
            if self.process.poll() is not None:
                raise E2EError(f"the program ended at start with status {self.process.returncode}")
            found = self.desktop.run(["xdotool", "search", "--onlyvisible", "--name",
                                      "^" + re.escape(WINDOW_TITLE) + "$"],
                                     check=False).split()
            return found[0] if found else None

        self.window = wait_until(f'the window "{WINDOW_TITLE}"', find, timeout=START_TIMEOUT,
                                 interval=0.1)
        self.desktop.xdotool("windowactivate", "--sync", self.window)
        return self.window

    def output(self):
        with open(os.path.join(self.desktop.tmp, "program.log"), "rb") as f:
            return f.read().decode(errors="replace")

    def wait_exit(self, timeout=EXIT_TIMEOUT):
        """Waits for the program to end; returns its exit status."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EError(f"the program did not end within {timeout:.0f} s") from None

    def close_with_alt_f4(self):
        self.desktop.xdotool("windowactivate", "--sync", self.window)
        self.desktop.key("alt+F4")
        return self.wait_exit()

    # -- geometry -----------------------------------------------------------------------------

    def client_geometry(self, window=None):
        """(x, y, width, height) of the window's client area on the screen."""
        info = self.desktop.run(["xwininfo", "-id", window or self.window])
        values = {}
        for line in info.splitlines():
            name, _, value = line.strip().partition(":")
            values[name] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def frame_geometry(self):
        """(x, y, width, height) of the window with the frame the window manager put round it."""
        x, y, width, height = self.client_geometry()
        extents = self.desktop.run(["xprop", "-id", self.window, "_NET_FRAME_EXTENTS"])
        _, _, numbers = extents.partition("=")
        left, right, top, bottom = (int(n) for n in numbers.split(",")) if numbers else (0,) * 4
        return x - left, y - top, width + left + right, height + top + bottom

    def to_screen(self, x, y):
        """Screen point of client point (x, y)."""
        left, top, _, _ = self.client_geometry()
        return left + x, top + y

    def click_at(self, x, y, count=1):
        """Clicks client point (x, y) of the window."""
        self.desktop.click(*self.to_screen(x, y), count=count)

    def pixel(self, x, y, shot=None):
        """The colour of client point (x, y) as (r, g, b)."""
        shot = shot or self.desktop.screenshot()
        return shot.pixel(*self.to_screen(x, y))

    # -- accessibility ------------------------------------------------------------------------

    def accessible_app(self):
        return self.desktop.accessible_app(self.process)

    def accessibles(self, title=WINDOW_TITLE):
        """Every accessible of the program's window of that title (the main window unless told)
        with its role name and screen extents."""
        Atspi = self.desktop.atspi()
        app = self.accessible_app()
        found = []

        def walk(node, depth):
            if node is None or depth > 12:
                return
            try:
                extents = node.get_extents(Atspi.CoordType.SCREEN)
                found.append(Node(node, node.get_role_name(), node.get_name(),
                                  (extents.x, extents.y, extents.width, extents.height)))
            except Exception:
                pass
            for i in range(node.get_child_count()):
                walk(node.get_child_at_index(i), depth + 1)

        for i in range(app.get_child_count()):
            top = app.get_child_at_index(i)
            if top is not None and top.get_name() == title:
                walk(top, 0)
        return found

    def control_at(self, role, x, y):
        """The accessible of the given role whose area holds client point (x, y)."""
        sx, sy = self.to_screen(x, y)

        def find():
            hits = [n for n in self.accessibles() if n.role == role and n.holds(sx, sy)]
            # The innermost (smallest) one is the control itself.
            return min(hits, key=lambda n: n.extents[2] * n.extents[3]) if hits else None

        return wait_until(f"a {role} at {x},{y}", find, timeout=10, interval=0.2)

    def click_control(self, name, count=1):
        self.click_at(*centre(name), count=count)

    def click_text(self, name, count=1):
        """Clicks into the text field of an edit box or a drop-down."""
        self.click_at(*text_point(name), count=count)

    def boxes(self):
        """The texts of the edit boxes and of the drop-downs' text fields, by control name."""
        return {name: self.text_at(*text_point(name)) for name in BOXES}

    def wait_boxes(self, expected, timeout=10.0):
        """Waits until the boxes hold the expected texts; returns what they hold at the end."""
        try:
            return wait_until("the expected texts", lambda: self._matching_boxes(expected),
                              timeout=timeout)
        except E2EError:
            return self.boxes()

    def _matching_boxes(self, expected):
        boxes = self.boxes()
        return boxes if all(boxes[k] == v for k, v in expected.items()) else None

    def items(self, name):
        """The entry texts of a drop-down, in order."""
        combo = self.control_at("combo box", *text_point(name))
        for i in range(combo.accessible.get_child_count()):
            child = combo.accessible.get_child_at_index(i)
            if child is not None and child.get_role_name() == "list":
                return [child.get_child_at_index(j).get_name()
                        for j in range(child.get_child_count())]
        return []

    def item_node(self, name, text):
        """The accessible of the drop-down entry showing text (its extents once the list opens)."""
        Atspi = self.desktop.atspi()
        combo = self.control_at("combo box", *text_point(name))

        def find():
            for i in range(combo.accessible.get_child_count()):
                child = combo.accessible.get_child_at_index(i)
                if child is None or child.get_role_name() != "list":
                    continue
                for j in range(child.get_child_count()):
                    item = child.get_child_at_index(j)
                    if item.get_name() != text:
                        continue
                    e = item.get_extents(Atspi.CoordType.SCREEN)
                    if e.width > 0 and e.height > 0:
                        return Node(item, "list item", text, (e.x, e.y, e.width, e.height))
            return None

        return wait_until(f"the shown entry {text!r} of {name}", find, timeout=10, interval=0.1)

    def shown_windows(self):
        """Ids of the program's shown X windows, its popup menus included (which the accessibility
        bus does not list)."""
        return set(self.desktop.run(["xdotool", "search", "--onlyvisible", "--pid",
                                     str(self.process.pid)], check=False).split())

    def open_menu(self, name):
        """Opens the context menu of a control with the right button; returns the menu's window
        id once it is shown."""
        before = self.shown_windows()
        left, top, width, height = LAYOUT[name]
        x, y = self.to_screen(left + width // 2, top + height // 2)
        # A synchronous move waits for the pointer to move: it must not be there already.
        self.desktop.xdotool("mousemove", "--sync", str(x + 1), str(y))
        self.desktop.xdotool("mousemove", "--sync", str(x), str(y))
        self.desktop.xdotool("click", "3")
        return wait_until(f"the context menu of {name}",
                          lambda: sorted(self.shown_windows() - before), timeout=10)[0]

    def choose_menu_entry(self, menu, index):
        """Chooses entry index (from 0; -1 for the last) of the open menu with the keyboard, and
        waits for the menu to close."""
        # The menu takes the keyboard only after it is shown, and no other X client can see when:
        # a key pressed before then would go to the window below.
        time.sleep(0.5)
        keys = ["Up"] if index < 0 else ["Down"] * (index + 1)
        self.desktop.key(*keys, "Return")
        self.desktop.window_gone(menu)

    def text_at(self, x, y):
        """The text of the edit field whose area holds client point (x, y)."""
        Atspi = self.desktop.atspi()
        node = self.control_at("text", x, y)
        return Atspi.Text.get_text(node.accessible, 0, -1)


class Node:
    def __init__(self, accessible, role, name, extents):
        self.accessible, self.role, self.name, self.extents = accessible, role, name, extents

    def holds(self, x, y):
        left, top, width, height = self.extents
        return left <= x < left + width and top <= y < top + height

    def centre(self):
        left, top, width, height = self.extents
        return left + width // 2, top + height // 2

    def __repr__(self):
        return f"<{self.role} {self.name!r} {self.extents}>"

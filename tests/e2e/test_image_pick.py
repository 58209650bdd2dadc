"""Picking from an image file with --pick-from on X11: files of each format made here, the view
in a window of its own taking its centre with Enter, the arrow keys moving the point one pixel
(ten with Shift, held at the image's edge), Escape cancelling, and files that cannot be opened
refused at once with one line, without a display."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tintora_e2e as e2e  # noqa: E402

BINARY = os.environ["TINTORA_BINARY"]
MAKE_TAGGED_IMAGE = os.environ["TINTORA_MAKE_TAGGED_IMAGE"]
TITLE = "画像から色を取得"


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(width, height, rows, depth=8):
    """A PNG of RGB rows (bytes each, already at the depth given)."""
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, 2, 0, 0, 0))
            + png_chunk(b"IDAT", zlib.compress(raw)) + png_chunk(b"IEND", b""))


def gradient_png():
    """16×16 pixels, each its own colour: red 16 × x, green 16 × y, blue 7."""
    return png(16, 16, [bytes(c for x in range(16) for c in (16 * x, 16 * y, 7))
                        for y in range(16)])


class ImagePickTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="tintora-e2e-images-")
        cls.desktop = e2e.Desktop().__enter__()
        cls.env = dict(cls.desktop.env, QT_QPA_PLATFORM="xcb",
                       XDG_STATE_HOME=os.path.join(cls.dir, "state"))

    @classmethod
    def tearDownClass(cls):
        cls.desktop.__exit__(None, None, None)
        shutil.rmtree(cls.dir, ignore_errors=True)

    def file(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def convert(self, name, *arguments):
        """An image made by ImageMagick."""
        path = os.path.join(self.dir, name)
        subprocess.run(["convert", *arguments, path], check=True, capture_output=True)
        return path

    def pick(self, path, *keys):
        """Runs --pick-from on path, presses keys in its window; (status, output, errors)."""
        picking = subprocess.Popen([BINARY, "--pick-from", path], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            window = self.desktop.wait_window(TITLE)
            self.desktop.xdotool("windowfocus", "--sync", window)
            self.desktop.key(*keys)
            output, errors = picking.communicate(timeout=15)
        finally:
            picking.kill()
            picking.wait()
        return picking.returncode, output, errors

    def test_each_format_gives_its_colour(self):
        flat = ["-size", "24x16", "xc:#3366CC"]
        cases = {
            "png": (self.convert("flat.png", *flat), "#3366CC"),
            "jpeg": (self.convert("flat.jpg", "-quality", "100", *flat), None),
            "webp": (self.convert("flat.webp", "-define", "webp:lossless=true", *flat),
                     "#3366CC"),
            "gif": (self.convert("flat.gif", *flat), "#3366CC"),
            "bmp": (self.convert("flat.bmp", *flat), "#3366CC"),
            "tiff": (self.convert("flat.tiff", *flat), "#3366CC"),
            # 0x3333/0x6666/0xCCCC at 16 bits are exactly the 8-bit 33/66/CC.
            "16-bit png": (self.file("deep.png", png(4, 4, [b"\x33\x33\x66\x66\xcc\xcc" * 4] * 4,
                                                   depth=16)), "#3366CC"),
        }
        for kind, (path, expected) in cases.items():
            with self.subTest(kind):
                if kind == "webp" and e2e.DEBIAN_13:
                    # Open fault: on Debian 13 (Qt 6.8) a WebP file opened by its path is refused
                    # as damaged, while the same plugin reads WebP data (the loader's unit test).
                    self.skipTest("WebP files by path are refused with Qt 6.8: open fault")
                status, output, errors = self.pick(path, "Return")
                self.assertEqual((status, errors), (0, b""))
                code = output.decode().strip()
                if expected is None:  # lossy: within a step or two of each component
                    got = bytes.fromhex(code[1:])
                    self.assertTrue(all(abs(a - b) <= 3 for a, b in zip(got, b"\x33\x66\xcc")),
                                    code)
                else:
                    self.assertEqual(output, expected.encode() + b"\n")

    def test_profiles_give_the_colour_meant(self):
        """sRGB red as the wider spaces write it (published values), in 16-bit PNGs with the
        space's profile: the colour printed is sRGB red, not the file's numbers."""
        cases = {
            "display-p3": ((0.9175, 0.2003, 0.1386), "#FF0000"),
            "a98-rgb": ((0.8594, 0, 0), "#FF0000"),
            # The same white and, for a grey, the same numbers through any curve.
            "prophoto-rgb": ((1, 1, 1), "#FFFFFF"),
        }
        for space, (components, expected) in cases.items():
            with self.subTest(space):
                path = os.path.join(self.dir, space + ".png")
                subprocess.run([MAKE_TAGGED_IMAGE, path, space,
                                *(str(round(c * 65535)) for c in components)], check=True)
                self.assertEqual(self.pick(path, "Return"), (0, expected.encode() + b"\n", b""))

    def test_keys_move_the_point_and_escape_cancels(self):
        path = self.file("gradient.png", gradient_png())
        # The point starts at the centre pixel (7, 7).
        cases = {
            "centre": ((), (112, 112)),
            "right, right, up": (("Right", "Right", "Up"), (144, 96)),
            "left, down": (("Left", "Down"), (96, 128)),
            "shift+right is held at the edge": (("shift+Right",), (240, 112)),
            "shift+up twice is held at the edge": (("shift+Up", "shift+Up"), (112, 0)),
            "shift+left then right": (("shift+Left", "Right"), (16, 112)),
        }
        for case, (keys, (red, green)) in cases.items():
            with self.subTest(case):
                status, output, errors = self.pick(path, *keys, "Return")
                self.assertEqual((status, output, errors),
                                 (0, f"#{red:02X}{green:02X}07\n".encode(), b""))
        self.assertEqual(self.pick(path, "Escape"), (1, b"", b""))
        # What was taken is remembered, newest first, each once.
        history = subprocess.run([BINARY, "--history"], env=self.env, capture_output=True)
        self.assertEqual(history.returncode, 0)
        self.assertEqual(history.stdout.split(b"\n")[:2], [b"#107007", b"#700007"])

    def test_files_that_cannot_be_opened_are_refused_at_once(self):
        whole = gradient_png()
        huge = bytearray(whole)
        huge[16:24] = struct.pack(">II", 100000, 100000)
        huge[29:33] = struct.pack(">I", zlib.crc32(bytes(huge[12:29])))
        cases = {
            "missing": os.path.join(self.dir, "missing.png"),
            "truncated": self.file("truncated.png", whole[:len(whole) // 2]),
            "huge": self.file("huge.png", bytes(huge)),
            "no image": self.file("colour.png", b"#FF8000\n"),
            "a folder": self.dir,
        }
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for case, path in cases.items():
            with self.subTest(case):
                done = subprocess.run([BINARY, "--pick-from", path], env=env,
                                      capture_output=True, timeout=10)
                self.assertEqual((done.returncode, done.stdout), (2, b""))
                self.assertRegex(done.stderr.decode(),
                                 r"\Atintora: " + path.replace(".", r"\.") + r": [^\n]+\n\Z")


if __name__ == "__main__":
    unittest.main()

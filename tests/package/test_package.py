"""The Debian package that cpack made from this build: what it holds, what it depends on, what
lintian, appstreamcli and desktop-file-validate say of it; and that another user can install from
this build tree without writing into it."""

import glob
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

PACKAGE_DIR = os.environ["TINTORA_PACKAGE_DIR"]
BUILD_DIR = os.environ["TINTORA_BUILD_DIR"]
CMAKE = os.environ.get("TINTORA_CMAKE", "cmake")
VERSION = os.environ["TINTORA_VERSION"]  # the project's, as CMake has it
NOBODY = 65534
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, timeout=240, **kwargs)


def the_package():
    found = glob.glob(os.path.join(PACKAGE_DIR, "tintora_*.deb"))
    if len(found) != 1:
        raise AssertionError(f"expected one package in {PACKAGE_DIR}, found {found}")
    return found[0]


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        raise AssertionError(f"{path} is no PNG")
    return struct.unpack(">II", head[16:24])


class PackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.deb = the_package()
        cls.root = tempfile.mkdtemp(prefix="tintora-deb-")
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, ignore_errors=True)

    def field(self, name):
        return run(["dpkg-deb", "-f", self.deb, name]).stdout.strip()

    def test_name_version_and_architecture(self):
        arch = run(["dpkg", "--print-architecture"]).stdout.strip()
        self.assertEqual(os.path.basename(self.deb), f"tintora_{VERSION}-1_{arch}.deb")
        self.assertEqual(self.field("Package"), "tintora")
        self.assertEqual(self.field("Version"), VERSION + "-1")

    def shlib_depends(self):
        """The library packages dpkg-shlibdeps finds for the packaged binary on this release (their
        names differ between releases: libqt6core6 on Debian 12, libqt6core6t64 on 13)."""
        with tempfile.TemporaryDirectory() as work:
            os.mkdir(os.path.join(work, "debian"))
            with open(os.path.join(work, "debian", "control"), "w") as f:
                f.write("Source: tintora\n\nPackage: tintora\nArchitecture: any\n")
            found = run(["dpkg-shlibdeps", "-O", os.path.join(self.root, "usr/bin/tintora")],
                        cwd=work)
        self.assertEqual(found.returncode, 0, found.stderr)
        line = found.stdout.strip()
        self.assertTrue(line.startswith("shlibs:Depends="), line)
        return [d.strip().split(" ")[0] for d in line.split("=", 1)[1].split(",")]

    def test_depends_on_libraries_and_what_is_loaded_at_run_time(self):
        depends = [d.strip().split(" ")[0] for d in self.field("Depends").split(",")]
        libraries = self.shlib_depends()
        for prefix in ("libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6"):
            self.assertTrue(any(d.startswith(prefix) for d in libraries), (prefix, libraries))
        for needed in libraries + ["qt6-qpa-plugins", "qt6-translations-l10n",
                                   "fonts-ipafont-gothic"]:
            self.assertIn(needed, depends)

    def test_holds_the_files_of_an_installed_program(self):
        usr = os.path.join(self.root, "usr")
        for path in ("bin/tintora", "share/applications/tintora.desktop",
                     "share/metainfo/org.tintora.Tintora.metainfo.xml",
                     "share/icons/hicolor/scalable/apps/tintora.svg",
                     "share/man/man1/tintora.1.gz", "share/doc/tintora/copyright",
                     "share/doc/tintora/changelog.Debian.gz", "share/tintora/help.html",
                     "share/tintora/details.html", "share/tintora/colours.html",
                     "share/tintora/window.png", "share/tintora/help.css",
                     "share/tintora/installed"):
            self.assertTrue(os.path.isfile(os.path.join(usr, path)), path)
        for size in ICON_SIZES:
            icon = os.path.join(usr, f"share/icons/hicolor/{size}x{size}/apps/tintora.png")
            self.assertEqual(png_size(icon), (size, size), icon)
        with open(os.path.join(usr, "share/doc/tintora/copyright")) as f:
            copyright = f.read()
        self.assertIn("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/",
                      copyright)
        self.assertIn("License: Expat", copyright)
        self.assertIn("The Tintora developers", copyright)

    def test_names_no_address_in_a_domain_that_may_belong_to_someone(self):
        # The project owns no domain: the maintainer address lies under .invalid, reserved never to
        # exist, and no other web or mail address appears beyond the format the copyright names.
        self.assertEqual(self.field("Homepage"), "")
        self.assertRegex(self.field("Maintainer"), r"<[^@>]+@[^>]+\.invalid>$")
        texts = {"control": run(["dpkg-deb", "-f", self.deb]).stdout}
        usr = os.path.join(self.root, "usr")
        for path in glob.glob(os.path.join(usr, "share/**/*"), recursive=True):
            if path.endswith((".desktop", ".xml", ".html", "copyright")):
                with open(path, encoding="utf-8") as f:
                    texts[path] = f.read()
            elif path.endswith(".gz"):
                with gzip.open(path, "rt", encoding="utf-8") as f:
                    texts[path] = f.read()
        allowed = {"www.debian.org"}
        for where, text in texts.items():
            for host in re.findall(r"(?:https?://|[\w.+-]@)([\w-]+(?:\.[\w-]+)+)", text):
                self.assertTrue(host in allowed or host.endswith(".invalid"), f"{where}: {host}")

    def test_help_page_names_the_version(self):
        with open(os.path.join(self.root, "usr/share/tintora/help.html"), encoding="utf-8") as f:
            page = f.read()
        self.assertIn(VERSION, page)
        self.assertNotIn("@PROJECT_VERSION@", page)

    def test_binary_is_stripped(self):
        sections = run(["readelf", "-S", "-W", os.path.join(self.root, "usr/bin/tintora")]).stdout
        self.assertNotIn(".symtab", sections)
        self.assertNotIn(".debug_info", sections)

    def test_lintian_finds_no_error(self):
        done = run(["lintian", "--fail-on", "error", "--no-tag-display-limit", self.deb])
        print(done.stdout, done.stderr, file=sys.stderr)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertNotIn("\nE: ", "\n" + done.stdout)

    def test_metainfo_and_desktop_entry_are_valid(self):
        metainfo = os.path.join(self.root, "usr/share/metainfo/org.tintora.Tintora.metainfo.xml")
        # The project has no web site, so the metainfo names no home page: newer AppStream
        # validators warn of that, and only of that, which is then taken as a note.
        done = run(["appstreamcli", "validate", "--no-net", metainfo])
        if done.returncode != 0 and "url-homepage-missing" in done.stdout:
            done = run(["appstreamcli", "validate", "--no-net",
                        "--override=url-homepage-missing=info", metainfo])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        desktop = os.path.join(self.root, "usr/share/applications/tintora.desktop")
        done = run(["desktop-file-validate", desktop])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        self.assertEqual(done.stdout.strip(), "")


def _as_nobody():
    os.setgroups([])
    os.setgid(NOBODY)
    os.setuid(NOBODY)


class InstallFromAnotherUsersBuildTest(unittest.TestCase):
    """cmake --install by a user who may not write the build tree (nobody, when root runs this)."""

    def test_install_writes_nothing_into_the_build_tree(self):
        if os.geteuid() != 0:
            self.skipTest("needs root to install as another user than the build's owner")
        probe = subprocess.run(["test", "-r", os.path.join(BUILD_DIR, "cmake_install.cmake")],
                               preexec_fn=_as_nobody)
        if probe.returncode != 0:
            self.skipTest(f"the user nobody cannot read {BUILD_DIR}")
        prefix = tempfile.mkdtemp(prefix="tintora-prefix-")
        try:
            os.chown(prefix, NOBODY, NOBODY)
            # The build tree is not theirs to write: any write into it fails the install.
            done = subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", prefix],
                                  capture_output=True, text=True, timeout=120,
                                  preexec_fn=_as_nobody, env=dict(os.environ, HOME=prefix))
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
            for path in ("bin/tintora", "share/applications/tintora.desktop",
                         "share/tintora/help.html", "share/tintora/installed",
                         "share/icons/hicolor/48x48/apps/tintora.png"):
                self.assertTrue(os.path.isfile(os.path.join(prefix, path)), path)
        finally:
            shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    unittest.main(verbosity=2)

#!/usr/bin/env python3
"""Builds the Debian package of a build with cpack, checks its control fields
and contents, installs it into this machine with dpkg, runs the installed
program, and removes the package again, also when a check fails.

It changes the machine, so it needs root and skips (exit code 77) without.
It also skips when a telvanecli package or file is already on the machine,
which it must not replace or remove. A lock file keeps two runs (from two
build trees) from installing at the same time.

Usage: debian_package_test.py CPACK BUILD_DIR [unittest options]
"""
import fcntl
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

CPACK = None
BUILD_DIR = None

PACKAGE = "telvanecli"
INSTALLED_FILES = ["/usr/bin/telvanecli", "/usr/share/man/man1/telvanecli.1",
                   "/usr/share/man/man1/telvanecli.1.gz"]
LOCK_FOLDER = "/run/lock" if os.path.isdir("/run/lock") else tempfile.gettempdir()
LOCK_PATH = os.path.join(LOCK_FOLDER, "telvanecli-debian-package-test.lock")
SKIPPED = 77


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, timeout=120, **options)


def dpkg(*arguments):
    """Runs dpkg, waiting up to a minute while another dpkg or apt holds its lock."""
    deadline = time.monotonic() + 60
    while True:
        result = run(["dpkg"] + list(arguments))
        if result.returncode == 0 or "lock" not in result.stderr or time.monotonic() > deadline:
            return result
        time.sleep(2)


def package_present():
    """True when dpkg knows the package in any state but "not installed"."""
    result = run(["dpkg-query", "-W", "-f=${db:Status-Abbrev}", PACKAGE])
    return result.returncode == 0 and result.stdout[1:2] not in ("", "n")


def reason_to_skip():
    if package_present():
        return ("a %s package is already installed; remove it (dpkg -r %s) to run this test"
                % (PACKAGE, PACKAGE))
    for path in INSTALLED_FILES:
        if os.path.lexists(path):
            return "%s already exists and would be replaced" % path
    return None


def depends_names(depends):
    """Package names of a Depends field, without versions, alternatives included."""
    return [re.match(r"\s*([^\s(]+)", alternative).group(1)
            for entry in depends.split(",") for alternative in entry.split("|")]


class DebianPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="telvanecli-deb-")
        cls.addClassCleanup(shutil.rmtree, cls.work)
        config = os.path.join(BUILD_DIR, "CPackConfig.cmake")
        if not os.path.exists(config):
            raise AssertionError("%s has no packaging set up (no CPackConfig.cmake)" % BUILD_DIR)
        result = run([CPACK, "--config", config, "-B", cls.work])
        if result.returncode != 0:
            raise AssertionError("cpack failed:\n" + result.stdout + result.stderr)
        packages = glob.glob(os.path.join(cls.work, "*.deb"))
        if len(packages) != 1:
            raise AssertionError("cpack made %d packages, expected one" % len(packages))
        cls.deb = packages[0]

    def field(self, name):
        result = run(["dpkg-deb", "-f", self.deb, name])
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.strip()

    def test_control_fields(self):
        self.assertEqual(self.field("Package"), PACKAGE)
        self.assertEqual(self.field("Section"), "admin")
        self.assertEqual(self.field("Architecture"),
                         run(["dpkg", "--print-architecture"]).stdout.strip())
        self.assertRegex(self.field("Maintainer"), r"^\S.* <[^@<>\s]+@[^@<>\s]+>$")
        self.assertRegex(self.field("Description"), r"^\S.*\n \S")
        names = depends_names(self.field("Depends"))
        for library in ("libcurl", "libexpat"):
            with self.subTest(library=library):
                self.assertTrue(any(name.startswith(library) for name in names),
                                "Depends names no %s package: %s" % (library, names))

    def test_contents_owned_by_root_with_usual_modes(self):
        listing = run(["dpkg-deb", "-c", self.deb]).stdout.splitlines()
        entries = {line.split()[-1]: line.split()[:2] for line in listing}
        for path, mode in [("./usr/bin/telvanecli", "-rwxr-xr-x"),
                           ("./usr/share/man/man1/telvanecli.1", "-rw-r--r--")]:
            with self.subTest(path=path):
                self.assertIn(path, entries)
                self.assertEqual(entries[path], [mode, "root/root"])

    def test_installs_runs_and_removes(self):
        try:
            installation = dpkg("-i", self.deb)
            self.assertEqual(installation.returncode, 0, installation.stderr)
            version = run(["/usr/bin/telvanecli", "-v"], cwd=self.work)
            self.assertEqual(version.returncode, 0, version.stderr)
            self.assertTrue(version.stdout.startswith("Quorvin Telvane v1.1-4\n"), version.stdout)
        finally:
            removal = dpkg("-r", PACKAGE)
        self.assertEqual(removal.returncode, 0, removal.stderr)
        self.assertFalse(package_present(), "the package is still installed")
        self.assertFalse(os.path.lexists("/usr/bin/telvanecli"))


def main():
    global CPACK, BUILD_DIR
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    CPACK, BUILD_DIR = sys.argv[1:3]
    if os.geteuid() != 0:
        print("skipped: installing a Debian package needs root")
        return SKIPPED
    # O_NOFOLLOW: the lock folder is writable by everyone.
    descriptor = os.open(LOCK_PATH, os.O_RDWR | os.O_CREAT | os.O_NOFOLLOW, 0o600)
    with os.fdopen(descriptor, "r+") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        skip = reason_to_skip()
        if skip:
            print("skipped: " + skip)
            return SKIPPED
        program = unittest.main(argv=[sys.argv[0]] + sys.argv[3:], exit=False)
        return 0 if program.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())

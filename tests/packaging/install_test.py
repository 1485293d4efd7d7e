#!/usr/bin/env python3
"""Installs the build into a temporary prefix with `cmake --install` and runs
the installed program from there.

Usage: install_test.py CMAKE BUILD_DIR MANUAL_PAGE [unittest options]
"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

CMAKE = None
BUILD_DIR = None
MANUAL_PAGE = None

BANNER = b"Quorvin Telvane v1.1-4\n"


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix = tempfile.mkdtemp(prefix="telvanecli-install-")
        cls.addClassCleanup(shutil.rmtree, cls.prefix)
        subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", cls.prefix],
                       check=True, capture_output=True)
        cls.program = os.path.join(cls.prefix, "bin", "telvanecli")

    def test_installs_the_program_and_its_manual_page_only(self):
        installed = set()
        for folder, _, files in os.walk(self.prefix):
            installed.update(os.path.relpath(os.path.join(folder, name), self.prefix)
                             for name in files)
        self.assertEqual(installed, {"bin/telvanecli", "share/man/man1/telvanecli.1"})
        self.assertTrue(os.stat(self.program).st_mode & stat.S_IXOTH,
                        "the program is not executable by every user")
        with open(MANUAL_PAGE, "rb") as source, \
                open(os.path.join(self.prefix, "share/man/man1/telvanecli.1"), "rb") as copy:
            self.assertEqual(copy.read(), source.read())

    def test_installed_program_runs_outside_the_build(self):
        # (arguments, exit code, start of standard output, standard error)
        cases = [
            (["-v"], 0, BANNER, b""),
            (["-x"], 13, BANNER, b"\nInvalid option '-x'.\n"),
            (["-s", "host"], 11, BANNER, b"\nArgument -u is required.\n"),
        ]
        for arguments, code, stdout_start, stderr in cases:
            with self.subTest(arguments=arguments):
                result = subprocess.run([self.program] + arguments, cwd=self.prefix,
                                        capture_output=True, timeout=30)
                self.assertEqual(result.returncode, code, result.stderr)
                self.assertTrue(result.stdout.startswith(stdout_start), result.stdout)
                self.assertEqual(result.stderr, stderr)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    CMAKE, BUILD_DIR, MANUAL_PAGE = sys.argv[1:4]
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:])

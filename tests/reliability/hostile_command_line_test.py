#!/usr/bin/env python3
"""Hostile command lines: values as long as Linux lets one argument be, a
command line of more than a megabyte, bytes that are not UTF-8, control
characters and markup in host and user names. Each must give its documented
exit code and message, or a report that is well-formed and holds the value
safely; no run may crash, hang or let a sanitizer speak, and no control
character from the command line may reach the terminal raw (host names in
messages are shown as "\\xNN", names in a report become U+FFFD).

A host name with markup or control characters can never connect (it is no
valid host name), so the only place it is echoed is the error message; a user
name goes into the report's "username" attribute and the TEXT header, which
the runs read back. Runs that get as far as connecting use a simulated server
that accepts any credentials.

usage: hostile_command_line_test.py [unittest options] --telvanecli PATH --repo-root PATH
"""

import os
import re
import socket
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

import reliability_support as rs

# Linux passes one argument of at most 128 KiB, its terminating NUL included.
LONGEST = (128 << 10) - 1
SERVER = object()  # stands for 127.0.0.1:PORT of the simulated server
REFUSED = object()  # stands for 127.0.0.1:PORT where nothing listens
# The simulated server reads header lines of up to 64 KiB, so a user name this
# long still fits its Basic credentials.
LONG_USER = "u" * 48000


class Output:
    """Stands for "-o" and a file of this name in the test's directory."""

    def __init__(self, name):
        self.name = name

# Control bytes other than tab, line feed and carriage return (which reports
# and messages hold on purpose), and DEL.
RAW_CONTROL = re.compile(rb"[\x00-\x08\x0b\x0c\x0e-\x1f\x7f]")

BANNER = b"Quorvin Telvane v1.1-4\n"
REPLACEMENT = "\ufffd"


def huge(prefix, filler=b"a", suffix=b""):
    """One argument of the longest length Linux passes."""
    return prefix + filler * (LONGEST - len(prefix) - len(suffix)) + suffix


def error(pattern):
    """Ends the connection check: one "Error:" line on standard output."""
    return ("error", pattern)


def misuse(message):
    """A misuse exit: version and usage texts, then message on standard error."""
    return ("misuse", message)


def write_failure(pattern):
    """Code 6 before connecting: one "Error:" line on standard error."""
    return ("write failure", pattern)


def report(username, read=True):
    """Code 0 with a report whose "username" reads back as username; it holds the
    "OS" class when read is set, nothing when the filter selects nothing."""
    return ("report", (username, read))


LONG_HOST = huge(b"", b"a", b".invalid")  # a reserved name: nothing is asked of a name server
LONG_FILTER = huge(b"")

# (label, arguments after the program name, exit code, outcome)
CASES = [
    # Values of the longest length one argument can have.
    ("long host name", [b"-s", LONG_HOST, b"-u", b"u"], 1,
     error(rb"unable to resolve host name 'a{%d}\.invalid'" % (LONGEST - 8))),
    ("longest user name and password", [b"-s", REFUSED, b"-u", huge(b""), b"-p", huge(b"")], 2,
     error(rb"Unable to connect to server\.")),
    ("long user name", [b"-s", SERVER, b"-u", LONG_USER.encode()], 0, report(LONG_USER)),
    ("long filter", [b"-s", SERVER, b"-u", b"u", b"-t", LONG_FILTER], 0,
     report("u", read=False)),
    # A command line of more than a megabyte: the last -t of eleven wins.
    ("megabyte command line", [b"-s", SERVER, b"-u", b"u"] + [b"-t", LONG_FILTER] * 10 +
     [b"-t", b"OS"], 0, report("u")),
    ("long output path", [b"-s", SERVER, b"-u", b"u", huge(b"-o/tmp/", b"o")], 6,
     write_failure(rb"Unable to write the report to '/tmp/o+': File name too long\.")),
    ("long format", [b"-s", SERVER, b"-u", b"u", b"-f", huge(b"")], 14,
     misuse(b"\nInvalid argument for option '-f'.\n")),
    ("long unknown long option", [b"-s", SERVER, b"-u", b"u", huge(b"--")], 14,
     misuse(b"\nInvalid argument syntax entered.\n")),
    ("long leftover argument", [b"-s", SERVER, b"-u", b"u", huge(b"")], 14,
     misuse(b"\nInvalid argument syntax entered.\n")),

    # Bytes that are not UTF-8.
    ("host name not UTF-8", [b"-s", b"\xff\xfe.invalid", b"-u", b"u"], 1,
     error(rb"unable to resolve host name '\\xFF\\xFE\.invalid'")),
    ("user name not UTF-8", [b"-s", SERVER, b"-u", b"\xff\xfeops"], 0,
     report(REPLACEMENT * 2 + "ops")),
    ("filter not UTF-8", [b"-s", SERVER, b"-u", b"u", b"-t", b"OS,\xff"], 0, report("u")),
    ("option character not UTF-8", [b"-s", SERVER, b"-u", b"u", b"-\xff"], 12,
     misuse(b"\nUnknown option character '\\xff'.\n")),
    ("report path not UTF-8", [b"-s", SERVER, b"-u", b"u", Output(b"r\xff\xfe.xml")], 0,
     report("u")),

    # Control characters.
    ("escape sequence in the host name", [b"-s", b"bad\x1b[2Jhost", b"-u", b"u"], 1,
     error(rb"'bad\\x1B\[2Jhost' is not a valid host name or address")),
    # Bytes above ASCII may belong to an internationalised name; the reserved
    # top-level name keeps the question from any name server.
    ("C1 control in the host name", [b"-s", b"bad\xc2\x9bhost.invalid", b"-u", b"u"], 1,
     error(rb"unable to resolve host name 'bad\\xC2\\x9Bhost\.invalid'")),
    ("escape sequence in the user name", [b"-s", SERVER, b"-u", b"ops\x1b[2J\x07"], 0,
     report("ops" + REPLACEMENT + "[2J" + REPLACEMENT)),
    ("control character as option", [b"-s", SERVER, b"-u", b"u", b"-\x1b"], 12,
     misuse(b"\nUnknown option character '\\x1b'.\n")),

    # Markup.
    ("markup in the host name", [b"-s", b"<x>&\"'", b"-u", b"u"], 1,
     error(rb"'<x>&\"'' is not a valid host name or address")),
    ("markup in the user name", [b"-s", SERVER, b"-u", b"<x>&\"'"], 0, report("<x>&\"'")),
]

support = None  # tests/inventory/support.py, once the path is set


class HostileCommandLines(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        from harness import SimServer
        import sample_inventory
        cls._directory = tempfile.TemporaryDirectory(prefix="hostile-")
        cls.addClassCleanup(cls._directory.cleanup)
        cls.directory = cls._directory.name.encode()
        repository = os.path.join(cls._directory.name, "sample.xml")
        with open(repository, "w", encoding="utf-8") as f:
            sample_inventory.write_repository(f, 1)
        cls.expected = support.as_read(support.expected_report(repository,
                                                               ["NVX_OperatingSystem"]))
        cls.server = SimServer(repository=[repository], user=None)
        cls.server.start()
        cls.addClassCleanup(cls.server.stop)
        # Bound but not listening: every connection to it is refused.
        cls.refused = socket.socket()
        cls.addClassCleanup(cls.refused.close)
        cls.refused.bind(("127.0.0.1", 0))
        cls.refused_port = cls.refused.getsockname()[1]

    def arguments(self, case_arguments, text_format):
        """The command line of a case, placeholders filled in. A run that reaches
        the collection reads the "OS" class only (unless its -t says otherwise)
        and writes XML, or TEXT when text_format is set."""
        arguments = []
        for argument in case_arguments:
            if argument is SERVER:
                argument = b"127.0.0.1:%d" % self.server.port
            elif argument is REFUSED:
                argument = b"127.0.0.1:%d" % self.refused_port
            elif isinstance(argument, Output):
                argument = b"-o" + os.path.join(self.directory, argument.name)
            arguments.append(argument)
        if b"-t" not in arguments:
            arguments += [b"-t", b"OS"]
        if b"-f" not in arguments and not text_format:
            arguments += [b"-f", b"XML"]
        return arguments

    def test_hostile_command_lines(self):
        for label, case_arguments, code, (kind, expected) in CASES:
            for text_format in ((False, True) if kind == "report" else (False,)):
                with self.subTest(case=label, text=text_format):
                    arguments = self.arguments(case_arguments, text_format)
                    run = rs.run(arguments)
                    rs.assert_sound_end(self, run)
                    self.assertEqual(run.code, code, run)
                    self.assertNotRegex(run.stdout + run.stderr, RAW_CONTROL, run)
                    self.check_outcome(kind, expected, arguments, text_format, run)

    def check_outcome(self, kind, expected, arguments, text_format, run):
        if kind == "error":
            self.assertRegex(run.stdout, b"^Error: " + expected + b"\n\\Z", run)
            self.assertEqual(run.stderr, b"", run)
        elif kind == "write failure":
            self.assertRegex(run.stderr, b"^Error: " + expected + b"\n\\Z", run)
            self.assertEqual(run.stdout, b"", run)
        elif kind == "misuse":
            self.assertEqual(run.stderr, expected, run)
            self.assertTrue(run.stdout.startswith(BANNER), run)
        else:
            self.assertEqual(run.stderr, b"", run)
            self.check_report(expected, arguments, text_format, run)

    def check_report(self, expected, arguments, text_format, run):
        username, read = expected
        path = next((a[2:] for a in arguments if a.startswith(b"-o")), None)
        content = run.stdout
        if path is not None:
            self.assertEqual(run.stdout, b"Loading...\nReading: Operating System\nDone.\n")
            with open(path, "rb") as f:
                content = f.read()
        if text_format:
            header = "  Server: 127.0.0.1:%d, Username: %s\r\n" % (
                self.server.port, support.value_as_stored(username))
            self.assertIn(header.encode("utf-8"), content)
            self.assertEqual(b"Class NVX_OperatingSystem : Instance 0" in content, read)
            return
        root = ET.fromstring(content)
        self.assertEqual(root.get("username"), username)
        self.assertEqual(root.get("server"), "127.0.0.1:%d" % self.server.port)
        self.assertEqual(support.report_nodes(root), self.expected if read else [])


if __name__ == "__main__":
    rs.parse_arguments(sys.argv)
    import support  # noqa: E402  (importable once parse_arguments set the path)
    unittest.main()

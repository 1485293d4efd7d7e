#!/usr/bin/env python3
"""telvanecli under valgrind's memcheck: a full collection of the sample
inventory and a handful of runs that fail (refused connection, a failed check,
a collection that stops part-way, a misuse of the command line) must end with
their usual exit code and no memory error or leak.

A few runs only: memcheck makes the program some thirty times slower. The
sanitizer build skips this test (exit code 77): valgrind cannot watch a
program built with AddressSanitizer.

usage: valgrind_test.py [unittest options] --telvanecli PATH --repo-root PATH --sanitized yes|no
"""

import os
import socket
import sys
import unittest
import xml.etree.ElementTree as ET

import reliability_support as rs

SKIPPED = 77
VALGRIND = ["valgrind", "--leak-check=full", "--error-exitcode=1"]
CLEAN = "ERROR SUMMARY: 0 errors from 0 contexts"

# The event log's large reply breaks off half-way; the "SI" classes come before it.
DROP_EVENT_LOG = {"operation": "EnumerateInstances", "class": "NVX_QELLogEntry",
                  "action": "drop", "at": "mid_body"}

support = None  # tests/inventory/support.py, once the path is set


def refused_port():
    """A port on 127.0.0.1 that nothing listens on."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class UnderValgrind(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        from harness import SimServer
        cls.sample = support.SampleServer()
        cls.addClassCleanup(cls.sample.stop)
        cls.faulty = SimServer(repository=[cls.sample.repository], faults=[DROP_EVENT_LOG],
                               user=support.USER, password=support.PASSWORD)
        cls.faulty.start()
        cls.addClassCleanup(cls.faulty.stop)

    def memcheck(self, name, arguments, port=None, password=None):
        """Runs telvanecli against the sample server (or port) under memcheck and
        checks memcheck's log; returns the run."""
        log_file = os.path.join(self.sample.directory, name + ".log")
        credentials = ["-s", "127.0.0.1:%d" % (port or self.sample.server.port),
                       "-u", support.USER, "-p", password or support.PASSWORD]
        run = rs.run(credentials + arguments, prefix=VALGRIND + ["--log-file=" + log_file])
        with open(log_file, encoding="utf-8") as f:
            log = f.read()
        self.assertIsNotNone(run.code, run)
        self.assertIn(CLEAN, log, log[-3000:])
        self.assertNotIn(support.PASSWORD.encode(), run.stdout + run.stderr)
        return run

    def test_full_collection(self):
        report = os.path.join(self.sample.directory, "full.xml")
        run = self.memcheck("full", ["-f", "XML", "-o" + report])
        self.assertEqual((run.code, run.stderr), (0, b""), run)
        with open(report, "rb") as f:
            nodes = support.report_nodes(ET.parse(f).getroot())
        self.assertEqual(nodes, support.as_read(self.sample.expected))

    def test_text_report_to_the_console(self):
        run = self.memcheck("text", ["-t", "FAN,PS"])
        self.assertEqual((run.code, run.stderr), (0, b""), run)
        self.assertIn(b"\r\n  Class NVX_PowerSupply : Instance 1\r\n", run.stdout)

    def test_refused_connection(self):
        run = self.memcheck("refused", [], port=refused_port())
        self.assertEqual((run.code, run.stdout), (2, b"Error: Unable to connect to server.\n"),
                         run)

    def test_rejected_credentials(self):
        run = self.memcheck("rejected", [], password="not-" + support.PASSWORD)
        self.assertEqual((run.code, run.stdout), (
            3, b"Error: Authentication failure, invalid username or password.\n"), run)

    def test_collection_that_stops(self):
        run = self.memcheck("drop", ["-t", "SI,QEL", "-f", "XML"], port=self.faulty.port)
        self.assertEqual(run.code, 7, run)
        self.assertRegex(run.stderr, rb"^Warning: the collection stopped at NVX_QELLogEntry: "
                                     rb"connection to 127\.0\.0\.1:\d+ lost: .+\n\Z")
        self.assertEqual([node[0] for node in support.report_nodes(ET.fromstring(run.stdout))],
                         ["NVX_ComputerSystem", "NVX_ComputerSystemChassis"])

    def test_misuse(self):
        run = self.memcheck("misuse", ["-f", "html"])
        self.assertEqual((run.code, run.stderr), (14, b"\nInvalid argument for option '-f'.\n"),
                         run)


if __name__ == "__main__":
    OPTIONS = rs.parse_arguments(sys.argv, [("--sanitized", dict(choices=("yes", "no"),
                                                                  required=True))])
    if OPTIONS.sanitized == "yes":
        print("skipped: valgrind cannot run a program built with AddressSanitizer")
        sys.exit(SKIPPED)
    import support  # noqa: E402  (importable once parse_arguments set the path)
    unittest.main()

#!/usr/bin/env python3
"""End-to-end tests of the connection check: check_driver against the simulated
CIM server on 127.0.0.1, one row per outcome.

usage: connection_check_test.py [unittest options] PATH_TO_CHECK_DRIVER
"""

import os
import re
import socket
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO_ROOT = os.path.dirname(os.path.dirname(HERE))
REPOSITORY = os.path.join(REPO_ROOT, "tests", "cim", "data", "repository.xml")
sys.path.insert(0, os.path.join(REPO_ROOT, "tools", "simserver"))

from harness import SimServer  # noqa: E402

DRIVER = None  # set from the command line
USER = "dom\\ops@site/1 x"
PASSWORD = "p@ss:w/rd%#? \u00e9"


def check(server, user=USER, password=PASSWORD):
    """Runs the check; returns (exit code, stdout, stderr)."""
    arguments = [DRIVER, server, user] + ([password] if password else [])
    result = subprocess.run(arguments, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ConnectionCheckTest(unittest.TestCase):

    def assertOutcome(self, outcome, code, stdout):
        self.assertEqual(outcome[:2], (code, stdout), outcome)
        self.assertEqual(outcome[2], "")
        self.assertNotIn("p@ss", outcome[1])

    def test_success_prints_nothing_and_sends_the_probe(self):
        with SimServer(repository=[REPOSITORY], user=USER, password=PASSWORD) as server:
            outcome = check("127.0.0.1:%d" % server.port)
            records = server.requests()
        self.assertOutcome(outcome, 0, "connected\n")
        self.assertEqual(len(records), 1)
        record = records[0]
        self.assertEqual((record["operation"], record["namespace"], record["class_name"]),
                         ("GetClass", "root/quorvin", "NVX_ComputerSystem"))
        self.assertEqual(record["params"], {"LocalOnly": "FALSE", "IncludeQualifiers": "TRUE",
                                            "IncludeClassOrigin": "TRUE"})
        self.assertIsNone(record["property_list"])
        self.assertTrue(record["authorized"])
        self.assertEqual(record["user"], USER)

    def test_without_password(self):
        with SimServer(repository=[REPOSITORY], user="admin", password="") as server:
            self.assertOutcome(check("127.0.0.1:%d" % server.port, "admin", ""), 0, "connected\n")

    def test_ipv6_literals_are_bracketed(self):
        try:
            with socket.socket(socket.AF_INET6) as s:
                s.bind(("::1", 0))
                port = s.getsockname()[1]
            with socket.socket(socket.AF_INET6) as s:
                s.bind(("::1", 5989))  # the default port is free, so nothing answers there
        except OSError:
            self.skipTest("no IPv6 loopback, or its port 5989 is taken")
        for server in ("::1", "[::1]:%d" % port):
            with self.subTest(server=server):
                self.assertOutcome(check(server), 2, "Error: Unable to connect to server.\n")

    def test_failures(self):
        refused = free_port()
        rows = [
            # (server options, faults, server argument or None for the live one, user,
            #  password, exit code, stdout text or pattern)
            ({}, None, "127.0.0.1:%d" % refused, USER, PASSWORD,
             2, "Error: Unable to connect to server.\n"),
            ({}, None, "no-such-host.invalid", USER, PASSWORD,
             1, "Error: unable to resolve host name 'no-such-host.invalid'\n"),
            ({}, None, "bad/host", USER, PASSWORD,
             1, "Error: 'bad/host' is not a valid host name or address\n"),
            ({}, None, None, USER, "wrong",
             3, "Error: Authentication failure, invalid username or password.\n"),
            ({}, [{"action": "http_status", "status": 401, "www_authenticate": ""}], None, USER,
             PASSWORD, 3, "Error: Authentication failure, invalid username or password.\n"),
            ({}, [{"action": "http_status", "status": 500}], None, USER, PASSWORD,
             4, "Error: HTTP 500 Internal Server Error\n"),
            ({}, [{"action": "http_status", "status": 403}], None, USER, PASSWORD,
             4, "Error: HTTP 403 Forbidden\n"),
            ({"repository": []}, None, None, USER, PASSWORD,
             1, "Error: CIM_ERR_NOT_FOUND: NVX_ComputerSystem\n"),
            # Control characters from the server reach the terminal neutralised: an escape
            # sequence in a status trailer, a C1 control (legal XML) in the body.
            ({}, [{"action": "cim_error", "code": 6, "where": "trailer",
                   "description": "gone\u001b[2J"}], None,
             USER, PASSWORD, 1, "Error: CIM_ERR_NOT_FOUND: gone\\x1B[2J\n"),
            ({}, [{"action": "cim_error", "code": 5, "description": "gone\u009b2J"}], None,
             USER, PASSWORD, 1, "Error: CIM_ERR_INVALID_CLASS: gone\\xC2\\x9B2J\n"),
            ({}, [{"action": "malformed_xml"}], None, USER, PASSWORD, 1, re.compile(
                r"Error: response is not valid CIM-XML: line \d+, column \d+: mismatched tag\n")),
            ({}, [{"action": "drop", "at": "mid_body"}], None, USER, PASSWORD, 5,
             re.compile(r"Error: connection to 127\.0\.0\.1:\d+ lost: [^\n]+\n")),
            ({"extra_args": ["--no-tls"]}, None, None, USER, PASSWORD, 5, re.compile(
                r"Error: TLS failure with 127\.0\.0\.1:\d+: [^\n]*wrong version number\n")),
        ]
        for options, faults, server_text, user, password, code, stdout in rows:
            with self.subTest(options=options, faults=faults, server=server_text,
                              password=password):
                arguments = dict(repository=[REPOSITORY], faults=faults, user=USER,
                                 password=PASSWORD)
                arguments.update(options)
                with SimServer(**arguments) as server:
                    outcome = check(server_text or "127.0.0.1:%d" % server.port, user, password)
                if isinstance(stdout, str):
                    self.assertOutcome(outcome, code, stdout)
                else:
                    self.assertEqual(outcome[0], code, outcome)
                    self.assertTrue(stdout.fullmatch(outcome[1]), outcome)
                    self.assertNotIn("p@ss", outcome[1])


if __name__ == "__main__":
    DRIVER = os.path.abspath(sys.argv.pop())
    unittest.main()

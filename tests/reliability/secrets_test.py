#!/usr/bin/env python3
"""The password never shows: telvanecli runs every kind of scenario of the
suite (reports in TEXT and XML to the console and to a file, each failure of
the connection check, faults in the middle of a collection, an unwritable
report, misused command lines that carry -p) with one distinctive password,
and no standard output, standard error or report file may hold it, neither as
typed nor in the forms it takes on the way to the server (percent-encoded in
the service URL, base64 in the Basic credentials).

usage: secrets_test.py [unittest options] --telvanecli PATH --repo-root PATH
"""

import base64
import os
import socket
import sys
import tempfile
import unittest
import urllib.parse

import reliability_support as rs

USER = "audit"
# Every character the service URL must encode, and one above ASCII.
PASSWORD = "Zq7:p@ss/w%rd#?\u00e9-x9"
FORMS = [PASSWORD.encode(), urllib.parse.quote(PASSWORD, safe="").encode(),
         base64.b64encode(("%s:%s" % (USER, PASSWORD)).encode())]

SERVER, CHECK_FAILS, REFUSED, PW = (object() for _ in range(4))

# Faults of the collection server: one class that cannot be read, one whose
# reply breaks off (the collection stops there).
COLLECTION_FAULTS = [
    {"operation": "EnumerateInstances", "class": "NVX_Fan", "action": "http_status",
     "status": 500},
    {"operation": "EnumerateInstances", "class": "NVX_PowerSupply", "action": "drop"},
]
# The check-failure server fails its n-th request with rule n: the runs
# against it come in this order and send one request each, the probe.
CHECK_FAULTS = [
    ({"action": "http_status", "status": 401}, 3),
    ({"action": "http_status", "status": 500}, 4),
    ({"action": "drop", "at": "mid_body"}, 5),
    ({"action": "cim_error", "code": 1, "description": "provider crashed"}, 1),
    ({"action": "malformed_xml"}, 1),
]

# (label, arguments after the program name, exit code). A "-o" argument names
# a file in the test's directory.
SCENARIOS = [
    ("TEXT to the console", [b"-s", SERVER, b"-u", USER, b"-p", PW, b"-t", b"OS,SI"], 0),
    ("XML to the console", [b"-s", SERVER, b"-u", USER, b"-p", PW, b"-t", b"MPX", b"-f", b"xml"],
     0),
    ("TEXT to a file", [b"-s", SERVER, b"-u", USER, b"-p", PW, b"-t", b"OS", b"-o", "r.txt"], 0),
    ("XML to a file", [b"--server", SERVER, b"--uername", USER, b"--password", PW,
                       b"-t", b"CPU", b"-f", b"XML", b"-o", "r.xml"], 0),
    ("a class lost", [b"-s", SERVER, b"-u", USER, b"-p", PW, b"-t", b"FAN", b"-o", "f.xml"], 7),
    ("the collection stops", [b"-s", SERVER, b"-u", USER, b"-p", PW, b"-t", b"PS"], 7),
    ("report not writable", [b"-s", SERVER, b"-u", USER, b"-p", PW, b"-o", "missing/r.txt"], 6),
    ("connection refused", [b"-s", REFUSED, b"-u", USER, b"-p", PW], 2),
    ("host not resolvable", [b"-s", b"inventory.invalid", b"-u", USER, b"-p", PW], 1),
    ("host not valid", [b"-s", b"bad/host", b"-u", USER, b"-p", PW], 1),
] + [("check fails with code %d" % code, [b"-s", CHECK_FAILS, b"-u", USER, b"-p", PW], code)
     for _, code in CHECK_FAULTS] + [
    ("bad format", [b"-s", b"h", b"-u", USER, b"-p", PW, b"-f", b"html"], 14),
    ("leftover argument", [b"-s", b"h", b"-u", USER, b"-p", PW, b"extra"], 14),
    ("unknown long option", [b"--password=" + PASSWORD.encode(), b"--bogus", b"-s", b"h"], 14),
    ("server missing", [b"-u", USER, b"-p", PW], 11),
    ("user missing", [b"-s", b"h", b"-p" + PASSWORD.encode()], 11),
    ("value missing", [b"-p", PW, b"-s", b"h", b"-u"], 10),
    ("unknown option", [b"-p", PW, b"-x", b"-s", b"h", b"-u", USER], 13),
    ("unprintable option", [b"-p", PW, b"-\x01"], 12),
    ("password as the unknown option's value", [b"-x", PW], 13),
    ("help", [b"-p", PW, b"-h"], 0),
]

support = None  # tests/inventory/support.py, once the path is set


class Secrets(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        from harness import SimServer
        import sample_inventory
        cls._directory = tempfile.TemporaryDirectory(prefix="secrets-")
        cls.addClassCleanup(cls._directory.cleanup)
        cls.directory = os.path.join(cls._directory.name, "reports")
        os.mkdir(cls.directory)
        repository = os.path.join(cls._directory.name, "sample.xml")
        with open(repository, "w", encoding="utf-8") as f:
            sample_inventory.write_repository(f, 1)
        cls.servers = {}
        for key, faults in ((SERVER, COLLECTION_FAULTS),
                            (CHECK_FAILS, [dict(rule, request=n)
                                           for n, (rule, _) in enumerate(CHECK_FAULTS, 1)])):
            server = SimServer(repository=[repository], faults=faults, user=USER,
                               password=PASSWORD)
            server.start()
            cls.addClassCleanup(server.stop)
            cls.servers[key] = server
        cls.refused = socket.socket()
        cls.addClassCleanup(cls.refused.close)
        cls.refused.bind(("127.0.0.1", 0))

    def command_line(self, arguments):
        line = []
        for argument in arguments:
            if argument is PW:
                argument = PASSWORD.encode()
            elif argument in self.servers:
                argument = b"127.0.0.1:%d" % self.servers[argument].port
            elif argument is REFUSED:
                argument = b"127.0.0.1:%d" % self.refused.getsockname()[1]
            elif isinstance(argument, str) and line and line[-1] == b"-o":
                line[-1] += os.path.join(self.directory, argument).encode()
                continue
            elif isinstance(argument, str):
                argument = argument.encode()
            line.append(argument)
        return line

    def test_no_output_holds_the_password(self):
        for label, arguments, code in SCENARIOS:
            with self.subTest(scenario=label):
                run = rs.run(self.command_line(arguments))
                rs.assert_sound_end(self, run)
                self.assertEqual(run.code, code, run)
                for form in FORMS:
                    self.assertNotIn(form, run.stdout, run)
                    self.assertNotIn(form, run.stderr, run)
        reports = sorted(os.listdir(self.directory))
        self.assertEqual(reports, ["f.xml", "r.txt", "r.xml"])
        for name in reports:
            with open(os.path.join(self.directory, name), "rb") as f:
                content = f.read()
            for form in FORMS:
                self.assertNotIn(form, content, name)


if __name__ == "__main__":
    rs.parse_arguments(sys.argv)
    import support  # noqa: E402  (importable once parse_arguments set the path)
    unittest.main()

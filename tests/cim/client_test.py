#!/usr/bin/env python3
"""End-to-end tests of the CIM client layer: the cim_probe driver against the
simulated CIM server over real TLS on 127.0.0.1.

usage: client_test.py [unittest options] PATH_TO_CIM_PROBE
"""

import os
import re
import socket
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO_ROOT = os.path.dirname(os.path.dirname(HERE))
REPOSITORY = os.path.join(HERE, "data", "repository.xml")
REPLAY = os.path.join(HERE, "data", "replay")
CIM_DTD = os.path.join(REPO_ROOT, "cim", "testdata", "DSP0203_2.3.1.dtd")
sys.path.insert(0, os.path.join(REPO_ROOT, "tools", "simserver"))

from harness import SimServer  # noqa: E402

PROBE = None  # set from the command line
PASSWORD = "p@ss:w/rd%#? \u00e9"  # every character a URL could misread
USER = "ops@site/1 x"  # Basic authentication cannot carry a ":" in the user name


def quote(text):
    from urllib.parse import quote as url_quote
    return url_quote(text, safe="")


def service_url(port, user=USER, password=PASSWORD, host="127.0.0.1"):
    return "https://%s:%s@%s:%d/" % (quote(user), quote(password), host, port)


def probe(url, *operations, options=(), env=None, timeout=60):
    """Runs cim_probe; returns (exit code, stdout)."""
    result = subprocess.run([PROBE, *options, url, "root/quorvin", *operations],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout,
                            env=env)
    return result.returncode, result.stdout.decode("utf-8", "replace")


def last_line(output):
    lines = output.strip().splitlines()
    return lines[-1] if lines else ""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ReadingTest(unittest.TestCase):
    """Classes and instances from the repository, over one kept-alive connection."""

    def test_reads_class_and_instances_with_every_value_form(self):
        with SimServer(repository=[REPOSITORY], user=USER, password=PASSWORD) as server:
            code, out = probe(service_url(server.port), "getclass", "NVX_Fan", "enum", "NVX_Fan",
                              "enum", "NVX_ComputerSystem")
            records = server.requests()
            bodies = [os.path.join(server.log_dir, "bodies", "%04d.xml" % r["request"])
                      for r in records]
            validation = subprocess.run(["xmllint", "--noout", "--dtdvalid", CIM_DTD, *bodies],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.assertEqual(code, 0, out)
        for line in [
                "class NVX_Fan : CIM_ManagedElement",
                "  property HealthState uint16 = (null)",
                "    qualifier ValueMap string[] = 0,5,20",
                "    qualifier Values string[] = Unknown,OK,Major failure",
                "  property System REF = (null)",
                "instances 2",
                "instance NVX_HotPlugFan",
                "  property OperationalStatus uint16[] = 2,3",
                "  property Speed real32 = 1234.5",
                "  property Rotations sint64 = -9223372036854775808",
                "  property VariableSpeed boolean = true",
                "  property System REF = NVX_ComputerSystem.Name=\"rack-7\"",
                "  property ElementName string = Rack & <Server> \"7\" K\u00f6ln",
                "  property InstallDate datetime = 20240131120000.000000+060"]:
            self.assertIn(line + "\n", out)

        self.assertEqual([(r["operation"], r["class_name"], r["params"]) for r in records], [
            ("GetClass", "NVX_Fan", {"LocalOnly": "FALSE", "IncludeQualifiers": "TRUE",
                                     "IncludeClassOrigin": "TRUE"}),
            ("EnumerateInstances", "NVX_Fan",
             {"LocalOnly": "FALSE", "DeepInheritance": "TRUE", "IncludeQualifiers": "TRUE",
              "IncludeClassOrigin": "TRUE"}),
            ("EnumerateInstances", "NVX_ComputerSystem",
             {"LocalOnly": "FALSE", "DeepInheritance": "TRUE", "IncludeQualifiers": "TRUE",
              "IncludeClassOrigin": "TRUE"})])
        self.assertTrue(all(r["authorized"] and r["user"] == USER for r in records))
        self.assertEqual(len({r["connection"] for r in records}), 1, "one kept-alive connection")
        self.assertTrue(all(r["property_list"] is None for r in records))
        self.assertEqual(validation.returncode, 0, validation.stdout.decode())

    def test_proxy_variables_are_ignored(self):
        env = dict(os.environ, https_proxy="http://127.0.0.1:%d" % free_port(),
                   HTTPS_PROXY="http://127.0.0.1:%d" % free_port(), all_proxy="socks5://127.0.0.1:1")
        with SimServer(repository=[REPOSITORY], user=USER, password=PASSWORD) as server:
            code, out = probe(service_url(server.port), "enum", "NVX_ComputerSystem", env=env)
        self.assertEqual(code, 0, out)


class ReplayTest(unittest.TestCase):
    """Recorded response bodies served verbatim: every form the decoder must take,
    repair or refuse."""

    ROWS = [
        # (operation, class, expected lines or final line pattern)
        ("getclass", "CIM_ComputerSystem",
         ["class CIM_ComputerSystem : CIM_System",
          "  qualifier Version string = 2.36.0",
          "    qualifier ValueMap string[] = 0,1,2,3,4,5,6,7"]),
        ("getclass", "CIM_InstalledProductImage",
         ["  property Product REF = (null)", "    qualifier Max uint32 = 1"]),
        ("getclass", "TestClass",
         ["  property IntProp sint32 = 38", "  property BoolPropArray boolean[] = true,false"]),
        ("enum", "PyWBEM_Person", ["instances 3", "  property Address string = Fritz Town"]),
        ("enum", "Chunked_Person", ["instances 3"]),
        ("enum", "LMI_StorageInstModification",
         ["instance LMI_StorageInstModification", "  property SourceInstanceHost string = rawhide"]),
        ("enum", "NVX_Fan",
         ["  property OperationalStatus uint16[] = 2,(null),10",
          "  property System REF = //srv.example.com:5989/root/quorvin:NVX_ComputerSystem."
          "Name=\"rack \\\"A\\\" \\\\ 1\",Slot=4,Primary=TRUE"]),
        ("getclass", "NotAClass", r"exception CIMException 6: CIM_ERR_NOT_FOUND: NotAClass$"),
        ("enum", "CIM_Error", r"exception CIMException 2: CIM_ERR_ACCESS_DENIED: access denied$"),
        ("enum", "Late_Failure",
         r"exception CIMException 5: CIM_ERR_INVALID_CLASS: provider gone$"),
        ("getclass", "Bad_Request",
         r"exception HTTPException 400: HTTP 400 Bad Request \(CIMError: request-not-valid\): "
         r"Semantic error: on line 11: Illegal value for CLASSNAME.NAME attribute$"),
        ("getclass", "Header_Status", r"exception CIMException 6: CIM_ERR_NOT_FOUND: no such class$"),
        ("enum", "Mismatched_Tag",
         r"exception Exception: response is not valid CIM-XML: line 14, column \d+: mismatched tag$"),
        # A raw U+0001 in a value costs that value only.
        ("enum", "Control_Char", ["  property Address string = Fritz \ufffd Town"]),
        ("getclass", "Html_Page",
         r"exception Exception: response is not valid CIM-XML: line 1, column 1: "
         r"unexpected element <html> in <document>$"),
    ]

    def test_recorded_responses(self):
        # The same recordings compressed: curl decodes before the XML parser sees a byte.
        faults = [{"class": "CIM_InstalledProductImage", "encoding": "gzip"},
                  {"class": "LMI_StorageInstModification", "encoding": "deflate"},
                  {"class": "PyWBEM_Person", "chunked": True, "chunk_bytes": 7}]
        with SimServer(replay=REPLAY, faults=faults, user=None) as server:
            url = "https://127.0.0.1:%d/" % server.port
            for operation, class_name, expected in self.ROWS:
                with self.subTest(class_name=class_name):
                    code, out = probe(url, operation, class_name)
                    if isinstance(expected, str):
                        self.assertEqual(code, 1, out)
                        self.assertRegex(last_line(out), expected)
                    else:
                        self.assertEqual(code, 0, out)
                        for line in expected:
                            self.assertIn(line + "\n", out)
            encodings = {r["class_name"]: r["headers"].get("Accept-Encoding", "")
                         for r in server.requests()}
        self.assertIn("gzip", encodings["CIM_InstalledProductImage"])


class FaultTest(unittest.TestCase):
    """Failures injected by the server: each gives its own exception and message."""

    ROWS = [
        # (fault rule, probe options, operations, final line pattern)
        ({"action": "http_status", "status": 500}, (), ("enum", "NVX_Fan"),
         r"^exception HTTPException 500: HTTP 500 Internal Server Error$"),
        ({"action": "http_status", "status": 401, "www_authenticate": "Digest realm=\"x\""}, (),
         ("getclass", "NVX_Fan"),
         r"^exception HTTPException 401: HTTP 401 Unauthorized: Authentication failure "
         r"\(the server asks for Digest authentication, not Basic\)$"),
        ({"action": "cim_error", "code": 5, "where": "trailer"}, (), ("enum", "NVX_Fan"),
         r"^exception CIMException 5: CIM_ERR_INVALID_CLASS$"),
        ({"action": "cim_error", "code": 4, "where": "header", "description": "bad flag"}, (),
         ("getclass", "NVX_Fan"),
         r"^exception HTTPException 400: HTTP 400 Bad Request \(CIMError: request-not-valid\)"),
        ({"action": "drop", "at": "mid_body"}, (), ("enum", "NVX_Fan"),
         r"^exception SocketException other: connection to 127\.0\.0\.1:\d+ lost: "),
        ({"action": "drop", "at": "before_headers"}, (), ("getclass", "NVX_Fan"),
         r"^exception SocketException other: connection to 127\.0\.0\.1:\d+ lost: "),
        ({"action": "truncated_chunked"}, (), ("enum", "NVX_Fan"),
         r"^exception SocketException other: connection to 127\.0\.0\.1:\d+ lost: "),
        ({"action": "malformed_xml", "style": "truncated"}, (), ("enum", "NVX_Fan"),
         r"^exception Exception: response is not valid CIM-XML: line \d+, column \d+: "),
        ({"action": "oversized_value", "bytes": 17 << 20}, (), ("enum", "NVX_Fan"),
         r"^exception Exception: response is not valid CIM-XML: .*a value is longer than 16 MiB"),
        ({"action": "wrong_class", "other_class": "NVX_ComputerSystem"}, (),
         ("getclass", "NVX_Fan"),
         r"^exception Exception: response is not valid CIM-XML: the GetClass response holds "
         r"the class NVX_ComputerSystem instead of NVX_Fan$"),
        # Silence before the headers, and in the middle of a body on a reused connection.
        ({"action": "stall", "seconds": 6, "operation": "GetClass"},
         ("--stall-timeout-ms", "1500"), ("getclass", "NVX_Fan"),
         r"^exception SocketException other: no data received from 127\.0\.0\.1:\d+ "
         r"for 1500 milliseconds$"),
        ({"action": "stall", "seconds": 6, "at": "mid_body", "operation": "EnumerateInstances"},
         ("--stall-timeout-ms", "1500"), ("getclass", "NVX_Fan", "enum", "NVX_Fan"),
         r"^exception SocketException other: no data received from "),
        # Slow but steady replies complete.
        ({"action": "trickle", "piece_bytes": 64, "interval": 0.01}, (), ("enum", "NVX_Fan"),
         r"^  property HotSwappable boolean = false$"),
        ({"action": "none", "encoding": "gzip", "connection_close": True}, (),
         ("enum", "NVX_Fan", "getclass", "NVX_Fan", "enum", "NVX_ComputerSystem"),
         r"^  property InstallDate datetime = 20240131120000.000000\+060$"),
    ]

    def test_injected_faults(self):
        for rule, options, operations, expected in self.ROWS:
            with self.subTest(rule=rule):
                with SimServer(repository=[REPOSITORY], faults=[rule], user=USER,
                               password=PASSWORD) as server:
                    code, out = probe(service_url(server.port), *operations, options=options)
                self.assertRegex(last_line(out), expected, out[-2000:])
                self.assertEqual(code, 1 if expected.startswith("^exception") else 0, out[-2000:])
                self.assertNotIn(PASSWORD, out)

    def test_bad_bytes_in_a_value_cost_that_value_only(self):
        # invalid_utf8 puts FF FE C3 28 before the value: three ill-formed parts
        # and a "("; control_char puts a raw U+0001 there. Each becomes U+FFFD.
        faults = [{"action": "invalid_utf8", "property": "DeviceID", "request": 1},
                  {"action": "malformed_xml", "style": "control_char", "request": 2}]
        replacement = "\ufffd".encode("utf-8")
        with SimServer(repository=[REPOSITORY], faults=faults, user=USER,
                       password=PASSWORD) as server:
            for operations, value in [(("enum", "NVX_Fan"), replacement * 3 + b"(fan-1"),
                                      (("enum", "NVX_Fan"), replacement + b"fan-1")]:
                with self.subTest(value=value):
                    result = subprocess.run([PROBE, service_url(server.port), "root/quorvin",
                                             *operations], stdout=subprocess.PIPE,
                                            stderr=subprocess.PIPE, timeout=60)
                    self.assertEqual(result.returncode, 0, result)
                    self.assertIn(b"  property DeviceID string = " + value + b"\n", result.stdout)
                    self.assertIn(b"  property DeviceID string = fan-2\n", result.stdout)


class ConnectionFailureTest(unittest.TestCase):
    """Failures before any HTTP exchange."""

    def test_refused_unresolvable_and_wrong_credentials(self):
        port = free_port()
        rows = [
            (service_url(port), r"^exception SocketException refused: connection refused by "
                                r"127\.0\.0\.1:%d$" % port),
            (service_url(port, host="no-such-host.invalid"),
             r"^exception Exception: unable to resolve host name 'no-such-host\.invalid'$"),
            ("https://%s@127.0.0.1:%d/" % (quote(PASSWORD), port),
             r"^exception SocketException refused: "),
        ]
        with SimServer(repository=[REPOSITORY], user=USER, password=PASSWORD) as server:
            rows.append((service_url(server.port, password="wrong"),
                         r"^exception HTTPException 401: HTTP 401 Unauthorized: "
                         r"Authentication failure$"))
            for url, expected in rows:
                with self.subTest(url=url):
                    code, out = probe(url, "getclass", "NVX_ComputerSystem")
                    self.assertEqual(code, 1, out)
                    self.assertRegex(last_line(out), expected)
                    self.assertNotIn("p@ss", out)

    def test_tls_handshake_with_a_plain_http_listener_fails(self):
        with SimServer(repository=[REPOSITORY], user=USER, password=PASSWORD,
                       extra_args=["--no-tls"]) as server:
            code, out = probe(service_url(server.port), "getclass", "NVX_ComputerSystem")
        self.assertEqual(code, 1, out)
        self.assertRegex(last_line(out), r"^exception SSLException: TLS failure with 127\.0\.0\.1:\d+: ")

    def test_connect_timeout(self):
        # A listener whose accept queue is full drops further connection attempts.
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(0)
        port = listener.getsockname()[1]
        fillers = []
        try:
            for _ in range(8):
                filler = socket.socket()
                filler.setblocking(False)
                filler.connect_ex(("127.0.0.1", port))
                fillers.append(filler)
            code, out = probe(service_url(port), "getclass", "NVX_ComputerSystem",
                              options=("--connect-timeout-ms", "1000"))
        finally:
            for filler in fillers:
                filler.close()
            listener.close()
        self.assertEqual(code, 1, out)
        self.assertRegex(last_line(out), r"^exception SocketException timedout: connection to "
                                         r"127\.0\.0\.1:%d timed out after 1 second$" % port)


if __name__ == "__main__":
    PROBE = os.path.abspath(sys.argv.pop())
    unittest.main()

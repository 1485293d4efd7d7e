#!/usr/bin/env python3
"""End-to-end tests of certificate verification (--cacert): telvanecli, and the
collector's own client through collect_driver, against the simulated CIM server
serving certificates made here with the openssl command: a test CA, server
certificates it signed (for 127.0.0.1, for another name, expired) and an
unrelated self-signed CA.

usage: certificate_verification_test.py [unittest options] TELVANECLI COLLECT_DRIVER
"""

import os
import socket
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
REPO_ROOT = os.path.dirname(os.path.dirname(HERE))
REPOSITORY = os.path.join(REPO_ROOT, "tests", "cim", "data", "repository.xml")
sys.path.insert(0, os.path.join(REPO_ROOT, "tools", "simserver"))

from harness import SimServer  # noqa: E402

TELVANECLI = None  # set from the command line
COLLECT_DRIVER = None
USER = "admin"
PASSWORD = "Tls-e2e-Pw!7"
EC_KEY = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]


def openssl(*arguments):
    subprocess.run(["openssl", *arguments], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE, timeout=60)


class Certificates:
    """The CA, the server certificates and the unrelated CA, in directory."""

    def __init__(self, directory):
        self.directory = directory
        self.ca = self.path("ca.pem")
        openssl("req", "-x509", *EC_KEY, "-keyout", self.path("ca.key"), "-out", self.ca,
                "-days", "2", "-subj", "/CN=telvane test CA",
                "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        self.unrelated_ca = self.path("unrelated.pem")
        openssl("req", "-x509", *EC_KEY, "-keyout", self.path("unrelated.key"),
                "-out", self.unrelated_ca, "-days", "2", "-subj", "/CN=unrelated test CA")
        self.server = self.signed("server", "IP:127.0.0.1,DNS:localhost", "2")
        self.other_name = self.signed("other-name", "DNS:other.example", "2")
        # A validity that ends before it begins: expired from the start.
        self.expired = self.signed("expired", "IP:127.0.0.1,DNS:localhost", "-1")

    def path(self, name):
        return os.path.join(self.directory, name)

    def signed(self, name, alt_names, days):
        """A server certificate for alt_names signed by the CA: (cert, key) paths."""
        key, request, cert = (self.path(name + suffix) for suffix in (".key", ".csr", ".pem"))
        extensions = self.path(name + ".ext")
        with open(extensions, "w", encoding="ascii") as f:
            f.write("subjectAltName=%s\nbasicConstraints=CA:FALSE\n"
                    "extendedKeyUsage=serverAuth\n" % alt_names)
        openssl("req", "-new", *EC_KEY, "-keyout", key, "-out", request, "-subj", "/CN=server")
        openssl("x509", "-req", "-in", request, "-CA", self.ca, "-CAkey", self.path("ca.key"),
                "-CAcreateserial", "-out", cert, "-days", days, "-extfile", extensions)
        return cert, key


def run_cli(port, *options):
    result = subprocess.run([TELVANECLI, "-s", "127.0.0.1:%d" % port, "-u", USER, "-p", PASSWORD,
                             "-t", "SI", *options], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=60)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def serve(certificate=None):
    """The simulated server with the given (cert, key), or its own self-signed one."""
    extra = ["--cert", certificate[0], "--key", certificate[1]] if certificate else []
    return SimServer(repository=[REPOSITORY], user=USER, password=PASSWORD, extra_args=extra)


def rejection(port, reason):
    return ("TLS failure with 127.0.0.1:%d: the server's certificate was not accepted: %s"
            % (port, reason))


class CertificateVerificationTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls._directory = tempfile.TemporaryDirectory(prefix="tls-e2e-")
        cls.addClassCleanup(cls._directory.cleanup)
        cls.certificates = Certificates(cls._directory.name)

    def test_verification_against_the_given_ca(self):
        c = self.certificates
        rows = [
            # (certificate served, --cacert, exit code, standard output or None for a report)
            (c.server, c.ca, 0, None),
            (c.server, c.unrelated_ca, 5, "unable to get local issuer certificate"),
            (c.other_name, c.ca, 5, "SSL: no alternative certificate subject name matches "
                                    "target host name '127.0.0.1'"),
            (c.expired, c.ca, 5, "certificate has expired"),
            (None, c.ca, 5, "self-signed certificate"),
        ]
        for certificate, ca, code, reason in rows:
            with self.subTest(certificate=certificate, ca=ca):
                with serve(certificate) as server:
                    outcome = run_cli(server.port, "--cacert=" + ca)
                    operations = [r["operation"] for r in server.requests()]
                if reason is None:
                    self.assertEqual(outcome[0], code, outcome)
                    self.assertIn("Class NVX_ComputerSystem : Instance 0\r\n", outcome[1])
                    # The probe, then the computer system and its chassis (which
                    # the server does not have).
                    self.assertEqual(operations,
                                     ["GetClass", "GetClass", "EnumerateInstances", "GetClass"])
                else:
                    self.assertEqual(outcome,
                                     (code, "Error: %s\n" % rejection(server.port, reason), ""))
                    self.assertEqual(operations, [])

    def test_without_the_option_any_certificate_is_accepted(self):
        for certificate in (None, self.certificates.expired, self.certificates.other_name):
            with self.subTest(certificate=certificate):
                with serve(certificate) as server:
                    code, report, errors = run_cli(server.port)
                self.assertEqual((code, errors), (0, ""), report)
                self.assertIn("Class NVX_ComputerSystem : Instance 0\r\n", report)

    def test_a_file_that_cannot_serve_ends_the_run_before_any_connection(self):
        c = self.certificates
        empty = c.path("empty.pem")
        open(empty, "wb").close()
        rows = [
            (c.path("missing.pem"), "No such file or directory"),
            (c.directory, "Is a directory"),
            (empty, "the file holds no PEM certificate"),
            (c.path("server.key"), "the file holds no PEM certificate"),
        ]
        with socket.socket() as listener:
            listener.bind(("127.0.0.1", 0))
            listener.listen(16)
            port = listener.getsockname()[1]
            for path, reason in rows:
                with self.subTest(path=path):
                    self.assertEqual(
                        run_cli(port, "--cacert=" + path),
                        (5, "Error: Unable to use the CA certificates in '%s': %s.\n"
                         % (path, reason), ""))
            # A connection attempt would be waiting in the listen queue.
            listener.setblocking(False)
            with self.assertRaises(BlockingIOError):
                listener.accept()[0].close()

    def test_the_collector_verifies_with_its_own_client(self):
        # Without the connection check in front, only the collector's client
        # stands between the report and a server the CA did not sign.
        with serve(self.certificates.server) as server:
            rows = [(self.certificates.ca, "complete\n", ""),
                    (self.certificates.unrelated_ca, "incomplete\n",
                     "Warning: the collection stopped at NVX_ComputerSystem: %s\n"
                     % rejection(server.port, "unable to get local issuer certificate"))]
            for ca, output, warnings in rows:
                with self.subTest(ca=ca):
                    result = subprocess.run(
                        [COLLECT_DRIVER, "127.0.0.1:%d" % server.port, USER, PASSWORD, "SI", ca],
                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
                    self.assertEqual((result.returncode, result.stdout.decode(),
                                      result.stderr.decode()), (0, output, warnings))


if __name__ == "__main__":
    TELVANECLI, COLLECT_DRIVER = sys.argv[-2], sys.argv[-1]
    del sys.argv[-2:]
    unittest.main()

#!/usr/bin/env python3
"""Runs the built telvanecli with command lines that end before any connection
and checks exit code, standard output and standard error byte for byte; then
checks that only a command line that passes every check goes on to connect.

Usage: command_line_test.py PATH_TO_TELVANECLI [unittest options]
"""
import os
import socket
import subprocess
import sys
import tempfile
import unittest

BINARY = None

VERSION = (b"Quorvin Telvane v1.1-4\n"
           b"Copyright (c) 2026 Quorvin. All rights reserved.\n")
USAGE = (b"\n"
         b"telvanecli [-v] [-h] [-s 10.10.10.1 -u user123 [-p word789] [-f XML|TEXT] [-o file.ext]]\n"
         b"\n"
         b"Supported Arguments:\n"
         b"-v --version  : Displays the current copyright and version information.\n"
         b"-h --help     : List of command line arguments supported and descriptions.\n"
         b"-s --server   : IP address or hostname of the target server.\n"
         b"-u --username : Username of account to connect with.\n"
         b"-p --password : Password of the user account.\n"
         b"-f --format   : Selects an output format from XML|TEXT (default:TEXT)\n"
         b"-o --output   : Save the output to a file\n"
         b"-t --filter   : The report data can be filtered using a comma separated list\n"
         b"                of the following values: CPU FAN FC MPX QEL MEMORY NIC BX OS\n"
         b"                OTHER PCI PS SAS DX SF SI TEMP\n")

SYNTAX = b"\nInvalid argument syntax entered.\n"


def missing_value(letter):
    return b"\nOption -%s requires an argument.\n" % letter


def required(letter):
    return b"\nArgument -%s is required.\n" % letter


def invalid_option(char):
    return b"\nInvalid option '-%s'.\n" % char


def unknown_character(hex_digits):
    return b"\nUnknown option character '\\x%s'.\n" % hex_digits


BAD_FORMAT = b"\nInvalid argument for option '-f'.\n"
# --cacert has no letter, so its omission is reported by its long name.
CACERT_MISSING = b"\nOption --cacert requires an argument.\n"

# (arguments without the program name, exit code, standard error). Code 0
# rows print their own texts, noted in the standard error column as
# "version" (version text only) or "help" (version and usage texts); every
# other row prints the version and usage texts on standard output.
V, H = "version", "help"
CASES = [
    # -s and -u must be given, the server first; then neither may be empty.
    ([], 11, required(b"s")),
    ([b"-u", b"user"], 11, required(b"s")),
    ([b"-s", b"host"], 11, required(b"u")),
    ([b"-s", b"", b"-u", b"user"], 10, missing_value(b"s")),
    ([b"-s", b"host", b"-u", b""], 10, missing_value(b"u")),
    ([b"-s", b"host", b"-u", b"user", b"-p", b""], 10, missing_value(b"p")),
    # The checks after the options, in their order: leftover, -s missing,
    # -u missing, -s empty, -u empty, -p empty, format.
    ([b"-s", b"", b"-u", b"", b"-p", b"", b"-f", b"html", b"extra"], 14, SYNTAX),
    ([b"-p", b"", b"-f", b"html", b"-u", b""], 11, required(b"s")),
    ([b"-s", b"", b"-p", b"", b"-f", b"html"], 11, required(b"u")),
    ([b"-u", b"", b"-p", b"", b"-f", b"html", b"-s", b""], 10, missing_value(b"s")),
    ([b"-s", b"h", b"-p", b"", b"-f", b"html", b"-u", b""], 10, missing_value(b"u")),
    ([b"-s", b"h", b"-u", b"u", b"-f", b"html", b"-p", b""], 10, missing_value(b"p")),
    ([b"-s", b"h", b"-u", b"u", b"-f", b"html"], 14, BAD_FORMAT),
    ([b"-f", b"html"], 11, required(b"s")),
    ([b"-s", b"h", b"-u", b"u", b"-f", b"XML", b"-f", b"html"], 14, BAD_FORMAT),
    ([b"-s", b"h", b"-u", b"u", b"-f", b""], 14, BAD_FORMAT),
    # Leftover arguments, unknown long options, elements that are no options.
    ([b"-s", b"host", b"-u", b"user", b"extra"], 14, SYNTAX),
    ([b"-s", b"host", b"-u", b"user", b"--bogus"], 14, SYNTAX),
    ([b"host", b"-s", b"h", b"-u", b"u"], 14, SYNTAX),
    ([b"-s", b"h", b"-u", b"u", b"-"], 14, SYNTAX),
    ([b"-s", b"h", b"-u", b"u", b"/"], 14, SYNTAX),
    ([b"-s", b"h", b"-u", b"u", b"---x"], 14, SYNTAX),
    ([b"-s", b"h", b"-u", b"u", b"//x"], 14, SYNTAX),
    ([b"-s", b"h", b"-u", b"u", b"--"], 14, SYNTAX),
    ([b"--Server", b"h", b"-u", b"u"], 14, SYNTAX),
    ([b"--serv", b"h", b"-u", b"u"], 14, SYNTAX),
    ([b"/s", b"h", b"-u", b"u"], 14, SYNTAX),
    ([b"/v"], 14, SYNTAX),
    ([b"/?"], 14, SYNTAX),
    # -u is known by the long name uername, not username.
    ([b"-s", b"host", b"--uername", b"user", b"-f", b"html"], 14, BAD_FORMAT),
    ([b"-s", b"host", b"--username", b"user"], 14, SYNTAX),
    # Dash, double-dash and slash forms, values attached or separate.
    ([b"--server=host", b"--uername", b"user", b"--format=html"], 14, BAD_FORMAT),
    ([b"/server", b"host", b"/uername=user", b"/format", b"html"], 14, BAD_FORMAT),
    ([b"-shost", b"-u:user", b"-fhtml"], 14, BAD_FORMAT),
    ([b"-s:host", b"-u", b"user", b"-f:", b"html"], 14, BAD_FORMAT),
    ([b"--server=", b"host", b"--uername=", b"user", b"--format=", b"html"], 14, BAD_FORMAT),
    ([b"-s", b"host", b"-u", b"user", b"-vh"], 0, V),
    # A short option lacking its value: the last element, or followed by an option.
    ([b"-s", b"host", b"-u"], 10, missing_value(b"u")),
    ([b"-s", b"-u", b"user"], 10, missing_value(b"s")),
    ([b"-f"], 10, missing_value(b"f")),
    ([b"-o", b"-s", b"h"], 10, missing_value(b"o")),
    ([b"-t", b"/filter=x"], 10, missing_value(b"t")),
    ([b"-s", b"h", b"-u", b"u", b"-p", b"-secret"], 10, missing_value(b"p")),
    ([b"-s", b"h", b"-u", b"u", b"-p", b"/secret"], 10, missing_value(b"p")),
    ([b"-s", b"h", b"-u", b"u", b"-o", b"/tmp/report.txt"], 10, missing_value(b"o")),
    # A long option lacking its value reports the same omission by its letter.
    ([b"-s", b"host", b"--uername"], 10, missing_value(b"u")),
    ([b"--server", b"-u", b"user"], 10, missing_value(b"s")),
    ([b"--server="], 10, missing_value(b"s")),
    ([b"/password", b"-s", b"h"], 10, missing_value(b"p")),
    ([b"-s", b"h", b"-u", b"u", b"--format"], 10, missing_value(b"f")),
    ([b"--output", b"--filter=CPU"], 10, missing_value(b"o")),
    ([b"--filter"], 10, missing_value(b"t")),
    ([b"--version"], 0, V),
    ([b"--version", b"-x"], 0, V),
    ([b"--version", b"3", b"-x"], 0, V),
    ([b"--version=x"], 0, V),
    ([b"/version"], 0, V),
    # --cacert takes a file name in its long and slash forms; empty counts as none.
    ([b"-s", b"h", b"-u", b"u", b"--cacert"], 10, CACERT_MISSING),
    ([b"/cacert", b"-s", b"h", b"-u", b"u"], 10, CACERT_MISSING),
    ([b"-s", b"h", b"--cacert=", b"-u", b"u"], 10, CACERT_MISSING),
    ([b"-s", b"h", b"-u", b"u", b"/cacert", b""], 10, CACERT_MISSING),
    ([b"-s", b"h", b"-u", b"u", b"--cacert", b"/etc/ca.pem"], 10, CACERT_MISSING),
    ([b"--cacert", b"ca.pem", b"-s", b"h", b"-u", b"u", b"-f", b"html"], 14, BAD_FORMAT),
    ([b"/cacert=ca.pem", b"-s", b"h", b"-u", b"u", b"-f", b"html"], 14, BAD_FORMAT),
    ([b"-s", b"h", b"-u", b"u", b"--CACERT", b"ca.pem"], 14, SYNTAX),
    ([b"--cacert", b"ca.pem", b"-h"], 0, H),
    # Unknown short options: printable, or shown as lower-case hex.
    ([b"-x"], 13, invalid_option(b"x")),
    ([b"-x", b"-v"], 13, invalid_option(b"x")),
    ([b"-s", b"h", b"-u", b"u", b"-X"], 13, invalid_option(b"X")),
    ([b"-:"], 13, invalid_option(b":")),
    ([b"- "], 13, invalid_option(b" ")),
    ([b"-~"], 13, invalid_option(b"~")),
    ([b"-\x01"], 12, unknown_character(b"1")),
    ([b"-\x1b[31m"], 12, unknown_character(b"1b")),
    ([b"-\x7f"], 12, unknown_character(b"7f")),
    ([b"-\xe9"], 12, unknown_character(b"e9")),
    ([b"-\xff"], 12, unknown_character(b"ff")),
    # -v and -h end the run with 0 before any later misuse is looked at.
    ([b"-v"], 0, V),
    ([b"-h"], 0, H),
    ([b"--help"], 0, H),
    ([b"/help=x"], 0, H),
    ([b"-v", b"-x"], 0, V),
    ([b"-v", b"--bogus"], 0, V),
    ([b"-h", b"extra"], 0, H),
    ([b"-s", b"host", b"-h"], 0, H),
    ([b"-s", b"", b"-v"], 0, V),
    ([b"-f", b"html", b"-h"], 0, H),
    ([b"-s", b"host", b"-u", b"user", b"-v", b"-s"], 0, V),
]


def describe(args):
    return " ".join(repr(a)[1:] for a in args) or "(no arguments)"


class CommandLineTest(unittest.TestCase):
    def test_misuse_and_early_ends(self):
        for args, code, error in CASES:
            with self.subTest(describe(args)):
                result = subprocess.run([BINARY] + args, stdin=subprocess.DEVNULL,
                                        capture_output=True, timeout=10)
                if error == V:
                    expected = (0, VERSION, b"")
                elif error == H:
                    expected = (0, VERSION + USAGE, b"")
                else:
                    expected = (code, VERSION + USAGE, error)
                self.assertEqual((result.returncode, result.stdout, result.stderr), expected)

    def test_misuse_text_follows_usage_in_one_stream(self):
        # With both streams in one file, the message still comes last.
        result = subprocess.run([BINARY, "-x"], stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=10)
        self.assertEqual((result.returncode, result.stdout),
                         (13, VERSION + USAGE + invalid_option(b"x")))


def run(args):
    return subprocess.run([BINARY] + args, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=60)


class ConnectionTest(unittest.TestCase):
    def test_no_connection_before_the_command_line_passes(self):
        with socket.socket() as listener:
            listener.bind(("127.0.0.1", 0))
            listener.listen(16)
            server = b"127.0.0.1:%d" % listener.getsockname()[1]
            for args, code in [
                ([b"-s", server, b"-u", b"u", b"-f", b"html"], 14),
                ([b"-s", server, b"-u", b"u", b"extra"], 14),
                ([b"-s", server, b"-u", b"u", b"-p", b""], 10),
                ([b"-s", server, b"-u", b"u", b"--format"], 10),
                ([b"-s", server, b"-u", b"u", b"--cacert"], 10),
                ([b"-s", server, b"-u", b"u", b"-h"], 0),
                ([b"-s", server, b"-u", b"u", b"-v"], 0),
            ]:
                with self.subTest(describe(args)):
                    self.assertEqual(run(args).returncode, code)
            # A connection attempt would be waiting in the listen queue.
            listener.setblocking(False)
            with self.assertRaises(BlockingIOError):
                listener.accept()[0].close()

    def test_valid_command_line_goes_to_the_connection_check(self):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            server = b"127.0.0.1:%d" % probe.getsockname()[1]
        # Nothing listens there any more: the connection is refused.
        with tempfile.TemporaryDirectory() as directory:
            report = os.path.join(directory, "report.xml").encode()
            for args in [
                [b"-s", server, b"-u", b"user"],
                [b"--server=" + server, b"/uername", b"user", b"-p", b"secret", b"-f", b"xml",
                 b"--output=" + report, b"-t", b"CPU,FAN"],
            ]:
                with self.subTest(describe(args)):
                    result = run(args)
                    self.assertEqual((result.returncode, result.stdout, result.stderr),
                                     (2, b"Error: Unable to connect to server.\n", b""))
            # The report file is only created once the collection has finished.
            self.assertEqual(os.listdir(directory), [])


if __name__ == "__main__":
    BINARY = sys.argv.pop(1)
    unittest.main()

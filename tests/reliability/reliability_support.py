"""Shared parts of the reliability tests: the command line every script takes,
a bounded runner for telvanecli, and the checks that no run crashed or let a
sanitizer speak.

Every script takes, after its unittest options:
    --telvanecli PATH      the program under test
    --repo-root PATH       the source tree (for the simulated server and the
                           collection tests' oracle in tests/inventory)
and may take more options of its own (parse_arguments).
"""

import argparse
import http.client
import os
import re
import ssl
import subprocess
import sys
import time

# A run that takes longer than this has hung: the slowest run of the suite
# (a collection under valgrind) needs well under half of it.
RUN_BOUND_SECONDS = 60

# What ASan, UBSan and LSan print; none of it may ever appear.
SANITIZER_REPORT = re.compile(rb"Sanitizer|runtime error:")

TELVANECLI = None
REPO_ROOT = None


def parse_arguments(argv, extra=()):
    """Takes this suite's options out of argv (unittest keeps the rest), puts the
    simulated server and the inventory tests' support module on the path, and
    returns the parsed options. extra: (flag, keyword arguments) of further options."""
    global TELVANECLI, REPO_ROOT
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--telvanecli", required=True)
    parser.add_argument("--repo-root", required=True)
    for flag, keywords in extra:
        parser.add_argument(flag, **keywords)
    options, rest = parser.parse_known_args(argv[1:])
    argv[1:] = rest
    TELVANECLI = os.path.abspath(options.telvanecli)
    REPO_ROOT = os.path.abspath(options.repo_root)
    sys.path.insert(0, os.path.join(REPO_ROOT, "tests", "inventory"))
    import support
    # support.configure checks that the program is not in test mode and puts
    # tools/simserver on the path.
    support.configure([argv[0], TELVANECLI, REPO_ROOT])
    return options


class Run:
    """One finished run: exit code, standard output and error (bytes), seconds taken."""

    def __init__(self, arguments, code, stdout, stderr, elapsed):
        self.arguments, self.code, self.stdout, self.stderr = arguments, code, stdout, stderr
        self.elapsed = elapsed

    def __repr__(self):
        shown = [a if len(a) <= 80 else a[:80] + b"..." for a in map(os.fsencode,
                                                                    self.arguments[1:])]
        end = "killed" if self.code is None else "exit %d" % self.code
        return "%r: %s after %.1f s, stdout %r, stderr %r" % (
            shown, end, self.elapsed, self.stdout[:400], self.stderr[:2000])


def run(arguments, binary=None, bound=RUN_BOUND_SECONDS, stdout=subprocess.PIPE, prefix=()):
    """Runs binary (telvanecli by default) with the arguments (str or bytes). A run
    that is not over within bound seconds is killed; its code is then None."""
    command = list(prefix) + [binary or TELVANECLI] + list(arguments)
    started = time.monotonic()
    try:
        result = subprocess.run(command, stdin=subprocess.DEVNULL, stdout=stdout,
                                stderr=subprocess.PIPE, timeout=bound)
    except subprocess.TimeoutExpired as expired:
        return Run(command, None, expired.stdout or b"", expired.stderr or b"",
                   time.monotonic() - started)
    return Run(command, result.returncode, result.stdout or b"", result.stderr,
               time.monotonic() - started)


def assert_sound_end(testcase, outcome):
    """The run ended by itself within its bound, with one of the program's own
    exit codes: no hang, no signal, no abort, no sanitizer report."""
    testcase.assertIsNotNone(outcome.code, "killed at its bound: %r" % outcome)
    testcase.assertNotRegex(outcome.stderr, SANITIZER_REPORT, outcome)
    testcase.assertIn(outcome.code, (0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14), outcome)


def advance_to(port, number, seen):
    """Sends the simulated server on port unauthenticated requests (answered
    with 401, numbered all the same) until it has numbered `number` requests;
    `seen` it had numbered so far. Fault rules that fire on request numbers can
    so be laid out in advance for a series of runs."""
    connection = http.client.HTTPSConnection(
        "127.0.0.1", port, timeout=10, context=ssl._create_unverified_context())
    try:
        for _ in range(number - seen):
            connection.request("POST", "/cimom", body=b"")
            connection.getresponse().read()
    finally:
        connection.close()

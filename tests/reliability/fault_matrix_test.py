#!/usr/bin/env python3
"""The fault matrix: telvanecli against the simulated CIM server, with one
injected fault per run, at the connection check's probe and at the first, a
middle and the last class of a collection. Each row of MATRIX says what the
run must end with: the exit code, its one "Error:" or "Warning:" line, and
what the XML report file holds, compared with the oracle of the sample
inventory for the classes that were read. Every run must also end by itself
within its bound (RUN_BOUND_SECONDS, and for the stall rows the stall limit
plus STALL_MARGIN_SECONDS), with no sanitizer report.

The rows of one place share one server: row i of a place owns the request
numbers from i * BLOCK + 1 on, its fault rule fires on its own request number
there, and requests the row did not use are filled with unauthenticated ones,
so that a row that goes wrong cannot shift the rows after it. The four places
run side by side.

usage: fault_matrix_test.py [unittest options] --telvanecli PATH --repo-root PATH
           --short-stall-telvanecli PATH --stall-limit-seconds S
The second program is built from the same sources with a no-byte limit of S
seconds instead of 300; the stall and trickle rows run it.
"""

import concurrent.futures
import os
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

import reliability_support as rs

FILTER = "FAN,MPX,SF"
STALL_MARGIN_SECONDS = 8
BLOCK = 20  # request numbers per row: the probe and two per class, once more for a retry

# The class that answers in place of the one asked for.
OTHER_CLASS = "NVX_OperatingSystem"
OVERSIZED = 5 << 20  # several megabytes in one value, below the client's 16 MiB limit
BEYOND_LIMIT = 17 << 20

HTTP_401 = {"action": "http_status", "status": 401}
HTTP_403 = {"action": "http_status", "status": 403}
HTTP_500 = {"action": "http_status", "status": 500}
CIM_ERROR = {"action": "cim_error", "code": 1, "description": "provider crashed"}
DROP_BEFORE_HEADERS = {"action": "drop", "at": "before_headers"}
DROP_MID_BODY = {"action": "drop", "at": "mid_body"}
STALL = {"action": "stall", "seconds": 90}  # the client gives up long before
# About 150 pieces 20 ms apart: the whole reply takes longer than the no-byte
# limit, while no gap comes near it. A class definition is five times larger
# than the instances of the classes chosen, so its pieces are five times larger.
TRICKLE_DEFINITION = {"action": "trickle", "piece_bytes": 100, "interval": 0.02}
TRICKLE_INSTANCES = {"action": "trickle", "piece_bytes": 20, "interval": 0.02}
MALFORMED_XML = {"action": "malformed_xml"}
TRUNCATED_CHUNKED = {"action": "truncated_chunked"}
# In a class definition the bytes land in its first qualifier value; in an
# enumeration, at the start of the first instance's ElementName.
INVALID_UTF8 = {"action": "invalid_utf8", "property": "ElementName"}
OVERSIZED_VALUE = {"action": "oversized_value", "bytes": OVERSIZED, "property": "ElementName"}
OVERSIZED_BEYOND_LIMIT = {"action": "oversized_value", "bytes": BEYOND_LIMIT,
                          "property": "ElementName"}
WRONG_CLASS = {"action": "wrong_class", "other_class": OTHER_CLASS}

# What the report file holds:
NO_REPORT = ("none",)      # the check failed: no file is made
ALL = ("all",)             # every class of the collection
WITHOUT = ("without",)     # every class but the faulty one, whose loss is warned of
BEFORE = ("before",)       # the classes before the faulty one: the collection stopped there
RETRIED = ("retried",)     # every class; the request was sent again on a new connection


def altered(prefix):
    """Every class; the faulty one's first ElementName begins with prefix."""
    return ("altered", prefix)


# Regular expressions of the one message line (standard output for codes 1 to
# 5, standard error for 7).
LOST = r"connection to 127\.0\.0\.1:\d+ lost: .+"
NO_DATA = r"no data received from 127\.0\.0\.1:\d+ for %s"
NOT_CIM_XML = r"response is not valid CIM-XML: line \d+, column \d+: "


def error(text):
    return "Error: " + text


def unreadable(text):
    return "Warning: {class} could not be read: " + text


def stopped(text):
    return "Warning: the collection stopped at {class}: " + text


def wrong_definition():
    return (r"response is not valid CIM-XML: the GetClass response holds the class %s instead "
            r"of {class}" % OTHER_CLASS)


def wrong_instances():
    return (r"the EnumerateInstances response holds an instance of %s, which is neither "
            r"{class} nor a subclass of it \(it lacks \w+\)" % OTHER_CLASS)


# Where a fault is injected: the request it replaces, by its number within a
# run of the FILTER collection (the probe first, then GetClass and
# EnumerateInstances for each class in turn).
PLACES = {
    "check": (1, "GetClass", "NVX_ComputerSystem"),
    "first": (2, "GetClass", "NVX_Fan"),
    "middle": (7, "EnumerateInstances", "NVX_MPFirmware"),
    "last": (11, "EnumerateInstances", "NVX_SystemFirmware"),
}

# (fault, rule, where, exit code, message or None, report). In a message,
# {class} stands for the class of the place. Faults that DESIGN.md leaves open:
# a 401 after a good check loses only that class, as any HTTP status does; a
# drop before the headers of a request on a kept-alive connection is retried
# once on a new one (libcurl's rule for a connection the server may have
# closed), so nothing is lost; bad bytes and oversized values (below the 16 MiB
# limit) are kept in place, bad bytes as U+FFFD.
MATRIX = [
    ("HTTP 401", HTTP_401, "check", 3,
     error(r"Authentication failure, invalid username or password\."), NO_REPORT),
    ("HTTP 401", HTTP_401, "first", 7, unreadable("HTTP 401 Unauthorized: .+"), WITHOUT),
    ("HTTP 401", HTTP_401, "middle", 7, unreadable("HTTP 401 Unauthorized: .+"), WITHOUT),
    ("HTTP 401", HTTP_401, "last", 7, unreadable("HTTP 401 Unauthorized: .+"), WITHOUT),

    ("HTTP 403", HTTP_403, "check", 4, error("HTTP 403 Forbidden"), NO_REPORT),
    ("HTTP 403", HTTP_403, "first", 7, unreadable("HTTP 403 Forbidden"), WITHOUT),
    ("HTTP 403", HTTP_403, "middle", 7, unreadable("HTTP 403 Forbidden"), WITHOUT),
    ("HTTP 403", HTTP_403, "last", 7, unreadable("HTTP 403 Forbidden"), WITHOUT),

    ("HTTP 500", HTTP_500, "check", 4, error("HTTP 500 Internal Server Error"), NO_REPORT),
    ("HTTP 500", HTTP_500, "first", 7, unreadable("HTTP 500 Internal Server Error"), WITHOUT),
    ("HTTP 500", HTTP_500, "middle", 7, unreadable("HTTP 500 Internal Server Error"), WITHOUT),
    ("HTTP 500", HTTP_500, "last", 7, unreadable("HTTP 500 Internal Server Error"), WITHOUT),

    ("CIM error", CIM_ERROR, "check", 1, error("CIM_ERR_FAILED: provider crashed"), NO_REPORT),
    ("CIM error", CIM_ERROR, "first", 7, unreadable("CIM_ERR_FAILED: provider crashed"), WITHOUT),
    ("CIM error", CIM_ERROR, "middle", 7, unreadable("CIM_ERR_FAILED: provider crashed"),
     WITHOUT),
    ("CIM error", CIM_ERROR, "last", 7, unreadable("CIM_ERR_FAILED: provider crashed"), WITHOUT),

    ("drop before headers", DROP_BEFORE_HEADERS, "check", 5, error(LOST), NO_REPORT),
    ("drop before headers", DROP_BEFORE_HEADERS, "first", 7, stopped(LOST), BEFORE),
    ("drop before headers", DROP_BEFORE_HEADERS, "middle", 0, None, RETRIED),
    ("drop before headers", DROP_BEFORE_HEADERS, "last", 0, None, RETRIED),

    ("drop mid-body", DROP_MID_BODY, "check", 5, error(LOST), NO_REPORT),
    ("drop mid-body", DROP_MID_BODY, "first", 7, stopped(LOST), BEFORE),
    ("drop mid-body", DROP_MID_BODY, "middle", 7, stopped(LOST), BEFORE),
    ("drop mid-body", DROP_MID_BODY, "last", 7, stopped(LOST), BEFORE),

    ("stall", STALL, "check", 5, error(NO_DATA), NO_REPORT),
    ("stall", STALL, "first", 7, stopped(NO_DATA), BEFORE),
    ("stall", STALL, "middle", 7, stopped(NO_DATA), BEFORE),
    ("stall", STALL, "last", 7, stopped(NO_DATA), BEFORE),

    ("slow trickle", TRICKLE_DEFINITION, "check", 0, None, ALL),
    ("slow trickle", TRICKLE_DEFINITION, "first", 0, None, ALL),
    ("slow trickle", TRICKLE_INSTANCES, "middle", 0, None, ALL),
    ("slow trickle", TRICKLE_INSTANCES, "last", 0, None, ALL),

    ("malformed XML", MALFORMED_XML, "check", 1, error(NOT_CIM_XML + "mismatched tag"),
     NO_REPORT),
    ("malformed XML", MALFORMED_XML, "first", 7, unreadable(NOT_CIM_XML + "mismatched tag"),
     WITHOUT),
    ("malformed XML", MALFORMED_XML, "middle", 7, unreadable(NOT_CIM_XML + "mismatched tag"),
     WITHOUT),
    ("malformed XML", MALFORMED_XML, "last", 7, unreadable(NOT_CIM_XML + "mismatched tag"),
     WITHOUT),

    ("truncated chunked body", TRUNCATED_CHUNKED, "check", 5, error(LOST), NO_REPORT),
    ("truncated chunked body", TRUNCATED_CHUNKED, "first", 7, stopped(LOST), BEFORE),
    ("truncated chunked body", TRUNCATED_CHUNKED, "middle", 7, stopped(LOST), BEFORE),
    ("truncated chunked body", TRUNCATED_CHUNKED, "last", 7, stopped(LOST), BEFORE),

    # FF FE C3 28: three ill-formed sequences, then "(".
    ("invalid UTF-8", INVALID_UTF8, "check", 0, None, ALL),
    ("invalid UTF-8", INVALID_UTF8, "first", 0, None, ALL),
    ("invalid UTF-8", INVALID_UTF8, "middle", 0, None, altered("\ufffd\ufffd\ufffd(")),
    ("invalid UTF-8", INVALID_UTF8, "last", 0, None, altered("\ufffd\ufffd\ufffd(")),

    ("oversized value", OVERSIZED_VALUE, "check", 0, None, ALL),
    ("oversized value", OVERSIZED_VALUE, "first", 0, None, ALL),
    ("oversized value", OVERSIZED_VALUE, "middle", 0, None, altered("x" * OVERSIZED)),
    ("oversized value", OVERSIZED_VALUE, "last", 0, None, altered("x" * OVERSIZED)),
    ("value beyond 16 MiB", OVERSIZED_BEYOND_LIMIT, "middle", 7,
     unreadable(NOT_CIM_XML + "a value is longer than 16 MiB"), WITHOUT),

    ("wrong class", WRONG_CLASS, "check", 1, error(wrong_definition()), NO_REPORT),
    ("wrong class", WRONG_CLASS, "first", 7, unreadable(wrong_definition()), WITHOUT),
    ("wrong class", WRONG_CLASS, "middle", 7, unreadable(wrong_instances()), WITHOUT),
    ("wrong class", WRONG_CLASS, "last", 7, unreadable(wrong_instances()), WITHOUT),
]

SLOW_ACTIONS = ("stall", "trickle")

OPTIONS = None  # the command line of this script
support = None  # tests/inventory/support.py, once the path is set


class Outcome:
    """What one row's run left behind."""

    def __init__(self, row, run, requests, report):
        self.row, self.run, self.requests, self.report = row, run, requests, report


def run_place(rows, repository, directory, stall_limit):
    """Runs the rows of one place against one server; returns their outcomes."""
    from harness import SimServer
    rules = []
    for index, (_, rule, where, _, _, _) in enumerate(rows):
        number, operation, class_name = PLACES[where]
        rule = dict(rule, request=index * BLOCK + number, operation=operation)
        rule["class"] = class_name
        rules.append(rule)
    server = SimServer(repository=[repository], faults=rules, user=support.USER,
                       password=support.PASSWORD, lifetime=300)
    outcomes = []
    with server:
        for index, row in enumerate(rows):
            seen = len(server.requests())
            rs.advance_to(server.port, index * BLOCK, seen)
            report = os.path.join(directory, "%s-%d.xml" % (row[2], index))
            action = row[1]["action"]
            run = rs.run(["-s", "127.0.0.1:%d" % server.port, "-u", support.USER,
                          "-p", support.PASSWORD, "-t", FILTER, "-f", "XML", "-o" + report],
                         binary=OPTIONS.short_stall_telvanecli if action in SLOW_ACTIONS else None,
                         bound=stall_limit + STALL_MARGIN_SECONDS if action == "stall"
                         else rs.RUN_BOUND_SECONDS)
            first, last = index * BLOCK + 1, (index + 1) * BLOCK
            requests = [(r["operation"], r["class_name"]) for r in server.requests()
                        if first <= r["request"] <= last and r["authorized"]]
            content = None
            if os.path.exists(report):
                with open(report, "rb") as f:
                    content = f.read()
            outcomes.append(Outcome(row, run, requests, content))
    return outcomes


class FaultMatrix(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        import sample_inventory
        cls._directory = tempfile.TemporaryDirectory(prefix="fault-matrix-")
        cls.addClassCleanup(cls._directory.cleanup)
        repository = os.path.join(cls._directory.name, "sample.xml")
        with open(repository, "w", encoding="utf-8") as f:
            sample_inventory.write_repository(f, 1)
        cls.classes = [n for n in support.CATALOGUE if support.CATEGORY[n] in FILTER.split(",")]
        cls.expected = support.expected_report(repository, cls.classes)
        places = {}
        for row in MATRIX:
            places.setdefault(row[2], []).append(row)
        with concurrent.futures.ThreadPoolExecutor(max_workers=len(places)) as pool:
            lanes = [pool.submit(run_place, rows, repository, cls._directory.name,
                                 OPTIONS.stall_limit_seconds)
                     for rows in places.values()]
            cls.outcomes = [outcome for lane in lanes for outcome in lane.result()]

    def expectation(self, row):
        """(requests, classes read, (class, prefix) of an altered value or None)."""
        _, rule, where, _, _, report = row
        _, operation, faulty = PLACES[where]
        requests = [("GetClass", "NVX_ComputerSystem")]
        if report == NO_REPORT:
            return requests, [], None
        read = []
        for name in self.classes:
            for op in ("GetClass", "EnumerateInstances"):
                requests.append((op, name))
                if (op, name) != (operation, faulty):
                    continue
                if report == RETRIED:
                    requests.append((op, name))
                if report == BEFORE:
                    return requests, read, None
                if report == WITHOUT:
                    break
            if report != WITHOUT or name != faulty:
                read.append(name)
        return requests, read, (faulty, report[1]) if report[0] == "altered" else None

    def expected_nodes(self, read, altered_value):
        nodes = [node for node in self.expected if node[0] in read]
        if altered_value is not None:
            faulty, prefix = altered_value
            index = next(i for i, node in enumerate(nodes) if node[0] == faulty)
            name, properties = nodes[index][:3], list(nodes[index][3])
            position = next(i for i, p in enumerate(properties) if p[0] == "Element Name")
            element_name = properties[position]
            self.assertIsNone(element_name[3], "the oracle cannot alter a translated value")
            properties[position] = element_name[:2] + (prefix + element_name[2], None)
            nodes[index] = name + (properties,)
        return support.as_read(nodes)

    def test_matrix(self):
        self.assertEqual(len(self.outcomes), len(MATRIX))
        for outcome in self.outcomes:
            fault, rule, where, code, message, report = outcome.row
            run = outcome.run
            with self.subTest(fault=fault, where=where):
                rs.assert_sound_end(self, run)
                self.assertEqual(run.code, code, run)
                self.assertNotIn(support.PASSWORD.encode(), run.stdout + run.stderr)
                requests, read, altered_value = self.expectation(outcome.row)
                self.assertEqual(outcome.requests, requests, run)
                if message is not None:
                    pattern = message.replace("{class}", PLACES[where][2])
                    if rule["action"] == "stall":
                        pattern = pattern % self.stall_limit_text()
                    stream = run.stdout if code <= 5 else run.stderr
                    self.assertRegex(stream.decode("utf-8"), "^%s\n\\Z" % pattern, run)
                else:
                    self.assertEqual(run.stderr, b"", run)
                self.assertBound(rule, run)
                if report == NO_REPORT:
                    self.assertIsNone(outcome.report, "a failed check made a report file")
                    continue
                self.assertEqual(run.stdout.decode("utf-8"), "Loading...\n" + "".join(
                    "Reading: %s\n" % support.DISPLAY_NAME[name] for name in read) + "Done.\n")
                root = ET.fromstring(outcome.report)
                self.assertEqual(support.report_nodes(root),
                                 self.expected_nodes(read, altered_value))

    def assertBound(self, rule, run):
        """A stall ends at the no-byte limit (its run is killed STALL_MARGIN_SECONDS
        after it), not before; a trickle that takes longer than that limit in
        all still completes."""
        limit = OPTIONS.stall_limit_seconds
        if rule["action"] == "stall":
            self.assertGreaterEqual(run.elapsed, limit, run)
        if rule["action"] == "trickle":
            self.assertGreater(run.elapsed, limit, "the trickle was not slow enough: %r" % run)

    def stall_limit_text(self):
        limit = OPTIONS.stall_limit_seconds
        return "1 second" if limit == 1 else "%d seconds" % limit


if __name__ == "__main__":
    OPTIONS = rs.parse_arguments(sys.argv, [
        ("--short-stall-telvanecli", dict(required=True)),
        ("--stall-limit-seconds", dict(required=True, type=int)),
    ])
    import support  # noqa: E402  (importable once parse_arguments set the path)
    unittest.main()

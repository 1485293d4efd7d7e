#!/usr/bin/env python3
"""End-to-end tests of a collection that goes wrong: the simulated CIM server
injects one fault per class (its fault file is the table FAULTS), and reports
that cannot be written. Every run must end with the report of what could be
read, the right exit code, and one warning per lost class on standard error.

usage: collection_faults_test.py [unittest options] TELVANECLI REPO_ROOT
"""

import os
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

import support
from support import CATALOGUE, CATEGORY, PASSWORD

# One rule per class, each in a category of its own, so that a run filtered to
# that category meets this fault alone. effect: "missing" (skipped without a
# word), "unreadable" (skipped with a warning), "stop" (the collection ends) or
# "repaired" (read, the first instance's property holding value); message: what
# the warning's message must contain.
FAULTS = [
    dict(rule={"operation": "GetClass", "class": "NVX_Fan", "action": "cim_error", "code": 6},
         filter="FAN", effect="missing"),
    dict(rule={"operation": "EnumerateInstances", "class": "NVX_PCIDevice",
               "action": "cim_error", "code": 5},
         filter="PCI", effect="missing"),
    dict(rule={"operation": "EnumerateInstances", "class": "NVX_MemoryBoard",
               "action": "http_status", "status": 500},
         filter="MEMORY", effect="unreadable", message="500"),
    dict(rule={"operation": "GetClass", "class": "NVX_PowerMeter", "action": "cim_error",
               "code": 1, "description": "meter firmware busy"},
         filter="PS", effect="unreadable", message="meter firmware busy"),
    dict(rule={"operation": "EnumerateInstances", "class": "NVX_ProcessorCapabilities",
               "action": "malformed_xml"},
         filter="CPU", effect="unreadable", message=""),
    # FF FE C3 28 before the value: three ill-formed UTF-8 parts and a "(".
    dict(rule={"operation": "EnumerateInstances", "class": "NVX_ManagementProcessor",
               "action": "invalid_utf8", "property": "Name"},
         filter="MPX", effect="repaired", value="\ufffd\ufffd\ufffd(iRMC-QX7K034112"),
    # The event log's large reply breaks off half-way; the "SI" classes come before it.
    dict(rule={"operation": "EnumerateInstances", "class": "NVX_QELLogEntry", "action": "drop"},
         filter="SI,QEL", effect="stop", message=""),
]

FAULT_AT = {(f["rule"]["operation"], f["rule"]["class"]): f for f in FAULTS}


def expected_collection(classes):
    """What a run over these classes must do against the fault table: the
    requests, the classes read, and a pattern for each warning line."""
    requests, read, warnings = [], [], []
    for name in classes:
        fault = None
        for operation in ("GetClass", "EnumerateInstances"):
            requests.append((operation, name))
            fault = FAULT_AT.get((operation, name))
            if fault and fault["effect"] != "repaired":
                break  # a class whose definition fails is not enumerated
        if fault is None or fault["effect"] == "repaired":
            read.append(name)
        elif fault["effect"] == "unreadable":
            warnings.append("Warning: %s could not be read: (?=.*%s).+" % (name, fault["message"]))
        elif fault["effect"] == "stop":
            warnings.append("Warning: the collection stopped at %s: .+" % name)
            break
    return requests, read, warnings


def with_repairs(nodes):
    """The expected report nodes with the values of the "repaired" faults."""
    repaired = {f["rule"]["class"]: f for f in FAULTS if f["effect"] == "repaired"}
    out = []
    for node in nodes:
        fault = repaired.get(node[0])
        if fault and node[1] == "0":
            node = node[:3] + ([(name, cim_type, fault["value"], raw)
                                if name == fault["rule"]["property"] else
                                (name, cim_type, display, raw)
                                for name, cim_type, display, raw in node[3]],)
        out.append(node)
    return out


class CollectionFaults(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.sample = support.SampleServer(faults=[f["rule"] for f in FAULTS])
        cls.addClassCleanup(cls.sample.stop)
        cls.server = cls.sample.server

    def assertCollection(self, classes, *options):
        run, records, _ = support.run_logged(self.server, "-f", "xml", *options)
        requests, read, warnings = expected_collection(classes)
        self.assertEqual(run.code, 7 if warnings else 0, run)
        lines = run.stderr.decode("utf-8").splitlines(keepends=True)
        self.assertEqual(len(lines), len(warnings), run)
        for line, pattern in zip(lines, warnings):
            self.assertRegex(line, "^%s\n$" % pattern)
        self.assertNotIn(PASSWORD.encode(), run.stdout + run.stderr)
        self.assertEqual(support.collector_requests(self, records), requests)
        self.assertEqual(support.report_nodes(ET.fromstring(run.stdout)),
                         support.as_read(with_repairs(
                             [node for node in self.sample.expected if node[0] in read])))

    def test_each_fault_alone(self):
        for fault in FAULTS:
            with self.subTest(rule=fault["rule"]):
                categories = fault["filter"].split(",")
                self.assertCollection([n for n in CATALOGUE if CATEGORY[n] in categories],
                                      "-t", fault["filter"])

    def test_every_fault_in_one_full_run(self):
        # Missing classes pass silently, each unreadable class warns and the
        # next class is read, and the dropped connection ends the collection.
        self.assertCollection(CATALOGUE)

    def test_report_that_cannot_be_written(self):
        missing = os.path.join(self.sample.directory, "missing")
        rows = [
            # (options, standard output of telvanecli, message, collection runs)
            (["-o" + os.path.join(missing, "report.txt")], subprocess.PIPE,
             "Error: Unable to write the report to '%s': No such file or directory.\n"
             % os.path.join(missing, "report.txt"), False),
            (["-o/dev/full"], subprocess.PIPE,
             "Error: Unable to write the report to '/dev/full': No space left on device.\n", True),
            ([], "/dev/full",
             "Error: Unable to write the report to standard output: No space left on device.\n",
             True),
        ]
        for options, stdout, message, collects in rows:
            with self.subTest(options=options, stdout=stdout):
                if stdout != subprocess.PIPE:
                    stdout = open(stdout, "wb")
                    self.addCleanup(stdout.close)
                run, records, _ = support.run_logged(self.server, "-t", "OS", *options,
                                                     stdout=stdout)
                self.assertEqual((run.code, run.stderr.decode("utf-8")), (6, message), run)
                if collects:
                    self.assertEqual(support.collector_requests(self, records),
                                     support.requests_for(["NVX_OperatingSystem"]))
                else:
                    # Found before connecting: no request, no file, no directory.
                    self.assertEqual((run.stdout, records), (b"", []))
                    self.assertFalse(os.path.exists(missing))


if __name__ == "__main__":
    support.configure(sys.argv)
    unittest.main()

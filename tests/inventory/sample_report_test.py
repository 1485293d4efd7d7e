#!/usr/bin/env python3
"""End-to-end tests of the collection: telvanecli reads the sample inventory
from the simulated CIM server on 127.0.0.1. One server serves every test; the
request log shows which operations reached it.

Expected reports are checked in under data/ (time stamp and port masked) and,
independently of them, computed from the repository file that the server
serves (support.expected_report).

usage: sample_report_test.py [unittest options] TELVANECLI REPO_ROOT
"""

import datetime
import os
import re
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

import support
from support import CATALOGUE, CATEGORY, DISPLAY_NAME, PASSWORD, USER

HERE = os.path.dirname(os.path.abspath(__file__))
EXPECTED_TEXT = os.path.join(HERE, "data", "sample_report.txt")
EXPECTED_XML = os.path.join(HERE, "data", "sample_report.xml")

TIME_FORMAT = "%A %B %d, %Y %I:%M:%S%p"
TIME_SHAPE = re.compile(r"[A-Z][a-z]+day [A-Z][a-z]+ \d\d, \d{4} (0\d|1[0-2]):\d\d:\d\d[AP]M")
TIME_STAMP = re.compile(rb'(?<=time_generated=")[^"]*|(?<=  Time Generated: )[^\r\n]*')

GET_CLASS_PARAMS = {"LocalOnly": "FALSE", "IncludeQualifiers": "TRUE", "IncludeClassOrigin": "TRUE"}
ENUMERATE_PARAMS = dict(GET_CLASS_PARAMS, DeepInheritance="TRUE")


class SampleInventory(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.sample = support.SampleServer()
        cls.addClassCleanup(cls.sample.stop)
        cls.server = cls.sample.server
        cls.expected = cls.sample.expected
        cls.expected_read = support.as_read(cls.expected)
        cls.xml_path = os.path.join(cls.sample.directory, "report.xml")
        cls.xml_run, cls.xml_records, cls.xml_window = cls.run_logged(
            "-f", "xml", "--output=" + cls.xml_path)
        with open(cls.xml_path, "rb") as f:
            cls.xml_report = f.read()

    @classmethod
    def run_logged(cls, *options):
        return support.run_logged(cls.server, *options)

    def assertNoPassword(self, *texts):
        for text in texts:
            self.assertNotIn(PASSWORD.encode(), text)

    def masked(self, report, window):
        """The report with its time stamps and the server's port replaced by
        @TIME@ and @PORT@, after checking that each stamp is the run's local time."""
        for stamp in TIME_STAMP.findall(report):
            stamp = stamp.decode("ascii")
            self.assertRegex(stamp, TIME_SHAPE)
            moment = datetime.datetime.strptime(stamp, TIME_FORMAT)
            self.assertTrue(window[0] <= moment <= window[1], (stamp, window))
        report, stamps = TIME_STAMP.subn(b"@TIME@", report)
        self.assertEqual(stamps, 1)
        return report.replace(b"127.0.0.1:%d" % self.server.port, b"127.0.0.1:@PORT@")

    def assertCollectorRequests(self, records, classes):
        self.assertEqual(support.collector_requests(self, records), support.requests_for(classes))

    # ---- the whole catalogue ------------------------------------------------------------------

    def test_a_full_run_sends_two_requests_per_class_in_name_order(self):
        records = self.xml_records
        self.assertCollectorRequests(records, CATALOGUE)
        self.assertEqual(len(records) - 1, 124)
        for record in records[1:]:
            self.assertEqual(record["namespace"], "root/quorvin")
            self.assertIsNone(record["property_list"])
            self.assertEqual(record["params"], GET_CLASS_PARAMS if record["operation"] == "GetClass"
                             else ENUMERATE_PARAMS, record["request"])
        # The collector has a client of its own, kept alive over the whole collection.
        self.assertEqual(len({r["connection"] for r in records[1:]}), 1)
        self.assertNotEqual(records[0]["connection"], records[1]["connection"])

    def test_console_text_report_equals_the_expected_file(self):
        run, records, window = self.run_logged()
        self.assertEqual((run.code, run.stderr), (0, b""), run)
        self.assertCollectorRequests(records, CATALOGUE)
        with open(EXPECTED_TEXT, "rb") as f:
            expected = f.read()
        self.assertEqual(self.masked(run.stdout, window), expected)
        self.assertNoPassword(run.stdout)

    def test_expected_text_file_shows_the_sample_inventory(self):
        # The checked-in report against one rendered from the repository file:
        # banner, header, the empty title of "provider_data", then one block
        # per instance with its properties' escaped values, all lines "\r\n".
        lines = ["Quorvin Telvane v1.1-4", "  Time Generated: @TIME@",
                 "  Server: 127.0.0.1:@PORT@, Username: ops&amp;e2e", "  "]
        for _, _, description, properties in self.expected:
            lines.append("  " + description)
            lines += ["      %s = %s" % (name, support.value_as_stored(display))
                      for name, _, display, _ in properties]
        with open(EXPECTED_TEXT, "rb") as f:
            self.assertEqual(f.read().decode("utf-8"), "".join(line + "\r\n" for line in lines))

    def test_xml_report_file_equals_the_expected_file(self):
        run = self.xml_run
        self.assertEqual((run.code, run.stderr), (0, b""), run)
        with open(EXPECTED_XML, "rb") as f:
            # Stored with a line break between elements for reading; the report has none.
            expected = f.read().rstrip(b"\n").replace(b">\n<", b"><")
        self.assertEqual(self.masked(self.xml_report, self.xml_window), expected)
        self.assertNoPassword(run.stdout, self.xml_report)

    def test_xml_report_is_well_formed_for_xmllint(self):
        result = subprocess.run(["xmllint", "--noout", self.xml_path], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        self.assertEqual((result.returncode, result.stderr), (0, b""))

    def test_xml_report_reads_back_as_the_repository_says(self):
        root = ET.fromstring(self.xml_report)
        self.assertEqual(root.attrib, {
            "server": "127.0.0.1:%d" % self.server.port, "username": USER,
            "telvane_version": "1.1-4", "time_generated": root.get("time_generated")})
        self.assertEqual([child.tag for child in root], ["provider_data"])
        actual = support.report_nodes(root)
        self.assertEqual(len(actual), 541)
        self.assertEqual(actual, self.expected_read)

    def test_report_to_a_file_prints_only_progress(self):
        read = [name for name in CATALOGUE if any(node[0] == name for node in self.expected)]
        self.assertEqual(len(read), 60)  # the two blade enclosure classes have no instances
        self.assertEqual(self.xml_run.stdout.decode("utf-8"),
                         "Loading...\n" + "".join("Reading: %s\n" % DISPLAY_NAME[name]
                                                  for name in read) + "Done.\n")

    # ---- the category filter ------------------------------------------------------------------

    def test_category_filter(self):
        # filter text -> categories whose classes are requested and reported
        rows = [
            ("cpu", {"CPU"}),
            ("CPU,FAN", {"CPU", "FAN"}),
            ("CPU, FAN", {"CPU"}),     # " FAN" names no category
            (",", set()),              # two empty tokens select nothing
            ("CPU,", {"CPU"}),
            ("", set(CATEGORY.values())),  # an empty filter is no filter
        ]
        for text, categories in rows:
            with self.subTest(filter=text):
                run, records, _ = self.run_logged("-f", "xml", "-t", text)
                self.assertEqual((run.code, run.stderr), (0, b""), run)
                selected = [name for name in CATALOGUE if CATEGORY[name] in categories]
                self.assertCollectorRequests(records, selected)
                self.assertEqual(support.report_nodes(ET.fromstring(run.stdout)),
                                 [node for node in self.expected_read if node[0] in selected])


if __name__ == "__main__":
    support.configure(sys.argv)
    unittest.main()

"""Fault injection: each rule changes the reply as its README entry says, and
only for the requests it matches."""

import gzip
import unittest
import xml.etree.ElementTree as ET
import zlib

import raw_client
from support import SMALL_REPOSITORY, SimServer

ENUM = "EnumerateInstances"


class Faults(unittest.TestCase):
    def run_rule(self, rule, method=ENUM, class_name="NVX_Fan", **post_options):
        """(faulty reply, normal reply) for the same request."""
        with SimServer(repository=[SMALL_REPOSITORY], faults=[dict(rule, times=1)]) as server:
            faulty = raw_client.call(server.port, method, class_name, **post_options)
            normal = raw_client.call(server.port, method, class_name, **post_options)
            self.assertEqual(server.requests()[0]["fault"], rule["action"])
        self.assertEqual(normal.status, 200)
        self.assertTrue(normal.complete)
        return faulty, normal

    def test_status_and_error_replies(self):
        rows = [
            ({"action": "http_status", "status": 500}, 500, {}),
            ({"action": "http_status", "status": 403}, 403, {}),
            ({"action": "http_status", "status": 401, "www_authenticate": 'Basic "host:5989"'},
             401, {"www-authenticate": 'Basic "host:5989"'}),
            ({"action": "cim_error", "code": 1, "where": "header", "cim_error": "request-not-valid"},
             400, {"cimerror": "request-not-valid", "cimstatuscode": "1",
                   "cimstatuscodedescription": "CIM_ERR_FAILED"}),
        ]
        for rule, status, headers in rows:
            with self.subTest(rule=rule):
                faulty, _ = self.run_rule(rule)
                self.assertEqual(faulty.status, status)
                for name, value in headers.items():
                    self.assertEqual(faulty.header(name), value)

    def test_cim_error_in_body_and_in_trailer(self):
        faulty, _ = self.run_rule({"action": "cim_error", "code": 2,
                                   "description": "no <access> & more"})
        error = ET.fromstring(faulty.body).find(".//ERROR")
        self.assertEqual((error.get("CODE"), error.get("DESCRIPTION")),
                         ("2", "no <access> & more"))

        faulty, normal = self.run_rule({"action": "cim_error", "code": 5, "where": "trailer",
                                        "description": "CIM_ERR_INVALID_CLASS: a b"})
        self.assertEqual(faulty.header("Transfer-Encoding"), "chunked")
        self.assertEqual(faulty.header("Trailer"), "CIMStatusCode, CIMStatusCodeDescription")
        self.assertEqual(faulty.trailers, {"cimstatuscode": "5",
                                           "cimstatuscodedescription":
                                               "CIM_ERR_INVALID_CLASS%3A%20a%20b"})
        self.assertEqual(faulty.body, normal.body)

        faulty, _ = self.run_rule({"action": "cim_error", "code": 5, "where": "trailer",
                                   "description": "CIM_ERR_INVALID_CLASS: a b",
                                   "raw_description": True})
        self.assertEqual(faulty.trailers["cimstatuscodedescription"], "CIM_ERR_INVALID_CLASS: a b")

    def test_connection_faults(self):
        rows = [
            ({"action": "drop", "at": "before_headers"}, None, False),
            ({"action": "drop", "at": "after_headers"}, 200, False),
            ({"action": "drop", "after_bytes": 50}, 200, False),
            ({"action": "truncated_chunked", "after_bytes": 300}, 200, False),
            ({"action": "truncated_chunked"}, 200, False),
        ]
        for rule, status, complete in rows:
            with self.subTest(rule=rule):
                faulty, normal = self.run_rule(rule)
                self.assertEqual(faulty.status, status)
                self.assertEqual(faulty.complete, complete)
                self.assertLess(len(faulty.body), len(normal.body))

    def test_stall_and_trickle_take_time(self):
        rows = [
            ({"action": "stall", "seconds": 1.0}, True, 1.0),
            ({"action": "stall", "seconds": 1.0, "at": "mid_body", "after_bytes": 10}, True, 1.0),
            ({"action": "stall", "seconds": 1.0, "then": "drop"}, False, 1.0),
            ({"action": "trickle", "piece_bytes": 200, "interval": 0.05}, True, 0.2),
        ]
        for rule, complete, seconds in rows:
            with self.subTest(rule=rule):
                faulty, normal = self.run_rule(rule)
                self.assertEqual(faulty.complete, complete)
                self.assertGreaterEqual(faulty.elapsed, seconds)
                if complete:
                    self.assertEqual(faulty.body, normal.body)
                if rule["action"] == "stall" and rule.get("at") != "mid_body":
                    self.assertTrue(faulty.first_byte_after is None
                                    or faulty.first_byte_after >= seconds)

    def test_damaged_bodies(self):
        def utf8(body):
            return body.decode("utf-8")
        rows = [
            ({"action": "malformed_xml"}, ET.fromstring, ET.ParseError),
            ({"action": "malformed_xml", "style": "truncated"}, ET.fromstring, ET.ParseError),
            ({"action": "malformed_xml", "style": "control_char"}, ET.fromstring, ET.ParseError),
            ({"action": "invalid_utf8", "property": "Caption"}, utf8, UnicodeDecodeError),
        ]
        for rule, check, error in rows:
            with self.subTest(rule=rule):
                faulty, normal = self.run_rule(rule)
                self.assertTrue(faulty.complete)
                check(normal.body)
                with self.assertRaises(error):
                    check(faulty.body)
        faulty, _ = self.run_rule({"action": "invalid_utf8", "property": "Caption"})
        self.assertIn(b"<VALUE>\xff\xfe\xc3(System fan 1</VALUE>", faulty.body)

    def test_oversized_value_and_wrong_class(self):
        faulty, _ = self.run_rule({"action": "oversized_value", "bytes": 3000000,
                                   "property": "DeviceID"})
        first = ET.fromstring(faulty.body).find(".//PROPERTY[@NAME='DeviceID']/VALUE")
        self.assertEqual(len(first.text), 3000000 + len("FAN 1"))

        faulty, _ = self.run_rule({"action": "wrong_class", "other_class": "NVX_ComputerSystem"},
                                  method="GetClass")
        self.assertEqual(ET.fromstring(faulty.body).find(".//CLASS").get("NAME"),
                         "NVX_ComputerSystem")

    def test_compressed_bodies_only_when_accepted(self):
        rows = [
            ("gzip", "gzip, deflate", "gzip", gzip.decompress),
            ("deflate", "deflate", "deflate", zlib.decompress),
            ("gzip", None, None, None),
        ]
        for encoding, accepted, sent, decompress in rows:
            with self.subTest(encoding=encoding, accepted=accepted):
                extra = [("Accept-Encoding", accepted)] if accepted else []
                faulty, normal = self.run_rule({"action": "none", "encoding": encoding},
                                               extra_headers=extra)
                self.assertEqual(faulty.header("Content-Encoding"), sent)
                body = decompress(faulty.body) if decompress else faulty.body
                self.assertEqual(body, normal.body)

    def test_rules_match_by_operation_class_and_request_number(self):
        rules = [{"request": [2, 4], "action": "http_status", "status": 503},
                 {"operation": "GetClass", "class": "nvx_fan", "times": 1,
                  "action": "http_status", "status": 500}]
        calls = [("GetClass", "NVX_ComputerSystem"), ("GetClass", "NVX_Fan"),
                 ("GetClass", "NVX_Fan"), ("GetClass", "NVX_Fan"), ("GetClass", "NVX_Fan")]
        with SimServer(repository=[SMALL_REPOSITORY], faults=rules) as server:
            statuses = [raw_client.call(server.port, m, c).status for m, c in calls]
        self.assertEqual(statuses, [200, 503, 500, 503, 200])

    def test_bad_fault_file_is_refused_at_start(self):
        server = SimServer(repository=[SMALL_REPOSITORY], faults=[{"action": "explode"}])
        with self.assertRaisesRegex(Exception, "unknown action 'explode'"):
            server.start()
        server.stop()


if __name__ == "__main__":
    unittest.main()

"""A CIM client nobody here wrote (Debian's sblim-wbemcli) reads classes and
instances from the simulated server over HTTPS."""

import subprocess
import unittest

from support import CIM_DTD, SMALL_REPOSITORY, SimServer


def wbemcli(*args):
    return subprocess.run(["wbemcli"] + list(args) + ["-noverify"], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True, timeout=60)


class WbemcliReadsTheServer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = SimServer(repository=[SMALL_REPOSITORY]).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def test_class_with_inherited_properties_and_qualifiers(self):
        result = wbemcli("gc", "-t", self.server.url("NVX_HotPlugFan"))
        self.assertEqual(result.returncode, 0, result.stderr)
        # "#" marks a key: wbemcli knows it only from the Key qualifier it parsed.
        for shown in ("DeviceID#=", "OperationalStatus[]=", "HealthState=", "Caption=",
                      "HotSwappable="):
            self.assertIn(shown, result.stdout)

    def test_instances_of_a_class_and_its_subclass(self):
        result = wbemcli("ei", "-nl", self.server.url("NVX_Fan"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn('NVX_Fan.DeviceID="FAN 1"', result.stdout)
        self.assertIn('NVX_HotPlugFan.DeviceID="FAN 3"', result.stdout)
        self.assertIn("-DesiredSpeed=18446744073709551615", result.stdout)
        self.assertIn("-HotSwappable=TRUE", result.stdout)

    def test_values_that_need_escaping_arrive_intact(self):
        result = wbemcli("ei", "-nl", self.server.url("NVX_ComputerSystem"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn('-Caption="Rack & <Row> "7" 100%"', result.stdout)
        self.assertIn("-OperationalStatus=2,3", result.stdout)

    def test_unknown_class_is_a_cim_error(self):
        result = wbemcli("gc", self.server.url("NVX_NoSuchClass"))
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("(6) CIM_ERR_NOT_FOUND", result.stderr)

    def test_wrong_password_is_rejected(self):
        result = wbemcli("gc", self.server.url("NVX_Fan", password="wrong"))
        self.assertNotEqual(result.returncode, 0)
        self.assertEqual(self.server.requests()[-1]["status"], 401)

    def test_log_records_requests_in_order_with_valid_bodies(self):
        with SimServer(repository=[SMALL_REPOSITORY]) as server:
            self.assertEqual(wbemcli("gc", server.url("NVX_Fan")).returncode, 0)
            self.assertEqual(wbemcli("ei", server.url("NVX_Fan")).returncode, 0)
            records = server.requests()
            self.assertEqual([(r["operation"], r["class_name"]) for r in records],
                             [("GetClass", "NVX_Fan"), ("EnumerateInstances", "NVX_Fan")])
            self.assertEqual(records[0]["params"]["LocalOnly"], "FALSE")
            for record in records:
                check = subprocess.run(
                    ["xmllint", "--noout", "--dtdvalid", CIM_DTD, "-"],
                    input=server.request_body(record["request"]), stdout=subprocess.PIPE,
                    stderr=subprocess.PIPE, timeout=30)
                self.assertEqual(check.returncode, 0, check.stderr)

    def test_chunked_replies_and_an_error_in_the_trailer(self):
        rules = [{"operation": "EnumerateInstances", "action": "cim_error", "code": 5,
                  "description": "CIM_ERR_INVALID_CLASS: gone", "where": "trailer"}]
        with SimServer(repository=[SMALL_REPOSITORY], faults=rules,
                       extra_args=["--chunked", "--chunk-bytes", "100"]) as server:
            good = wbemcli("gc", "-cte", server.url("NVX_Fan"))
            self.assertEqual(good.returncode, 0, good.stderr)
            self.assertIn("DesiredSpeed=", good.stdout)
            failed = wbemcli("ei", "-cte", server.url("NVX_Fan"))
            self.assertNotEqual(failed.returncode, 0)
            self.assertIn("(5)", failed.stderr)


if __name__ == "__main__":
    unittest.main()

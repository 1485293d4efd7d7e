"""GetClass and EnumerateInstances flags, CIM errors, authentication and the
HTTP side (keep-alive, M-POST, protocol errors), checked on the wire."""

import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

import raw_client
from support import REPO_ROOT, SMALL_REPOSITORY, SimServer


def parse(response):
    return ET.fromstring(response.body)


def property_names(element):
    return [p.get("NAME") for p in element
            if p.tag in ("PROPERTY", "PROPERTY.ARRAY", "PROPERTY.REFERENCE")]


def error_code(response):
    error = parse(response).find(".//ERROR")
    return None if error is None else int(error.get("CODE"))


class Operations(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = SimServer(repository=[SMALL_REPOSITORY]).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def get_class(self, name, **flags):
        response = raw_client.call(self.server.port, "GetClass", name, list(flags.items()))
        self.assertEqual(response.status, 200)
        self.assertEqual(response.header("CIMOperation"), "MethodResponse")
        return parse(response).find(".//CLASS")

    def enumerate(self, name, **flags):
        response = raw_client.call(self.server.port, "EnumerateInstances", name,
                                   list(flags.items()))
        self.assertEqual(response.status, 200)
        return parse(response).findall(".//VALUE.NAMEDINSTANCE")

    def test_get_class_flags(self):
        inherited = ["Caption", "ElementName", "HealthState", "OperationalStatus", "DeviceID",
                     "VariableSpeed", "DesiredSpeed"]
        rows = [
            ({"LocalOnly": False}, inherited + ["HotSwappable"]),
            ({}, ["HotSwappable"]),  # LocalOnly defaults to TRUE
            ({"LocalOnly": True}, ["HotSwappable"]),
            ({"LocalOnly": False, "PropertyList": ["healthstate", "HotSwappable", "Nope"]},
             ["HealthState", "HotSwappable"]),
            ({"LocalOnly": False, "PropertyList": []}, []),
        ]
        for flags, expected in rows:
            with self.subTest(flags=flags):
                self.assertEqual(property_names(self.get_class("NVX_HotPlugFan", **flags)),
                                 expected)

    def test_get_class_qualifiers_and_origin(self):
        cls = self.get_class("nvx_fan", LocalOnly=False, IncludeQualifiers=True,
                             IncludeClassOrigin=True)
        self.assertEqual(cls.get("NAME"), "NVX_Fan")
        self.assertEqual(cls.get("SUPERCLASS"), "CIM_ManagedSystemElement")
        health = cls.find("PROPERTY[@NAME='HealthState']")
        self.assertEqual(health.get("CLASSORIGIN"), "CIM_ManagedSystemElement")
        self.assertEqual(health.get("PROPAGATED"), "true")
        values = health.find("QUALIFIER[@NAME='Values']")
        self.assertEqual(values.get("PROPAGATED"), "true")
        self.assertEqual([v.text for v in values.find("VALUE.ARRAY")][:3],
                         ["Unknown", "OK", "Degraded/Warning"])
        # An override keeps its own Description and inherits MaxLen.
        caption = cls.find("PROPERTY[@NAME='Caption']")
        self.assertEqual(caption.get("CLASSORIGIN"), "NVX_Fan")
        self.assertIsNone(caption.get("PROPAGATED"))
        self.assertEqual([q.get("NAME") for q in caption.findall("QUALIFIER")],
                         ["Description", "MaxLen"])
        # Abstract is restricted to the class that carries it.
        self.assertIsNone(cls.find("QUALIFIER[@NAME='Abstract']"))
        self.assertEqual(cls.find("PROPERTY[@NAME='DesiredSpeed']/VALUE").text, "0")

        bare = self.get_class("NVX_Fan", LocalOnly=False, IncludeQualifiers=False)
        self.assertEqual(bare.findall(".//QUALIFIER"), [])
        self.assertIsNone(bare.find("PROPERTY").get("CLASSORIGIN"))

    def test_enumerate_instances_flags(self):
        def rows_of(instances):
            return [(i.find("INSTANCE").get("CLASSNAME"), property_names(i.find("INSTANCE")))
                    for i in instances]
        deep = rows_of(self.enumerate("NVX_Fan", LocalOnly=False))
        self.assertEqual([c for c, _ in deep], ["NVX_Fan", "NVX_Fan", "NVX_HotPlugFan"])
        self.assertIn("HotSwappable", deep[2][1])
        shallow = rows_of(self.enumerate("NVX_Fan", LocalOnly=False, DeepInheritance=False))
        self.assertEqual(shallow[2][1], ["DeviceID", "Caption", "HealthState",
                                         "VariableSpeed", "DesiredSpeed"])
        local = rows_of(self.enumerate("NVX_Fan", LocalOnly=True, DeepInheritance=False))
        # HealthState is inherited from above NVX_Fan; Caption is overridden in it.
        self.assertEqual(local[0][1], ["DeviceID", "Caption", "VariableSpeed", "DesiredSpeed"])
        listed = rows_of(self.enumerate("NVX_Fan", LocalOnly=False,
                                        PropertyList=["DeviceID", "HotSwappable"]))
        self.assertEqual([p for _, p in listed], [["DeviceID"], ["DeviceID"],
                                                   ["DeviceID", "HotSwappable"]])

    def test_enumerate_instances_paths_and_origin(self):
        instances = self.enumerate("NVX_ComputerSystem", LocalOnly=False,
                                   IncludeClassOrigin=True)
        self.assertEqual(len(instances), 1)
        keys = {k.get("NAME"): k.find("KEYVALUE").text
                for k in instances[0].findall("INSTANCENAME/KEYBINDING")}
        self.assertEqual(keys, {"CreationClassName": "NVX_ComputerSystem",
                                "Name": "rack-01.example.com"})
        instance = instances[0].find("INSTANCE")
        self.assertEqual(instance.find("PROPERTY[@NAME='Caption']").get("CLASSORIGIN"),
                         "CIM_ManagedElement")
        self.assertEqual(instance.find("PROPERTY[@NAME='Caption']/VALUE").text,
                         'Rack & <Row> "7" 100%')
        null = instance.find("PROPERTY[@NAME='ElementName']")
        self.assertIsNone(null.find("VALUE"))

    def test_cim_errors(self):
        rows = [
            ("GetClass", "NVX_Nope", "root/quorvin", 6),
            ("EnumerateInstances", "NVX_Nope", "root/quorvin", 5),
            ("GetClass", "NVX_Fan", "root/other", 3),
            ("EnumerateInstances", "NVX_Fan", "ROOT/Quorvin", None),
            ("DeleteClass", "NVX_Fan", "root/quorvin", 7),
            ("GetClass", None, "root/quorvin", 4),
        ]
        for method, name, namespace, expected in rows:
            with self.subTest(method=method, name=name, namespace=namespace):
                response = raw_client.call(self.server.port, method, name, namespace=namespace)
                self.assertEqual(response.status, 200)
                self.assertEqual(error_code(response), expected)

    def test_authentication(self):
        rows = [(None, None), ("telvane", "wrong"), ("other", "secret"), ("telvane", "")]
        for user, password in rows:
            with self.subTest(user=user, password=password):
                response = raw_client.call(self.server.port, "GetClass", "NVX_Fan",
                                           user=user, password=password)
                self.assertEqual(response.status, 401)
                self.assertTrue(response.header("WWW-Authenticate").startswith("Basic realm="))

    def test_credentials_are_compared_exactly_as_given(self):
        user, password = "ad@min ü", "p:w/%# ü@"
        with SimServer(repository=[SMALL_REPOSITORY], user=user, password=password) as server:
            rows = [(user, password, 200), (user, "p:w/%# u@", 401), ("AD@min ü", password, 401),
                    (user + ":p", ":w/%# ü@", 401)]
            for given_user, given_password, status in rows:
                with self.subTest(user=given_user, password=given_password):
                    response = raw_client.call(server.port, "GetClass", "NVX_Fan",
                                               user=given_user, password=given_password)
                    self.assertEqual(response.status, status)

    def test_protocol_errors(self):
        body = raw_client.request_body("GetClass", "NVX_Fan")
        rows = [
            ({"method": "EnumerateInstances"}, 400, "header-mismatch"),
            ({"method": "GetClass", "namespace": "root/cimv2"}, 400, "header-mismatch"),
            ({"method": "GetClass", "cim_headers": False}, 400, None),
            ({"method": "GetClass", "body": b"<CIM><MESSAGE"}, 400, "request-not-well-formed"),
            ({"method": "GetClass", "verb": "PUT"}, 501, None),
        ]
        for options, status, cim_error in rows:
            with self.subTest(options=options):
                options = dict(options)
                response = raw_client.post(self.server.port, options.pop("body", body),
                                           **options)
                self.assertEqual(response.status, status)
                self.assertEqual(response.header("CIMError"), cim_error)

    def test_keep_alive_and_m_post(self):
        body = raw_client.request_body("GetClass", "NVX_Fan")
        with raw_client.Connection(self.server.port) as connection:
            first = connection.post(body, method="GetClass")
            second = connection.post(body, cim_headers=False, verb="M-POST", extra_headers=[
                ("Man", "http://www.dmtf.org/cim/mapping/http/v1.0;ns=73"),
                ("73-CIMOperation", "MethodCall"), ("73-CIMMethod", "GetClass"),
                ("73-CIMObject", "root%2Fquorvin")])
        self.assertEqual(first.status, 200)
        self.assertEqual(second.status, 200)
        self.assertEqual(second.header("73-CIMOperation"), "MethodResponse")
        self.assertEqual(first.body, second.body)
        records = self.server.requests()[-2:]
        self.assertEqual(records[0]["connection"], records[1]["connection"])
        self.assertEqual(records[1]["http_method"], "M-POST")


class Options(unittest.TestCase):
    def test_instance_qualifiers_and_omitted_empty_result(self):
        with SimServer(repository=[SMALL_REPOSITORY],
                       extra_args=["--instance-qualifiers", "--omit-empty-result"]) as server:
            with_qualifiers = raw_client.call(server.port, "EnumerateInstances", "NVX_Fan", [
                ("LocalOnly", False), ("IncludeQualifiers", True)])
            without = raw_client.call(server.port, "EnumerateInstances", "NVX_Fan", [
                ("LocalOnly", False), ("IncludeQualifiers", False)])
            empty = raw_client.call(server.port, "EnumerateInstances", "NVX_PowerSupply")
        health = parse(with_qualifiers).find(".//INSTANCE/PROPERTY[@NAME='HealthState']")
        self.assertEqual([q.get("NAME") for q in health.findall("QUALIFIER")],
                         ["ValueMap", "Values"])
        self.assertEqual(health.find("VALUE").text, "5")
        self.assertEqual(parse(without).findall(".//QUALIFIER"), [])
        self.assertIsNotNone(parse(empty).find(".//IMETHODRESPONSE"))
        self.assertIsNone(parse(empty).find(".//IRETURNVALUE"))


    def test_idle_timeout_does_not_cut_a_large_reply_to_a_slow_reader(self):
        rules = [{"action": "oversized_value", "bytes": 8 * 1024 * 1024}]
        with SimServer(repository=[SMALL_REPOSITORY], faults=rules,
                       extra_args=["--idle-timeout", "1"]) as server:
            with raw_client.Connection(server.port, read_pause=0.005) as connection:
                response = connection.post(raw_client.request_body("GetClass", "NVX_Fan"),
                                           method="GetClass")
        self.assertTrue(response.complete)
        self.assertGreater(response.elapsed, 1.5)

    def test_expect_header_rejected_on_request(self):
        body = raw_client.request_body("GetClass", "NVX_Fan")
        expect = [("Expect", "100-continue")]
        with SimServer(repository=[SMALL_REPOSITORY], extra_args=["--reject-expect"]) as server:
            rejected = raw_client.post(server.port, body, method="GetClass",
                                       extra_headers=expect, send_body=False)
            plain = raw_client.post(server.port, body, method="GetClass")
        with SimServer(repository=[SMALL_REPOSITORY]) as server:
            with raw_client.Connection(server.port) as connection:
                continued = connection.post(body, method="GetClass", extra_headers=expect,
                                            send_body=False)
                connection.sock.sendall(body)
                final = connection.read_response()
        self.assertEqual((rejected.status, plain.status), (417, 200))
        self.assertEqual((continued.status, final.status), (100, 200))


class Lifetime(unittest.TestCase):
    def test_server_stops_by_itself(self):
        server = SimServer(repository=[SMALL_REPOSITORY], lifetime=1).start()
        try:
            self.assertEqual(server.process.wait(timeout=20), 0)
        finally:
            server.stop()

    def test_shell_harness_starts_and_stops_a_server(self):
        harness = [sys.executable, os.path.join(REPO_ROOT, "tools", "simserver", "harness.py")]
        with tempfile.TemporaryDirectory() as state:
            started = subprocess.run(harness + ["start", "--state-dir", state, "--repository",
                                                SMALL_REPOSITORY, "--no-auth"],
                                     stdout=subprocess.PIPE, text=True, timeout=150)
            self.assertEqual(started.returncode, 0)
            port = int(started.stdout)
            with open(os.path.join(state, "server.pid"), encoding="ascii") as f:
                pid = int(f.read())
            response = raw_client.call(port, "GetClass", "NVX_Fan", user=None)
            self.assertEqual(response.status, 200)
            stopped = subprocess.run(harness + ["stop", "--state-dir", state], timeout=60)
            self.assertEqual(stopped.returncode, 0)
            with self.assertRaises(ProcessLookupError):
                os.kill(pid, 0)


if __name__ == "__main__":
    unittest.main()

"""Replay mode: recorded bodies go out byte for byte, with the recorded headers
and trailers; requests without a recording fall back to the repository."""

import os
import unittest

import raw_client
from support import DATA_DIR, SMALL_REPOSITORY, SimServer

REPLAY_DIR = os.path.join(DATA_DIR, "replay")


def recorded(name):
    with open(os.path.join(REPLAY_DIR, name), "rb") as f:
        return f.read()


class Replay(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = SimServer(repository=[SMALL_REPOSITORY], replay=REPLAY_DIR).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def test_recorded_bodies_are_served_verbatim(self):
        rows = [("GetClass", "CIM_ComputerSystem", "GetClass_CIM_ComputerSystem.xml"),
                ("EnumerateInstances", "nvx_missing", "EnumerateInstances_NVX_Missing.xml")]
        for method, class_name, file_name in rows:
            with self.subTest(method=method, class_name=class_name):
                response = raw_client.call(self.server.port, method, class_name)
                self.assertEqual(response.status, 200)
                self.assertEqual(response.header("CIMOperation"), "MethodResponse")
                self.assertIsNone(response.header("Transfer-Encoding"))
                self.assertEqual(response.body, recorded(file_name))

    def test_recorded_headers_make_a_chunked_reply_with_trailers(self):
        response = raw_client.call(self.server.port, "EnumerateInstances", "PyWBEM_Person")
        self.assertTrue(response.complete)
        self.assertEqual(response.header("Transfer-Encoding"), "chunked")
        self.assertEqual(response.body, recorded("EnumerateInstances_PyWBEM_Person.xml"))
        self.assertEqual(response.trailers["cimstatuscode"], "1")
        self.assertEqual(response.trailers["cimstatuscodedescription"],
                         "CIM_ERR_FAILED%3A%20provider%20gone")

    def test_requests_without_recording_use_the_repository(self):
        response = raw_client.call(self.server.port, "GetClass", "NVX_Fan")
        self.assertIn(b'<CLASS NAME="NVX_Fan"', response.body)


if __name__ == "__main__":
    unittest.main()

"""The sample inventory: its generator, and the server serving it to wbemcli and
to a raw client with the values and qualifiers a report needs."""

import collections
import io
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

import raw_client
from support import CIM_DTD, SimServer

import sample_inventory  # noqa: E402  (on the path through support)
from repository import Repository

CATALOGUE = """
NVX_BladeEnclosureCS NVX_BladeEnclosureFW NVX_CacheMemory NVX_ComputerSystem
NVX_ComputerSystemChassis NVX_DXArrayController NVX_DXArraySystem NVX_DXDiskDrive
NVX_DXDiskDriveFirmware NVX_DXDiskPhysicalPackage NVX_DXEnclosureFirmware NVX_DXFirmware
NVX_DXMediaAccessStatData NVX_DXPhysicalPackage NVX_DXStorageEnclosure NVX_DXStorageExtent
NVX_DXStorageVolume NVX_EthernetControllerLocation NVX_EthernetLANEndpoint NVX_EthernetPort
NVX_EthernetPortController NVX_EthernetPortControllerFirmwareIdentity NVX_EthernetStatistics
NVX_FCHBAFCPort NVX_FCHBAFCPortStatistics NVX_FCHBAFirmwareIdentityBIOS
NVX_FCHBAFirmwareIdentityFW NVX_FCHBAPhysicalPackage NVX_Fan NVX_FanSpeedSensor
NVX_IPProtocolEndpoint NVX_MPFirmware NVX_ManagementProcessor NVX_Memory NVX_MemoryBoard
NVX_MemoryModule NVX_MemoryRedundancySet NVX_NVXSoftwareIdentity NVX_NumericSensor
NVX_OperatingSystem NVX_PCIDevice NVX_PCISlot NVX_PowerControllerFirmware NVX_PowerMeter
NVX_PowerSupply NVX_PowerSupplyModule NVX_Processor NVX_ProcessorCapabilities
NVX_ProcessorChip NVX_QELLogEntry NVX_QELRecordLog NVX_SASArraySystem NVX_SASDiskDrive
NVX_SASDiskDriveFirmware NVX_SASDiskPhysicalPackage NVX_SASEnclosureFirmware NVX_SASFirmware
NVX_SASPhysicalPackage NVX_SASStorageEnclosure NVX_SASStorageExtent NVX_SASStorageVolume
NVX_SystemFirmware""".split()

# wbemcli's parser predates VALUE.NULL inside VALUE.ARRAY, which this class carries.
WBEMCLI_CANNOT_PARSE = {"NVX_EthernetLANEndpoint"}


def generated(scale):
    stream = io.StringIO()
    sample_inventory.write_repository(stream, scale)
    return stream.getvalue()


def instance_counts(text):
    with tempfile.NamedTemporaryFile("w", suffix=".xml", encoding="utf-8") as f:
        f.write(text)
        f.flush()
        repository = Repository()
        repository.load_file(f.name)
    return collections.Counter(i.class_name for i in repository.instances_of("CIM_ManagedElement"))


class Generator(unittest.TestCase):
    def test_every_catalogue_class_is_declared_and_output_is_stable(self):
        text = generated(1)
        self.assertEqual(text, generated(1))
        root = ET.fromstring(text)
        declared = {c.get("NAME") for c in root.iter("CLASS")}
        self.assertEqual(len(CATALOGUE), 62)
        self.assertEqual(set(CATALOGUE) - declared, set())
        check = subprocess.run(["xmllint", "--noout", "--dtdvalid", CIM_DTD, "-"],
                               input=text.encode("utf-8"), stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, timeout=60)
        self.assertEqual(check.returncode, 0, check.stderr[:2000])

    def test_scale_multiplies_repeated_components_only(self):
        single, tenfold = instance_counts(generated(1)), instance_counts(generated(10))
        self.assertGreater(sum(single.values()), 500)
        self.assertEqual(single["NVX_QELLogEntry"], 300)
        self.assertEqual(single["NVX_ProcessorChip"], 2)
        for name in ("NVX_ComputerSystem", "NVX_OperatingSystem", "NVX_QELRecordLog"):
            self.assertEqual(tenfold[name], 1, name)
        for name in ("NVX_QELLogEntry", "NVX_MemoryModule", "NVX_SASDiskDrive", "NVX_PCIDevice"):
            self.assertEqual(tenfold[name], 10 * single[name], name)
        self.assertEqual(single["NVX_BladeEnclosureCS"], 0)


class ServedSample(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = SimServer(sample_scale=1).start()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def enumerate(self, name):
        response = raw_client.call(self.server.port, "EnumerateInstances", name, [
            ("LocalOnly", False), ("IncludeQualifiers", True), ("IncludeClassOrigin", True)])
        self.assertEqual(response.status, 200)
        return [i.find("INSTANCE") for i in
                ET.fromstring(response.body).iter("VALUE.NAMEDINSTANCE")]

    def get_class(self, name):
        response = raw_client.call(self.server.port, "GetClass", name, [
            ("LocalOnly", False), ("IncludeQualifiers", True), ("IncludeClassOrigin", True)])
        return ET.fromstring(response.body).find(".//CLASS")

    def test_wbemcli_reads_every_catalogue_class(self):
        failures = []
        for name in CATALOGUE:
            for operation in ("gc", "ei"):
                if operation == "ei" and name in WBEMCLI_CANNOT_PARSE:
                    continue
                result = subprocess.run(["wbemcli", operation, "-noverify", self.server.url(name)],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                        timeout=60)
                if result.returncode != 0:
                    failures.append((operation, name, result.stderr.strip()))
        self.assertEqual(failures, [])

    def test_dmtf_and_vendor_qualifiers(self):
        fan = self.get_class("NVX_Fan")
        health = fan.find("PROPERTY[@NAME='HealthState']")
        value_map = [v.text for v in health.find("QUALIFIER[@NAME='ValueMap']/VALUE.ARRAY")]
        values = [v.text for v in health.find("QUALIFIER[@NAME='Values']/VALUE.ARRAY")]
        self.assertEqual(dict(zip(value_map, values))["5"], "OK")
        self.assertEqual(health.get("CLASSORIGIN"), "CIM_ManagedSystemElement")

        cache = self.get_class("NVX_CacheMemory").find("PROPERTY[@NAME='NVXErrorCorrection']")
        self.assertEqual(len(cache.find("QUALIFIER[@NAME='ValueMap']/VALUE.ARRAY")), 4)
        self.assertEqual(len(cache.find("QUALIFIER[@NAME='Values']/VALUE.ARRAY")), 5)
        module = self.get_class("NVX_MemoryModule").find("PROPERTY[@NAME='NVXLocatorIndicator']")
        self.assertIsNone(module.find("QUALIFIER[@NAME='ValueMap']"))
        self.assertIsNotNone(module.find("QUALIFIER[@NAME='Values']"))

    def test_values_that_exercise_a_report(self):
        system = self.enumerate("NVX_ComputerSystem")[0]

        def value(instance, name):
            prop = instance.find("*[@NAME='%s']" % name)
            if prop.tag == "PROPERTY.ARRAY":
                array = prop.find("VALUE.ARRAY")
                return None if array is None else [
                    None if v.tag == "VALUE.NULL" else v.text for v in array]
            found = prop.find("VALUE")
            return None if found is None else (found.text or "")

        self.assertEqual(value(system, "ElementName"), 'rack "R4" <row 7> & bay 12: 100% ready')
        self.assertEqual(value(system, "PrimaryOwnerContact"), "Jürgen Weiß, Zürich")
        self.assertEqual(value(system, "NVXPowerOnHours"), "18446744073709551615")
        self.assertEqual(value(system, "NVXAssetTag"), "")
        self.assertIsNone(value(system, "TimeOfLastStateChange"))
        self.assertEqual(value(system, "Roles"), [])
        self.assertEqual(value(system, "OperationalStatus"), ["2", "3"])

        endpoint = self.enumerate("NVX_EthernetLANEndpoint")[0]
        self.assertEqual(value(endpoint, "AliasAddresses"), ["02005E000001", None])
        sensors = self.enumerate("NVX_NumericSensor")
        self.assertEqual(collections.Counter(s.get("CLASSNAME") for s in sensors),
                         {"NVX_TemperatureSensor": 6, "NVX_NumericSensor": 6})
        self.assertIn("-", "".join(value(s, "UnitModifier") for s in sensors))
        meters = self.enumerate("NVX_PowerMeter")
        self.assertEqual(meters[0].find("PROPERTY[@NAME='NVXEnergy']").get("TYPE"), "real64")
        software = self.enumerate("NVX_NVXSoftwareIdentity")
        self.assertIn("20231104******.******+000", [value(s, "ReleaseDate") for s in software])


if __name__ == "__main__":
    unittest.main()

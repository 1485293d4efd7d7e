"""Shared parts of the collection's end-to-end tests: the provider class
catalogue as a user sees it, a runner for telvanecli, the request log reader,
and the report that the sample inventory must give, computed here from the
repository file that the simulated server serves."""

import datetime
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

TELVANECLI = None  # set by configure()
REPO_ROOT = None

# Credentials nobody would type by accident, so a leak is easy to spot. The
# user name holds an "&" to show that the report stores it escaped.
USER = "ops&e2e"
PASSWORD = "Zq7-e2e-Pw!x"

# (class name, category, display name), as the program's catalogue has them.
CATALOGUE_ROWS = [
    ("NVX_BladeEnclosureCS", "BX", "Blade Enclosure Chassis"),
    ("NVX_BladeEnclosureFW", "BX", "Blade Enclosure Firmware"),
    ("NVX_CacheMemory", "CPU", "Cache Memory"),
    ("NVX_ComputerSystem", "SI", "Computer System"),
    ("NVX_ComputerSystemChassis", "SI", "Computer System Chassis"),
    ("NVX_EthernetPortController", "NIC", "Ethernet Port Controller"),
    ("NVX_EthernetControllerLocation", "NIC", "Ethernet Controller Location"),
    ("NVX_EthernetLANEndpoint", "NIC", "Ethernet LAN Endpoint"),
    ("NVX_EthernetPort", "NIC", "Ethernet Port"),
    ("NVX_EthernetPortControllerFirmwareIdentity", "NIC", "Ethernet Port Controller Firmware"),
    ("NVX_EthernetStatistics", "NIC", "Ethernet Statistics"),
    ("NVX_Fan", "FAN", "Fan"),
    ("NVX_FanSpeedSensor", "FAN", "Fan Speed Sensor"),
    ("NVX_QELRecordLog", "QEL", "QEL Record Log"),
    ("NVX_QELLogEntry", "QEL", "QEL Log Entry"),
    ("NVX_IPProtocolEndpoint", "NIC", "IP Protocol Endpoint"),
    ("NVX_ManagementProcessor", "MPX", "Management Processor"),
    ("NVX_Memory", "MEMORY", "Memory"),
    ("NVX_MemoryBoard", "MEMORY", "Memory Board"),
    ("NVX_MemoryModule", "MEMORY", "Memory Module"),
    ("NVX_MemoryRedundancySet", "MEMORY", "Memory Redundancy"),
    ("NVX_MPFirmware", "MPX", "MP Firmware"),
    ("NVX_NumericSensor", "TEMP", "Numeric Sensor"),
    ("NVX_OperatingSystem", "OS", "Operating System"),
    ("NVX_PCIDevice", "PCI", "PCI Device"),
    ("NVX_PCISlot", "PCI", "PCI Slot"),
    ("NVX_PowerControllerFirmware", "PS", "Power Controller Firmware"),
    ("NVX_PowerMeter", "PS", "Power Meter"),
    ("NVX_PowerSupply", "PS", "Power Supply"),
    ("NVX_PowerSupplyModule", "PS", "Power Supply Module"),
    ("NVX_Processor", "CPU", "Processor"),
    ("NVX_ProcessorCapabilities", "CPU", "Processor Capabilities"),
    ("NVX_ProcessorChip", "CPU", "Processor Chip"),
    ("NVX_NVXSoftwareIdentity", "OTHER", "NVX Software"),
    ("NVX_SystemFirmware", "SF", "System Firmware"),
    ("NVX_FCHBAFCPort", "FC", "HBA FC Port"),
    ("NVX_FCHBAFCPortStatistics", "FC", "HBA FC Port Statistics"),
    ("NVX_FCHBAFirmwareIdentityBIOS", "FC", "HBA BIOS"),
    ("NVX_FCHBAFirmwareIdentityFW", "FC", "HBA Firmware"),
    ("NVX_FCHBAPhysicalPackage", "FC", "HBA Physical Package"),
    ("NVX_DXArrayController", "DX", "Dravex Controller"),
    ("NVX_DXArraySystem", "DX", "Dravex System"),
    ("NVX_DXDiskDrive", "DX", "Dravex Disk Drive"),
    ("NVX_DXDiskDriveFirmware", "DX", "Dravex Disk Drive Firmware"),
    ("NVX_DXDiskPhysicalPackage", "DX", "Dravex Disk Physical Package"),
    ("NVX_DXEnclosureFirmware", "DX", "Dravex Enclosure Firmware"),
    ("NVX_DXFirmware", "DX", "Dravex Firmware"),
    ("NVX_DXMediaAccessStatData", "DX", "Dravex Media Access Statistics"),
    ("NVX_DXPhysicalPackage", "DX", "Dravex Physical Package"),
    ("NVX_DXStorageEnclosure", "DX", "Dravex Storage Enclosure"),
    ("NVX_DXStorageExtent", "DX", "Dravex Storage Extent"),
    ("NVX_DXStorageVolume", "DX", "Dravex Storage Volume"),
    ("NVX_SASArraySystem", "SAS", "SAS Array System"),
    ("NVX_SASDiskDrive", "SAS", "SAS Disk Drive"),
    ("NVX_SASDiskDriveFirmware", "SAS", "SAS Disk Drive Firmware"),
    ("NVX_SASDiskPhysicalPackage", "SAS", "SAS Disk Physical Package"),
    ("NVX_SASEnclosureFirmware", "SAS", "SAS Enclosure Firmware"),
    ("NVX_SASFirmware", "SAS", "SAS Firmware"),
    ("NVX_SASPhysicalPackage", "SAS", "SAS Physical Package"),
    ("NVX_SASStorageEnclosure", "SAS", "SAS Storage Enclosure"),
    ("NVX_SASStorageExtent", "SAS", "SAS Storage Extent"),
    ("NVX_SASStorageVolume", "SAS", "SAS Storage Volume"),
]

# Reading order: ascending byte order of the class name.
CATALOGUE = sorted(name for name, _, _ in CATALOGUE_ROWS)
CATEGORY = {name: category for name, category, _ in CATALOGUE_ROWS}
DISPLAY_NAME = {name: display for name, _, display in CATALOGUE_ROWS}

# Presence of this file switches the program into test mode, which changes
# the report; the tests need the ordinary catalogue.
TEST_MODE_FILE = "/temp/ProviderClassNames.txt"


def configure(argv):
    """Takes "TELVANECLI REPO_ROOT" off the end of argv (unittest keeps the rest)
    and puts the simulated server's modules on the path."""
    global TELVANECLI, REPO_ROOT
    if len(argv) < 3:
        sys.exit("usage: %s [unittest options] TELVANECLI REPO_ROOT" % argv[0])
    TELVANECLI, REPO_ROOT = argv[-2], argv[-1]
    del argv[-2:]
    sys.path.insert(0, os.path.join(REPO_ROOT, "tools", "simserver"))
    if os.path.exists(TEST_MODE_FILE):
        sys.exit("%s exists and would put telvanecli into test mode" % TEST_MODE_FILE)


class SampleServer:
    """The simulated server serving the sample inventory from a repository file
    in a directory of its own, with the test credentials and the given fault
    rules; `expected` is the report body of the whole catalogue."""

    def __init__(self, faults=None):
        import sample_inventory
        from harness import SimServer
        self._directory = tempfile.TemporaryDirectory(prefix="inventory-e2e-")
        self.directory = self._directory.name
        self.repository = os.path.join(self.directory, "sample.xml")
        with open(self.repository, "w", encoding="utf-8") as f:
            sample_inventory.write_repository(f, 1)
        self.expected = expected_report(self.repository, CATALOGUE)
        self.server = SimServer(repository=[self.repository], faults=faults, user=USER,
                                password=PASSWORD)
        try:
            self.server.start()
        except BaseException:
            self._directory.cleanup()
            raise

    def stop(self):
        self.server.stop()
        self._directory.cleanup()


class Run:
    """One finished telvanecli run: exit code, standard output and error as bytes."""

    def __init__(self, code, stdout, stderr):
        self.code, self.stdout, self.stderr = code, stdout, stderr

    def __repr__(self):
        return "exit %d, stdout %r, stderr %r" % (self.code, self.stdout[:300], self.stderr)


def run_cli(port, *options, stdout=subprocess.PIPE):
    """Runs telvanecli against 127.0.0.1:port with the test credentials."""
    arguments = [TELVANECLI, "-s", "127.0.0.1:%d" % port, "-u", USER, "-p", PASSWORD]
    result = subprocess.run(arguments + list(options), stdout=stdout, stderr=subprocess.PIPE,
                            timeout=120)
    return Run(result.returncode, result.stdout or b"", result.stderr)


def run_logged(server, *options, **keywords):
    """Runs telvanecli against the server; returns the run, the request log
    records it caused, and the local time window around it."""
    seen = len(server.requests())
    started = datetime.datetime.now().replace(microsecond=0)
    run = run_cli(server.port, *options, **keywords)
    ended = datetime.datetime.now()
    return run, server.requests()[seen:], (started, ended)


def collector_requests(testcase, records):
    """The requests of one run after the connection check's probe, which must
    come first, as (operation, class name) pairs."""
    testcase.assertGreaterEqual(len(records), 1, "no probe reached the server")
    probe = records[0]
    testcase.assertEqual((probe["operation"], probe["class_name"]),
                         ("GetClass", "NVX_ComputerSystem"))
    return [(r["operation"], r["class_name"]) for r in records[1:]]


def requests_for(classes):
    """GetClass then EnumerateInstances for each class, in the order given."""
    return [(operation, name) for name in classes
            for operation in ("GetClass", "EnumerateInstances")]


# ---- the report the sample inventory must give ------------------------------------------------


def split_camel_case(name):
    """Words of a CIM property name: a capital starts a word unless it continues a
    run of capitals that is not followed by a lower-case letter."""
    out = []
    for i, c in enumerate(name):
        if i > 0 and c.isupper() and c.isascii():
            before = name[i - 1]
            after = name[i + 1] if i + 1 < len(name) else None
            if not (before.isupper() and before.isascii()) or (
                    after is not None and not (after.isupper() and after.isascii())):
                out.append(" ")
        out.append(c)
    return "".join(out)


def _shortest_real(text, cim_type):
    number = float(text)
    if cim_type == "real32":
        number = struct.unpack("f", struct.pack("f", number))[0]
    for digits in range(1, 18):
        candidate = "%.*g" % (digits, number)
        back = float(candidate)
        if cim_type == "real32":
            back = struct.unpack("f", struct.pack("f", back))[0]
        if back == number:
            return candidate
    raise AssertionError("no text form for %r" % text)


def _scalar_text(cim_type, text):
    if cim_type == "boolean":
        return "true" if text.strip().lower() == "true" else "false"
    if cim_type.startswith(("uint", "sint")):
        return str(int(text.strip()))
    if cim_type.startswith("real"):
        return _shortest_real(text.strip(), cim_type)
    return text  # string, char16, datetime: as sent


def raw_text(prop):
    """The text form of an instance property's value, "(null)" for a null value:
    array items joined by "," without a space, a null item as "(null)"."""
    cim_type = prop.get("TYPE")
    if prop.tag == "PROPERTY.REFERENCE":
        raise AssertionError("the oracle does not model references; the sample has none")
    if prop.tag == "PROPERTY.ARRAY":
        array = prop.find("VALUE.ARRAY")
        if array is None:
            return "(null)"
        return ",".join("(null)" if item.tag == "VALUE.NULL" else
                        _scalar_text(cim_type, item.text or "") for item in array)
    value = prop.find("VALUE")
    return "(null)" if value is None else _scalar_text(cim_type, value.text or "")


def _string_array(qualifier):
    """A qualifier's value as a list of strings, or None when it is null or not a string array."""
    if qualifier is None or qualifier.attrs.get("TYPE") != "string" or not qualifier.value_xml:
        return None
    value = ET.fromstring(qualifier.value_xml)
    if value.tag != "VALUE.ARRAY" or any(item.tag != "VALUE" for item in value):
        return None
    return [item.text or "" for item in value]


def translate(class_property, raw):
    """The display text of a raw text by the class property's ValueMap/Values.
    Malformed qualifiers leave the value raw; so does an empty translation."""
    if class_property is None:
        return raw
    qualifiers = [q for q, _ in class_property.qualifiers]
    if len(qualifiers) < 2:
        return raw
    values = next((q for q in qualifiers if q.name == "Values"), None)
    if values is None:
        return raw
    value_map = next((q for q in qualifiers if q.name.lower() == "valuemap"), None)
    values, value_map = _string_array(values), _string_array(value_map)
    if values is None or value_map is None:
        return raw
    for index, display in enumerate(values):
        if index >= len(value_map):
            return raw
        if raw == value_map[index]:
            return display or raw
    return raw


def _escape(text):
    for plain, entity in (("&", "&amp;"), ("'", "&apos;"), ('"', "&quot;"),
                          ("<", "&lt;"), (">", "&gt;"), ("\t", "&#9;"), ("\n", "&#10;"),
                          ("\r", "&#13;")):
        text = text.replace(plain, entity)
    return text


def value_as_stored(display):
    """The "value" of a property as the report stores it: the display text escaped
    for XML, with ", " between the items of a list longer than 32 bytes."""
    value = _escape(display)
    return value.replace(",", ", ") if len(value.encode("utf-8")) > 32 else value


def value_as_read(display):
    """The "value" attribute as an XML parser reads it back."""
    return display.replace(",", ", ") if len(_escape(display).encode("utf-8")) > 32 else display


def expected_report(repository_path, classes):
    """The report body for the given classes, in the given order, as a list of
    (class, instance, description, [(name, type, display text, raw_value or None)])."""
    from repository import Repository
    repository = Repository()
    repository.load_file(repository_path)
    nodes = []
    for class_name in classes:
        definition = repository.resolve(class_name)
        for index, instance in enumerate(repository.instances_of(class_name)):
            properties = []
            for text in instance.props:
                prop = ET.fromstring(text)
                raw = raw_text(prop)
                if raw == "(null)":
                    continue
                display = translate(definition.by_name.get(prop.get("NAME").lower()), raw)
                properties.append((split_camel_case(prop.get("NAME")), prop.get("TYPE"),
                                   display, raw if raw != display else None))
            nodes.append((class_name, str(index), "Class %s : Instance %d" % (class_name, index),
                          properties))
    return nodes


def as_read(nodes):
    """Nodes of expected_report as report_nodes gives them from the XML report."""
    return [node[:3] + ([(name, cim_type, value_as_read(display), raw)
                         for name, cim_type, display, raw in node[3]],) for node in nodes]


def report_nodes(root):
    """The body of a parsed XML report in the form of expected_report."""
    return [(node.get("class"), node.get("instance"), node.get("description"),
             [(p.get("name"), p.get("type"), p.get("value"), p.get("raw_value"))
              for p in node])
            for node in root.find("provider_data")]


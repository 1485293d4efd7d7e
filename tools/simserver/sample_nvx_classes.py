"""The vendor's provider classes of the sample inventory: the 62 classes the
inventory reads, each derived from a DMTF class, plus two helper classes
(an abstract common parent of the HBA firmware classes, and a temperature
sensor subclass that a deep enumeration of NVX_NumericSensor returns)."""

import dmtf_values as V
from schema_model import ClassDef, Prop as P

_LOCATION = P("NVXLocation", "string", "Where the component sits in the enclosure.")
_INDICATOR = P("NVXLocatorIndicator", "uint16", "State of the component's locator LED.",
               values=V.VENDOR_INDICATOR_VALUES_ONLY)
_FIRMWARE = [P("NVXUpdateable", "boolean", "Whether the firmware can be updated online."),
             P("NVXComponentID", "uint32", "The vendor's component identifier.")]


def _firmware(name, description):
    return ClassDef(name, "CIM_SoftwareIdentity", description, list(_FIRMWARE))


def _system(name, description, extra=()):
    return ClassDef(name, "CIM_ComputerSystem", description, [
        P("NVXModelName", "string", "The vendor's model name."),
        P("NVXSerialNumber", "string", "The serial number of the system."),
    ] + list(extra))


NVX_CLASSES = [
    _system("NVX_ComputerSystem", "The managed server.", [
        P("NVXAssetTag", "string", "The asset tag set by the owner.", maxlen=64),
        P("NVXUUID", "string", "The system's UUID."),
        P("NVXPowerOnHours", "uint64", "Hours the system has been powered on.",
          units="hour", counter=True),
        _INDICATOR,
    ]),
    ClassDef("NVX_ComputerSystemChassis", "CIM_Chassis", "The server's chassis.", [
        P("NVXRackUnits", "uint8", "Height in rack units."), _INDICATOR]),
    _system("NVX_BladeEnclosureCS", "A blade enclosure hosting the server."),
    _firmware("NVX_BladeEnclosureFW", "Firmware of a blade enclosure."),
    ClassDef("NVX_Processor", "CIM_Processor", "A processor of the server.", [
        P("NVXSocketDesignation", "string", "The label of the processor socket."),
        P("NVXMicrocodeRevision", "string", "The loaded microcode revision."),
        P("NVXThermalDesignPower", "uint32", "The thermal design power.", units="watt"),
    ]),
    ClassDef("NVX_ProcessorChip", "CIM_Chip", "The physical package of a processor.", [
        P("NVXSocketDesignation", "string", "The label of the processor socket.")]),
    ClassDef("NVX_ProcessorCapabilities", "CIM_ProcessorCapabilities",
             "The core and thread counts of a processor.", [
                 P("NVXHyperThreadingEnabled", "boolean", "Whether SMT is on.")]),
    ClassDef("NVX_CacheMemory", "CIM_CacheMemory", "A cache of a processor.", [
        P("NVXInstalledSize", "uint32", "The installed cache size.", units="byte * 2^10"),
        P("NVXErrorCorrection", "uint16", "The cache's error correction.",
          values=V.VENDOR_ECC_SHORT_MAP),
    ]),
    ClassDef("NVX_Memory", "CIM_Memory", "The system memory as a whole.", [
        P("NVXTotalCapacity", "uint64", "The installed capacity.", units="byte"),
        P("NVXErrorCorrection", "uint16", "The memory's error correction.",
          values=V.VENDOR_ECC_SHORT_MAP),
    ]),
    ClassDef("NVX_MemoryBoard", "CIM_Card", "A memory riser board.", [
        P("NVXSlotCount", "uint16", "The number of DIMM slots."),
        P("NVXPopulatedSlots", "uint16", "The number of populated DIMM slots."),
    ]),
    ClassDef("NVX_MemoryModule", "CIM_PhysicalMemory", "A memory module (DIMM).", [
        P("NVXDimmSlot", "string", "The label of the DIMM slot."),
        P("NVXRanks", "uint8", "The number of ranks."),
        P("NVXCorrectableErrors", "uint32", "Correctable errors since boot.", counter=True),
        _INDICATOR,
    ]),
    ClassDef("NVX_MemoryRedundancySet", "CIM_RedundancySet", "The memory redundancy mode.", [
        P("NVXMirroringEnabled", "boolean", "Whether memory mirroring is on.")]),
    ClassDef("NVX_Fan", "CIM_Fan", "A system fan.", [
        P("NVXRedundant", "boolean", "Whether the fan is part of a redundant set."),
        P("NVXSpeedPercent", "uint8", "The fan's speed in percent of its maximum.",
          units="percent"),
        _LOCATION,
    ]),
    ClassDef("NVX_FanSpeedSensor", "CIM_NumericSensor", "The speed sensor of a fan."),
    ClassDef("NVX_NumericSensor", "CIM_NumericSensor", "A temperature, voltage or current "
             "sensor.", [_LOCATION]),
    ClassDef("NVX_TemperatureSensor", "NVX_NumericSensor", "A temperature sensor.", [
        P("NVXAmbient", "boolean", "Whether the sensor measures inlet air.")]),
    ClassDef("NVX_PowerSupply", "CIM_PowerSupply", "A power supply.", [
        P("NVXInputVoltage", "uint16", "The input voltage.", units="volt"),
        P("NVXEfficiencyRating", "string", "The efficiency certification."),
        _LOCATION,
    ]),
    ClassDef("NVX_PowerSupplyModule", "CIM_PhysicalPackage", "The replaceable module of a "
             "power supply.", [P("NVXHotPlug", "boolean", "Whether the module is hot-plug.")]),
    ClassDef("NVX_PowerMeter", "CIM_NumericSensor", "The power meter of a power supply.", [
        P("NVXAveragePower", "real32", "The average power over the last hour.",
          units="watt"),
        P("NVXEnergy", "real64", "The energy delivered since the meter was reset.",
          units="watt * hour * 10^3"),
    ]),
    _firmware("NVX_PowerControllerFirmware", "Firmware of the power controller."),
    ClassDef("NVX_EthernetPortController", "CIM_PortController", "An Ethernet controller.", [
        P("NVXChipset", "string", "The controller chipset."),
        P("NVXPortCount", "uint8", "The number of ports."),
    ]),
    ClassDef("NVX_EthernetControllerLocation", "CIM_Location",
             "The location of an Ethernet controller.", [
                 P("NVXSlotNumber", "uint16", "The PCI slot number; null when embedded."),
                 P("NVXEmbedded", "boolean", "Whether the controller is on the system board."),
             ]),
    _firmware("NVX_EthernetPortControllerFirmwareIdentity",
              "Firmware of an Ethernet controller."),
    ClassDef("NVX_EthernetPort", "CIM_EthernetPort", "An Ethernet port.", [
        P("NVXLinkUp", "boolean", "Whether the link is up."),
        P("NVXTeamName", "string", "The team the port belongs to, if any."),
    ]),
    ClassDef("NVX_EthernetLANEndpoint", "CIM_LANEndpoint", "The LAN endpoint of a port."),
    ClassDef("NVX_IPProtocolEndpoint", "CIM_IPProtocolEndpoint", "An IP address of a port."),
    ClassDef("NVX_EthernetStatistics", "CIM_EthernetPortStatistics",
             "The statistics of an Ethernet port."),
    ClassDef("NVX_PCIDevice", "CIM_PCIDevice", "A PCI function.", [
        P("NVXSlotLabel", "string", "The slot the device is in; Embedded for on-board."),
        P("NVXLinkWidth", "uint8", "The negotiated PCI Express link width."),
    ]),
    ClassDef("NVX_PCISlot", "CIM_Slot", "A PCI slot.", [
        P("NVXOccupied", "boolean", "Whether a card is installed."),
    ]),
    _firmware("NVX_SystemFirmware", "The system firmware (BIOS)."),
    _system("NVX_ManagementProcessor", "The server's management processor.", [
        P("NVXIPAddress", "string", "The management network address."),
        P("NVXLicense", "string", "The installed feature licence."),
    ]),
    _firmware("NVX_MPFirmware", "Firmware of the management processor."),
    ClassDef("NVX_OperatingSystem", "CIM_OperatingSystem", "The running operating system.", [
        P("NVXKernelRelease", "string", "The kernel release."),
    ]),
    ClassDef("NVX_NVXSoftwareIdentity", "CIM_SoftwareIdentity",
             "Vendor software installed on the server.", [
                 P("NVXPackageName", "string", "The installation package name."),
             ]),
    ClassDef("NVX_QELRecordLog", "CIM_RecordLog", "The quality event log."),
    ClassDef("NVX_QELLogEntry", "CIM_LogEntry", "An entry of the quality event log.", [
        P("NVXEventCode", "uint32", "The vendor's event code."),
        P("NVXAcknowledged", "boolean", "Whether an operator acknowledged the event."),
    ]),
    ClassDef("NVX_FCHBAPhysicalPackage", "CIM_Card", "A Fibre Channel host bus adapter."),
    ClassDef("NVX_FCHBAFCPort", "CIM_FCPort", "A port of a Fibre Channel adapter.", [
        P("NVXWWPN", "string", "The port's world wide port name."),
        P("NVXWWNN", "string", "The node's world wide node name."),
    ]),
    ClassDef("NVX_FCHBAFCPortStatistics", "CIM_FCPortStatistics",
             "The statistics of a Fibre Channel port."),
    ClassDef("NVX_FCHBAFirmwareIdentity", "CIM_SoftwareIdentity",
             "Firmware of a Fibre Channel adapter.", list(_FIRMWARE), abstract=True),
    ClassDef("NVX_FCHBAFirmwareIdentityBIOS", "NVX_FCHBAFirmwareIdentity",
             "The boot BIOS of a Fibre Channel adapter."),
    ClassDef("NVX_FCHBAFirmwareIdentityFW", "NVX_FCHBAFirmwareIdentity",
             "The operational firmware of a Fibre Channel adapter."),
]


def _storage_family(prefix, label, extra_system=()):
    """The classes of one storage family (the "DX" array, the "SAS" subsystem)."""
    return [
        _system("NVX_%sArraySystem" % prefix, "A %s storage system." % label, extra_system),
        _firmware("NVX_%sFirmware" % prefix, "Firmware of a %s storage system." % label),
        ClassDef("NVX_%sPhysicalPackage" % prefix, "CIM_Chassis",
                 "The chassis of a %s storage system." % label),
        ClassDef("NVX_%sStorageEnclosure" % prefix, "CIM_Chassis",
                 "A %s drive enclosure." % label, [
                     P("NVXBaySlots", "uint16", "The number of drive bays."), _INDICATOR]),
        _firmware("NVX_%sEnclosureFirmware" % prefix, "Firmware of a %s enclosure." % label),
        ClassDef("NVX_%sDiskDrive" % prefix, "CIM_DiskDrive", "A %s disk drive." % label, [
            P("NVXBay", "uint16", "The bay the drive is in."),
            P("NVXMediaType", "uint16", "The drive's media.",
              values=(["0", "1", "2"], ["Unknown", "Rotating", "Solid State"])),
            P("NVXRotationRate", "uint32", "The spindle speed; 1 for solid state.",
              units="revolution / minute"),
            P("NVXPowerOnHours", "uint64", "Hours the drive has been powered on.",
              units="hour", counter=True),
        ]),
        _firmware("NVX_%sDiskDriveFirmware" % prefix, "Firmware of a %s disk drive." % label),
        ClassDef("NVX_%sDiskPhysicalPackage" % prefix, "CIM_PhysicalPackage",
                 "The physical package of a %s disk drive." % label),
        ClassDef("NVX_%sStorageExtent" % prefix, "CIM_StorageExtent",
                 "The storage of a %s disk drive." % label),
        ClassDef("NVX_%sStorageVolume" % prefix, "CIM_StorageVolume",
                 "A %s logical volume." % label, [
                     P("NVXRaidLevel", "string", "The RAID level of the volume."),
                     P("NVXStripeSize", "uint32", "The stripe size.", units="byte * 2^10"),
                 ]),
    ]


NVX_CLASSES += _storage_family("DX", "Dravex", [
    P("NVXControllerCount", "uint8", "The number of array controllers.")])
NVX_CLASSES += [
    ClassDef("NVX_DXArrayController", "CIM_Controller", "A controller of a Dravex array.", [
        P("NVXCacheSize", "uint64", "The controller cache size.", units="byte"),
        P("NVXBatteryHealthy", "boolean", "Whether the cache battery is healthy."),
    ]),
    ClassDef("NVX_DXMediaAccessStatData", "CIM_MediaAccessStatData",
             "The statistics of a Dravex disk drive."),
]
NVX_CLASSES += _storage_family("SAS", "SAS")

# The classes an inventory reads; the two helper classes are not among them.
CATALOGUE_CLASSES = sorted(c.name for c in NVX_CLASSES
                           if c.name not in ("NVX_FCHBAFirmwareIdentity", "NVX_TemperatureSensor"))

"""Instances of the sample inventory: a two-socket rack server with its
processors, memory, fans, sensors, power, network, PCI devices, firmware,
management processor, event log, a SAS RAID subsystem and an attached Dravex
array. generate(scale) yields (class name, property values) in a fixed order;
scale multiplies every repeated component (the server itself, its chassis,
operating system, system firmware, management processor and event log stay
single). The values are deterministic: the same scale gives the same bytes.

Some values are chosen to exercise a report: text with & < > " and %, a line
break, non-ASCII letters, the text "(null)", empty strings and nulls, uint64
extremes, negative and real numbers, timestamps and intervals (one with
unknown digits), arrays (one empty, one with a null element), and coded
values that match a ValueMap entry, fall into a range, or match nothing.
"""

import datetime
import random

SYSTEM_CLASS = "NVX_ComputerSystem"
HOST = "rx2540-07.lab.example.com"
BASE_TIME = datetime.datetime(2024, 3, 18, 6, 30, 0)


def timestamp(minutes_after_base, offset=0):
    moment = BASE_TIME + datetime.timedelta(minutes=minutes_after_base)
    return moment.strftime("%Y%m%d%H%M%S") + ".000000%s%03d" % ("+" if offset >= 0 else "-",
                                                                abs(offset))


def interval(days=0, hours=0, minutes=0, seconds=0):
    return "%08d%02d%02d%02d.000000:000" % (days, hours, minutes, seconds)


def _device(cls, device_id, **values):
    return dict(SystemCreationClassName=SYSTEM_CLASS, SystemName=HOST, CreationClassName=cls,
                DeviceID=device_id, **values)


def _physical(cls, tag, **values):
    """A physical element: no enabled state, only its health."""
    base = dict(CreationClassName=cls, Tag=tag, OperationalStatus=[2], HealthState=5,
                PrimaryStatus=1)
    base.update(values)
    return base


def _healthy(**values):
    base = dict(OperationalStatus=[2], HealthState=5, PrimaryStatus=1, EnabledState=2,
                RequestedState=12)
    base.update(values)
    return base


def _firmware(instance_id, name, version, rng, **values):
    parts = [int(p) for p in version.split(".") if p.isdigit()][:3] + [0, 0, 0]
    return dict(InstanceID=instance_id, ElementName=name, VersionString=version,
                MajorVersion=parts[0], MinorVersion=parts[1], RevisionNumber=parts[2],
                Manufacturer="Quorvin", Classifications=[10], IsEntity=True,
                ReleaseDate=timestamp(-rng.randrange(100, 900) * 1440),
                NVXUpdateable=rng.random() < 0.8, NVXComponentID=rng.randrange(1000, 99999),
                HealthState=5, OperationalStatus=[2], **values)


class _Builder:
    def __init__(self, scale):
        self.scale = scale
        self.out = []

    def rng(self, name):
        return random.Random("%s:%d" % (name, self.scale))

    def add(self, cls, values):
        self.out.append((cls, values))

    def count(self, base):
        return base * self.scale


def _system(b):
    b.add("NVX_ComputerSystem", _healthy(
        CreationClassName="NVX_ComputerSystem", Name=HOST, NameFormat="IP",
        ElementName='rack "R4" <row 7> & bay 12: 100% ready',
        Caption="Quorvin RX2540 M7", Description="Two-socket rack server",
        PrimaryOwnerName="Ops team (%s)", PrimaryOwnerContact="Jürgen Weiß, Zürich",
        Roles=[], Dedicated=[0], ResetCapability=4, NVXModelName="RX2540 M7",
        NVXSerialNumber="QX7K034112", NVXAssetTag="", NVXUUID="4c4c4544-0042-3910-8057-b7c04f4d3132",
        NVXPowerOnHours=18446744073709551615, NVXLocatorIndicator=2,
        InstallDate=timestamp(-400 * 1440, 60), OperationalStatus=[2, 3],
        StatusDescriptions=["OK", "Fan FAN4 speed < 20%"], HealthState=10))
    b.add("NVX_ComputerSystemChassis", _physical(
        "NVX_ComputerSystemChassis", "CHASSIS-0", Manufacturer="Quorvin", Model="RX2540 M7",
        SerialNumber="QX7K034112", PartNumber="S26361-K1655-V101", CanBeFRUed=False,
        ChassisPackageType=23, NumberOfPowerCords=2, SecurityBreach=3, Height=3.44,
        Weight=41.5, RemovalConditions=2, NVXRackUnits=2, NVXLocatorIndicator=0,
        Description="Main chassis\nrear label: QX7K034112\tbay 12"))
    b.add("NVX_OperatingSystem", _healthy(
        CSCreationClassName=SYSTEM_CLASS, CSName=HOST, CreationClassName="NVX_OperatingSystem",
        Name="Debian GNU/Linux 12 (bookworm)", OSType=36, Version="12.5",
        LastBootUpTime=timestamp(-3 * 1440 - 17, -300), LocalDateTime=timestamp(0, -300),
        CurrentTimeZone=-300, NumberOfUsers=3, NumberOfProcesses=412,
        TotalVisibleMemorySize=527958016, FreePhysicalMemory=402112512,
        TotalSwapSpaceSize=8388604, Distributed=False, NVXKernelRelease="6.1.0-18-amd64"))
    rng = b.rng("firmware")
    b.add("NVX_SystemFirmware", _firmware("NVX:BIOS", "System BIOS", "1.21.0", rng,
                                          TargetTypes=["BIOS"]))
    b.add("NVX_ManagementProcessor", _healthy(
        CreationClassName="NVX_ManagementProcessor", Name="iRMC-QX7K034112", NameFormat="Other",
        Dedicated=[14], NVXModelName="iRMC S6", NVXSerialNumber="QX7K034112",
        NVXIPAddress="10.17.3.40", NVXLicense="(null)"))
    b.add("NVX_MPFirmware", _firmware("NVX:MP:FW", "Management processor firmware",
                                      "3.04P", rng))
    b.add("NVX_PowerControllerFirmware", _firmware("NVX:PWR:FW", "Power controller firmware",
                                                   "2.1.7", rng))
    b.add("NVX_MemoryRedundancySet", dict(
        InstanceID="NVX:MEM:REDUNDANCY", ElementName="Memory redundancy",
        RedundancyStatus=2, TypeOfSet=[4], MinNumberNeeded=1, MaxNumberSupported=2,
        NVXMirroringEnabled=False))
    b.add("NVX_Memory", _healthy(**_device(
        "NVX_Memory", "MEMORY-0", ElementName="System memory", Volatile=True, Access=3,
        BlockSize=1, NumberOfBlocks=549755813888 * b.scale, StartingAddress=0,
        EndingAddress=536870911 * b.scale, NVXTotalCapacity=549755813888 * b.scale,
        NVXErrorCorrection=4, Primordial=True)))


def _processors(b):
    rng = b.rng("cpu")
    for socket in range(b.count(2)):
        cpu_id = "CPU%d" % socket
        b.add("NVX_Processor", _healthy(**_device(
            "NVX_Processor", cpu_id, ElementName="Intel(R) Xeon(R) Gold 6430", Role="Central Processor",
            Family=179, MaxClockSpeed=4000, CurrentClockSpeed=2100 + 100 * rng.randrange(8),
            DataWidth=64, AddressWidth=46, LoadPercentage=rng.randrange(1, 90), Stepping="8",
            UniqueID="0x%016X" % rng.getrandbits(64), CPUStatus=1 if socket % 7 else 1,
            ExternalBusClockSpeed=100, NumberOfEnabledCores=32, Availability=3,
            NVXSocketDesignation="CPU %d" % (socket + 1), NVXMicrocodeRevision="0x2b0004b1",
            NVXThermalDesignPower=270)))
        b.add("NVX_ProcessorChip", _physical(
            "NVX_ProcessorChip", "CPU-PKG-%d" % socket, Manufacturer="Intel(R) Corporation",
            Model="Xeon Gold 6430", FormFactor=23, HotSwappable=False, CanBeFRUed=True,
            NVXSocketDesignation="CPU %d" % (socket + 1)))
        b.add("NVX_ProcessorCapabilities", dict(
            InstanceID="NVX:CPU%d:CAPS" % socket, ElementName="CPU %d capabilities" % (socket + 1),
            NumberOfProcessorCores=32, NumberOfHardwareThreads=64,
            NVXHyperThreadingEnabled=True))
        for level, size, cache_type, associativity in ((3, 2560, 4, 9), (4, 65536, 5, 8),
                                                       (5, 61440, 5, 13)):
            b.add("NVX_CacheMemory", _healthy(**_device(
                "NVX_CacheMemory", "%s-L%d" % (cpu_id, level - 2),
                ElementName="L%d cache" % (level - 2), Level=level, WritePolicy=3 if level < 5 else 6,
                CacheType=cache_type, LineSize=64, Associativity=associativity,
                NVXInstalledSize=size, BlockSize=64, NumberOfBlocks=size * 16, Volatile=True,
                # 4 runs past the end of the shorter ValueMap; 3 is inside it.
                NVXErrorCorrection=4 if level == 5 else 3)))


def _memory(b):
    rng = b.rng("memory")
    for board in range(b.count(2)):
        b.add("NVX_MemoryBoard", _physical(
            "NVX_MemoryBoard", "MEMBOARD-%d" % board, ElementName="Memory board %d" % board,
            Manufacturer="Quorvin", HostingBoard=False, CanBeFRUed=True, NVXSlotCount=16,
            NVXPopulatedSlots=8))
    for module in range(b.count(16)):
        slot = "DIMM-%d%s" % (module // 8, "ABCDEFGH"[module % 8])
        odd = module == 13
        b.add("NVX_MemoryModule", _physical(
            "NVX_MemoryModule", slot, ElementName=slot, Manufacturer="Samsung" if module % 3 else "SK Hynix",
            PartNumber="M321R4GA3BB6-CQKET", SerialNumber="%08X" % rng.getrandbits(32),
            MemoryType=99 if odd else 26, FormFactor=8, TotalWidth=72, DataWidth=64, Speed=0,
            Capacity=34359738368, BankLabel="CPU%d_CH%d" % (module // 8, module % 8),
            CanBeFRUed=True, HotSwappable=False, NVXDimmSlot=slot, NVXRanks=2,
            NVXCorrectableErrors=rng.choice([0, 0, 0, 3, 117]), NVXLocatorIndicator=0,
            HealthState=10 if odd else 5, OperationalStatus=[3, 5] if odd else [2],
            ManufactureDate=timestamp(-rng.randrange(400, 700) * 1440)))


def _cooling(b):
    rng = b.rng("cooling")
    for fan in range(b.count(6)):
        fan_id = "FAN%d" % (fan + 1)
        failing = fan == 3
        rpm = 2400 if failing else rng.randrange(5200, 9800, 40)
        b.add("NVX_Fan", _healthy(**_device(
            "NVX_Fan", fan_id, ElementName="Fan %d <front>" % (fan + 1), VariableSpeed=True,
            DesiredSpeed=rpm, ActiveCooling=True, Availability=4 if failing else 3,
            NVXRedundant=True, NVXSpeedPercent=18 if failing else rng.randrange(35, 80),
            NVXLocation="Front fan bay %d" % (fan + 1), HealthState=10 if failing else 5,
            OperationalStatus=[3] if failing else [2],
            StatusDescriptions=["Speed < 20% of nominal"] if failing else None)))
        b.add("NVX_FanSpeedSensor", _healthy(**_device(
            "NVX_FanSpeedSensor", "%s-SPEED" % fan_id, ElementName="%s speed" % fan_id,
            SensorType=5, BaseUnits=19, UnitModifier=0, RateUnits=4, CurrentReading=rpm,
            NominalReading=7200, LowerThresholdCritical=1800, LowerThresholdNonCritical=3000,
            CurrentState="Normal", PossibleStates=["Normal", "Lower Non-Critical",
                                                   "Lower Critical"], IsLinear=True,
            PollingInterval=5000000000)))
    for sensor in range(b.count(12)):
        if sensor % 12 < 6:
            cls = "NVX_TemperatureSensor"
            values = dict(SensorType=2, BaseUnits=2, UnitModifier=0,
                          CurrentReading=rng.randrange(21, 68), NominalReading=40,
                          UpperThresholdNonCritical=80, UpperThresholdCritical=95,
                          NVXAmbient=sensor % 12 == 0)
            name = "Ambient" if sensor % 12 == 0 else "CPU%d temperature" % (sensor % 2)
        else:
            cls = "NVX_NumericSensor"
            volts = [12050, 5010, 3310, 1810, 1210, 3020][sensor % 6]
            values = dict(SensorType=3, BaseUnits=5, UnitModifier=-3,
                          CurrentReading=volts + rng.randrange(-30, 30), NominalReading=volts,
                          LowerThresholdCritical=volts * 9 // 10,
                          UpperThresholdCritical=volts * 11 // 10)
            name = "Voltage rail %d" % (sensor % 6)
        b.add(cls, _healthy(**_device(
            cls, "SENSOR-%03d" % sensor, ElementName=name, CurrentState="Normal",
            PossibleStates=["Normal", "Upper Critical"], IsLinear=True, RateUnits=0,
            NVXLocation="System board", **values)))


def _power(b):
    rng = b.rng("power")
    for psu in range(b.count(2)):
        psu_id = "PSU%d" % (psu + 1)
        lost = psu % 2 == 1
        b.add("NVX_PowerSupply", _healthy(**_device(
            "NVX_PowerSupply", psu_id, ElementName="Power supply %d" % (psu + 1),
            IsSwitchingSupply=True, TotalOutputPower=1600000, TypeOfRangeSwitching=5,
            NVXInputVoltage=0 if lost else 230, NVXEfficiencyRating="80 PLUS Platinum",
            NVXLocation="Rear PSU bay %d" % (psu + 1), Availability=8 if lost else 3,
            HealthState=25 if lost else 5, OperationalStatus=[6, 32769] if lost else [2],
            StatusDescriptions=["AC input lost"] if lost else ["OK"])))
        b.add("NVX_PowerSupplyModule", _physical(
            "NVX_PowerSupplyModule", "%s-MODULE" % psu_id, Manufacturer="Delta Electronics",
            Model="DPS-1600AB-13 F", SerialNumber="DQ%08d" % rng.randrange(10 ** 8),
            PartNumber="S26113-F575-L13", CanBeFRUed=True, NVXHotPlug=True,
            RemovalConditions=4))
        b.add("NVX_PowerMeter", _healthy(**_device(
            "NVX_PowerMeter", "%s-METER" % psu_id, ElementName="%s input power" % psu_id,
            SensorType=13, BaseUnits=7, UnitModifier=0, RateUnits=0,
            CurrentReading=0 if lost else rng.randrange(250, 420),
            NVXAveragePower=0.0 if lost else 312.75, NVXEnergy=1e-07 if lost else 18446.744073709553)))


def _network(b):
    rng = b.rng("network")
    port = 0
    for controller in range(b.count(2)):
        embedded = controller % 2 == 0
        ports = 2 if embedded else 4
        ctrl_id = "NIC%d" % controller
        b.add("NVX_EthernetPortController", _healthy(**_device(
            "NVX_EthernetPortController", ctrl_id,
            ElementName="Intel(R) Ethernet Controller X710" if embedded
            else "Broadcom BCM57504 NetXtreme-E 10Gb/25Gb",
            ControllerType=2, ProtocolSupported=50, MaxNumberControlled=ports,
            NVXChipset="X710" if embedded else "BCM57504", NVXPortCount=ports,
            ControllerVersion="A1", TimeOfLastReset=timestamp(-3 * 1440 - 16))))
        b.add("NVX_EthernetControllerLocation", dict(
            Name=ctrl_id, PhysicalPosition="Embedded" if embedded else "PCIe slot %d" % controller,
            Address="0000:%02x:00.0" % (0x31 + controller), NVXEmbedded=embedded,
            NVXSlotNumber=None if embedded else controller))
        b.add("NVX_EthernetPortControllerFirmwareIdentity", _firmware(
            "NVX:%s:FW" % ctrl_id, "%s firmware" % ctrl_id, "9.20" if embedded else "229.1.123.0",
            rng))
        for index in range(ports):
            mac = "02:00:5e:%02x:%02x:%02x" % (controller % 256, index, port % 256)
            up = index < 2
            port_id = "%s-PORT%d" % (ctrl_id, index)
            b.add("NVX_EthernetPort", _healthy(**_device(
                "NVX_EthernetPort", port_id, ElementName="Port %d" % (index + 1),
                PortType=55, LinkTechnology=2, Speed=10000000000 if up else 0,
                MaxSpeed=25000000000, PermanentAddress=mac.replace(":", "").upper(),
                NetworkAddresses=[mac.replace(":", "").upper()], FullDuplex=True,
                AutoSense=True, ActiveMaximumTransmissionUnit=9000 if index == 1 else 1500,
                MaxDataSize=1500, PortNumber=index + 1, NVXLinkUp=up,
                NVXTeamName="bond0" if up else "", EnabledState=2 if up else 6,
                OperationalStatus=[2] if up else [10])))
            b.add("NVX_EthernetLANEndpoint", _healthy(
                SystemCreationClassName=SYSTEM_CLASS, SystemName=HOST,
                CreationClassName="NVX_EthernetLANEndpoint", Name="LAN:%s" % port_id,
                NameFormat="MAC", ProtocolIFType=6, MACAddress=mac.replace(":", "").upper(),
                AliasAddresses=["02005E000001", None] if port == 0 else [], MaxDataSize=1500))
            b.add("NVX_EthernetStatistics", dict(
                InstanceID="NVX:STAT:%s" % port_id, ElementName="%s statistics" % port_id,
                StatisticTime=timestamp(0), StartStatisticTime=timestamp(-3 * 1440 - 16),
                SampleInterval=interval(minutes=5),
                BytesTransmitted=rng.getrandbits(40) if up else 0,
                BytesReceived=18446744073709551615 if port == 0 else rng.getrandbits(40),
                PacketsTransmitted=rng.getrandbits(30), PacketsReceived=rng.getrandbits(30),
                SymbolErrors=0, AlignmentErrors=0, FCSErrors=rng.choice([0, 0, 12]),
                LateCollisions=0, FrameTooLongs=0))
            if up:
                ipv4 = index == 0
                b.add("NVX_IPProtocolEndpoint", _healthy(
                    SystemCreationClassName=SYSTEM_CLASS, SystemName=HOST,
                    CreationClassName="NVX_IPProtocolEndpoint", Name="IP:%s" % port_id,
                    NameFormat="IP", ProtocolIFType=4096 if ipv4 else 4097,
                    IPv4Address="10.17.%d.%d" % (controller % 256, 10 + port % 200) if ipv4 else None,
                    SubnetMask="255.255.255.0" if ipv4 else None,
                    IPv6Address=None if ipv4 else "fe80::5eff:fe00:%x" % port,
                    PrefixLength=None if ipv4 else 64, AddressOrigin=3 if ipv4 else 8))
            port += 1


def _pci(b):
    rng = b.rng("pci")
    devices = [(0x8086, 0x1572, 2, "Embedded"), (0x14E4, 0x1751, 2, "Slot 1"),
               (0x1077, 0x2261, 12, "Slot 2"), (0x1000, 0x10E2, 1, "Slot 3"),
               (0x102B, 0x0536, 3, "Embedded"), (0x8086, 0x09A2, 8, "Embedded"),
               (0x8086, 0x0998, 6, "Embedded"), (0x10DE, 0x20B5, 3, "Slot 4"),
               (0x8086, 0x1BBC, 6, "Embedded"), (0x1B4B, 0x9230, 1, "Embedded")]
    for index in range(b.count(10)):
        vendor, device, class_code, slot = devices[index % len(devices)]
        b.add("NVX_PCIDevice", _healthy(**_device(
            "NVX_PCIDevice", "PCI-%04d" % index, ElementName="PCI %04x:%04x" % (vendor, device),
            BusNumber=index % 256, DeviceNumber=(index * 3) % 32, FunctionNumber=index % 8,
            VendorID=vendor, SubsystemID=device, SubsystemVendorID=0x1734, RevisionID=1,
            ClassCode=class_code, BaseAddress=[0xFB000000 + index * 0x100000, 0xFC000000],
            ProtocolSupported=50, NVXSlotLabel=slot, NVXLinkWidth=rng.choice([4, 8, 16]))))
    for index in range(b.count(6)):
        occupied = index % 6 < 4
        b.add("NVX_PCISlot", _physical(
            "NVX_PCISlot", "PCISLOT-%d" % index, ElementName="PCIe slot %d" % (index % 6 + 1),
            Number=index + 1, ConnectorType=[19 if index % 2 else 20], MaxDataWidth=5,
            SupportsHotPlug=False, PurposeDescription="PCIe Gen5 x16" if index % 2 == 0
            else "PCIe Gen5 x8", NVXOccupied=occupied))


def _software(b):
    rng = b.rng("software")
    packages = [("ServerView Agents", "10.40.05"), ("RAID Manager", "7.21.10"),
                ("Update Manager", "14.23.03"), ("ixgbe driver", "5.19.6"),
                ("bnxt_en driver", "1.10.2-229.1"), ("qla2xxx driver", "10.02.09.100-k"),
                ("megaraid_sas driver", "07.725.01.00"), ("Diagnostics & <Tools>", "4.0")]
    for index in range(b.count(8)):
        name, version = packages[index % len(packages)]
        values = _firmware("NVX:SW:%04d" % index, name, version, rng)
        del values["NVXUpdateable"], values["NVXComponentID"]
        values.update(Classifications=[2] if "driver" in name else [4, 5],
                      NVXPackageName=name.lower().replace(" ", "-"))
        if index == 7:
            values["ReleaseDate"] = "20231104******.******+000"
        b.add("NVX_NVXSoftwareIdentity", values)


# (PerceivedSeverity, MessageID, Message, MessageArguments); severity 8 is
# outside the DMTF values and falls into their reserved range.
_MESSAGES = [
    (2, "NVX0001", "System booted", []),
    (2, "NVX0102", 'User "admin" logged in from 10.17.3.99', ["admin", "10.17.3.99"]),
    (3, "NVX0245", "Fan FAN4 speed < 20% of nominal & rising", ["FAN4"]),
    (4, "NVX0310", "Temperature CPU1 > 85 C", ["CPU1", "85"]),
    (5, "NVX0412", "Power supply PSU2: AC input lost", ["PSU2"]),
    (6, "NVX0501", "Memory module DIMM-1F: uncorrectable error at <0x7f3a0000>",
     ["DIMM-1F", "7f3a0000"]),
    (2, "NVX0603", "Firmware update of %s to 100%d completed", ["iRMC"]),
    (8, "NVX0999", "Vendor event", []),
]


def _event_log(b):
    rng = b.rng("qel")
    entries = b.count(300)
    b.add("NVX_QELRecordLog", _healthy(
        InstanceID="NVX:QEL", ElementName="Quality event log", Name="QEL",
        MaxNumberOfRecords=0, CurrentNumberOfRecords=entries, OverwritePolicy=2, LogState=2))
    minute = -entries * 17
    for record in range(entries):
        severity, message_id, message, arguments = _MESSAGES[
            record % len(_MESSAGES) if record < 16 else rng.randrange(len(_MESSAGES))]
        minute += rng.randrange(1, 34)
        b.add("NVX_QELLogEntry", dict(
            InstanceID="NVX:QEL:%06d" % record, LogInstanceID="NVX:QEL", LogName="QEL",
            RecordID=str(record + 1), CreationTimeStamp=timestamp(minute, 60),
            MessageID=message_id, Message=message, MessageArguments=arguments,
            PerceivedSeverity=severity,
            Locale="en_US", NVXEventCode=int(message_id[3:]), NVXAcknowledged=severity < 4,
            RecordFormat=None, ElementName="Event %d" % (record + 1)))


def _fibre_channel(b):
    rng = b.rng("fc")
    for hba in range(b.count(1)):
        tag = "HBA%d" % hba
        b.add("NVX_FCHBAPhysicalPackage", _physical(
            "NVX_FCHBAPhysicalPackage", tag, ElementName="QLogic QLE2772 32Gb FC HBA",
            Manufacturer="QLogic", Model="QLE2772", SerialNumber="RFD%07d" % rng.randrange(10 ** 7),
            PartNumber="QLE2772-QUO", CanBeFRUed=True, HostingBoard=False))
        b.add("NVX_FCHBAFirmwareIdentityBIOS", _firmware("NVX:%s:BIOS" % tag, "%s boot BIOS" % tag,
                                                          "3.67", rng))
        b.add("NVX_FCHBAFirmwareIdentityFW", _firmware("NVX:%s:FW" % tag, "%s firmware" % tag,
                                                        "9.12.01", rng))
        for index in range(2):
            port_id = "%s-P%d" % (tag, index)
            wwpn = "21:00:f4:e9:d4:%02x:%02x:%02x" % (hba % 256, index, rng.randrange(256))
            b.add("NVX_FCHBAFCPort", _healthy(**_device(
                "NVX_FCHBAFCPort", port_id, ElementName="FC port %d" % (index + 1),
                PortType=10 if index == 0 else 0, LinkTechnology=4, Speed=32000000000 if index == 0 else 0,
                MaxSpeed=32000000000, PermanentAddress=wwpn.replace(":", "").upper(),
                SupportedCOS=[3], PortNumber=index + 1, NVXWWPN=wwpn,
                NVXWWNN="20" + wwpn[2:], EnabledState=2 if index == 0 else 6)))
            b.add("NVX_FCHBAFCPortStatistics", dict(
                InstanceID="NVX:STAT:%s" % port_id, StatisticTime=timestamp(0),
                BytesTransmitted=rng.getrandbits(44), BytesReceived=rng.getrandbits(44),
                PacketsTransmitted=rng.getrandbits(32), PacketsReceived=rng.getrandbits(32),
                LIPCount=rng.randrange(4), NOSCount=0, ErrorFrames=0, LinkFailures=1,
                LossOfSignalCounter=2, CRCErrors=0, SampleInterval=interval(seconds=30)))


def _storage(b, prefix, label, drives_per_enclosure, enclosures, volumes):
    rng = b.rng(prefix)
    system = "NVX_%sArraySystem" % prefix
    array_name = "%s-ARRAY-0" % prefix
    extra = dict(NVXControllerCount=2) if prefix == "DX" else {}
    b.add(system, _healthy(CreationClassName=system, Name=array_name, NameFormat="Other",
                           Dedicated=[3, 15], ElementName="%s storage system" % label,
                           NVXModelName="%s 4600 S3" % label if prefix == "DX" else "PRAID EP680i",
                           NVXSerialNumber="%s%08d" % (prefix, rng.randrange(10 ** 8)), **extra))
    b.add("NVX_%sFirmware" % prefix, _firmware("NVX:%s:FW" % prefix, "%s firmware" % label,
                                                "V11L50-3000" if prefix == "DX" else "52.26.0-5179",
                                                rng))
    b.add("NVX_%sPhysicalPackage" % prefix, _physical(
        "NVX_%sPhysicalPackage" % prefix, "%s-CHASSIS" % prefix, Manufacturer="Quorvin",
        ChassisPackageType=22, CanBeFRUed=False))
    if prefix == "DX":
        for controller in range(b.count(2)):
            b.add("NVX_DXArrayController", _healthy(**_device(
                "NVX_DXArrayController", "CM#%d" % controller,
                ElementName="Controller module %d" % controller, ProtocolSupported=48,
                NVXCacheSize=68719476736, NVXBatteryHealthy=controller % 2 == 0,
                HealthState=5 if controller % 2 == 0 else 10)))
    drive = 0
    for enclosure in range(b.count(enclosures)):
        b.add("NVX_%sStorageEnclosure" % prefix, _physical(
            "NVX_%sStorageEnclosure" % prefix, "%s-ENCL-%d" % (prefix, enclosure),
            ElementName="Drive enclosure %d" % enclosure, ChassisPackageType=22,
            NVXBaySlots=drives_per_enclosure * 2, NVXLocatorIndicator=enclosure % 3))
        b.add("NVX_%sEnclosureFirmware" % prefix, _firmware(
            "NVX:%s:ENCL%d:FW" % (prefix, enclosure), "Enclosure %d firmware" % enclosure,
            "1.12", rng))
        for bay in range(drives_per_enclosure):
            drive_id = "%s-DISK-%d-%d" % (prefix, enclosure, bay)
            ssd = bay % 4 == 0
            blocks = 3750748848 if ssd else 2344225968
            broken = prefix == "SAS" and drive == 5
            b.add("NVX_%sDiskDrive" % prefix, _healthy(**_device(
                "NVX_%sDiskDrive" % prefix, drive_id, ElementName="Disk %d-%d" % (enclosure, bay),
                Capabilities=[3, 4, 10], MaxMediaSize=blocks // 2, NVXBay=bay,
                NVXMediaType=2 if ssd else (7 if bay == 3 else 1),
                NVXRotationRate=1 if ssd else 10000, NVXPowerOnHours=rng.randrange(1000, 40000),
                HealthState=20 if broken else 5, OperationalStatus=[5] if broken else [2],
                StatusDescriptions=["Predictive failure: S.M.A.R.T. threshold exceeded"]
                if broken else None)))
            b.add("NVX_%sDiskDriveFirmware" % prefix, _firmware(
                "NVX:%s:FW" % drive_id, "%s firmware" % drive_id, "B02A" if ssd else "0505",
                rng))
            b.add("NVX_%sDiskPhysicalPackage" % prefix, _physical(
                "NVX_%sDiskPhysicalPackage" % prefix, "%s-PKG" % drive_id,
                Manufacturer="Seagate" if not ssd else "KIOXIA",
                Model="ST1200MM0099" if not ssd else "KPM7XRUG1T92",
                SerialNumber="%08X" % rng.getrandbits(32), CanBeFRUed=True,
                RemovalConditions=4))
            b.add("NVX_%sStorageExtent" % prefix, _healthy(**_device(
                "NVX_%sStorageExtent" % prefix, "%s-EXTENT" % drive_id, BlockSize=512,
                NumberOfBlocks=blocks, ConsumableBlocks=blocks - 2048, Primordial=True,
                Access=3, ExtentStatus=[2])))
            if prefix == "DX":
                b.add("NVX_DXMediaAccessStatData", dict(
                    InstanceID="NVX:STAT:%s" % drive_id, StatisticTime=timestamp(0),
                    ReadOperations=rng.getrandbits(36), WriteOperations=rng.getrandbits(36),
                    UnrecoverableReadOperations=0, UnrecoverableWriteOperations=0,
                    RecoveredReadOperations=rng.randrange(50), RecoveredSeekOperations=0))
            drive += 1
    for volume in range(b.count(volumes)):
        b.add("NVX_%sStorageVolume" % prefix, _healthy(**_device(
            "NVX_%sStorageVolume" % prefix, "%s-VOL-%d" % (prefix, volume),
            ElementName="Volume %d" % volume, Name="600000E00D2A0000002A0C3D%08X" % volume,
            NameFormat=2, BlockSize=512, NumberOfBlocks=1 << (31 + volume % 3),
            ConsumableBlocks=1 << (31 + volume % 3), DataRedundancy=2,
            PackageRedundancy=1, NoSinglePointOfFailure=True, ExtentStatus=[2],
            NVXRaidLevel="RAID 1+0" if volume % 2 == 0 else "RAID 5", NVXStripeSize=256)))


def generate(scale=1):
    """(class name, property values) of every instance, in a fixed order."""
    if scale < 1:
        raise ValueError("scale must be 1 or more")
    b = _Builder(scale)
    _system(b)
    _processors(b)
    _memory(b)
    _cooling(b)
    _power(b)
    _network(b)
    _pci(b)
    _software(b)
    _event_log(b)
    _fibre_channel(b)
    _storage(b, "DX", "Dravex", drives_per_enclosure=6, enclosures=2, volumes=4)
    _storage(b, "SAS", "SAS", drives_per_enclosure=8, enclosures=1, volumes=2)
    return b.out

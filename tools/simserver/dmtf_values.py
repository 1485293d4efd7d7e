"""ValueMap/Values pairs with the DMTF CIM schema's meanings, used by the
sample inventory's class definitions. Each is (ValueMap list, Values list)."""


def _listed(values, reserved=("..", "DMTF Reserved"), vendor=None):
    value_map = [str(i) for i in range(len(values))]
    texts = list(values)
    if reserved:
        value_map.append(reserved[0])
        texts.append(reserved[1])
    if vendor:
        value_map.append(vendor[0])
        texts.append(vendor[1])
    return value_map, texts


HEALTH_STATE = (
    ["0", "5", "10", "15", "20", "25", "30", "..", "32768..65535"],
    ["Unknown", "OK", "Degraded/Warning", "Minor failure", "Major failure",
     "Critical failure", "Non-recoverable error", "DMTF Reserved", "Vendor Specific"])

OPERATIONAL_STATUS = _listed(
    ["Unknown", "Other", "OK", "Degraded", "Stressed", "Predictive Failure", "Error",
     "Non-Recoverable Error", "Starting", "Stopping", "Stopped", "In Service", "No Contact",
     "Lost Communication", "Aborted", "Dormant", "Supporting Entity in Error", "Completed",
     "Power Mode", "Relocating"],
    vendor=("0x8000..", "Vendor Reserved"))

PRIMARY_STATUS = (
    ["0", "1", "2", "3", "4..32767", "32768..65535"],
    ["Unknown", "OK", "Degraded", "Error", "DMTF Reserved", "Vendor Reserved"])

ENABLED_STATE = (
    ["0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11..32767", "32768..65535"],
    ["Unknown", "Other", "Enabled", "Disabled", "Shutting Down", "Not Applicable",
     "Enabled but Offline", "In Test", "Deferred", "Quiesce", "Starting", "DMTF Reserved",
     "Vendor Reserved"])

REQUESTED_STATE = (
    ["0", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "..", "32768..65535"],
    ["Unknown", "Enabled", "Disabled", "Shut Down", "No Change", "Offline", "Test",
     "Deferred", "Quiesce", "Reboot", "Reset", "Not Applicable", "DMTF Reserved",
     "Vendor Reserved"])

AVAILABILITY = (
    [str(i) for i in range(1, 22)],
    ["Other", "Unknown", "Running/Full Power", "Warning", "In Test", "Not Applicable",
     "Power Off", "Off Line", "Off Duty", "Degraded", "Not Installed", "Install Error",
     "Power Save - Unknown", "Power Save - Low Power Mode", "Power Save - Standby",
     "Power Cycle", "Power Save - Warning", "Paused", "Not Ready", "Not Configured",
     "Quiesced"])

DEDICATED = _listed(
    ["Not Dedicated", "Unknown", "Other", "Storage", "Router", "Switch", "Layer 3 Switch",
     "Central Office Switch", "Hub", "Access Server", "Firewall", "Print", "I/O",
     "Web Caching", "Management", "Block Server", "File Server", "Mobile User Device",
     "Repeater", "Bridge/Extender", "Gateway"],
    vendor=("32568..65535", "Vendor Reserved"))

CHASSIS_PACKAGE_TYPE = _listed(
    ["Unknown", "Other", "SMBIOS Reserved", "Desktop", "Low Profile Desktop", "Pizza Box",
     "Mini Tower", "Tower", "Portable", "LapTop", "Notebook", "Hand Held", "Docking Station",
     "All in One", "Sub Notebook", "Space-Saving", "Lunch Box", "Main System Chassis",
     "Expansion Chassis", "SubChassis", "Bus Expansion Chassis", "Peripheral Chassis",
     "Storage Chassis", "SMBIOS Reserved", "Sealed-Case PC", "SMBIOS Reserved",
     "CompactPCI", "AdvancedTCA", "Blade Enclosure"],
    vendor=("0x8000..0xFFFF", "Vendor Reserved"))

PROCESSOR_FAMILY = (
    ["1", "2", "3", "11", "12", "13", "14", "15", "179", "184", "187", "188", "198", "..",
     "65534", "65535"],
    ["Other", "Unknown", "8086", "Pentium(R) brand", "Pentium(R) Pro", "Pentium(R) II",
     "Pentium(R) processor with MMX(TM) technology", "Celeron(TM)", "Intel(R) Xeon(TM)",
     "Intel(R) Itanium(R) 2 processor", "AMD Opteron(TM) Processor Family",
     "AMD Athlon(TM) 64 Processor Family", "Intel(R) Core(TM) i7 processor",
     "DMTF Reserved", "Reserved", "Reserved"])

CPU_STATUS = (
    ["0", "1", "2", "3", "4", "7"],
    ["Unknown", "CPU Enabled", "CPU Disabled by User", "CPU Disabled By BIOS (POST Error)",
     "CPU Is Idle", "Other"])

CACHE_LEVEL = (["1", "2", "3", "4", "5", "6"],
               ["Other", "Unknown", "Not Applicable", "Primary", "Secondary", "Tertiary"])
CACHE_WRITE_POLICY = (["1", "2", "3", "4", "5", "6"],
                      ["Other", "Unknown", "Write Back", "Write Through",
                       "Varies with Address", "Determination Per I/O"])
CACHE_TYPE = (["1", "2", "3", "4", "5"], ["Other", "Unknown", "Instruction", "Data", "Unified"])
CACHE_ASSOCIATIVITY = (
    ["1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13"],
    ["Other", "Unknown", "Direct Mapped", "2-way Set-Associative",
     "4-way Set-Associative", "Fully Associative", "8-way Set-Associative",
     "16-way Set-Associative", "12-way Set-Associative", "24-way Set-Associative",
     "32-way Set-Associative", "48-way Set-Associative", "64-way Set-Associative"])

MEMORY_TYPE = _listed(
    ["Unknown", "Other", "DRAM", "Synchronous DRAM", "Cache DRAM", "EDO", "EDRAM", "VRAM",
     "SRAM", "RAM", "ROM", "Flash", "EEPROM", "FEPROM", "EPROM", "CDRAM", "3DRAM", "SDRAM",
     "SGRAM", "RDRAM", "DDR", "DDR-2", "BRAM", "FB-DIMM", "DDR3", "FBD2", "DDR4"],
    reserved=("27..32567", "DMTF Reserved"), vendor=("32568..65535", "Vendor Reserved"))

FORM_FACTOR = _listed(
    ["Unknown", "Other", "SIP", "DIP", "ZIP", "SOJ", "Proprietary", "SIMM", "DIMM", "TSOP",
     "PGA", "RIMM", "SODIMM", "SRIMM", "SMD", "SSMP", "QFP", "TQFP", "SOIC", "LCC", "PLCC",
     "BGA", "FPBGA", "LGA"], reserved=None)

SENSOR_TYPE = _listed(
    ["Unknown", "Other", "Temperature", "Voltage", "Current", "Tachometer", "Counter",
     "Switch", "Lock", "Humidity", "Smoke Detection", "Presence", "Air Flow",
     "Power Consumption", "Power Production", "Pressure", "Intrusion"],
    reserved=("17..32767", "DMTF Reserved"), vendor=("32768..65535", "Vendor Reserved"))

BASE_UNITS = _listed(
    ["Unknown", "Other", "Degrees C", "Degrees F", "Degrees K", "Volts", "Amps", "Watts",
     "Joules", "Coulombs", "VA", "Nits", "Lumens", "Lux", "Candelas", "kPa", "PSI",
     "Newtons", "CFM", "RPM", "Hertz", "Seconds", "Minutes", "Hours", "Days", "Weeks",
     "Mils", "Inches", "Feet", "Cubic Inches", "Cubic Feet", "Meters", "Cubic Centimeters",
     "Cubic Meters", "Liters", "Fluid Ounces", "Radians", "Steradians", "Revolutions",
     "Cycles", "Gravities", "Ounces", "Pounds", "Foot-Pounds", "Ounce-Inches", "Gauss",
     "Gilberts", "Henries", "Farads", "Ohms", "Siemens", "Moles", "Becquerels", "PPM",
     "Decibels", "DbA", "DbC", "Grays", "Sieverts", "Color Temperature Degrees K", "Bits",
     "Bytes", "Words (data)", "DoubleWords", "QuadWords", "Percentage", "Pascals"])

RATE_UNITS = _listed(
    ["None", "Per MicroSecond", "Per MilliSecond", "Per Second", "Per Minute", "Per Hour",
     "Per Day", "Per Week", "Per Month", "Per Year"], reserved=None)

PERCEIVED_SEVERITY = _listed(
    ["Unknown", "Other", "Information", "Degraded/Warning", "Minor", "Major", "Critical",
     "Fatal/NonRecoverable"])

OS_TYPE = (
    ["0", "1", "2", "18", "29", "36", "58", "69", "70", "79", "105", ".."],
    ["Unknown", "Other", "MACOS", "WINNT", "Solaris", "LINUX", "Windows (R) Me",
     "Microsoft Windows Server 2003", "Microsoft Windows Server 2003 64-Bit",
     "RedHat Enterprise Linux", "Microsoft Windows Server 2008 R2", "DMTF Reserved"])

LINK_TECHNOLOGY = _listed(
    ["Unknown", "Other", "Ethernet", "IB", "FC", "FDDI", "ATM", "Token Ring", "Frame Relay",
     "Infrared", "BlueTooth", "Wireless LAN"], reserved=None)

ETHERNET_PORT_TYPE = (
    ["0", "1", "50", "51", "52", "53", "54", "55", "56", "..", "16000..65535"],
    ["Unknown", "Other", "10BaseT", "10-100BaseT", "100BaseT", "1000BaseT", "2500BaseT",
     "10GBaseT", "10GBase-CX4", "DMTF Reserved", "Vendor Reserved"])

FC_PORT_TYPE = (
    ["0", "1", "10", "11", "12", "13", "14", "15", "16", "17", "18", "..", "16000..65535"],
    ["Unknown", "Other", "N", "NL", "F/NL", "Nx", "E", "F", "FL", "B", "G",
     "DMTF Reserved", "Vendor Reserved"])

ADDRESS_ORIGIN = (
    ["0", "1", "2", "3", "4", "5", "6", "7", "8", "9..32767", "32768.."],
    ["Unknown", "Other", "Not Applicable", "Static", "DHCP", "BOOTP", "IPv4 Link Local",
     "DHCPv6", "IPv6AutoConfig", "DMTF Reserved", "Vendor Reserved"])

PROTOCOL_IF_TYPE = (
    ["1", "6", "4096", "4097", "4098", "..", "4301..32767", "32768.."],
    ["Other", "Ethernet CSMA/CD", "IPv4", "IPv6", "IPv4/v6", "IANA Reserved",
     "DMTF Reserved", "Vendor Reserved"])

CLASSIFICATIONS = _listed(
    ["Unknown", "Other", "Driver", "Configuration Software", "Application Software",
     "Instrumentation", "Firmware/BIOS", "Diagnostic Software", "Operating System",
     "Middleware", "Firmware", "BIOS/FCode", "Support/Service Pack", "Software Bundle"],
    vendor=("0x8000..0xFFFF", "Vendor Reserved"))

REDUNDANCY_STATUS = (
    ["0", "2", "3", "4", "5", ".."],
    ["Unknown", "Fully Redundant", "Degraded Redundancy", "Redundancy Lost",
     "Overall Failure", "DMTF Reserved"])

TYPE_OF_SET = _listed(
    ["Unknown", "Other", "N+1", "Load Balanced", "Sparing", "Limited Sparing"],
    vendor=("0x8000..", "Vendor Reserved"))

DISK_CAPABILITIES = _listed(
    ["Unknown", "Other", "Sequential Access", "Random Access", "Supports Writing",
     "Encryption", "Compression", "Supports Removeable Media", "Manual Cleaning",
     "Automatic Cleaning", "SMART Notification", "Supports Dual Sided Media",
     "Predismount Eject Not Required"], reserved=None)

PCI_CLASS_CODE = (
    [str(i) for i in range(18)] + ["18..254", "255"],
    ["Pre 2.0", "Mass Storage", "Network", "Display", "Multimedia", "Memory", "Bridge",
     "Simple Communications", "Base Peripheral", "Input", "Docking Station", "Processor",
     "Serial Bus", "Wireless", "Intelligent I/O", "Satellite Communication",
     "Encryption/Decryption", "Data Acquisition and Signal Processing", "PCI Reserved",
     "Other"])

CONNECTOR_TYPE = _listed(
    ["Unknown", "Other", "Male", "Female", "Shielded", "Unshielded", "SCSI (A) High-Density",
     "SCSI (A) Low-Density", "SCSI (P) High-Density", "SCSI (P) Low-Density", "ISA", "EISA",
     "VESA", "PCMCIA", "PCI", "PCI-X", "PCI Express", "PCI Express X1", "PCI Express X4",
     "PCI Express X8", "PCI Express X16"], reserved=None)

POWER_SUPPLY_TYPE = _listed(
    ["Unknown", "Other", "Linear", "Switching", "Battery", "UPS", "Converter", "Regulator"],
    reserved=None)

ACCESS = (["0", "1", "2", "3", "4"],
          ["Unknown", "Readable", "Writeable", "Read/Write Supported", "Write Once"])

STATUS = (
    ["OK", "Error", "Degraded", "Unknown", "Pred Fail", "Starting", "Stopping", "Service",
     "Stressed", "NonRecover", "No Contact", "Lost Comm", "Stopped"],
    ["OK", "Error", "Degraded", "Unknown", "Pred Fail", "Starting", "Stopping", "Service",
     "Stressed", "NonRecover", "No Contact", "Lost Comm", "Stopped"])

SECURITY_BREACH = (["1", "2", "3", "4", "5"],
                   ["Other", "Unknown", "No Breach", "Breach Attempted", "Breach Successful"])

# Vendor qualifier pairs as providers really ship them, faults included: a
# ValueMap one entry shorter than its Values, and Values with no ValueMap
# (the value is then the index into Values).
VENDOR_ECC_SHORT_MAP = (["0", "1", "2", "3"],
                        ["Unknown", "None", "Parity", "Single-bit ECC", "Multi-bit ECC"])
VENDOR_INDICATOR_VALUES_ONLY = (None, ["Off", "On", "Blinking"])

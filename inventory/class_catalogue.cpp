#include "inventory/class_catalogue.h"

#include <fstream>
#include <string>

namespace inventory {

int testMode = 0;

namespace {

struct BuiltInClass {
  const char* name;
  const char* parentClass;
  const char* displayName;
  const char* category;
};

// The provider classes read from a managed server, in the order they are added.
constexpr BuiltInClass kBuiltInClasses[] = {
    {"NVX_BladeEnclosureCS", "NVX_ComputerSystem", "Blade Enclosure Chassis", "BX"},
    {"NVX_BladeEnclosureFW", "NVX_BladeEnclosureCS", "Blade Enclosure Firmware", "BX"},
    {"NVX_CacheMemory", "NVX_Processor", "Cache Memory", "CPU"},
    {"NVX_ComputerSystem", "", "Computer System", "SI"},
    {"NVX_ComputerSystemChassis", "NVX_ComputerSystem", "Computer System Chassis", "SI"},
    {"NVX_EthernetPortController", "NVX_ComputerSystem", "Ethernet Port Controller", "NIC"},
    {"NVX_EthernetControllerLocation", "NVX_EthernetPortController", "Ethernet Controller Location",
     "NIC"},
    {"NVX_EthernetLANEndpoint", "NVX_EthernetPort", "Ethernet LAN Endpoint", "NIC"},
    {"NVX_EthernetPort", "NVX_EthernetPortController", "Ethernet Port", "NIC"},
    {"NVX_EthernetPortControllerFirmwareIdentity", "NVX_EthernetPortController",
     "Ethernet Port Controller Firmware", "NIC"},
    {"NVX_EthernetStatistics", "NVX_EthernetPort", "Ethernet Statistics", "NIC"},
    {"NVX_Fan", "NVX_ComputerSystem", "Fan", "FAN"},
    {"NVX_FanSpeedSensor", "NVX_Fan", "Fan Speed Sensor", "FAN"},
    {"NVX_QELRecordLog", "NVX_ComputerSystem", "QEL Record Log", "QEL"},
    {"NVX_QELLogEntry", "NVX_QELRecordLog", "QEL Log Entry", "QEL"},
    {"NVX_IPProtocolEndpoint", "NVX_EthernetPort", "IP Protocol Endpoint", "NIC"},
    {"NVX_ManagementProcessor", "NVX_ComputerSystem", "Management Processor", "MPX"},
    {"NVX_Memory", "NVX_ComputerSystem", "Memory", "MEMORY"},
    {"NVX_MemoryBoard", "NVX_Memory", "Memory Board", "MEMORY"},
    {"NVX_MemoryModule", "NVX_MemoryBoard", "Memory Module", "MEMORY"},
    {"NVX_MemoryRedundancySet", "NVX_ComputerSystem", "Memory Redundancy", "MEMORY"},
    {"NVX_MPFirmware", "NVX_ManagementProcessor", "MP Firmware", "MPX"},
    {"NVX_NumericSensor", "NVX_ComputerSystem", "Numeric Sensor", "TEMP"},
    {"NVX_OperatingSystem", "NVX_ComputerSystem", "Operating System", "OS"},
    {"NVX_PCIDevice", "NVX_ComputerSystem", "PCI Device", "PCI"},
    {"NVX_PCISlot", "NVX_PCIDevice", "PCI Slot", "PCI"},
    {"NVX_PowerControllerFirmware", "NVX_ComputerSystem", "Power Controller Firmware", "PS"},
    {"NVX_PowerMeter", "NVX_PowerSupply", "Power Meter", "PS"},
    {"NVX_PowerSupply", "NVX_ComputerSystem", "Power Supply", "PS"},
    {"NVX_PowerSupplyModule", "NVX_PowerSupply", "Power Supply Module", "PS"},
    {"NVX_Processor", "NVX_ComputerSystem", "Processor", "CPU"},
    {"NVX_ProcessorCapabilities", "NVX_Processor", "Processor Capabilities", "CPU"},
    {"NVX_ProcessorChip", "NVX_Processor", "Processor Chip", "CPU"},
    {"NVX_NVXSoftwareIdentity", "NVX_ComputerSystem", "NVX Software", "OTHER"},
    {"NVX_SystemFirmware", "NVX_ComputerSystem", "System Firmware", "SF"},
    {"NVX_FCHBAFCPort", "NVX_FCHBAPhysicalPackage", "HBA FC Port", "FC"},
    {"NVX_FCHBAFCPortStatistics", "NVX_FCHBAPhysicalPackage", "HBA FC Port Statistics", "FC"},
    {"NVX_FCHBAFirmwareIdentityBIOS", "NVX_FCHBAPhysicalPackage", "HBA BIOS", "FC"},
    {"NVX_FCHBAFirmwareIdentityFW", "NVX_FCHBAPhysicalPackage", "HBA Firmware", "FC"},
    {"NVX_FCHBAPhysicalPackage", "NVX_ComputerSystem", "HBA Physical Package", "FC"},
    {"NVX_DXArrayController", "NVX_DXArraySystem", "Dravex Controller", "DX"},
    {"NVX_DXArraySystem", "NVX_ComputerSystem", "Dravex System", "DX"},
    {"NVX_DXDiskDrive", "NVX_DXStorageEnclosure", "Dravex Disk Drive", "DX"},
    {"NVX_DXDiskDriveFirmware", "NVX_DXDiskDrive", "Dravex Disk Drive Firmware", "DX"},
    {"NVX_DXDiskPhysicalPackage", "NVX_DXDiskDrive", "Dravex Disk Physical Package", "DX"},
    {"NVX_DXEnclosureFirmware", "NVX_DXStorageEnclosure", "Dravex Enclosure Firmware", "DX"},
    {"NVX_DXFirmware", "NVX_DXArraySystem", "Dravex Firmware", "DX"},
    {"NVX_DXMediaAccessStatData", "NVX_DXDiskDrive", "Dravex Media Access Statistics", "DX"},
    {"NVX_DXPhysicalPackage", "NVX_DXArraySystem", "Dravex Physical Package", "DX"},
    {"NVX_DXStorageEnclosure", "NVX_DXArraySystem", "Dravex Storage Enclosure", "DX"},
    {"NVX_DXStorageExtent", "NVX_DXDiskDrive", "Dravex Storage Extent", "DX"},
    {"NVX_DXStorageVolume", "NVX_DXArraySystem", "Dravex Storage Volume", "DX"},
    {"NVX_SASArraySystem", "NVX_ComputerSystem", "SAS Array System", "SAS"},
    {"NVX_SASDiskDrive", "NVX_SASStorageEnclosure", "SAS Disk Drive", "SAS"},
    {"NVX_SASDiskDriveFirmware", "NVX_SASDiskDrive", "SAS Disk Drive Firmware", "SAS"},
    {"NVX_SASDiskPhysicalPackage", "NVX_SASDiskDrive", "SAS Disk Physical Package", "SAS"},
    {"NVX_SASEnclosureFirmware", "NVX_SASStorageEnclosure", "SAS Enclosure Firmware", "SAS"},
    {"NVX_SASFirmware", "NVX_SASArraySystem", "SAS Firmware", "SAS"},
    {"NVX_SASPhysicalPackage", "NVX_SASArraySystem", "SAS Physical Package", "SAS"},
    {"NVX_SASStorageEnclosure", "NVX_SASPhysicalPackage", "SAS Storage Enclosure", "SAS"},
    {"NVX_SASStorageExtent", "NVX_SASDiskDrive", "SAS Storage Extent", "SAS"},
    {"NVX_SASStorageVolume", "NVX_SASPhysicalPackage", "SAS Storage Volume", "SAS"},
};

// Reads the test class list into the catalogue. A line is taken whole, spaces included;
// a carriage return before the line feed belongs to the line end, not to the class name.
void readTestClassList(std::ifstream& file, ClassCatalogue& catalogue) {
  const _CLASS_STRUCT testEntry(Common::string("TEST"), Common::string(), Common::string());
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    catalogue[Common::string(line.data(), static_cast<int>(line.size()))] = testEntry;
  }
}

}  // namespace

_CLASS_STRUCT::_CLASS_STRUCT(const Common::string& category, const Common::string& displayName,
                             const Common::string& parentClass, const char* extraItemsText)
    : category(category), displayName(displayName), parentClass(parentClass) {
  if (extraItemsText != nullptr) extraItems = Common::string(extraItemsText).split(",");
}

ClassCatalogue buildClassCatalogue(const char* testListPath) {
  ClassCatalogue catalogue;
  std::ifstream testList(testListPath, std::ios::in | std::ios::binary);
  if (testList.is_open()) {
    testMode = 1;
    readTestClassList(testList, catalogue);
    return catalogue;
  }
  testMode = 0;
  for (const BuiltInClass& builtIn : kBuiltInClasses) {
    catalogue[Common::string(builtIn.name)] =
        _CLASS_STRUCT(Common::string(builtIn.category), Common::string(builtIn.displayName),
                      Common::string(builtIn.parentClass));
  }
  return catalogue;
}

Common::string classDisplayName(const Common::string& className, const char* testListPath) {
  ClassCatalogue catalogue = buildClassCatalogue(testListPath);
  auto entry = catalogue.find(className);
  if (entry == catalogue.end()) return className;
  return (*entry).second.displayName;
}

}  // namespace inventory

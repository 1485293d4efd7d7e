#include "inventory/class_catalogue.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace inventory {
namespace {

std::string str(const Common::string& text) { return std::string(text.c_str(), text.length()); }

// Owns a temporary directory holding the test class list, so no test touches the real path.
class ClassCatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/inventory_catalogue_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    listPath_ = dir_ + "/ProviderClassNames.txt";
  }
  void TearDown() override {
    std::remove(listPath_.c_str());
    rmdir(dir_.c_str());
    testMode = 0;  // process-wide; later tests expect it cleared
  }
  void writeList(const std::string& content) {
    std::ofstream(listPath_, std::ios::binary) << content;
  }
  std::vector<std::string> keys(ClassCatalogue& catalogue) {
    std::vector<std::string> names;
    for (auto it = catalogue.begin(); it != catalogue.end(); ++it)
      names.push_back(str((*it).first));
    return names;
  }

  std::string dir_;
  std::string listPath_;
};

TEST_F(ClassCatalogueTest, BuiltInCatalogueWithoutListFile) {
  testMode = 1;
  ClassCatalogue catalogue = buildClassCatalogue(listPath_.c_str());
  EXPECT_EQ(testMode, 0);

  // Ascending byte order: capitals before lower case, so a child may precede its parent.
  const std::vector<std::string> expectedOrder = {"NVX_BladeEnclosureCS",
                                                  "NVX_BladeEnclosureFW",
                                                  "NVX_CacheMemory",
                                                  "NVX_ComputerSystem",
                                                  "NVX_ComputerSystemChassis",
                                                  "NVX_DXArrayController",
                                                  "NVX_DXArraySystem",
                                                  "NVX_DXDiskDrive",
                                                  "NVX_DXDiskDriveFirmware",
                                                  "NVX_DXDiskPhysicalPackage",
                                                  "NVX_DXEnclosureFirmware",
                                                  "NVX_DXFirmware",
                                                  "NVX_DXMediaAccessStatData",
                                                  "NVX_DXPhysicalPackage",
                                                  "NVX_DXStorageEnclosure",
                                                  "NVX_DXStorageExtent",
                                                  "NVX_DXStorageVolume",
                                                  "NVX_EthernetControllerLocation",
                                                  "NVX_EthernetLANEndpoint",
                                                  "NVX_EthernetPort",
                                                  "NVX_EthernetPortController",
                                                  "NVX_EthernetPortControllerFirmwareIdentity",
                                                  "NVX_EthernetStatistics",
                                                  "NVX_FCHBAFCPort",
                                                  "NVX_FCHBAFCPortStatistics",
                                                  "NVX_FCHBAFirmwareIdentityBIOS",
                                                  "NVX_FCHBAFirmwareIdentityFW",
                                                  "NVX_FCHBAPhysicalPackage",
                                                  "NVX_Fan",
                                                  "NVX_FanSpeedSensor",
                                                  "NVX_IPProtocolEndpoint",
                                                  "NVX_MPFirmware",
                                                  "NVX_ManagementProcessor",
                                                  "NVX_Memory",
                                                  "NVX_MemoryBoard",
                                                  "NVX_MemoryModule",
                                                  "NVX_MemoryRedundancySet",
                                                  "NVX_NVXSoftwareIdentity",
                                                  "NVX_NumericSensor",
                                                  "NVX_OperatingSystem",
                                                  "NVX_PCIDevice",
                                                  "NVX_PCISlot",
                                                  "NVX_PowerControllerFirmware",
                                                  "NVX_PowerMeter",
                                                  "NVX_PowerSupply",
                                                  "NVX_PowerSupplyModule",
                                                  "NVX_Processor",
                                                  "NVX_ProcessorCapabilities",
                                                  "NVX_ProcessorChip",
                                                  "NVX_QELLogEntry",
                                                  "NVX_QELRecordLog",
                                                  "NVX_SASArraySystem",
                                                  "NVX_SASDiskDrive",
                                                  "NVX_SASDiskDriveFirmware",
                                                  "NVX_SASDiskPhysicalPackage",
                                                  "NVX_SASEnclosureFirmware",
                                                  "NVX_SASFirmware",
                                                  "NVX_SASPhysicalPackage",
                                                  "NVX_SASStorageEnclosure",
                                                  "NVX_SASStorageExtent",
                                                  "NVX_SASStorageVolume",
                                                  "NVX_SystemFirmware"};
  EXPECT_EQ(keys(catalogue), expectedOrder);

  std::map<std::string, int> classesPerCategory;
  for (auto it = catalogue.begin(); it != catalogue.end(); ++it) {
    const _CLASS_STRUCT& entry = (*it).second;
    ++classesPerCategory[str(entry.category)];
    EXPECT_EQ(entry.extraItems.size(), 0u);
    // Every parent is catalogued; only the computer system is the root.
    if (str((*it).first) == "NVX_ComputerSystem") {
      EXPECT_TRUE(entry.parentClass.empty());
    } else {
      EXPECT_NE(catalogue.find(entry.parentClass), catalogue.end()) << str((*it).first);
    }
  }
  const std::map<std::string, int> expectedCounts = {
      {"BX", 2},  {"CPU", 4},  {"DX", 12}, {"FAN", 2},   {"FC", 5},  {"MEMORY", 4},
      {"MPX", 2}, {"NIC", 7},  {"OS", 1},  {"OTHER", 1}, {"PCI", 2}, {"PS", 4},
      {"QEL", 2}, {"SAS", 10}, {"SF", 1},  {"SI", 2},    {"TEMP", 1}};
  EXPECT_EQ(classesPerCategory, expectedCounts);
}

TEST_F(ClassCatalogueTest, BuiltInEntriesCarryTheirParentsAndNames) {
  struct Row {
    const char* name;
    const char* parent;
    const char* displayName;
    const char* category;
  };
  const Row rows[] = {
      {"NVX_DXArrayController", "NVX_DXArraySystem", "Dravex Controller", "DX"},
      {"NVX_DXMediaAccessStatData", "NVX_DXDiskDrive", "Dravex Media Access Statistics", "DX"},
      {"NVX_MemoryRedundancySet", "NVX_ComputerSystem", "Memory Redundancy", "MEMORY"},
      {"NVX_EthernetPortControllerFirmwareIdentity", "NVX_EthernetPortController",
       "Ethernet Port Controller Firmware", "NIC"},
      {"NVX_FCHBAFirmwareIdentityBIOS", "NVX_FCHBAPhysicalPackage", "HBA BIOS", "FC"},
      {"NVX_FCHBAFirmwareIdentityFW", "NVX_FCHBAPhysicalPackage", "HBA Firmware", "FC"},
      {"NVX_SASStorageEnclosure", "NVX_SASPhysicalPackage", "SAS Storage Enclosure", "SAS"},
      {"NVX_SASStorageVolume", "NVX_SASPhysicalPackage", "SAS Storage Volume", "SAS"},
      {"NVX_DXStorageEnclosure", "NVX_DXArraySystem", "Dravex Storage Enclosure", "DX"},
      {"NVX_NVXSoftwareIdentity", "NVX_ComputerSystem", "NVX Software", "OTHER"},
      {"NVX_NumericSensor", "NVX_ComputerSystem", "Numeric Sensor", "TEMP"},
      {"NVX_ComputerSystem", "", "Computer System", "SI"},
  };
  ClassCatalogue catalogue = buildClassCatalogue(listPath_.c_str());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto entry = catalogue.find(Common::string(row.name));
    ASSERT_NE(entry, catalogue.end());
    EXPECT_EQ(str((*entry).second.parentClass), row.parent);
    EXPECT_EQ(str((*entry).second.displayName), row.displayName);
    EXPECT_EQ(str((*entry).second.category), row.category);
  }
}

TEST_F(ClassCatalogueTest, ListFileReplacesBuiltInClasses) {
  // A repeated name gives one entry, "#" starts a comment, the last line has no line feed.
  writeList("NVX_Fan\n# a comment\nNVX_Fan\nNVX_Memory");
  testMode = 0;
  ClassCatalogue catalogue = buildClassCatalogue(listPath_.c_str());
  EXPECT_EQ(testMode, 1);
  EXPECT_EQ(keys(catalogue), (std::vector<std::string>{"NVX_Fan", "NVX_Memory"}));
  for (auto it = catalogue.begin(); it != catalogue.end(); ++it) {
    EXPECT_EQ(str((*it).second.category), "TEST");
    EXPECT_TRUE((*it).second.displayName.empty());
    EXPECT_TRUE((*it).second.parentClass.empty());
  }
}

TEST_F(ClassCatalogueTest, ListFileLinesAreTakenWhole) {
  // Empty lines are skipped; a carriage return before the line feed belongs to the line end;
  // a space before "#" makes the line a class name, kept with its spaces.
  writeList("\nNVX_Fan\r\n\r\n #not a comment\nNVX_Memory \n\n");
  ClassCatalogue catalogue = buildClassCatalogue(listPath_.c_str());
  EXPECT_EQ(keys(catalogue),
            (std::vector<std::string>{" #not a comment", "NVX_Fan", "NVX_Memory "}));
}

TEST_F(ClassCatalogueTest, EmptyListFileStillMeansTestMode) {
  writeList("");
  ClassCatalogue catalogue = buildClassCatalogue(listPath_.c_str());
  EXPECT_EQ(testMode, 1);
  EXPECT_EQ(catalogue.size(), 0u);
}

TEST_F(ClassCatalogueTest, DisplayNames) {
  struct Row {
    const char* className;
    const char* expected;
  };
  const Row builtIn[] = {
      {"NVX_ProcessorChip", "Processor Chip"},
      {"nvx_processorchip", "nvx_processorchip"},  // no case folding
      {"NVX_Unknown", "NVX_Unknown"},
      {"", ""},
  };
  for (const Row& row : builtIn) {
    SCOPED_TRACE(row.className);
    EXPECT_EQ(str(classDisplayName(Common::string(row.className), listPath_.c_str())),
              row.expected);
    EXPECT_EQ(testMode, 0);
  }

  // Each lookup probes the list again, so creating the file switches to test mode at once.
  writeList("NVX_Fan\n");
  const Row listed[] = {
      {"NVX_Fan", ""},
      {"NVX_ProcessorChip", "NVX_ProcessorChip"},
  };
  for (const Row& row : listed) {
    SCOPED_TRACE(row.className);
    EXPECT_EQ(str(classDisplayName(Common::string(row.className), listPath_.c_str())),
              row.expected);
    EXPECT_EQ(testMode, 1);
  }
}

TEST(ClassStructTest, ExtraItemsComeFromTheCommaSeparatedText) {
  const _CLASS_STRUCT without(Common::string("CPU"), Common::string("Processor"),
                              Common::string("NVX_ComputerSystem"));
  EXPECT_EQ(without.extraItems.size(), 0u);

  const _CLASS_STRUCT with(Common::string("CPU"), Common::string("Processor"),
                           Common::string("NVX_ComputerSystem"), "a,,b");
  std::vector<std::string> items;
  for (auto it = with.extraItems.begin(); it != with.extraItems.end(); ++it) {
    items.push_back(str(*it));
  }
  EXPECT_EQ(items, (std::vector<std::string>{"a", "", "b"}));
}

}  // namespace
}  // namespace inventory

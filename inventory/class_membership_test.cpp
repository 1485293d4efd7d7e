#include "inventory/class_membership.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cim/class.h"
#include "cim/instance.h"

namespace inventory {
namespace {

cim::CIMInstance instanceOf(const std::string& className, const std::vector<std::string>& names) {
  cim::CIMInstance instance(className);
  for (const std::string& name : names)
    instance.addProperty(cim::CIMProperty(name, cim::CIMValue()));
  return instance;
}

TEST(ClassMembershipTest, InstancesOfTheClassOrASubclassBelong) {
  cim::CIMClass definition("NVX_NumericSensor");
  definition.addProperty(cim::CIMProperty("DeviceID", cim::CIMValue()));
  definition.addProperty(cim::CIMProperty("SensorType", cim::CIMValue()));

  struct Row {
    const char* label;
    cim::CIMInstance instance;
    bool belongs;
    const char* missing;
  };
  const Row rows[] = {
      {"the class itself", instanceOf("NVX_NumericSensor", {"DeviceID", "SensorType"}), true, ""},
      // A server may leave properties out of the class's own instances.
      {"the class, letter case aside, fewer properties", instanceOf("nvx_numericsensor", {}), true,
       ""},
      {"a subclass with every inherited property and its own",
       instanceOf("NVX_TemperatureSensor", {"sensortype", "DeviceID", "Zone"}), true, ""},
      {"another class that lacks a property",
       instanceOf("NVX_OperatingSystem", {"DeviceID", "OSType"}), false, "SensorType"},
      {"another class without properties", instanceOf("NVX_Fan", {}), false, "DeviceID"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::string missing;
    EXPECT_EQ(belongsToClass(definition, row.instance, missing), row.belongs);
    EXPECT_EQ(missing, row.missing);
  }
}

}  // namespace
}  // namespace inventory

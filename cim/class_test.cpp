#include "cim/class.h"

#include <gtest/gtest.h>

#include "cim/exception.h"
#include "cim/instance.h"
#include "cim/instance_enumeration.h"

namespace cim {
namespace {

CIMQualifier stringArrayQualifier(const char* name, std::vector<std::string> entries) {
  return CIMQualifier(name, CIMValue::fromTextArray(CIMDataType::kString, std::move(entries)));
}

TEST(CIMClassTest, LookupsIgnoreCaseAndKeepReceivedOrder) {
  CIMClass cls("NVX_Fan", "CIM_Fan");
  CIMProperty health("HealthState", CIMValue::makeNull(CIMDataType(CIMDataType::kUint16, false)));
  health.addQualifier(stringArrayQualifier("VALUES", {"Upper"}));
  health.addQualifier(stringArrayQualifier("ValueMap", {"0", "5"}));
  health.addQualifier(stringArrayQualifier("Values", {"Unknown", "OK"}));
  cls.addProperty(std::move(health));
  cls.addQualifier(CIMQualifier("Version", CIMValue::fromText(CIMDataType::kString, "2.1")));

  EXPECT_EQ(cls.getName(), "NVX_Fan");
  EXPECT_EQ(cls.getSuperClassName(), "CIM_Fan");
  ASSERT_NE(cls.getQualifier("version"), nullptr);
  EXPECT_EQ(cls.getProperty("Speed"), nullptr);
  const CIMProperty* property = cls.getProperty("healthstate");
  ASSERT_NE(property, nullptr);
  EXPECT_EQ(property->getName(), "HealthState");
  EXPECT_EQ(property->getDataType().toString(), "uint16");

  // The name lookup takes the first match in any case; the list keeps the
  // order and spelling the server sent, so an exact-name walk still works.
  EXPECT_EQ(property->getQualifier("values")->getName(), "VALUES");
  EXPECT_EQ(property->getQualifier("VALUEMAP")->getValue().toString(), "0,5");
  EXPECT_EQ(property->getQualifier("Description"), nullptr);
  const std::vector<CIMQualifier>& qualifiers = property->getQualifiers();
  ASSERT_EQ(qualifiers.size(), 3u);
  EXPECT_EQ(qualifiers[0].getName(), "VALUES");
  EXPECT_EQ(qualifiers[1].getName(), "ValueMap");
  EXPECT_EQ(qualifiers[2].getName(), "Values");
}

TEST(CIMInstanceEnumerationTest, HandsOutInstancesInOrderThenFails) {
  std::vector<CIMInstance> instances;
  for (const char* name : {"A", "B"}) {
    CIMInstance instance("NVX_Fan");
    instance.addProperty(CIMProperty("Name", CIMValue::fromText(CIMDataType::kString, name)));
    instances.push_back(std::move(instance));
  }
  CIMInstanceEnumeration enumeration(std::move(instances));
  EXPECT_EQ(enumeration.numberOfElements(), 2u);
  std::string seen;
  while (enumeration.hasMoreElements()) {
    const CIMInstance instance = enumeration.nextElement();
    seen += instance.getProperty("NAME")->getValue().toString();
  }
  EXPECT_EQ(seen, "AB");
  EXPECT_EQ(enumeration.numberOfElements(), 0u);
  EXPECT_THROW(enumeration.nextElement(), OutOfBoundsException);
}

}  // namespace
}  // namespace cim

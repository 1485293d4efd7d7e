#include "inventory/value_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cim/class.h"
#include "cim/property.h"
#include "cim/qualifier.h"
#include "cim/value.h"
#include "inventory/class_catalogue.h"

namespace inventory {
namespace {

using Entries = std::vector<std::string>;

cim::CIMQualifier strings(const char* name, Entries entries) {
  return cim::CIMQualifier(name, cim::CIMValue::fromTextArray(cim::CIMDataType::kString, entries));
}

const Entries kStatusMap = {"0", "1", "2"};
const Entries kStatusNames = {"Stopped", "OK", "Degraded"};

// A class whose property "HealthState" carries the given qualifiers.
cim::CIMClass classWith(std::vector<cim::CIMQualifier> qualifiers) {
  cim::CIMProperty definition(
      "HealthState", cim::CIMValue::makeNull(cim::CIMDataType(cim::CIMDataType::kString, false)));
  for (cim::CIMQualifier& qualifier : qualifiers) definition.addQualifier(qualifier);
  cim::CIMClass cls("NVX_Fan");
  cls.addProperty(cim::CIMProperty(
      "ElementName", cim::CIMValue::makeNull(cim::CIMDataType(cim::CIMDataType::kString, false))));
  cls.addProperty(definition);
  return cls;
}

// A string-typed instance property, so the raw text is exactly rawText.
cim::CIMProperty instanceProperty(const char* rawText, const char* name = "HealthState") {
  return cim::CIMProperty(name, cim::CIMValue::fromText(cim::CIMDataType::kString, rawText));
}

// testMode is process-wide: every test starts outside test mode and leaves it that way.
class ValueTranslationTest : public ::testing::Test {
 protected:
  void SetUp() override { testMode = 0; }
  void TearDown() override { testMode = 0; }
};

TEST_F(ValueTranslationTest, Translates) {
  struct Row {
    const char* label;
    std::vector<cim::CIMQualifier> qualifiers;
    cim::CIMProperty property;
    std::string expected;
  };
  const cim::CIMQualifier description("Description",
                                      cim::CIMValue::fromText(cim::CIMDataType::kString, "x"));
  const Row rows[] = {
      {"mapped",
       {strings("ValueMap", kStatusMap), strings("Values", kStatusNames)},
       instanceProperty("1"),
       "OK"},
      {"not in the map",
       {strings("ValueMap", kStatusMap), strings("Values", kStatusNames)},
       instanceProperty("3"),
       "3"},
      {"no numeric matching",
       {strings("ValueMap", kStatusMap), strings("Values", kStatusNames)},
       instanceProperty("01"),
       "01"},
      {"Values before ValueMap",
       {strings("Values", kStatusNames), strings("ValueMap", kStatusMap)},
       instanceProperty("2"),
       "Degraded"},
      {"among other qualifiers",
       {description, strings("ValueMap", kStatusMap), strings("Values", kStatusNames)},
       instanceProperty("0"),
       "Stopped"},
      {"class property found without regard to case",
       {strings("ValueMap", kStatusMap), strings("Values", kStatusNames)},
       instanceProperty("1", "HEALTHSTATE"),
       "OK"},
      {"property the class does not declare",
       {strings("ValueMap", kStatusMap), strings("Values", kStatusNames)},
       instanceProperty("1", "OtherState"),
       "1"},
      {"case matters in the map",
       {strings("ValueMap", {"a"}), strings("Values", {"Alpha"})},
       instanceProperty("A"),
       "A"},
      {"array compared as its whole text",
       {strings("ValueMap", {"1,2"}), strings("Values", {"Both"})},
       cim::CIMProperty("HealthState",
                        cim::CIMValue::fromTextArray(cim::CIMDataType::kUint16, {"1", "2"})),
       "Both"},
      {"null value compared as its text",
       {strings("ValueMap", {"(null)"}), strings("Values", {"Unknown"})},
       cim::CIMProperty("HealthState", cim::CIMValue::makeNull(
                                           cim::CIMDataType(cim::CIMDataType::kUint16, false))),
       "Unknown"},
      {"empty translation",
       {strings("ValueMap", kStatusMap), strings("Values", {"", "OK"})},
       instanceProperty("0"),
       "0"},
      {"no qualifiers", {}, instanceProperty("1"), "1"},
      {"Values alone", {strings("Values", kStatusNames)}, instanceProperty("1"), "1"},
      {"Values spelt in capitals",
       {strings("ValueMap", kStatusMap), strings("VALUES", kStatusNames)},
       instanceProperty("1"),
       "1"},
      {"ValueMap longer than Values",
       {strings("ValueMap", {"0", "1", "2", "3"}), strings("Values", {"A", "B"})},
       instanceProperty("3"),
       "3"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(translateValue(classWith(row.qualifiers), row.property), row.expected);
  }
}

TEST_F(ValueTranslationTest, MalformedQualifiersLeaveTheValueRaw) {
  struct Row {
    const char* label;
    std::vector<cim::CIMQualifier> qualifiers;
    const char* raw;
    std::string expected;
  };
  const cim::CIMQualifier description("Description",
                                      cim::CIMValue::fromText(cim::CIMDataType::kString, "x"));
  const cim::CIMQualifier nullValues(
      "Values", cim::CIMValue::makeNull(cim::CIMDataType(cim::CIMDataType::kString, true)));
  const cim::CIMQualifier nullMap(
      "ValueMap", cim::CIMValue::makeNull(cim::CIMDataType(cim::CIMDataType::kString, true)));
  const cim::CIMQualifier numericMap(
      "ValueMap", cim::CIMValue::fromTextArray(cim::CIMDataType::kUint16, {"0", "1", "2"}));
  const cim::CIMQualifier scalarValues("Values",
                                       cim::CIMValue::fromText(cim::CIMDataType::kString, "OK"));
  const Row rows[] = {
      {"Values without ValueMap", {description, strings("Values", kStatusNames)}, "1", "1"},
      {"null Values", {strings("ValueMap", kStatusMap), nullValues}, "1", "1"},
      {"null ValueMap", {nullMap, strings("Values", kStatusNames)}, "1", "1"},
      {"ValueMap not strings", {numericMap, strings("Values", kStatusNames)}, "1", "1"},
      {"Values not an array", {strings("ValueMap", kStatusMap), scalarValues}, "0", "0"},
      // A short "ValueMap": texts found before its end are translated, the others stay raw.
      {"short ValueMap, match before its end",
       {strings("ValueMap", {"0", "1"}), strings("Values", kStatusNames)},
       "1",
       "OK"},
      {"short ValueMap, no match",
       {strings("ValueMap", {"0", "1"}), strings("Values", kStatusNames)},
       "5",
       "5"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(translateValue(classWith(row.qualifiers), instanceProperty(row.raw)), row.expected);
  }
}

TEST_F(ValueTranslationTest, TestModeAppendsTheRawValueToTranslations) {
  testMode = 1;
  const cim::CIMClass cls =
      classWith({strings("ValueMap", kStatusMap), strings("Values", kStatusNames)});
  EXPECT_EQ(translateValue(cls, instanceProperty("1")), "OK [1]");
  EXPECT_EQ(translateValue(cls, instanceProperty("3")), "3");
}

}  // namespace
}  // namespace inventory

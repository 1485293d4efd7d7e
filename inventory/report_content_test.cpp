#include "inventory/report_content.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cim/class.h"
#include "cim/instance.h"
#include "cim/property.h"
#include "cim/qualifier.h"
#include "cim/value.h"
#include "inventory/class_catalogue.h"
#include "xml/xml_codec.h"

namespace inventory {
namespace {

std::string str(const Common::string& text) { return std::string(text.c_str(), text.length()); }

std::string serialize(XmlNodePtr node) { return str(XmlCodec().serialize(node)); }

cim::CIMProperty property(const char* name, cim::CIMDataType::Type type, const char* text) {
  return cim::CIMProperty(name, cim::CIMValue::fromText(type, text));
}

cim::CIMProperty nullProperty(const char* name, cim::CIMDataType::Type type) {
  return cim::CIMProperty(name, cim::CIMValue::makeNull(cim::CIMDataType(type, false)));
}

cim::CIMQualifier strings(const char* name, std::vector<std::string> entries) {
  return cim::CIMQualifier(name, cim::CIMValue::fromTextArray(cim::CIMDataType::kString, entries));
}

// NVX_Fan with a HealthState that translates 5 into OK.
cim::CIMClass fanClass() {
  cim::CIMProperty healthState = nullProperty("HealthState", cim::CIMDataType::kUint16);
  healthState.addQualifier(strings("ValueMap", {"0", "5", "20"}));
  healthState.addQualifier(strings("Values", {"Unknown", "OK", "Major failure"}));
  cim::CIMClass cls("NVX_Fan");
  cls.addProperty(nullProperty("ElementName", cim::CIMDataType::kString));
  cls.addProperty(healthState);
  return cls;
}

cim::CIMInstance fanInstance(const char* elementName) {
  cim::CIMInstance instance("NVX_Fan");
  instance.addProperty(property("ElementName", cim::CIMDataType::kString, elementName));
  instance.addProperty(property("HealthState", cim::CIMDataType::kUint16, "5"));
  return instance;
}

// testMode is process-wide: every test starts outside test mode and leaves it that way.
class ReportContentTest : public ::testing::Test {
 protected:
  void SetUp() override { testMode = 0; }
  void TearDown() override { testMode = 0; }

  XmlNodePtr providerData_{new XmlNode(Common::string("provider_data"))};
};

TEST(TimeGeneratedTest, TwelveHourClockWithEnglishNames) {
  struct Row {
    int year, month, day, weekday, hour, minute, second;
    const char* expected;
  };
  const Row rows[] = {
      {2011, 11, 6, 0, 1, 17, 29, "Sunday November 06, 2011 01:17:29AM"},
      {2009, 3, 2, 1, 9, 15, 0, "Monday March 02, 2009 09:15:00AM"},
      {2024, 2, 29, 4, 0, 5, 9, "Thursday February 29, 2024 12:05:09AM"},
      {2024, 12, 31, 2, 12, 0, 0, "Tuesday December 31, 2024 12:00:00PM"},
      {2000, 7, 15, 6, 23, 59, 59, "Saturday July 15, 2000 11:59:59PM"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    std::tm time = {};
    time.tm_year = row.year - 1900;
    time.tm_mon = row.month - 1;
    time.tm_mday = row.day;
    time.tm_wday = row.weekday;
    time.tm_hour = row.hour;
    time.tm_min = row.minute;
    time.tm_sec = row.second;
    EXPECT_EQ(str(formatTimeGenerated(time)), row.expected);
  }
}

TEST_F(ReportContentTest, RootHoldsItsAttributesAndAnEmptyProviderData) {
  XmlNodePtr root = createReportRoot(Common::string("10.10.10.1"), Common::string("user123"),
                                     Common::string("1.1-4"),
                                     Common::string("Sunday November 06, 2011 01:17:29AM"));
  EXPECT_EQ(serialize(root),
            "<root server=\"10.10.10.1\" telvane_version=\"1.1-4\" "
            "time_generated=\"Sunday November 06, 2011 01:17:29AM\" username=\"user123\">"
            "<provider_data/></root>");
  EXPECT_EQ(str(root->findChild(Common::string("provider_data"))->getName()), "provider_data");
}

TEST_F(ReportContentTest, ServerAndUserAreStoredFitForXml) {
  XmlNodePtr root = createReportRoot(Common::string("host\"<1>"), Common::string("R&D's \x01op"),
                                     Common::string("1.1-4"), Common::string("t"));
  EXPECT_EQ(str(root->getAttribute(Common::string("server"))), "host&quot;&lt;1&gt;");
  EXPECT_EQ(str(root->getAttribute(Common::string("username"))), "R&amp;D&apos;s \xEF\xBF\xBDop");
}

TEST_F(ReportContentTest, InstancesBecomeNumberedNodes) {
  const cim::CIMClass cls = fanClass();
  appendInstanceNode(providerData_, Common::string("NVX_Fan"), 0, cls, fanInstance("Fan 1"));
  appendInstanceNode(providerData_, Common::string("NVX_Fan"), 1, cls, fanInstance("Fan 2"));
  EXPECT_EQ(serialize(providerData_),
            "<provider_data>"
            "<node class=\"NVX_Fan\" description=\"Class NVX_Fan : Instance 0\" instance=\"0\">"
            "<property name=\"Element Name\" type=\"string\" value=\"Fan 1\"/>"
            "<property name=\"Health State\" raw_value=\"5\" type=\"uint16\" value=\"OK\"/>"
            "</node>"
            "<node class=\"NVX_Fan\" description=\"Class NVX_Fan : Instance 1\" instance=\"1\">"
            "<property name=\"Element Name\" type=\"string\" value=\"Fan 2\"/>"
            "<property name=\"Health State\" raw_value=\"5\" type=\"uint16\" value=\"OK\"/>"
            "</node>"
            "</provider_data>");
}

TEST_F(ReportContentTest, PropertyValues) {
  // Each row is an instance of NVX_Fan holding one property; expected is its element, or ""
  // when the property is not reported.
  struct Row {
    const char* label;
    cim::CIMProperty property;
    std::string expected;
  };
  const Row rows[] = {
      {"escaped value, unescaped comparison",
       property("ElementName", cim::CIMDataType::kString, "Fan <1> & 'x'"),
       "<property name=\"Element Name\" type=\"string\" "
       "value=\"Fan &lt;1&gt; &amp; &apos;x&apos;\"/>"},
      {"untranslated number", property("HealthState", cim::CIMDataType::kUint16, "7"),
       "<property name=\"Health State\" type=\"uint16\" value=\"7\"/>"},
      {"short array",
       cim::CIMProperty("OperationalStatus",
                        cim::CIMValue::fromTextArray(cim::CIMDataType::kUint16, {"2", "3"})),
       "<property name=\"Operational Status\" type=\"uint16\" value=\"2,3\"/>"},
      {"long array is spaced",
       cim::CIMProperty("Speeds", cim::CIMValue::fromTextArray(
                                      cim::CIMDataType::kUint32,
                                      {"1000", "2000", "3000", "4000", "5000", "6000", "7000"})),
       "<property name=\"Speeds\" type=\"uint32\" "
       "value=\"1000, 2000, 3000, 4000, 5000, 6000, 7000\"/>"},
      {"boolean", property("IsActive", cim::CIMDataType::kBoolean, "TRUE"),
       "<property name=\"Is Active\" type=\"boolean\" value=\"true\"/>"},
      {"null value", nullProperty("Caption", cim::CIMDataType::kString), ""},
      {"string reading (null)", property("Caption", cim::CIMDataType::kString, "(null)"), ""},
      {"unknown type", cim::CIMProperty("Mystery", cim::CIMValue()), ""},
      {"bad bytes", property("Caption", cim::CIMDataType::kString, "ab\xC3"),
       "<property name=\"Caption\" type=\"string\" value=\"ab\xEF\xBF\xBD\"/>"},
  };
  const cim::CIMClass cls = fanClass();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    cim::CIMInstance instance("NVX_Fan");
    instance.addProperty(row.property);
    XmlNodePtr providerData(new XmlNode(Common::string("provider_data")));
    appendInstanceNode(providerData, Common::string("NVX_Fan"), 0, cls, instance);
    XmlNodePtr node = providerData->findChild(Common::string("node"));
    std::string properties;
    for (auto child = node->childrenBegin(); child != node->childrenEnd(); ++child) {
      properties += serialize(*child);
    }
    EXPECT_EQ(properties, row.expected);
  }
}

TEST_F(ReportContentTest, RawValueIsStoredFitForXml) {
  // A translated value whose raw text holds markup: the raw text is escaped in "raw_value".
  cim::CIMProperty state = nullProperty("State", cim::CIMDataType::kString);
  state.addQualifier(strings("ValueMap", {"a<b"}));
  state.addQualifier(strings("Values", {"Less"}));
  cim::CIMClass cls("NVX_Fan");
  cls.addProperty(state);
  cim::CIMInstance instance("NVX_Fan");
  instance.addProperty(property("State", cim::CIMDataType::kString, "a<b"));
  appendInstanceNode(providerData_, Common::string("NVX_Fan"), 0, cls, instance);
  XmlNodePtr node = providerData_->findChild(Common::string("node"));
  EXPECT_EQ(
      str(node->findChild(Common::string("property"))->getAttribute(Common::string("raw_value"))),
      "a&lt;b");
}

TEST_F(ReportContentTest, TestModeReportsNullValuesAndShowsRawValues) {
  testMode = 1;
  cim::CIMInstance instance = fanInstance("Fan 1");
  instance.addProperty(nullProperty("Caption", cim::CIMDataType::kString));
  instance.addProperty(cim::CIMProperty("Mystery", cim::CIMValue()));  // no type: never reported
  appendInstanceNode(providerData_, Common::string("NVX_Fan"), 4294967295u, fanClass(), instance);
  EXPECT_EQ(serialize(providerData_),
            "<provider_data>"
            "<node class=\"NVX_Fan\" description=\"Class NVX_Fan : Instance 4294967295\" "
            "instance=\"4294967295\">"
            "<property name=\"Element Name\" type=\"string\" value=\"Fan 1\"/>"
            "<property name=\"Health State\" raw_value=\"5\" type=\"uint16\" value=\"OK [5]\"/>"
            "<property name=\"Caption\" type=\"string\" value=\"(null)\"/>"
            "</node>"
            "</provider_data>");
}

TEST_F(ReportContentTest, WrittenReportReadsBackUnchanged) {
  // Markup in every outside value must not change what the write-and-read copy holds.
  XmlNodePtr root = createReportRoot(Common::string("srv?><!--"), Common::string("a\"b'c<![CDATA["),
                                     Common::string("1.1-4"), Common::string("t"));
  cim::CIMInstance instance("NVX_Fan");
  instance.addProperty(property("ElementName", cim::CIMDataType::kString, "x]]>\"y'<z/>-->"));
  appendInstanceNode(root->findChild(Common::string("provider_data")), Common::string("NVX_Fan"), 0,
                     fanClass(), instance);
  const std::string written = serialize(root);
  EXPECT_EQ(serialize(XmlCodec().clone(root)), written);
}

}  // namespace
}  // namespace inventory

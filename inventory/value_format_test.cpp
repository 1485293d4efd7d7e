#include "inventory/value_format.h"

#include <gtest/gtest.h>

#include <string>

namespace inventory {
namespace {

std::string str(const Common::string& text) { return std::string(text.c_str(), text.length()); }

TEST(ValueFormatTest, FormatUnsigned) {
  EXPECT_EQ(str(formatUnsigned(0)), "0");
  EXPECT_EQ(str(formatUnsigned(7)), "7");
  EXPECT_EQ(str(formatUnsigned(4294967295u)), "4294967295");
}

TEST(ValueFormatTest, SplitCamelCase) {
  struct Row {
    const char* name;
    const char* expected;
  };
  const Row rows[] = {
      {"", ""},
      {"N", "N"},
      {"Name", "Name"},
      {"ElementName", "Element Name"},
      {"MACAddress", "MAC Address"},
      {"DeviceID", "Device ID"},
      {"CPUStatus", "CPU Status"},
      {"ABC", "ABC"},
      {"IPv4Address", "I Pv4 Address"},
      {"ProcessorFamily2", "Processor Family2"},
      {"healthState", "health State"},
      {"AB", "AB"},
      {"aB", "a B"},
      {"Max_Speed", "Max_ Speed"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(str(splitCamelCase(row.name)), row.expected);
  }
}

TEST(ValueFormatTest, DescribeInstance) {
  XmlNodePtr node(new XmlNode(Common::string("node")));
  EXPECT_EQ(str(describeInstance(node)), "Class  : Instance ");
  node->setAttribute(Common::string("instance"), Common::string("0"));
  node->setAttribute(Common::string("class"), Common::string("NVX_Fan"));
  EXPECT_EQ(str(describeInstance(node)), "Class NVX_Fan : Instance 0");
}

TEST(ValueFormatTest, FormatValueText) {
  struct Row {
    std::string display;
    std::string expected;
  };
  const std::string listOf31Bytes = "1234567890,1234567890,123456789";
  const Row rows[] = {
      {"", ""},
      {"Fan 1", "Fan 1"},
      {"A & B", "A &amp; B"},
      {"<x>", "&lt;x&gt;"},
      {"say \"hi\"", "say &quot;hi&quot;"},
      {"it's", "it&apos;s"},
      {"&lt;", "&amp;lt;"},  // an entity in the display text is escaped once more
      {"1,2,3", "1,2,3"},
      // 32 bytes with commas stay as they are; 33 get a space after every comma.
      {listOf31Bytes + "0", listOf31Bytes + "0"},
      {listOf31Bytes + "01", "1234567890, 1234567890, 12345678901"},
      // Long text without a comma is not touched.
      {std::string(40, 'x'), std::string(40, 'x')},
      // Measured after escaping: 28 bytes of display text, 32 after "&" becomes "&amp;".
      {"a&,bcdefghijklmnopqrstuvwxyz", "a&amp;,bcdefghijklmnopqrstuvwxyz"},
      {"a&,bcdefghijklmnopqrstuvwxyz0", "a&amp;, bcdefghijklmnopqrstuvwxyz0"},
      // Only a space is added: commas already followed by one get two, a final comma ", ".
      {"Enabled, Disabled, Not Applicable,", "Enabled,  Disabled,  Not Applicable, "},
      {"2,3,,4,5,6,7,8,9,10,11,12,13,14,15", "2, 3, , 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15"},
      // Bytes XML cannot carry become U+FFFD before measuring and escaping.
      {std::string("a\x01<b", 4), "a\xEF\xBF\xBD&lt;b"},
      {std::string("x\0y", 3), "x\xEF\xBF\xBDy"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.display);
    Common::string display(row.display.data(), static_cast<int>(row.display.size()));
    EXPECT_EQ(str(formatValueText(display)), row.expected);
  }
}

}  // namespace
}  // namespace inventory

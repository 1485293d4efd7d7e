#include "inventory/xml_text.h"

#include <gtest/gtest.h>

#include <string>

namespace inventory {
namespace {

std::string str(const Common::string& text) { return std::string(text.c_str(), text.length()); }

constexpr char kFFFD[] = "\xEF\xBF\xBD";

TEST(XmlTextTest, ReplaceNonXmlCharacters) {
  struct Row {
    const char* label;
    std::string input;
    std::string expected;
  };
  const std::string r = kFFFD;
  const Row rows[] = {
      {"plain ASCII", "Fan 1", "Fan 1"},
      {"tab, line feed, carriage return", "a\tb\nc\rd", "a\tb\nc\rd"},
      {"other controls", std::string("a\x01\x1F\x00z", 5), "a" + r + r + r + "z"},
      {"two-byte", "Gr\xC3\xBC\xC3\x9F", "Gr\xC3\xBC\xC3\x9F"},
      {"three-byte", "\xE2\x82\xAC", "\xE2\x82\xAC"},
      {"four-byte", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"highest code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
      {"last before U+FFFE", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
      {"Latin-1 byte", "caf\xE9!", "caf" + r + "!"},
      {"stray continuation", "\x80x", r + "x"},
      {"overlong two-byte", "\xC0\xAF", r + r},
      {"overlong three-byte", "\xE0\x80\xAF", r + r + r},
      {"surrogate", "\xED\xA0\x80", r + r + r},
      {"past U+10FFFF", "\xF4\x90\x80\x80", r + r + r + r},
      {"lead byte F5", "\xF5\x80", r + r},
      {"truncated at end", "ab\xE2\x82", "ab" + r},
      {"truncated before ASCII", "\xF0\x9F\x98z", r + "z"},
      {"truncated before a new lead", "\xE2\xC3\xBC", r + "\xC3\xBC"},
      {"U+FFFE", "\xEF\xBF\xBE", r},
      {"U+FFFF", "a\xEF\xBF\xBF", "a" + r},
      {"markup is left alone", "<&>", "<&>"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(str(replaceNonXmlCharacters(row.input.data(), row.input.size())), row.expected);
  }
}

TEST(XmlTextTest, EscapeMarkupReplacesEachCharacterOnce) {
  struct Row {
    const char* input;
    const char* expected;
  };
  const Row rows[] = {
      {"", ""},
      {"a&b&", "a&amp;b&amp;"},
      {"'\"<>", "&apos;&quot;&lt;&gt;"},
      {"&amp;", "&amp;amp;"},
      {"x > y & 'z'", "x &gt; y &amp; &apos;z&apos;"},
      {"line 1\r\nline 2\tend", "line 1&#13;&#10;line 2&#9;end"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(str(escapeMarkup(Common::string(row.input))), row.expected);
  }
}

TEST(XmlTextTest, AttributeTextReplacesBeforeEscaping) {
  const std::string input("R&D\xFF\"", 5);
  EXPECT_EQ(str(toXmlAttributeText(input.data(), input.size())), "R&amp;D\xEF\xBF\xBD&quot;");
}

}  // namespace
}  // namespace inventory

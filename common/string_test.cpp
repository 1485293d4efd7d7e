#include "common/string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Common::istring;

std::string bytes(const Common::string& text) { return std::string(text.c_str(), text.length()); }
std::string bytes(const istring& text) { return std::string(text.c_str(), text.length()); }

TEST(StringTest, ConstructionKeepsExactBytes) {
  const Common::string empty;
  EXPECT_EQ(empty.length(), 0u);
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(empty.c_str()[0], '\0');

  const Common::string upToNul("ab\0c");
  EXPECT_EQ(bytes(upToNul), "ab");

  const Common::string withNul("ab\0c", 4);
  EXPECT_EQ(withNul.length(), 4u);
  EXPECT_EQ(bytes(withNul), std::string("ab\0c", 4));
  EXPECT_EQ(withNul.c_str()[4], '\0');

  const Common::string one('x');
  EXPECT_EQ(bytes(one), "x");
  EXPECT_EQ(*one.at(0), 'x');
}

TEST(StringTest, CopiesShareUntilOneChanges) {
  Common::string source("report");
  {
    Common::string copy(source);
    EXPECT_EQ(copy.c_str(), source.c_str());
    EXPECT_EQ(source.useCount(), 2);

    Common::string assigned;
    assigned = source;
    EXPECT_EQ(assigned.c_str(), source.c_str());
    EXPECT_EQ(source.useCount(), 3);

    copy += Common::string(" line");
    EXPECT_EQ(bytes(copy), "report line");
    EXPECT_EQ(bytes(source), "report");
    EXPECT_EQ(source.useCount(), 2);
    EXPECT_EQ(copy.useCount(), 1);

    assigned = "other";
    EXPECT_EQ(bytes(source), "report");
    EXPECT_EQ(source.useCount(), 1);
  }
  EXPECT_EQ(bytes(source), "report");
  EXPECT_EQ(source.useCount(), 1);
}

TEST(StringTest, EveryChangeDetachesFromEarlierCopies) {
  const Common::string original("a&b");
  struct Change {
    const char* name;
    void (*apply)(Common::string&);
    const char* expected;
  };
  const Change changes[] = {
      {"assign text", [](Common::string& s) { s = "new"; }, "new"},
      {"append string", [](Common::string& s) { s += Common::string("!"); }, "a&b!"},
      {"append text", [](Common::string& s) { s += "!"; }, "a&b!"},
      {"append empty", [](Common::string& s) { s += ""; }, "a&b"},
      {"replace", [](Common::string& s) { s.replace(1, 1, Common::string("+")); }, "a+b"},
      {"replace_all", [](Common::string& s) { replace_all(s, "&", "&amp;"); }, "a&amp;b"},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.name);
    Common::string copy(original);
    const char* const sharedBuffer = original.c_str();
    change.apply(copy);
    EXPECT_EQ(bytes(copy), change.expected);
    EXPECT_EQ(bytes(original), "a&b");
    EXPECT_EQ(original.c_str(), sharedBuffer);
    EXPECT_EQ(original.useCount(), 1);
    EXPECT_EQ(copy.useCount(), 1);
  }
}

// Empty strings, however made, share one buffer and never own a block, so a
// change to one of them cannot reach another.
TEST(StringTest, EmptyStringsShareOneBuffer) {
  const Common::string made;
  const Common::string fromText("");
  const Common::string cut = Common::string("abc").substr(3);
  EXPECT_EQ(fromText.c_str(), made.c_str());
  EXPECT_EQ(cut.c_str(), made.c_str());

  Common::string changed;
  changed += "x";
  EXPECT_EQ(bytes(changed), "x");
  EXPECT_TRUE(made.empty());
  EXPECT_EQ(made.c_str()[0], '\0');
  changed = "";
  EXPECT_EQ(changed.c_str(), made.c_str());
}

TEST(StringTest, SelfAssignmentAndSelfAppend) {
  Common::string text("abc");
  Common::string& alias = text;
  text = alias;
  EXPECT_EQ(bytes(text), "abc");
  EXPECT_EQ(text.useCount(), 1);
  text += alias;
  EXPECT_EQ(bytes(text), "abcabc");
  text = text.c_str() + 3;
  EXPECT_EQ(bytes(text), "abc");
}

TEST(StringTest, ChangesOfTheOnlyOwnerKeepItsBlocksConsistent) {
  Common::string text("x");
  for (int i = 0; i < 5; ++i) text += "y";
  EXPECT_EQ(bytes(text), "xyyyyy");
  text.replace(0, 1, Common::string());
  EXPECT_EQ(bytes(text), "yyyyy");
  EXPECT_EQ(text.length(), 5u);
  EXPECT_EQ(text.useCount(), 1);
}

TEST(StringTest, Find) {
  struct Row {
    const char* text;
    const char* needle;
    unsigned start;
    unsigned expected;
  };
  const unsigned none = Common::string::npos;
  const Row rows[] = {
      {"", "", 0, 0},
      {"abc", "", 3, 3},
      {"abc", "", 4, none},
      {"ab", "abc", 0, none},
      {"abcabc", "bc", 0, 1},
      {"abcabc", "bc", 2, 4},
      {"abcabc", "bc", 5, none},
      {"abcabc", "abc", 4, none},
      {"aab", "ab", 0, 1},
      {"abc", "C", 0, none},
      {"abc", "c", 2, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " / " + row.needle + " from " + std::to_string(row.start));
    EXPECT_EQ(Common::string(row.text).find(row.needle, row.start), row.expected);
  }
  EXPECT_EQ(none, 0xFFFFFFFFu);
}

TEST(StringTest, FindWithLengthMatchesNulBytes) {
  const Common::string text("a\0b\0c", 5);
  EXPECT_EQ(text.find("\0c", 0, 2), 3u);
  EXPECT_EQ(text.find("b\0d", 0, 2), 2u);
  EXPECT_EQ(text.find("c"), 4u);
}

TEST(StringTest, Substr) {
  const Common::string text("abc\0de", 6);
  EXPECT_EQ(bytes(text.substr(1, 2)), "bc");
  EXPECT_EQ(bytes(text.substr(0)), "abc");
  EXPECT_EQ(bytes(text.substr(4)), "de");
  EXPECT_EQ(bytes(text.substr(2, 3)), std::string("c\0d", 3));
  EXPECT_EQ(bytes(text.substr(6)), "");
  EXPECT_EQ(bytes(text.substr(5, 10)), "e");
  EXPECT_EQ(bytes(text.substr(9, 1)), "");
}

TEST(StringTest, Replace) {
  Common::string text("hello world");
  text.replace(6, 5, Common::string("there"));
  EXPECT_EQ(bytes(text), "hello there");
  text.replace(0, 0, Common::string(">"));
  EXPECT_EQ(bytes(text), ">hello there");
  text.replace(6, 100, Common::string());
  EXPECT_EQ(bytes(text), ">hello");
}

TEST(StringTest, ReplaceAll) {
  struct Row {
    const char* text;
    const char* from;
    const char* to;
    const char* expected;
  };
  const Row rows[] = {
      {"a&b&", "&", "&amp;", "a&amp;b&amp;"},
      {"&&", "&", "&amp;", "&amp;&amp;"},
      {"aaaa", "aa", "a", "aa"},
      {"aaa", "aa", "b", "ba"},
      {"x<![CDATA[y]]>z", "<![CDATA[", "", "xy]]>z"},
      {"no match", "&", "&amp;", "no match"},
      {"", "&", "&amp;", ""},
      {"abc", "", "x", "abc"},
      {"abcabc", "abc", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.text) + " / " + row.from);
    Common::string target(row.text);
    replace_all(target, row.from, row.to);
    EXPECT_EQ(bytes(target), row.expected);

    const Common::string source(row.text);
    EXPECT_EQ(bytes(source.replaced(row.from, row.to)), row.expected);
    EXPECT_EQ(bytes(source), row.text);
  }
}

TEST(StringTest, ReplaceAllKeepsNulBytes) {
  Common::string target("a\0&", 3);
  replace_all(target, "&", "&amp;");
  EXPECT_EQ(bytes(target), std::string("a\0&amp;", 7));
}

TEST(StringTest, Equality) {
  const Common::string withNul("ab\0c", 4);
  EXPECT_TRUE(withNul == Common::string("ab\0c", 4));
  EXPECT_FALSE(withNul == Common::string("ab\0d", 4));
  EXPECT_FALSE(withNul == Common::string("ab"));
  EXPECT_FALSE(withNul == "ab");
  EXPECT_TRUE(Common::string("ab") == "ab");
  EXPECT_FALSE(Common::string("ab") == "abc");
  EXPECT_FALSE(Common::string("ab") == "Ab");
  EXPECT_TRUE(Common::string() == "");
}

TEST(StringTest, LessIsUnsignedCStringOrder) {
  struct Row {
    const char* smaller;
    const char* larger;
  };
  const Row rows[] = {
      {"B", "a"},    {"", "a"},        {"ab", "abc"},    {"Z", "_"},         {"_", "a"},
      {"z", "\x80"}, {"\x7f", "\xc4"}, {"\xc4", "\xe4"}, {"NVX_A", "NVX_a"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.smaller) + " < " + row.larger);
    EXPECT_TRUE(Common::string(row.smaller) < Common::string(row.larger));
    EXPECT_FALSE(Common::string(row.larger) < Common::string(row.smaller));
  }
  EXPECT_FALSE(Common::string("abc") < Common::string("abc"));
  // The order stops at the first NUL, so these two are neither smaller.
  EXPECT_FALSE(Common::string("ab\0x", 4) < Common::string("ab\0y", 4));
  EXPECT_FALSE(Common::string("ab\0y", 4) < Common::string("ab\0x", 4));
}

TEST(StringTest, Concatenation) {
  const Common::string left("left");
  EXPECT_EQ(bytes(left + "+right"), "left+right");
  EXPECT_EQ(bytes("left+" + Common::string("right")), "left+right");
  EXPECT_EQ(bytes(left + Common::string("\0r", 2)), std::string("left\0r", 6));
  const Common::string withEmpty = left + "";
  EXPECT_EQ(bytes(withEmpty), "left");
  EXPECT_NE(withEmpty.c_str(), left.c_str());
  EXPECT_EQ(left.useCount(), 1);
}

TEST(IstringTest, EqualityFoldsAsciiLettersOnly) {
  struct Row {
    const char* left;
    const char* right;
    bool equal;
  };
  const Row rows[] = {
      {"xml", "XML", true},    {"Text", "tEXT", true}, {"text", "texts", false},
      {"\xc4", "\xe4", false}, {"@", "`", false},      {"[", "{", false},
      {"a_b", "A_B", true},    {"", "", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.left) + " == " + row.right);
    EXPECT_EQ(istring(row.left) == istring(row.right), row.equal);
    EXPECT_EQ(istring(row.left) == row.right, row.equal);
    EXPECT_EQ(istring(row.left) != row.right, !row.equal);
  }
}

TEST(IstringTest, FindFoldsCase) {
  const istring message("HTTP 401: AUTHENTICATION FAILURE for user");
  EXPECT_EQ(message.find("Authentication failure"), 10u);
  EXPECT_EQ(message.find("authentication failure", 11), Common::string::npos);
  EXPECT_EQ(message.find("USER"), 37u);
  EXPECT_EQ(istring("\xc4").find("\xe4"), Common::string::npos);
  EXPECT_EQ(istring("").find(""), 0u);
  EXPECT_EQ(istring("ab").find("ABC"), Common::string::npos);
  EXPECT_EQ(istring("aXb").find("xB", 0, 2), 1u);
}

TEST(IstringTest, CopiesShareAndAssignmentDetaches) {
  const istring original("TEXT");
  istring copy(original);
  EXPECT_EQ(copy.c_str(), original.c_str());
  copy = "xml";
  EXPECT_EQ(bytes(copy), "xml");
  EXPECT_EQ(bytes(original), "TEXT");
  copy = original;
  EXPECT_EQ(copy.c_str(), original.c_str());
}

TEST(IstringTest, SubstrStopsAtNul) {
  const istring text("Ab\0cD", 5);
  EXPECT_EQ(bytes(text.substr(0, 5)), "Ab");
  EXPECT_EQ(bytes(text.substr(3, 2)), "cD");
  EXPECT_EQ(bytes(text.substr(1)), "b");
  EXPECT_TRUE(text.substr(0, 2) == "aB");
}

}  // namespace

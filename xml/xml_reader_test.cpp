#include <gtest/gtest.h>

#include <string>

#include "xml/test_tree.h"
#include "xml/xml_codec.h"

namespace {

using testtree::describe;
using testtree::element;

// The tree `text` reads into, as testtree::describe pictures it.
std::string read(const std::string& text) {
  XmlNodePtr target = element("null");
  XmlCodec().parse(Common::string(text.data(), static_cast<int>(text.size())), target);
  return describe(target);
}

struct ReadCase {
  const char* text;
  const char* expected;
};

TEST(XmlReaderTest, ReadsEachInputIntoItsTree) {
  const ReadCase cases[] = {
      // What the report template and the writer produce.
      {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
       "<root><provider_data></provider_data></root>",
       "root(provider_data)"},
      {"<a x='1' y='2'>hi</a>", "a[x=1 y=2]\"hi\""},
      {"<a x=\"1\" y=\"2\">hi</a>", "a[x=1 y=2]\"hi\""},
      {"<r><p name=\"N\" value=\"&amp;\"/><p/></r>", "r(p[name=N value=&amp;] p)"},
      // Character data is kept untrimmed; after "/>" it belongs to the
      // self-closing element.
      {"<a>\n  <b/>\n</a>", "a\"\n  \"(b\"\n\")"},
      {"<a><b/>tail</a>", "a(b\"tail\")"},
      // Quoted values may hold '>', '/' and whitespace; nothing is decoded.
      {"<r><a q='x > y'/></r>", "r(a[q=x > y])"},
      {"<r><a q=\"it's/\"/></r>", "r(a[q=it's/])"},
      {"<r><a t='&lt;b&gt;'/></r>", "r(a[t=&lt;b&gt;])"},
      {"<r><a x='1' x='2'/></r>", "r(a[x=2])"},
      // A token without '=' is its own name; its value loses the ends.
      {"<r><a flag/><b wxyz/></r>", "r(a[flag=la] b[wxyz=xy])"},
      // Irregular structure.
      {"<a x='1'/>", ""},
      {"<a></a><b></b>", "b"},
      {"<a></a><b/><c>t</c>", "c\"t\""},
      {"<r><a>>x</r>", "r(a\"x\")"},
      {"<a></b>", "a"},
      {"<r><a><b>", "b"},
      {"<!DOCTYPE r><r/>", "!DOCTYPE[r=](r)"},
      // Declaration, comments, CDATA markers.
      {"<?xml?><?pi?><r/>", "?pi?(r)"},
      {"<a><!-- note --><b/></a>", "a(b)"},
      {"<a><!--><b/><!---><c/></a>", "a(b c)"},
      {"<a x='<!-- y -->'><!<!-- x -->-- y --><b/></a>", "a[x=](b)"},
      {"<a><![CDATA[<c/>]]></a>", "a(c)"},
      {"<a><![CDATA[x]]></a>", "a\"x\""},
      {"", ""},
      {" \r\n\t", ""},
      // Inputs outside what the reader is made for; it still finishes and
      // reads only the text. Stray character data and "<>" are skipped.
      {"junk<a>x</a>", "a\"x\""},
      {"<r><a></a>tail<b/></r>", "r(a b)"},
      {"<r>x</r>tail", "r\"x\""},
      {"<r><><a/></r>", "r(a)"},
      {"<r>< a/></r>", "r"},
      {"<>", ""},
      {"<", ""},
      {"<a", "a"},
      // A comment without "-->" runs to the end.
      {"<r><a/><!-- open <b/></r>", "r(a)"},
      // An end tag with nothing open is ignored.
      {"</x><a>t</a>", "a\"t\""},
      {"<a></a></a></a>", "a"},
      {"</", ""},
      // An attribute token ending in '=' gets an empty value.
      {"<r><a x= y='2'/></r>", "r(a[x= y=2])"},
      {"<r><a x=", "a[x=]"},
      {"<r><a x=\"/></r>", "a[x=/></r]"},
  };
  for (const ReadCase& row : cases) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(read(row.text), row.expected);
  }
}

TEST(XmlReaderTest, ReplacesEverythingTheTargetHeld) {
  XmlNodePtr old = element("old");
  XmlNodePtr target = element("t", {{"z", "1"}, {"a", "2"}}, "text", {old, element("o2")});
  XmlCodec codec;

  codec.parse(Common::string("<x k='v'><y/></x>"), target);
  EXPECT_EQ(describe(target), "x[k=v](y)");
  EXPECT_EQ(old.useCount(), 1);

  codec.parse(Common::string(""), target);
  EXPECT_EQ(describe(target), "");
}

// The parsed root is dropped; its children live on in the target only.
TEST(XmlReaderTest, TheTargetIsTheOnlyHolderOfTheReadChildren) {
  XmlNodePtr target = element("null");
  XmlCodec().parse(Common::string("<r><a><b/></a><c/></r>"), target);
  for (XmlNode::ChildIterator child = target->childrenBegin(); child != target->childrenEnd();
       ++child) {
    EXPECT_EQ(child->useCount(), 1);
  }
}

TEST(XmlReaderTest, NullTargetIsLeftAlone) {
  XmlCodec().parse(Common::string("<a>x</a>"), XmlNodePtr());
}

}  // namespace

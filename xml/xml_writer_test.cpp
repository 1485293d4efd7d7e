#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "xml/test_tree.h"
#include "xml/xml_codec.h"

namespace {

using testtree::describe;
using testtree::element;
using testtree::str;

struct WriteCase {
  const char* what;
  XmlNodePtr tree;
  const char* expected;
};

TEST(XmlWriterTest, WritesEachFormOnOneLine) {
  const WriteCase cases[] = {
      {"leaf", element("a"), "<a/>"},
      {"text", element("a", {}, "x"), "<a>x</a>"},
      {"children drop the text", element("a", {}, "x", {element("b")}), "<a><b/></a>"},
      {"attribute order", element("p", {{"value", "v"}, {"name", "n"}, {"description", "d"}}),
       "<p description=\"d\" name=\"n\" value=\"v\"/>"},
      {"nothing escaped",
       element("p", {{"a", "x y"}, {"b", "&lt;b&gt;"}, {"c", "<'\"&>"}}, "1 < 2 & \"3\""),
       "<p a=\"x y\" b=\"&lt;b&gt;\" c=\"<'\"&>\">1 < 2 & \"3\"</p>"},
      {"nested",
       element("r", {{"k", "v"}}, "",
               {element("a", {}, "t"), element("b", {}, "", {element("c")})}),
       "<r k=\"v\"><a>t</a><b><c/></b></r>"},
  };
  for (const WriteCase& row : cases) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(str(XmlCodec().serialize(row.tree)), row.expected);
  }
}

TEST(XmlWriterTest, NullHandleWritesNothing) {
  EXPECT_TRUE(XmlCodec().serialize(XmlNodePtr()).empty());
  int pieces = 0;
  XmlCodec().serializeInPieces(XmlNodePtr(), [&](const char*, std::size_t) { ++pieces; });
  EXPECT_EQ(pieces, 0);
}

// The pieces put together are the text serialize gives; a large tree comes in
// several pieces of about kPieceBytes, none empty.
TEST(XmlWriterTest, PiecesMakeUpTheSerializedText) {
  XmlNodePtr large = element("root", {{"k", "v"}});
  for (int i = 0; i < 5000; ++i) {
    large->addChild(element("property", {{"name", "Element Name"}, {"value", "Fan 1 &amp; 2"}},
                            "", {element("leaf", {}, i % 2 ? "text" : "")}));
  }
  const WriteCase cases[] = {
      {"leaf", element("a"), "<a/>"},
      {"nested", element("r", {}, "", {element("a", {}, "t"), element("b")}),
       "<r><a>t</a><b/></r>"},
      {"large", large, nullptr},
  };
  for (const WriteCase& row : cases) {
    SCOPED_TRACE(row.what);
    std::string joined;
    std::vector<std::size_t> sizes;
    XmlCodec().serializeInPieces(row.tree, [&](const char* text, std::size_t length) {
      joined.append(text, length);
      sizes.push_back(length);
    });
    EXPECT_EQ(joined, str(XmlCodec().serialize(row.tree)));
    for (std::size_t size : sizes) {
      EXPECT_GT(size, 0u);
      EXPECT_LT(size, XmlCodec::kPieceBytes + 1024);
    }
    if (row.expected != nullptr) {
      EXPECT_EQ(joined, row.expected);
    } else {
      EXPECT_GT(sizes.size(), 3u);
    }
  }
}

TEST(XmlWriterTest, DeclarationIsFiftyFiveCharacters) {
  EXPECT_EQ(std::strlen(kXmlDeclaration), 55u);
  EXPECT_EQ(std::string(kXmlDeclaration),
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");
}

// Walks both trees side by side and checks that no node is shared.
void expectNoSharedNode(XmlNode& copy, XmlNode& source) {
  EXPECT_NE(&copy, &source);
  XmlNode::ChildIterator c = copy.childrenBegin();
  XmlNode::ChildIterator s = source.childrenBegin();
  for (; c != copy.childrenEnd() && s != source.childrenEnd(); ++c, ++s)
    expectNoSharedNode(**c, **s);
}

TEST(XmlWriterTest, CloneIsEqualAndIndependent) {
  XmlNodePtr source = element(
      "r", {}, "",
      {element("a", {{"x", "1"}}), element("b", {}, "t"), element("c", {}, "", {element("d")})});
  XmlNodePtr copy = XmlCodec().clone(source);
  EXPECT_EQ(describe(copy), "r(a[x=1] b\"t\" c(d))");
  EXPECT_EQ(copy.useCount(), 1);
  expectNoSharedNode(*copy, *source);

  copy->findChild(Common::string("a"))->setAttribute(Common::string("x"), Common::string("2"));
  copy->addChild(element("e"));
  EXPECT_EQ(describe(source), "r(a[x=1] b\"t\" c(d))");
  EXPECT_EQ(describe(copy), "r(a[x=2] b\"t\" c(d) e)");
}

TEST(XmlWriterTest, CloneLosesOnlyTheTextOfElementsWithChildren) {
  XmlNodePtr source = element("r", {{"k", "v"}}, "lost", {element("a", {}, "kept")});
  EXPECT_EQ(describe(XmlCodec().clone(source)), "r[k=v](a\"kept\")");
}

// A leaf is written as <name/>, which the reader does not keep as a root;
// the copy still carries its name and attributes.
TEST(XmlWriterTest, CloneOfALeafKeepsItsNameAndAttributes) {
  XmlNodePtr source = element("null", {{"b", "2"}, {"a", "<&>"}});
  XmlNodePtr copy = XmlCodec().clone(source);
  EXPECT_EQ(describe(copy), "null[a=<&> b=2]");
  EXPECT_NE(copy.get(), source.get());
  EXPECT_TRUE(XmlCodec().clone(XmlNodePtr()).isNull());
}

TEST(XmlWriterTest, ReportTreeSurvivesTheRoundTripByteForByte) {
  XmlNodePtr property = element(
      "property",
      {{"name", "Health State"}, {"raw_value", "5"}, {"type", "uint16"}, {"value", "A &amp; B"}});
  XmlNodePtr root = element(
      "root", {{"server", "10.10.10.1"}, {"username", "user123"}}, "",
      {element(
          "provider_data", {}, "",
          {element("node", {{"class", "NVX_Fan"}, {"description", "Class NVX_Fan : Instance 0"}},
                   "", {property, property}),
           element("node", {{"class", "NVX_Fan"}})})});
  XmlCodec codec;
  Common::string text = codec.serialize(root);
  EXPECT_EQ(str(codec.serialize(codec.clone(root))), str(text));
}

}  // namespace

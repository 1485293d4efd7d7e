#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/test_tree.h"

namespace {

using testtree::describe;
using testtree::element;
using testtree::str;

Common::string s(const char* text) { return Common::string(text); }

TEST(XmlNodeTest, AttributesIterateInByteOrderOfTheirNames) {
  XmlNodePtr node =
      element("p", {{"value", "1"}, {"Name", "2"}, {"description", "3"}, {"_x", "4"}});
  EXPECT_EQ(describe(node), "p[Name=2 _x=4 description=3 value=1]");

  // Replacing keeps one entry at the same place.
  node->setAttribute(s("description"), s("new"));
  EXPECT_EQ(describe(node), "p[Name=2 _x=4 description=new value=1]");
}

// More attributes than the first block holds, added and removed in any order.
TEST(XmlNodeTest, ManyAttributesStayOrderedThroughGrowthAndRemoval) {
  XmlNodePtr node = element("p");
  for (const char* name : {"g", "c", "a", "f", "b", "e", "d", "h", "i"}) {
    node->setAttribute(s(name), s(name));
  }
  EXPECT_EQ(describe(node), "p[a=a b=b c=c d=d e=e f=f g=g h=h i=i]");
  node->setAttribute(s("e"), s("five"));
  for (const char* name : {"a", "i", "d"}) EXPECT_TRUE(node->removeAttribute(s(name)));
  EXPECT_EQ(describe(node), "p[b=b c=c e=five f=f g=g h=h]");
  EXPECT_EQ(str(node->getAttribute(s("h"))), "h");
  node->setAttribute(s("a"), s("again"));
  EXPECT_EQ(describe(node), "p[a=again b=b c=c e=five f=f g=g h=h]");
}

TEST(XmlNodeTest, MissingAttributesReadEmptyAndAreNotAdded) {
  XmlNodePtr node = element("p", {{"name", "x"}});
  EXPECT_TRUE(node->getAttribute(s("value")).empty());
  EXPECT_EQ(describe(node), "p[name=x]");

  EXPECT_TRUE(node->removeAttribute(s("name")));
  EXPECT_FALSE(node->removeAttribute(s("name")));
  EXPECT_EQ(describe(node), "p");
}

TEST(XmlNodeTest, HasChildrenFollowsTheChildList) {
  XmlNodePtr parent = element("p");
  EXPECT_FALSE(parent->hasChildren());
  XmlNodePtr child = element("c");
  parent->addChild(child);
  EXPECT_TRUE(parent->hasChildren());
  parent->removeChild(child);
  EXPECT_FALSE(parent->hasChildren());
  parent->addChild(child);
  parent->removeAllChildren();
  EXPECT_FALSE(parent->hasChildren());
}

TEST(XmlNodeTest, RemoveChildRemovesEveryEntryOfThatNode) {
  XmlNodePtr a = element("a");
  XmlNodePtr b = element("b");
  XmlNodePtr c = element("c");
  XmlNodePtr parent = element("p", {}, "", {a, b, a, c, a});
  EXPECT_EQ(a.useCount(), 4);

  parent->removeChild(element("b"));  // another node of the same name
  EXPECT_EQ(describe(parent), "p(a b a c a)");

  parent->removeChild(a);
  EXPECT_EQ(describe(parent), "p(b c)");
  EXPECT_EQ(a.useCount(), 1);

  parent->removeChild(b);
  parent->removeChild(c);
  EXPECT_EQ(describe(parent), "p");
  parent->removeChild(c);
  EXPECT_EQ(describe(parent), "p");
}

TEST(XmlNodeTest, FindChildReturnsTheFirstExactMatch) {
  XmlNodePtr first = element("node", {{"n", "1"}});
  XmlNodePtr parent = element(
      "p", {}, "", {element("Node"), element("nodes"), first, element("node", {{"n", "2"}})});
  EXPECT_EQ(parent->findChild(s("node")).get(), first.get());
}

TEST(XmlNodeTest, FindChildMissYieldsADetachedNullNode) {
  XmlNodePtr parent = element("p", {}, "", {element("a")});
  XmlNodePtr miss = parent->findChild(s("b"));
  ASSERT_FALSE(miss.isNull());
  EXPECT_EQ(describe(miss), "null");
  EXPECT_EQ(miss.useCount(), 1);

  miss->setAttribute(s("k"), s("v"));
  miss->addChild(element("c"));
  EXPECT_EQ(describe(parent), "p(a)");

  XmlNodePtr empty = element("e");
  EXPECT_EQ(describe(empty->findChild(s("x"))), "null");
  EXPECT_EQ(describe(empty), "e");
}

// Releasing a root frees every node only it held; a subtree still held
// elsewhere survives whole.
TEST(XmlNodeTest, ReleasingTheRootKeepsSubtreesHeldElsewhere) {
  XmlNodePtr kept = element("kept", {{"k", "v"}}, "", {element("leaf", {}, "t")});
  XmlNodePtr grandchild = element("g");
  XmlNodePtr shared = element("shared");
  {
    XmlNodePtr root =
        element("root", {}, "",
                {element("lost", {}, "", {grandchild}), kept, element("x", {}, "", {shared})});
    XmlNodePtr other = element("other", {}, "", {shared});
    EXPECT_EQ(grandchild.useCount(), 2);
    EXPECT_EQ(kept.useCount(), 2);
    EXPECT_EQ(shared.useCount(), 3);
  }
  // The parents are gone: each released its handle to the child.
  EXPECT_EQ(grandchild.useCount(), 1);
  EXPECT_EQ(kept.useCount(), 1);
  EXPECT_EQ(shared.useCount(), 1);
  EXPECT_EQ(describe(kept), "kept[k=v](leaf\"t\")");
}

TEST(XmlNodeTest, RemoveAllChildrenReleasesThem) {
  XmlNodePtr child = element("c");
  XmlNodePtr parent = element("p", {{"a", "1"}}, "t", {child, element("d"), child});
  parent->removeAllChildren();
  EXPECT_EQ(describe(parent), "p[a=1]\"t\"");
  EXPECT_EQ(child.useCount(), 1);
}

}  // namespace

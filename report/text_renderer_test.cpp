#include "report/text_renderer.h"

#include <gtest/gtest.h>

#include <string>

#include "report/test_sink.h"
#include "xml/test_tree.h"

namespace {

using testtree::element;

struct RenderCase {
  const char* what;
  XmlNodePtr node;
  const char* expected;
};

TEST(TextRendererTest, WritesTitlePropertyLinesThenNestedBlocks) {
  const RenderCase cases[] = {
      {"properties",
       element("node", {{"description", "Class X : Instance 0"}}, "",
               {element("property", {{"name", "Name"}, {"value", "CPU 1"}}),
                element("property", {{"name", "Speed"}, {"value", "2000"}, {"raw_value", "7"}})}),
       "  Class X : Instance 0\r\n"
       "      Name = CPU 1\r\n"
       "      Speed = 2000\r\n"},
      {"missing attributes",
       element("node", {}, "text", {element("property", {{"name", "N"}}), element("property")}),
       "  \r\n"
       "      N = \r\n"
       "       = \r\n"},
      {"nested blocks after the properties, indentation fixed",
       element("node", {{"description", "top"}}, "",
               {element("node", {{"description", "mid"}}, "",
                        {element("node", {{"description", "deep"}}, "",
                                 {element("property", {{"name", "d"}, {"value", "3"}})})}),
                element("property", {{"name", "t"}, {"value", "1"}})}),
       "  top\r\n"
       "      t = 1\r\n"
       "  mid\r\n"
       "  deep\r\n"
       "      d = 3\r\n"},
      {"values as stored, other names ignored",
       element("node", {{"description", "d"}}, "",
               {element("Property", {{"name", "no"}, {"value", "no"}}),
                element("properties", {{"name", "no"}}), element("Node", {{"description", "no"}}),
                element("property", {{"name", "v"}, {"value", "A &amp; B 100%"}})}),
       "  d\r\n"
       "      v = A &amp; B 100%\r\n"},
  };
  for (const RenderCase& row : cases) {
    SCOPED_TRACE(row.what);
    TestSink* sink = new TestSink;
    SharedPtr<Common::OutputStream> out(sink);
    writeTextNode(row.node, out);
    EXPECT_EQ(sink->text, row.expected);
    EXPECT_EQ(out.useCount(), 1);
  }
}

TEST(TextRendererTest, NullHandlesWriteNothing) {
  TestSink* sink = new TestSink;
  SharedPtr<Common::OutputStream> out(sink);
  writeTextNode(XmlNodePtr(), out);
  writeTextNode(element("node"), SharedPtr<Common::OutputStream>());
  EXPECT_EQ(sink->text, "");
}

}  // namespace

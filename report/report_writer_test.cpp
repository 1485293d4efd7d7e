#include "report/report_writer.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "common/output_stream.h"
#include "report/test_sink.h"
#include "xml/test_tree.h"
#include "xml/xml_codec.h"

namespace {

using testtree::describe;
using testtree::element;
using testtree::str;

const char kBanner[] = "Quorvin Telvane v1.1-4";

XmlNodePtr reportTree() {
  return element("root",
                 {{"server", "srv1"},
                  {"username", "admin"},
                  {"telvane_version", "1.1-4"},
                  {"time_generated", "Monday March 02, 2009 09:15:00AM"}},
                 "",
                 {element("provider_data", {}, "",
                          {element("node",
                                   {{"class", "NVX_Fan"},
                                    {"description", "Class NVX_Fan : Instance 0"},
                                    {"instance", "0"}},
                                   "",
                                   {element("property", {{"name", "Element Name"},
                                                         {"type", "string"},
                                                         {"value", "Fan &amp; 1"}}),
                                    element("property", {{"name", "Health State"},
                                                         {"raw_value", "5"},
                                                         {"type", "uint16"},
                                                         {"value", "OK"}})}),
                           element("node", {{"class", "NVX_Fan"},
                                            {"description", "Class NVX_Fan : Instance 1"},
                                            {"instance", "1"}})})});
}

// Runs writeReport into a fresh sink and returns what reached it.
std::string render(XmlNodePtr root, const char* format, bool pruneCallbacks = true) {
  TestSink* sink = new TestSink;
  SharedPtr<Common::OutputStream> out(sink);
  writeReport(root, out, Common::istring(format), pruneCallbacks, Common::string(kBanner));
  EXPECT_EQ(out.useCount(), 1);
  return sink->text;
}

const char kReportText[] =
    "Quorvin Telvane v1.1-4\r\n"
    "  Time Generated: Monday March 02, 2009 09:15:00AM\r\n"
    "  Server: srv1, Username: admin\r\n"
    "  \r\n"
    "  Class NVX_Fan : Instance 0\r\n"
    "      Element Name = Fan &amp; 1\r\n"
    "      Health State = OK\r\n"
    "  Class NVX_Fan : Instance 1\r\n";

TEST(ReportWriterTest, TextFormHasTheHeaderLinesThenTheBlocks) {
  EXPECT_EQ(render(reportTree(), "TEXT"), kReportText);
}

TEST(ReportWriterTest, TextHeaderOfARootWithoutAttributes) {
  EXPECT_EQ(render(element("root", {}, "", {element("node", {{"description", "d"}})}), "text"),
            "Quorvin Telvane v1.1-4\r\n"
            "  Time Generated: \r\n"
            "  Server: , Username: \r\n"
            "  d\r\n");
}

TEST(ReportWriterTest, XmlFormIsTheDeclarationThenTheTreeOnOneLine) {
  XmlNodePtr tree = reportTree();
  std::string expected = std::string(kXmlDeclaration) + str(XmlCodec().serialize(tree));
  std::string written = render(tree, "XML");
  EXPECT_EQ(written, expected);
  EXPECT_EQ(written.compare(0, 56, std::string(kXmlDeclaration) + "<"), 0);
  EXPECT_EQ(written.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(render(tree, "XML", false), expected);
}

TEST(ReportWriterTest, FormatIsChosenIgnoringCase) {
  struct FormatCase {
    const char* format;
    const char* startsWith;
  };
  const FormatCase cases[] = {
      {"xml", "<?xml"},    {"Xml", "<?xml"}, {"XML", "<?xml"}, {"Text", "Quorvin"},
      {"tExT", "Quorvin"}, {"XMLX", ""},     {"", ""},         {"TXT", ""},
      {"xm", ""},
  };
  for (const FormatCase& row : cases) {
    SCOPED_TRACE(row.format);
    std::string written = render(reportTree(), row.format);
    EXPECT_EQ(written.substr(0, std::strlen(row.startsWith)), row.startsWith);
    EXPECT_EQ(written.empty(), row.startsWith[0] == '\0');
  }
}

TEST(ReportWriterTest, CallbacksArePrunedFromTheCopyOnly) {
  XmlNodePtr root =
      element("callback", {{"k", "v"}}, "",
              {element("a", {}, "",
                       {element("callback", {}, "", {element("deep")}), element("callback"),
                        element("b", {}, "", {element("callback")})}),
               element("Callback", {}, "", {element("callback", {}, "x")}), element("callback")});
  const std::string before = describe(root);

  EXPECT_EQ(render(root, "xml"),
            std::string(kXmlDeclaration) + "<callback k=\"v\"><a><b/></a><Callback/></callback>");
  EXPECT_EQ(describe(root), before);

  // Without pruning the tree is written as it is.
  EXPECT_EQ(render(root, "xml", false),
            std::string(kXmlDeclaration) + str(XmlCodec().serialize(root)));
}

TEST(ReportWriterTest, RemoveElementsNamedPrunesInPlace) {
  XmlNodePtr shared = element("callback");
  XmlNodePtr root = element("r", {}, "", {shared, element("x", {}, "", {shared}), shared});
  removeElementsNamed(root, Common::string("callback"));
  EXPECT_EQ(describe(root), "r(x)");
  EXPECT_EQ(shared.useCount(), 1);
}

// A root without children or text (the collector's "null" root when the
// template never loaded) still gives well-formed XML.
TEST(ReportWriterTest, XmlOfAChildlessRoot) {
  EXPECT_EQ(render(element("null"), "XML"), std::string(kXmlDeclaration) + "<null/>");
}

TEST(ReportWriterTest, NullHandlesWriteNothing) {
  EXPECT_EQ(render(XmlNodePtr(), "TEXT"), "");
  writeReport(reportTree(), SharedPtr<Common::OutputStream>(), Common::istring("XML"), true,
              Common::string(kBanner));
}

// With a real file stream handed over as the last handle, the report is
// complete in the file once writeReport returns, "\r\n" kept as written.
TEST(ReportWriterTest, WritesThroughAFileStream) {
  char directory[] = "/tmp/report_writer_testXXXXXX";
  ASSERT_NE(mkdtemp(directory), nullptr);
  std::string path = std::string(directory) + "/report.txt";

  writeReport(reportTree(),
              SharedPtr<Common::OutputStream>(new Common::OutputStreamToFile(path.c_str(), false)),
              Common::istring("TEXT"), true, Common::string(kBanner));

  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  EXPECT_EQ(content.str(), kReportText);
  unlink(path.c_str());
  rmdir(directory);
}

}  // namespace

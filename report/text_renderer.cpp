#include "report/text_renderer.h"

#include "common/string.h"
#include "report/batched_output.h"

const char kTextLineEnd[] = "\r\n";

namespace {

const char kIndent[] = "  ";
const char kPropertySeparator[] = " = ";

// Made once: a report has many thousands of lines.
const Common::string kDescription("description");
const Common::string kName("name");
const Common::string kValue("value");

bool isNamed(XmlNode& node, const char* name) { return node.getName() == name; }

void writeBlock(XmlNode& node, BatchedOutput& out) {
  out.writeText(kIndent);
  out.write(node.getAttribute(kDescription));
  out.writeText(kTextLineEnd);

  for (XmlNode::ChildIterator child = node.childrenBegin(); child != node.childrenEnd(); ++child) {
    if (!isNamed(**child, "property")) continue;
    for (int i = 0; i < 3; ++i) out.writeText(kIndent);
    out.write((*child)->getAttribute(kName));
    out.writeText(kPropertySeparator);
    out.write((*child)->getAttribute(kValue));
    out.writeText(kTextLineEnd);
  }

  for (XmlNode::ChildIterator child = node.childrenBegin(); child != node.childrenEnd(); ++child) {
    if (isNamed(**child, "node")) writeBlock(**child, out);
  }
}

}  // namespace

void writeTextNode(XmlNodePtr node, SharedPtr<Common::OutputStream> out) {
  if (node.isNull() || out.isNull()) return;
  BatchedOutput batched(*out);
  writeBlock(*node, batched);
}

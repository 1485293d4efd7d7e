#include "report/text_renderer.h"

#include <cstring>

#include "common/string.h"

const char kTextLineEnd[] = "\r\n";

namespace {

const char kIndent[] = "  ";
const char kPropertySeparator[] = " = ";

// Made once: a report has many thousands of lines.
const Common::string kDescription("description");
const Common::string kName("name");
const Common::string kValue("value");

void writeFixed(Common::OutputStream& out, const char* text) {
  unsigned length = std::strlen(text);
  out.write(text, length);
}

bool isNamed(XmlNode& node, const char* name) { return node.getName() == name; }

}  // namespace

void writeTextNode(XmlNodePtr node, SharedPtr<Common::OutputStream> out) {
  if (node.isNull() || out.isNull()) return;
  Common::OutputStream& stream = *out;

  writeFixed(stream, kIndent);
  stream << node->getAttribute(kDescription);
  writeFixed(stream, kTextLineEnd);

  for (XmlNode::ChildIterator child = node->childrenBegin(); child != node->childrenEnd();
       ++child) {
    if (!isNamed(**child, "property")) continue;
    for (int i = 0; i < 3; ++i) writeFixed(stream, kIndent);
    stream << (*child)->getAttribute(kName);
    writeFixed(stream, kPropertySeparator);
    stream << (*child)->getAttribute(kValue);
    writeFixed(stream, kTextLineEnd);
  }

  for (XmlNode::ChildIterator child = node->childrenBegin(); child != node->childrenEnd();
       ++child) {
    if (isNamed(**child, "node")) writeTextNode(*child, out);
  }
}

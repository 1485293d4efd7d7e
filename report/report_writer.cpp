#include "report/report_writer.h"

#include <cstring>
#include <vector>

#include "report/text_renderer.h"
#include "xml/xml_codec.h"

namespace {

void writeFixed(Common::OutputStream& out, const char* text) {
  unsigned length = std::strlen(text);
  out.write(text, length);
}

void writeXml(XmlNodePtr root, Common::OutputStream& out, bool pruneCallbacks) {
  XmlCodec codec;
  if (pruneCallbacks) {
    root = codec.clone(root);
    removeElementsNamed(root, Common::string("callback"));
  }
  writeFixed(out, kXmlDeclaration);
  out << codec.serialize(root);
}

void writeText(XmlNodePtr root, SharedPtr<Common::OutputStream> out, const Common::string& banner) {
  Common::OutputStream& stream = *out;
  stream << banner;
  writeFixed(stream, kTextLineEnd);
  writeFixed(stream, "  Time Generated: ");
  stream << root->getAttribute(Common::string("time_generated"));
  writeFixed(stream, kTextLineEnd);
  writeFixed(stream, "  Server: ");
  stream << root->getAttribute(Common::string("server"));
  writeFixed(stream, ", Username: ");
  stream << root->getAttribute(Common::string("username"));
  writeFixed(stream, kTextLineEnd);
  for (XmlNode::ChildIterator child = root->childrenBegin(); child != root->childrenEnd();
       ++child) {
    writeTextNode(*child, out);
  }
}

}  // namespace

void writeReport(XmlNodePtr root, SharedPtr<Common::OutputStream> out, Common::istring format,
                 bool pruneCallbacks, const Common::string& banner) {
  if (root.isNull() || out.isNull()) return;
  if (format == "XML") {
    writeXml(root, *out, pruneCallbacks);
  } else if (format == "TEXT") {
    writeText(root, out, banner);
  }
}

void removeElementsNamed(XmlNodePtr node, const Common::string& name) {
  if (node.isNull()) return;
  // Collected first and removed afterwards, so one walk finds them all; a
  // report normally has none, and then this costs one walk per node.
  std::vector<XmlNodePtr> doomed;
  for (XmlNode::ChildIterator child = node->childrenBegin(); child != node->childrenEnd();
       ++child) {
    if ((*child)->getName() == name) doomed.push_back(*child);
  }
  for (const XmlNodePtr& child : doomed) node->removeChild(child);
  for (XmlNode::ChildIterator child = node->childrenBegin(); child != node->childrenEnd();
       ++child) {
    removeElementsNamed(*child, name);
  }
}

#include "report/report_writer.h"

#include <cstddef>
#include <vector>

#include "report/batched_output.h"
#include "report/text_renderer.h"
#include "xml/xml_codec.h"

namespace {

// hasChildren first: walking a leaf's empty child list would give it a list sentinel.
bool containsElementNamed(XmlNode& node, const Common::string& name) {
  if (!node.hasChildren()) return false;
  for (XmlNode::ChildIterator child = node.childrenBegin(); child != node.childrenEnd(); ++child) {
    if ((*child)->getName() == name || containsElementNamed(**child, name)) return true;
  }
  return false;
}

void writeXml(XmlNodePtr root, Common::OutputStream& out, bool pruneCallbacks) {
  XmlCodec codec;
  const Common::string callback("callback");
  // The pruned copy is made only when there is something to prune: a tree
  // without "callback" elements is written as it is, which is the text its
  // copy would give, without holding a second tree.
  if (pruneCallbacks && containsElementNamed(*root, callback)) {
    root = codec.clone(root);
    removeElementsNamed(root, callback);
  }
  BatchedOutput batched(out);
  batched.writeText(kXmlDeclaration);
  // The tree's text is one write, handed over in pieces as it is made.
  codec.serializeInPieces(
      root, [&batched](const char* text, std::size_t length) { batched.writePart(text, length); });
  batched.endWrite();
}

void writeText(XmlNodePtr root, SharedPtr<Common::OutputStream> out, const Common::string& banner) {
  {
    BatchedOutput header(*out);
    header.write(banner);
    header.writeText(kTextLineEnd);
    header.writeText("  Time Generated: ");
    header.write(root->getAttribute(Common::string("time_generated")));
    header.writeText(kTextLineEnd);
    header.writeText("  Server: ");
    header.write(root->getAttribute(Common::string("server")));
    header.writeText(", Username: ");
    header.write(root->getAttribute(Common::string("username")));
    header.writeText(kTextLineEnd);
  }
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

// XmlCodec::serialize and XmlCodec::clone. The whole text is built in one
// growing buffer, so writing a tree costs time linear in its output rather
// than one copy of a subtree's text per ancestor.
#include <string>

#include "xml/xml_codec.h"

const char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";

namespace {

void append(std::string& out, const Common::string& text) {
  out.append(text.c_str(), text.length());
}

void appendNode(std::string& out, XmlNode& node) {
  Common::string name = node.getName();
  out += '<';
  append(out, name);
  for (XmlNode::AttributeIterator attribute = node.attributesBegin();
       attribute != node.attributesEnd(); ++attribute) {
    out += ' ';
    append(out, (*attribute).first);
    out += "=\"";
    append(out, (*attribute).second);
    out += '"';
  }

  Common::string text = node.getText();
  if (node.childrenBegin() != node.childrenEnd()) {
    out += '>';
    for (XmlNode::ChildIterator child = node.childrenBegin(); child != node.childrenEnd();
         ++child) {
      appendNode(out, **child);
    }
  } else if (!text.empty()) {
    out += '>';
    append(out, text);
  } else {
    out += "/>";
    return;
  }
  out += "</";
  append(out, name);
  out += '>';
}

}  // namespace

Common::string XmlCodec::serialize(XmlNodePtr node) {
  if (node.isNull()) return Common::string();
  std::string out;
  appendNode(out, *node);
  return Common::string(out.data(), static_cast<int>(out.size()));
}

XmlNodePtr XmlCodec::clone(XmlNodePtr node) {
  if (node.isNull()) return XmlNodePtr();
  XmlNodePtr copy(new XmlNode(Common::string("null")));
  if (node->childrenBegin() == node->childrenEnd() && node->getText().empty()) {
    // Written as <name/>, which the reader does not keep as a root: copy the
    // name and attributes directly so the copy still equals the source.
    copy->setName(node->getName());
    for (XmlNode::AttributeIterator attribute = node->attributesBegin();
         attribute != node->attributesEnd(); ++attribute) {
      copy->setAttribute((*attribute).first, (*attribute).second);
    }
    return copy;
  }
  parse(serialize(node), copy);
  return copy;
}

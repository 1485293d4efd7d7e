#ifndef TELVANECLI_XML_TEST_TREE_H
#define TELVANECLI_XML_TEST_TREE_H

// Helpers for tests that build document trees and compare them as text.

#include <initializer_list>
#include <string>
#include <utility>

#include "common/string.h"
#include "xml/xml_node.h"

namespace testtree {

inline std::string str(const Common::string& text) {
  return std::string(text.c_str(), text.length());
}

// A node with attributes set in the order given, a text and children.
inline XmlNodePtr element(
    const char* name, std::initializer_list<std::pair<const char*, const char*>> attributes = {},
    const char* text = "", std::initializer_list<XmlNodePtr> children = {}) {
  XmlNodePtr node(new XmlNode(Common::string(name)));
  for (const auto& attribute : attributes) {
    node->setAttribute(Common::string(attribute.first), Common::string(attribute.second));
  }
  node->setText(Common::string(text));
  for (const XmlNodePtr& child : children) node->addChild(child);
  return node;
}

// A compact picture of a tree: name[key=value key=value]"text"(child child).
// Empty parts are left out, so a reset node describes as "".
inline std::string describe(XmlNode& node) {
  std::string out = str(node.getName());
  if (node.attributesBegin() != node.attributesEnd()) {
    out += '[';
    for (XmlNode::AttributeIterator attribute = node.attributesBegin();
         attribute != node.attributesEnd(); ++attribute) {
      if (attribute != node.attributesBegin()) out += ' ';
      out += str((*attribute).first) + "=" + str((*attribute).second);
    }
    out += ']';
  }
  if (!node.getText().empty()) out += "\"" + str(node.getText()) + "\"";
  if (node.childrenBegin() != node.childrenEnd()) {
    out += '(';
    for (XmlNode::ChildIterator child = node.childrenBegin(); child != node.childrenEnd();
         ++child) {
      if (child != node.childrenBegin()) out += ' ';
      out += describe(**child);
    }
    out += ')';
  }
  return out;
}

inline std::string describe(const XmlNodePtr& node) { return describe(*node); }

}  // namespace testtree

#endif  // TELVANECLI_XML_TEST_TREE_H

// XmlCodec::serialize, serializeInPieces and clone. The text is built in one
// growing buffer, so writing a tree costs time linear in its output rather
// than one copy of a subtree's text per ancestor.
#include <string>

#include "xml/xml_codec.h"

const char kXmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";

namespace {

// Builds the text in one growing buffer; with a sink, hands the buffer over
// and empties it whenever an element ends past XmlCodec::kPieceBytes.
class TextBuilder {
 public:
  explicit TextBuilder(const XmlCodec::PieceSink* sink) : sink_(sink) {}

  void appendNode(XmlNode& node) {
    const Common::string name = node.getName();
    out_ += '<';
    append(name);
    for (XmlNode::AttributeIterator attribute = node.attributesBegin();
         attribute != node.attributesEnd(); ++attribute) {
      out_ += ' ';
      append((*attribute).first);
      out_ += "=\"";
      append((*attribute).second);
      out_ += '"';
    }

    if (node.hasChildren()) {
      out_ += '>';
      for (XmlNode::ChildIterator child = node.childrenBegin(); child != node.childrenEnd();
           ++child) {
        appendNode(**child);
      }
    } else {
      const Common::string text = node.getText();
      if (text.empty()) {
        out_ += "/>";
        handOverPiece();
        return;
      }
      out_ += '>';
      append(text);
    }
    out_ += "</";
    append(name);
    out_ += '>';
    handOverPiece();
  }

  // Whatever is left goes to the sink.
  void finish() {
    if (sink_ != nullptr && !out_.empty()) (*sink_)(out_.data(), out_.size());
    out_.clear();
  }

  std::string& text() { return out_; }

 private:
  void append(const Common::string& text) { out_.append(text.c_str(), text.length()); }

  void handOverPiece() {
    if (sink_ != nullptr && out_.size() >= XmlCodec::kPieceBytes) finish();
  }

  const XmlCodec::PieceSink* sink_;
  std::string out_;
};

}  // namespace

Common::string XmlCodec::serialize(XmlNodePtr node) {
  if (node.isNull()) return Common::string();
  TextBuilder builder(nullptr);
  builder.appendNode(*node);
  const std::string& out = builder.text();
  return Common::string(out.data(), static_cast<int>(out.size()));
}

void XmlCodec::serializeInPieces(XmlNodePtr node, const PieceSink& sink) {
  if (node.isNull()) return;
  TextBuilder builder(&sink);
  builder.appendNode(*node);
  builder.finish();
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

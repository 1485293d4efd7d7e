// XmlCodec::parse: a small forgiving reader for the report template and for
// the writer's own output. Every step advances the cursor or ends the loop,
// and every read is bounded by the text length, so any input finishes.
#include <cstring>
#include <string>
#include <vector>

#include "xml/xml_codec.h"

namespace {

const char kDeclarationEnd[] = "?>";
const char kCommentOpen[] = "<!--";
const char kCommentClose[] = "-->";
const char kCdataOpen[] = "<![CDATA[";
const char kCdataClose[] = "]]>";

bool isWhitespace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool endsWith(const std::string& text, const char* suffix) {
  size_t length = std::strlen(suffix);
  return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

// Cuts every comment from "<!--" through the next "-->", as if the first
// remaining "<!--" were cut again and again until none is left: a "<!--"
// that only forms where a cut joins the text is a comment too. One pass.
// The "-->" may overlap the opener, so "<!-->" is a whole comment. A comment
// without "-->" runs to the end of the text.
std::string removeComments(const std::string& in) {
  std::string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    out.push_back(in[i++]);
    if (!endsWith(out, kCommentOpen)) continue;
    out.resize(out.size() - std::strlen(kCommentOpen));
    if (i < in.size() && in[i] == '>') {
      i += 1;
    } else if (i + 1 < in.size() && in[i] == '-' && in[i + 1] == '>') {
      i += 2;
    } else {
      size_t close = in.find(kCommentClose, i);
      i = close == std::string::npos ? in.size() : close + std::strlen(kCommentClose);
    }
  }
  return out;
}

// Drops every occurrence of `marker`, scanning left to right; an occurrence
// that only forms where a cut joins the text stays.
std::string removeAll(const std::string& in, const char* marker) {
  size_t length = std::strlen(marker);
  std::string out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    if (in.compare(i, length, marker) == 0) {
      i += length;
    } else {
      out.push_back(in[i++]);
    }
  }
  return out;
}

Common::string makeString(const std::string& text, size_t begin, size_t end) {
  return Common::string(text.data() + begin, static_cast<int>(end - begin));
}

struct TagName {
  bool endTag = false;
  size_t begin = 0;  // the name without the '/' of an end tag
  size_t end = 0;

  bool empty() const { return !endTag && begin == end; }
};

// Reads elements from the pre-processed text; pos_ is the cursor.
class ElementReader {
 public:
  explicit ElementReader(const std::string& text) : text_(text) {}

  // Returns the element that is current when the text runs out, or a null
  // handle when no element other than self-closing ones was ever opened.
  XmlNodePtr read() {
    while (pos_ < text_.size()) {
      TagName name = readTagName();
      if (name.empty()) {
        // Character data that belongs to no start tag, or "<>": skipped.
        skipToNextTag();
        continue;
      }
      if (name.endTag) {
        // The attributes of an end tag are read past and dropped.
        readAttributes(nullptr);
        stepOverExtraTagEnd();
        closeElement();
        continue;
      }
      XmlNodePtr node(new XmlNode(makeString(text_, name.begin, name.end)));
      readAttributes(node.get());
      openElement(node, stepOverExtraTagEnd());
    }
    return current_;
  }

 private:
  void skipWhitespace() {
    while (pos_ < text_.size() && isWhitespace(text_[pos_])) ++pos_;
  }

  void skipToNextTag() {
    while (pos_ < text_.size() && text_[pos_] != '<') ++pos_;
  }

  // Empty when the cursor (after whitespace) is not on '<', or for "<>".
  TagName readTagName() {
    TagName name;
    skipWhitespace();
    if (pos_ >= text_.size() || text_[pos_] != '<') return name;
    ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '/') {
      name.endTag = true;
      ++pos_;
    }
    name.begin = pos_;
    while (pos_ < text_.size() && text_[pos_] != '>' && text_[pos_] != '/' &&
           !isWhitespace(text_[pos_])) {
      ++pos_;
    }
    name.end = pos_;
    return name;
  }

  // A '>' right after the end of the attribute list makes the tag
  // self-closing: it closes "<a/>", and doubles the '>' of "<a>>".
  bool stepOverExtraTagEnd() {
    if (pos_ >= text_.size() || text_[pos_] != '>') return false;
    ++pos_;
    return true;
  }

  // Reads attributes into `node` (or nowhere when it is null) up to the '>'
  // or '/' that ends the list and steps over that character. A later
  // attribute of the same name replaces the value.
  void readAttributes(XmlNode* node) {
    skipWhitespace();
    while (pos_ < text_.size() && text_[pos_] != '>' && text_[pos_] != '/') {
      readAttribute(node);
    }
    if (pos_ < text_.size()) ++pos_;
  }

  // One token up to an unquoted '>', '/' or whitespace, split at its first
  // '='. The value lies between the character after the '=' and the last
  // character of the token: the text between the quotes of name="value".
  void readAttribute(XmlNode* node) {
    skipWhitespace();
    size_t begin = pos_;
    bool inDouble = false;
    bool inSingle = false;
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (!inDouble && !inSingle && (c == '>' || c == '/' || isWhitespace(c))) break;
      ++pos_;
      if (pos_ >= text_.size()) break;
      if (text_[pos_] == '\'' && !inDouble) inSingle = !inSingle;
      if (text_[pos_] == '"' && !inSingle) inDouble = !inDouble;
    }
    size_t end = pos_;
    skipWhitespace();

    if (node == nullptr) return;

    const void* equals = std::memchr(text_.data() + begin, '=', end - begin);
    size_t nameEnd;
    size_t valueBegin;
    if (equals != nullptr) {
      nameEnd = static_cast<const char*>(equals) - text_.data();
      valueBegin = nameEnd + 2;
    } else {
      nameEnd = end;
      valueBegin = begin + 1;
    }
    size_t valueEnd = end - 1;
    // Too short for a value range (name=, name=" or a one-character token).
    if (valueBegin > valueEnd) valueBegin = valueEnd = end;
    node->setAttribute(makeString(text_, begin, nameEnd), makeString(text_, valueBegin, valueEnd));
  }

  // Character data from the cursor up to the next '<', untrimmed.
  Common::string readText() {
    size_t begin = pos_;
    skipToNextTag();
    return makeString(text_, begin, pos_);
  }

  void openElement(const XmlNodePtr& node, bool selfClosing) {
    node->setText(readText());
    if (!current_.isNull()) current_->addChild(node);
    if (!selfClosing) {
      open_.push_back(node);
      current_ = node;
    }
  }

  // Closes the innermost open element whatever the end tag names. Once the
  // outermost element is closed it stays current, so later top-level
  // elements nest into it. With nothing open the end tag is ignored.
  void closeElement() {
    if (open_.empty()) return;
    current_ = open_.back();
    open_.pop_back();
    if (!open_.empty()) current_ = open_.back();
  }

  const std::string& text_;
  size_t pos_ = 0;
  std::vector<XmlNodePtr> open_;
  XmlNodePtr current_;
};

}  // namespace

void XmlCodec::parse(const Common::string& text, XmlNodePtr target) {
  if (target.isNull()) return;
  target->setName(Common::string());
  target->setText(Common::string());
  while (target->attributesBegin() != target->attributesEnd()) {
    // A copy: the key inside the entry goes with the entry.
    Common::string key = target->attributesBegin()->first;
    target->removeAttribute(key);
  }
  target->removeAllChildren();

  std::string working(text.c_str(), text.length());
  size_t declarationEnd = working.find(kDeclarationEnd);
  if (declarationEnd != std::string::npos) {
    working.erase(0, declarationEnd + std::strlen(kDeclarationEnd));
  }
  working = removeComments(working);
  working = removeAll(working, kCdataOpen);
  working = removeAll(working, kCdataClose);

  XmlNodePtr root = ElementReader(working).read();
  if (root.isNull()) return;
  target->setName(root->getName());
  target->setText(root->getText());
  for (XmlNode::AttributeIterator attribute = root->attributesBegin();
       attribute != root->attributesEnd(); ++attribute) {
    target->setAttribute((*attribute).first, (*attribute).second);
  }
  for (XmlNode::ChildIterator child = root->childrenBegin(); child != root->childrenEnd();
       ++child) {
    target->addChild(*child);
  }
}

#ifndef TELVANECLI_XML_XML_CODEC_H
#define TELVANECLI_XML_XML_CODEC_H

#include <cstddef>
#include <functional>

#include "common/string.h"
#include "xml/xml_node.h"

// The declaration that opens an XML report, 55 characters, no line break.
extern const char kXmlDeclaration[];

// Reads XML text into a document tree and writes a tree as XML text. The
// class holds no state; callers make a local one. Neither direction escapes
// or decodes entities, and neither reports errors: irregular input shapes
// the result instead.
class XmlCodec {
 public:
  // Replaces the name, text, attributes and children of `target` with those
  // of the root element of `text`; the root's child elements become children
  // of `target` (shared, not copied). A declaration up to the first "?>",
  // comments and CDATA markers are dropped first. Character data counts only
  // directly after a start tag, where it becomes that element's text up to
  // the next '<'. Irregular input gives these answers:
  // - a self-closing root, or no element at all: `target` ends up with empty
  //   name and text and no attributes or children;
  // - several top-level elements: later ones nest into the first;
  // - elements left open: the innermost one is the result;
  // - an end tag closes the innermost open element whatever its name, and is
  //   ignored when nothing is open;
  // - character data anywhere else (before the first tag, after an end tag)
  //   and the empty tag "<>" are skipped up to the next '<';
  // - a comment without "-->" runs to the end of the text;
  // - an attribute token whose '=' is its last character gets an empty value.
  // Always finishes and reads only within `text`; with the handful of
  // attributes per element of a report, time grows linearly with the text.
  // A null `target` is left alone.
  void parse(const Common::string& text, XmlNodePtr target);

  // The XML text of `node` and its subtree on one line: attributes in map
  // order as name="value", children directly after each other. A node with
  // children is written without its own text; a node with neither children
  // nor text is written as <name/>. Nothing is escaped. Empty for a null
  // handle.
  Common::string serialize(XmlNodePtr node);

  // Receives consecutive pieces of a tree's text; a piece is never empty.
  typedef std::function<void(const char* text, std::size_t length)> PieceSink;
  // The text serialize(node) gives, handed to `sink` in consecutive pieces of
  // about kPieceBytes each (a little more where an element ends past the
  // mark), so a large tree is written without its whole text in memory.
  // Nothing for a null handle.
  static constexpr std::size_t kPieceBytes = 64 * 1024;
  void serializeInPieces(XmlNodePtr node, const PieceSink& sink);

  // An independent copy of the tree under `node`, made by reading back its
  // serialized text: names, attributes, child order and the text of elements
  // without children survive; the text of elements that have children does
  // not. A node with neither children nor text is copied with its name and
  // attributes. Returns the only handle to the copy; a null handle for a null
  // `node`.
  XmlNodePtr clone(XmlNodePtr node);
};

#endif  // TELVANECLI_XML_XML_CODEC_H

// Fuzzes the report XML reader and writer (xml/xml_codec.h): the input is the
// text to parse, NUL bytes included. The tree read from it is serialized,
// cloned and serialized again.
//
// The reader promises to finish on any text and to read only within it; the
// sanitizers and the time limit check that. The writer's output read back
// must give the same tree again whenever the first tree is one the writer can
// represent (see writable below), which is what clone relies on.
//
// Texts over 64 KiB are passed over: the walks of a tree recurse
// (xml/xml_node.h), so elements nested some 100,000 deep (700 KB of text)
// overflow the stack. The reader only ever reads the report template and the
// writer's text of a report, whose trees are three levels deep.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/string.h"
#include "xml/xml_codec.h"
#include "xml/xml_node.h"

namespace {

bool contains(const Common::string& text, const char* part) {
  return std::string_view(text.c_str(), text.length()).find(part) != std::string_view::npos;
}

bool containsAnyOf(const Common::string& text, const char* characters) {
  for (const char* c = characters; *c != '\0'; ++c) {
    if (std::memchr(text.c_str(), *c, text.length()) != nullptr) return true;
  }
  return false;
}

// Whether the writer can represent the tree under node: the reader takes an
// attribute name up to the first '=' and lets quotes group characters, so a
// name holding either, or white space, '/' or '>', reads back differently, as
// does a value holding a double quote; names with a NUL byte have no fixed
// order (strings order as C strings); and a text that starts with '>' makes
// the start tag before it read as self-closing.
bool writable(XmlNode& node) {
  if (node.getText().c_str()[0] == '>') return false;
  for (XmlNode::AttributeIterator attribute = node.attributesBegin();
       attribute != node.attributesEnd(); ++attribute) {
    const Common::string& name = (*attribute).first;
    if (containsAnyOf(name, "=\"' \t\r\n/>") || std::memchr(name.c_str(), 0, name.length())) {
      return false;
    }
    if (containsAnyOf((*attribute).second, "\"")) return false;
  }
  for (XmlNode::ChildIterator child = node.childrenBegin(); child != node.childrenEnd(); ++child) {
    if (!writable(**child)) return false;
  }
  return true;
}

// The markers the reader drops before it reads elements; written text that
// holds one (a name ending in '?' before the '>', say) cannot read back.
bool holdsDroppedMarker(const Common::string& written) {
  for (const char* marker : {"?>", "<!--", "<![CDATA[", "]]>"}) {
    if (contains(written, marker)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64u << 10) return 0;
  XmlCodec codec;
  const Common::string text(reinterpret_cast<const char*>(data), static_cast<int>(size));
  XmlNodePtr tree(new XmlNode(Common::string("target")));
  codec.parse(text, tree);
  const Common::string written = codec.serialize(tree);
  XmlNodePtr copy = codec.clone(tree);
  const Common::string rewritten = codec.serialize(copy);
  if (!holdsDroppedMarker(written) && writable(*tree) && !(written == rewritten)) {
    std::fprintf(stderr, "the copy differs\nwritten:   ");
    std::fwrite(written.c_str(), 1, written.length(), stderr);
    std::fprintf(stderr, "\nrewritten: ");
    std::fwrite(rewritten.c_str(), 1, rewritten.length(), stderr);
    std::fprintf(stderr, "\n");
    std::abort();
  }
  return 0;
}

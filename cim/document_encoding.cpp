#include "cim/document_encoding.h"

#include "cim/names.h"

namespace cim {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kDeclarationOpen = "<?xml";

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view skipSpaces(std::string_view text) {
  while (!text.empty() && isXmlSpace(text.front())) text.remove_prefix(1);
  return text;
}

// The encoding a declaration's pseudo-attributes (the text between "<?xml "
// and "?>") name.
DocumentEncoding declaredEncoding(std::string_view attributes) {
  const std::size_t at = attributes.find("encoding");
  if (at == std::string_view::npos) return DocumentEncoding::kUtf8;
  std::string_view rest = skipSpaces(attributes.substr(at + 8));
  if (rest.empty() || rest.front() != '=') return DocumentEncoding::kOther;
  rest = skipSpaces(rest.substr(1));
  if (rest.empty() || (rest.front() != '"' && rest.front() != '\'')) {
    return DocumentEncoding::kOther;
  }
  const std::size_t close = rest.find(rest.front(), 1);
  if (close == std::string_view::npos) return DocumentEncoding::kOther;
  return equalsIgnoreCase(rest.substr(1, close - 1), "UTF-8") ? DocumentEncoding::kUtf8
                                                              : DocumentEncoding::kOther;
}

}  // namespace

DocumentEncoding documentEncoding(std::string_view start) {
  if (start.size() < kByteOrderMark.size() && kByteOrderMark.substr(0, start.size()) == start) {
    return DocumentEncoding::kUndecided;
  }
  if (start.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    start.remove_prefix(kByteOrderMark.size());
  }
  if (start.empty()) return DocumentEncoding::kUndecided;
  // UTF-16 and UTF-32 documents, with or without a byte order mark, begin
  // with one of these bytes or with "<" and a NUL.
  const unsigned char first = static_cast<unsigned char>(start.front());
  if (first == 0x00 || first == 0xFE || first == 0xFF) return DocumentEncoding::kOther;
  if (start.size() >= 2 && first == '<' && start[1] == '\0') return DocumentEncoding::kOther;

  if (start.size() <= kDeclarationOpen.size()) {
    return kDeclarationOpen.substr(0, start.size()) == start ? DocumentEncoding::kUndecided
                                                             : DocumentEncoding::kUtf8;
  }
  // "<?xml-stylesheet" and the like are processing instructions, no declaration.
  if (start.substr(0, kDeclarationOpen.size()) != kDeclarationOpen ||
      !isXmlSpace(start[kDeclarationOpen.size()])) {
    return DocumentEncoding::kUtf8;
  }
  const std::size_t end = start.find("?>", kDeclarationOpen.size());
  if (end == std::string_view::npos) return DocumentEncoding::kUndecided;
  return declaredEncoding(start.substr(kDeclarationOpen.size(), end - kDeclarationOpen.size()));
}

}  // namespace cim

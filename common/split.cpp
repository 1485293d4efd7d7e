#include <cstring>

#include "common/list.h"
#include "common/string.h"

namespace Common {

namespace {

// The pieces of text between the occurrences of the delimiter (found by
// Text::find, so case-folded for istring). An empty delimiter would match
// everywhere without advancing; the text then stays one piece.
template <class Text>
list<Text, DefaultAllocator> splitAt(const Text& text, const char* delimiter, unsigned d) {
  list<Text, DefaultAllocator> pieces;
  if (d == 0) {
    pieces.insert(pieces.end(), text);
    return pieces;
  }
  const unsigned n = text.length();
  unsigned start = 0;
  while (n >= d && start <= n - d) {
    const unsigned found = text.find(delimiter, start, d);
    if (found == string::npos) break;
    pieces.insert(pieces.end(), text.substr(start, static_cast<int>(found - start)));
    start = found + d;
  }
  pieces.insert(pieces.end(), text.substr(start, static_cast<int>(n - start)));
  return pieces;
}

}  // namespace

list<string, DefaultAllocator> string::split(const char* delimiter) const {
  return splitAt(*this, delimiter, static_cast<unsigned>(std::strlen(delimiter)));
}

list<istring, DefaultAllocator> istring::split(const istring& delimiter) const {
  return splitAt(*this, delimiter.c_str(), delimiter.length());
}

}  // namespace Common

#include "cim/printable.h"

namespace cim {
namespace {

void appendEscaped(std::string& out, unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

// Length of the valid UTF-8 sequence starting at text[i] (2 to 4), or 0 when
// the bytes there are no valid multi-byte sequence.
std::size_t validSequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  unsigned int codePoint;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07u;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(k) & 0x3Fu);
  }
  const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
  const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (overlong || surrogate || codePoint > 0x10FFFF) return 0;
  return length;
}

}  // namespace

std::string neutralizeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      out += static_cast<char>(byte);
      ++i;
      continue;
    }
    const std::size_t length = byte >= 0x80 ? validSequenceLength(text, i) : 0;
    // U+0080..U+009F are encoded as C2 80..C2 9F: C1 controls, escaped too.
    const bool c1Control =
        length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (length == 0 || c1Control) {
      appendEscaped(out, byte);
      ++i;
      if (c1Control) appendEscaped(out, static_cast<unsigned char>(text[i++]));
      continue;
    }
    out.append(text, i, length);
    i += length;
  }
  return out;
}

}  // namespace cim

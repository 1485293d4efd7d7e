#include "inventory/xml_text.h"

#include <cstdint>
#include <string>

namespace inventory {

namespace {

constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";

bool isAllowedAscii(unsigned char byte) {
  return byte >= 0x20 || byte == '\t' || byte == '\n' || byte == '\r';
}

// Length of the UTF-8 sequence that starts with lead, and the range its second byte must lie
// in (the narrowed ranges rule out overlong forms, surrogates and code points past U+10FFFF).
// 0 for a byte that cannot start a sequence.
struct LeadByte {
  std::size_t length;
  unsigned char secondMin;
  unsigned char secondMax;
};

LeadByte classifyLead(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

Common::string replaceNonXmlCharacters(const char* text, std::size_t size) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  std::string result;
  result.reserve(size);
  std::size_t i = 0;
  while (i < size) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) {
      if (isAllowedAscii(lead)) {
        result += static_cast<char>(lead);
      } else {
        result += kReplacementCharacter;
      }
      ++i;
      continue;
    }
    const LeadByte form = classifyLead(lead);
    if (form.length == 0) {
      result += kReplacementCharacter;
      ++i;
      continue;
    }
    std::uint32_t codePoint = lead & (0xFF >> (form.length + 1));
    std::size_t taken = 1;
    while (taken < form.length && i + taken < size) {
      const unsigned char next = bytes[i + taken];
      const unsigned char min = taken == 1 ? form.secondMin : 0x80;
      const unsigned char max = taken == 1 ? form.secondMax : 0xBF;
      if (next < min || next > max) break;
      codePoint = (codePoint << 6) | (next & 0x3F);
      ++taken;
    }
    // A truncated sequence is replaced as a whole; the byte that broke it starts anew.
    if (taken < form.length || codePoint == 0xFFFE || codePoint == 0xFFFF) {
      result += kReplacementCharacter;
    } else {
      result.append(text + i, taken);
    }
    i += taken;
  }
  return Common::string(result.data(), static_cast<int>(result.size()));
}

Common::string escapeMarkup(const Common::string& text) {
  // One pass gives the same result as replacing "&" first and then the others in turn:
  // no inserted entity contains a character that a later replacement looks for.
  std::string result;
  const char* bytes = text.c_str();
  for (std::size_t i = 0; i < text.length(); ++i) {
    switch (bytes[i]) {
      case '&':
        result += "&amp;";
        break;
      case '\'':
        result += "&apos;";
        break;
      case '"':
        result += "&quot;";
        break;
      case '<':
        result += "&lt;";
        break;
      case '>':
        result += "&gt;";
        break;
      // A parser turns a raw tab or line break inside an attribute value into a space;
      // character references keep them.
      case '\t':
        result += "&#9;";
        break;
      case '\n':
        result += "&#10;";
        break;
      case '\r':
        result += "&#13;";
        break;
      default:
        result += bytes[i];
        break;
    }
  }
  return Common::string(result.data(), static_cast<int>(result.size()));
}

Common::string toXmlAttributeText(const char* text, std::size_t size) {
  return escapeMarkup(replaceNonXmlCharacters(text, size));
}

}  // namespace inventory

#include "inventory/value_format.h"

#include <cstdio>
#include <string>

#include "inventory/xml_text.h"

namespace inventory {

namespace {

// Long lists read better with a space after each comma; short values are left as they are.
constexpr std::size_t kListSpacingThreshold = 32;

bool isCapital(char byte) { return byte >= 'A' && byte <= 'Z'; }

}  // namespace

Common::string formatUnsigned(std::uint32_t number) {
  char digits[20] = {};
  std::snprintf(digits, sizeof digits, "%u", static_cast<unsigned>(number));
  return Common::string(digits);
}

Common::string splitCamelCase(const char* name) {
  std::string spaced(name);
  for (std::size_t i = 1; i < spaced.size(); ++i) {
    const bool startsWord =
        isCapital(spaced[i]) &&
        (!isCapital(spaced[i - 1]) || (i + 1 < spaced.size() && !isCapital(spaced[i + 1])));
    if (startsWord) {
      spaced.insert(i, 1, ' ');
      ++i;
    }
  }
  return Common::string(spaced.c_str());
}

Common::string describeInstance(XmlNodePtr node) {
  return "Class " + node->getAttribute(Common::string("class")) + " : Instance " +
         node->getAttribute(Common::string("instance"));
}

Common::string formatValueText(const Common::string& displayText) {
  const Common::string escaped = toXmlAttributeText(displayText.c_str(), displayText.length());
  const std::string text(escaped.c_str(), escaped.length());
  if (text.size() <= kListSpacingThreshold || text.find(',') == std::string::npos) {
    return escaped;
  }
  std::string spaced;
  spaced.reserve(text.size() + text.size() / 4);
  for (char byte : text) {
    spaced += byte;
    if (byte == ',') spaced += ' ';
  }
  return Common::string(spaced.data(), static_cast<int>(spaced.size()));
}

}  // namespace inventory

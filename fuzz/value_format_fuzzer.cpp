// Fuzzes the formatting of property values (inventory/value_format.h,
// xml_text.h, value_translation.h), all on the same input:
//   - the whole input is a display text: the UTF-8/XML cleanup, the markup
//     escaping and formatValueText must give text an XML attribute can hold;
//   - the input up to its first NUL is a property name for splitCamelCase,
//     which may only insert spaces before capitals;
//   - the input, read by FuzzedDataProvider, builds a class property with
//     "Values"/"ValueMap" qualifiers of varying shape and an instance property
//     of varying type; translateValue must give the raw text or a "Values"
//     entry, never fail.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cim/class.h"
#include "cim/data_type.h"
#include "cim/exception.h"
#include "cim/property.h"
#include "cim/qualifier.h"
#include "cim/value.h"
#include "common/string.h"
#include "inventory/class_catalogue.h"
#include "inventory/value_format.h"
#include "inventory/value_translation.h"
#include "inventory/xml_text.h"

namespace {

std::string toStd(const Common::string& text) { return std::string(text.c_str(), text.length()); }

// Whether text is well-formed UTF-8 without a character XML 1.0 forbids.
// Written independently of the code under test, from the UTF-8 and XML rules.
bool isXmlText(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::uint32_t codePoint;
    std::size_t length;
    if (lead < 0x80) {
      codePoint = lead;
      length = 1;
    } else if ((lead & 0xE0) == 0xC0) {
      codePoint = lead & 0x1F;
      length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      codePoint = lead & 0x0F;
      length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      codePoint = lead & 0x07;
      length = 4;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const std::uint32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < shortest[length]) return false;  // overlong
    const bool allowed = codePoint == 0x9 || codePoint == 0xA || codePoint == 0xD ||
                         (codePoint >= 0x20 && codePoint <= 0xD7FF) ||
                         (codePoint >= 0xE000 && codePoint <= 0xFFFD) ||
                         (codePoint >= 0x10000 && codePoint <= 0x10FFFF);
    if (!allowed) return false;
    i += length;
  }
  return true;
}

// Whether every markup character is escaped: no raw '<', '>', quote,
// apostrophe, tab, line feed or carriage return (an XML parser reads those
// three back as spaces), and every '&' opens one of the entities for them.
bool isEscaped(const std::string& text) {
  static const char* const kEntities[] = {"&amp;", "&apos;", "&quot;", "&lt;",
                                          "&gt;",  "&#9;",   "&#10;",  "&#13;"};
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (std::strchr("<>\"'\t\n\r", c) != nullptr && c != '\0') return false;
    if (c != '&') continue;
    bool known = false;
    for (const char* entity : kEntities) {
      if (text.compare(i, std::strlen(entity), entity) == 0) known = true;
    }
    if (!known) return false;
  }
  return true;
}

void checkDisplayText(const char* text, std::size_t size) {
  const std::string cleaned = toStd(inventory::replaceNonXmlCharacters(text, size));
  if (!isXmlText(cleaned)) std::abort();
  // Text that already fits is kept byte for byte.
  if (isXmlText(std::string(text, size)) && cleaned != std::string(text, size)) std::abort();

  const std::string stored = toStd(inventory::toXmlAttributeText(text, size));
  if (!isXmlText(stored) || !isEscaped(stored)) std::abort();

  const std::string formatted =
      toStd(inventory::formatValueText(Common::string(text, static_cast<int>(size))));
  if (!isXmlText(formatted) || !isEscaped(formatted)) std::abort();
  // A long stored text with commas gets ", " for every ","; others stay as stored.
  std::string expected = stored;
  if (stored.size() > 32 && stored.find(',') != std::string::npos) {
    expected.clear();
    for (char c : stored) expected += c == ',' ? std::string(", ") : std::string(1, c);
  }
  if (formatted != expected) std::abort();
}

void checkCamelCase(const char* text, std::size_t size) {
  const std::string name(text, strnlen(text, size));
  const std::string spaced = toStd(inventory::splitCamelCase(name.c_str()));
  // Walk both: every extra byte of the result is a space before a capital.
  std::size_t at = 0;
  for (std::size_t i = 0; i < spaced.size(); ++i) {
    if (at < name.size() && spaced[i] == name[at]) {
      ++at;
      continue;
    }
    const bool spaceBeforeCapital = spaced[i] == ' ' && i > 0 && i + 1 < spaced.size() &&
                                    spaced[i + 1] >= 'A' && spaced[i + 1] <= 'Z';
    if (!spaceBeforeCapital) std::abort();
  }
  if (at != name.size()) std::abort();
}

const cim::CIMDataType::Type kValueTypes[] = {
    cim::CIMDataType::kString, cim::CIMDataType::kUint16, cim::CIMDataType::kUint32,
    cim::CIMDataType::kSint8,  cim::CIMDataType::kUint64, cim::CIMDataType::kBoolean,
    cim::CIMDataType::kReal32, cim::CIMDataType::kReal64, cim::CIMDataType::kDatetime,
    cim::CIMDataType::kChar16, cim::CIMDataType::kSint64, cim::CIMDataType::kReference,
};

std::vector<std::string> consumeTexts(FuzzedDataProvider& input) {
  std::vector<std::string> texts(input.ConsumeIntegralInRange<std::size_t>(0, 6));
  for (std::string& text : texts) text = input.ConsumeRandomLengthString(12);
  return texts;
}

// A qualifier value of one of the shapes a class definition may give it: a
// string array (the sound shape, nulls included), a null array, a string
// scalar, or an array of numbers.
cim::CIMValue consumeQualifierValue(FuzzedDataProvider& input, std::vector<std::string> texts) {
  switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
      return cim::CIMValue::makeNull(cim::CIMDataType(cim::CIMDataType::kString, true));
    case 1:
      return cim::CIMValue::fromText(cim::CIMDataType::kString, texts.empty() ? "" : texts[0]);
    case 2:
      return cim::CIMValue::fromTextArray(cim::CIMDataType::kUint16, std::move(texts));
    case 3: {
      std::vector<std::size_t> nulls;
      for (std::size_t i = 0; i < texts.size(); ++i) {
        if (input.ConsumeBool()) nulls.push_back(i);
      }
      return cim::CIMValue::fromTextArray(cim::CIMDataType::kString, std::move(texts),
                                          std::move(nulls));
    }
    default:
      return cim::CIMValue::fromTextArray(cim::CIMDataType::kString, std::move(texts));
  }
}

const char* const kQualifierNames[] = {"Values", "ValueMap", "VALUES", "valuemap", "Description"};

void checkTranslation(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  inventory::testMode = input.ConsumeBool() ? 1 : 0;
  const std::string name = input.ConsumeRandomLengthString(8);

  cim::CIMClass cls("NVX_Fuzzed");
  std::vector<std::string> values;  // every entry a "Values" qualifier may offer
  std::string instanceName = name;
  cim::CIMValue value;
  try {
    cim::CIMProperty classProperty(name, cim::CIMValue());
    const int qualifierCount = input.ConsumeIntegralInRange(0, 4);
    for (int q = 0; q < qualifierCount; ++q) {
      const char* qualifierName = input.PickValueInArray(kQualifierNames);
      std::vector<std::string> texts = consumeTexts(input);
      if (std::strcmp(qualifierName, "Values") == 0 || std::strcmp(qualifierName, "VALUES") == 0) {
        values.insert(values.end(), texts.begin(), texts.end());
      }
      classProperty.addQualifier(
          cim::CIMQualifier(qualifierName, consumeQualifierValue(input, std::move(texts))));
    }
    cls.addProperty(classProperty);

    // The instance property's name may differ from the class's in letter case.
    if (input.ConsumeBool()) {
      for (char& c : instanceName) c = static_cast<char>(c ^ (c >= 'a' && c <= 'z' ? 0x20 : 0));
    }
    const cim::CIMDataType::Type type = input.PickValueInArray(kValueTypes);
    if (input.ConsumeBool()) {
      value = cim::CIMValue::fromTextArray(type, consumeTexts(input));
    } else {
      value = cim::CIMValue::fromText(type, input.ConsumeRandomLengthString(16));
    }
  } catch (const cim::ValueCastException&) {
    return;  // a text that is no value of its type never reaches translation
  }
  const cim::CIMProperty property(instanceName, value);

  const std::string raw = value.toString();
  const std::string translated = inventory::translateValue(cls, property);
  if (translated == raw) return;
  for (const std::string& entry : values) {
    if (entry.empty()) continue;
    if (translated == entry) return;
    if (inventory::testMode && translated == entry + " [" + raw + "]") return;
  }
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1u << 20) return 0;
  const char* text = reinterpret_cast<const char*>(data);
  checkDisplayText(text, size);
  checkCamelCase(text, size);
  std::uint32_t number = 0;
  std::memcpy(&number, data, size < sizeof number ? size : sizeof number);
  if (toStd(inventory::formatUnsigned(number)) != std::to_string(number)) std::abort();
  checkTranslation(data, size);
  return 0;
}

#include "inventory/value_translation.h"

#include <vector>

#include "cim/class.h"
#include "cim/property.h"
#include "cim/qualifier.h"
#include "inventory/class_catalogue.h"

namespace inventory {

namespace {

// The entries of a qualifier that holds an array of strings; null when the qualifier is
// absent, null, or of another type, which a class definition may get wrong.
const std::vector<std::string>* stringEntries(const cim::CIMQualifier* qualifier) {
  if (qualifier == nullptr) return nullptr;
  const cim::CIMValue& value = qualifier->getValue();
  if (value.isNull() || !value.isArray() ||
      value.getType().getType() != cim::CIMDataType::kString) {
    return nullptr;
  }
  return &value.getStringArray();
}

// The qualifier name test is exact, unlike the library's lookup: a qualifier spelt "VALUES"
// does not make a property translatable.
bool hasExactValuesQualifier(const std::vector<cim::CIMQualifier>& qualifiers) {
  for (const cim::CIMQualifier& qualifier : qualifiers) {
    if (qualifier.getName() == "Values") return true;
  }
  return false;
}

// The "Values" entry for rawText, or the empty string when there is none.
std::string lookUpTranslation(const cim::CIMProperty& classProperty, const std::string& rawText) {
  const std::vector<std::string>* values = stringEntries(classProperty.getQualifier("Values"));
  const std::vector<std::string>* valueMap = stringEntries(classProperty.getQualifier("ValueMap"));
  if (values == nullptr || valueMap == nullptr) return std::string();
  for (std::size_t i = 0; i < values->size(); ++i) {
    // A "ValueMap" shorter than "Values" cannot say what the remaining texts stand for.
    if (i >= valueMap->size()) return std::string();
    if ((*valueMap)[i] == rawText) return (*values)[i];
  }
  return std::string();
}

}  // namespace

std::string translateValue(const cim::CIMClass& cls, const cim::CIMProperty& property) {
  const std::string rawText = property.getValue().toString();
  const cim::CIMProperty* classProperty = cls.getProperty(property.getName());
  if (classProperty == nullptr) return rawText;

  const std::vector<cim::CIMQualifier>& qualifiers = classProperty->getQualifiers();
  if (qualifiers.size() < 2 || !hasExactValuesQualifier(qualifiers)) return rawText;

  const std::string translation = lookUpTranslation(*classProperty, rawText);
  if (translation.empty()) return rawText;
  if (testMode) return translation + " [" + rawText + "]";
  return translation;
}

}  // namespace inventory

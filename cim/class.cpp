#include "cim/class.h"

#include "cim/names.h"

namespace cim {

const CIMQualifier* CIMClass::getQualifier(std::string_view name) const {
  for (const CIMQualifier& qualifier : qualifiers_) {
    if (equalsIgnoreCase(qualifier.getName(), name)) return &qualifier;
  }
  return nullptr;
}

const CIMProperty* CIMClass::getProperty(std::string_view name) const {
  for (const CIMProperty& property : properties_) {
    if (equalsIgnoreCase(property.getName(), name)) return &property;
  }
  return nullptr;
}

}  // namespace cim

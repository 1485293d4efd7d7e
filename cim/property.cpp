#include "cim/property.h"

#include "cim/names.h"

namespace cim {

const CIMQualifier* CIMProperty::getQualifier(std::string_view name) const {
  for (const CIMQualifier& qualifier : qualifiers_) {
    if (equalsIgnoreCase(qualifier.getName(), name)) return &qualifier;
  }
  return nullptr;
}

}  // namespace cim

#include "cim/instance.h"

#include "cim/names.h"

namespace cim {

const CIMProperty* CIMInstance::getProperty(std::string_view name) const {
  for (const CIMProperty& property : properties_) {
    if (equalsIgnoreCase(property.getName(), name)) return &property;
  }
  return nullptr;
}

}  // namespace cim

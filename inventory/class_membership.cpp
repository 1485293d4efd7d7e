#include "inventory/class_membership.h"

#include "cim/class.h"
#include "cim/instance.h"
#include "cim/names.h"

namespace inventory {

bool belongsToClass(const cim::CIMClass& definition, const cim::CIMInstance& instance,
                    std::string& missing) {
  if (cim::equalsIgnoreCase(instance.getClassName(), definition.getName())) return true;
  // Asked for all properties without LocalOnly, a server sends a subclass
  // instance with every property it inherits.
  for (const cim::CIMProperty& property : definition.getProperties()) {
    if (instance.getProperty(property.getName()) == nullptr) {
      missing = property.getName();
      return false;
    }
  }
  return true;
}

}  // namespace inventory

#ifndef TELVANECLI_CIM_INSTANCE_H
#define TELVANECLI_CIM_INSTANCE_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cim/property.h"

namespace cim {

// An instance as EnumerateInstances returned it: the name of its own class
// (which may be a subclass of the class enumerated) and its properties in
// the order the server sent them.
class CIMInstance {
 public:
  explicit CIMInstance(std::string className) : className_(std::move(className)) {}

  const std::string& getClassName() const { return className_; }

  // All properties, in received order.
  const std::vector<CIMProperty>& getProperties() const { return properties_; }

  // The first property whose name equals name, ignoring ASCII letter case;
  // nullptr when there is none. The pointer is valid as long as this instance
  // is neither changed nor destroyed.
  const CIMProperty* getProperty(std::string_view name) const;

  void addProperty(CIMProperty property) { properties_.push_back(std::move(property)); }

 private:
  std::string className_;
  std::vector<CIMProperty> properties_;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_INSTANCE_H

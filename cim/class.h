#ifndef TELVANECLI_CIM_CLASS_H
#define TELVANECLI_CIM_CLASS_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cim/property.h"
#include "cim/qualifier.h"

namespace cim {

// A class definition as GetClass returned it: its qualifiers and its
// properties (each with its own qualifiers), in the order the server sent
// them. Methods are not kept.
class CIMClass {
 public:
  explicit CIMClass(std::string name, std::string superClassName = std::string())
      : name_(std::move(name)), superClassName_(std::move(superClassName)) {}

  const std::string& getName() const { return name_; }
  // Empty for a class without a superclass.
  const std::string& getSuperClassName() const { return superClassName_; }

  const std::vector<CIMQualifier>& getQualifiers() const { return qualifiers_; }
  const std::vector<CIMProperty>& getProperties() const { return properties_; }

  // The first qualifier / property whose name equals name, ignoring ASCII
  // letter case; nullptr when there is none. The pointer is valid as long as
  // this class is neither changed nor destroyed.
  const CIMQualifier* getQualifier(std::string_view name) const;
  const CIMProperty* getProperty(std::string_view name) const;

  void addQualifier(CIMQualifier qualifier) { qualifiers_.push_back(std::move(qualifier)); }
  void addProperty(CIMProperty property) { properties_.push_back(std::move(property)); }

 private:
  std::string name_;
  std::string superClassName_;
  std::vector<CIMQualifier> qualifiers_;
  std::vector<CIMProperty> properties_;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_CLASS_H

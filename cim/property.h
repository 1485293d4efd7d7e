#ifndef TELVANECLI_CIM_PROPERTY_H
#define TELVANECLI_CIM_PROPERTY_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cim/data_type.h"
#include "cim/qualifier.h"
#include "cim/value.h"

namespace cim {

// A property of a class or an instance: name, value (whose type is the
// property's data type) and qualifiers in the order the server sent them.
// In a class the value is the property's default value, usually null.
class CIMProperty {
 public:
  CIMProperty(std::string name, CIMValue value)
      : name_(std::move(name)), value_(std::move(value)) {}

  // The name exactly as the server sent it.
  const std::string& getName() const { return name_; }
  const CIMDataType& getDataType() const { return value_.getType(); }
  const CIMValue& getValue() const { return value_; }

  // The qualifiers in received order.
  const std::vector<CIMQualifier>& getQualifiers() const { return qualifiers_; }

  // The first qualifier whose name equals name, ignoring ASCII letter case;
  // nullptr when there is none. The pointer is valid as long as this property
  // is neither changed nor destroyed.
  const CIMQualifier* getQualifier(std::string_view name) const;

  void setValue(CIMValue value) { value_ = std::move(value); }
  void addQualifier(CIMQualifier qualifier) { qualifiers_.push_back(std::move(qualifier)); }

 private:
  std::string name_;
  CIMValue value_;
  std::vector<CIMQualifier> qualifiers_;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_PROPERTY_H

#ifndef TELVANECLI_CIM_QUALIFIER_H
#define TELVANECLI_CIM_QUALIFIER_H

#include <string>
#include <utility>

#include "cim/data_type.h"
#include "cim/value.h"

namespace cim {

// A qualifier of a class or property: a name and a value. Flavors are not kept.
class CIMQualifier {
 public:
  CIMQualifier(std::string name, CIMValue value)
      : name_(std::move(name)), value_(std::move(value)) {}

  // The name exactly as the server sent it.
  const std::string& getName() const { return name_; }
  const CIMValue& getValue() const { return value_; }
  const CIMDataType& getDataType() const { return value_.getType(); }

 private:
  std::string name_;
  CIMValue value_;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_QUALIFIER_H

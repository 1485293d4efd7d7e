#include "cim/instance_enumeration.h"

#include "cim/exception.h"

namespace cim {

CIMInstance CIMInstanceEnumeration::nextElement() {
  if (!hasMoreElements()) {
    throw OutOfBoundsException("the instance enumeration has no more elements");
  }
  return std::move(instances_[next_++]);
}

}  // namespace cim

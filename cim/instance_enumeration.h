#ifndef TELVANECLI_CIM_INSTANCE_ENUMERATION_H
#define TELVANECLI_CIM_INSTANCE_ENUMERATION_H

#include <cstddef>
#include <utility>
#include <vector>

#include "cim/instance.h"

namespace cim {

// The instances an enumeration returned, taken one by one in the order the
// server sent them.
class CIMInstanceEnumeration {
 public:
  CIMInstanceEnumeration() = default;
  explicit CIMInstanceEnumeration(std::vector<CIMInstance> instances)
      : instances_(std::move(instances)) {}

  // The number of instances not taken yet (all of them before the first
  // nextElement).
  std::size_t numberOfElements() const { return instances_.size() - next_; }
  bool hasMoreElements() const { return next_ < instances_.size(); }

  // Hands over the next instance. Throws OutOfBoundsException when none is left.
  CIMInstance nextElement();

 private:
  std::vector<CIMInstance> instances_;
  std::size_t next_ = 0;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_INSTANCE_ENUMERATION_H

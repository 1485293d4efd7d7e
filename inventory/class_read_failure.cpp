#include "inventory/class_read_failure.h"

#include "cim/exception.h"

namespace inventory {

ClassReadFailure classifyReadFailure(const cim::Exception& failure) {
  if (dynamic_cast<const cim::SocketException*>(&failure) != nullptr) {
    return ClassReadFailure::kConnectionLost;
  }
  if (const auto* status = dynamic_cast<const cim::CIMException*>(&failure)) {
    const int code = status->getStatusCode();
    if (code == cim::CIMException::kInvalidClass || code == cim::CIMException::kNotFound) {
      return ClassReadFailure::kClassMissing;
    }
  }
  return ClassReadFailure::kClassUnreadable;
}

}  // namespace inventory

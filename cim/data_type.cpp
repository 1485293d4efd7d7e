#include "cim/data_type.h"

namespace cim {

std::string CIMDataType::toString() const {
  switch (type_) {
    case kNull:
      return "null";
    case kUint8:
      return "uint8";
    case kSint8:
      return "sint8";
    case kUint16:
      return "uint16";
    case kSint16:
      return "sint16";
    case kUint32:
      return "uint32";
    case kSint32:
      return "sint32";
    case kUint64:
      return "uint64";
    case kSint64:
      return "sint64";
    case kReal32:
      return "real32";
    case kReal64:
      return "real64";
    case kChar16:
      return "char16";
    case kString:
      return "string";
    case kBoolean:
      return "boolean";
    case kDatetime:
      return "datetime";
    case kReference:
      return "REF";
  }
  return "null";
}

}  // namespace cim

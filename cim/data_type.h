#ifndef TELVANECLI_CIM_DATA_TYPE_H
#define TELVANECLI_CIM_DATA_TYPE_H

#include <string>

namespace cim {

// The CIM data type of a property, qualifier or value: an element type and
// whether the value is an array of that type.
class CIMDataType {
 public:
  enum Type : unsigned char {
    kNull,  // no type known: the server sent neither a type nor a value
    kUint8,
    kSint8,
    kUint16,
    kSint16,
    kUint32,
    kSint32,
    kUint64,
    kSint64,
    kReal32,
    kReal64,
    kChar16,
    kString,
    kBoolean,
    kDatetime,
    kReference,
  };

  // The null data type.
  CIMDataType() = default;
  CIMDataType(Type type, bool isArray) : type_(type), isArray_(isArray) {}

  Type getType() const { return type_; }
  bool isArray() const { return isArray_; }
  bool isNull() const { return type_ == kNull; }

  // The lower-case CIM name of the element type: "uint16", "string", ...;
  // "REF" for a reference and "null" for the null type. An array reads as
  // its element type, without an array mark.
  std::string toString() const;

  bool operator==(const CIMDataType& other) const {
    return type_ == other.type_ && isArray_ == other.isArray_;
  }
  bool operator!=(const CIMDataType& other) const { return !(*this == other); }

 private:
  Type type_ = kNull;
  bool isArray_ = false;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_DATA_TYPE_H

#ifndef TELVANECLI_CIM_VALUE_H
#define TELVANECLI_CIM_VALUE_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cim/data_type.h"

namespace cim {

// A CIM value: null, a scalar or an array, of one data type. Values are kept
// in their text form, normalised when they are made (see toString), so reading
// them back costs no conversion.
class CIMValue {
 public:
  // The null value of the null type.
  CIMValue() = default;

  // A null value of the given type.
  static CIMValue makeNull(CIMDataType type);

  // A scalar made from its CIM-XML text form. Numbers and booleans may carry
  // surrounding white space, booleans any letter case, integers a "0x" hex
  // form; an empty (or all white space) number, boolean or datetime is null.
  // A number outside the range of its type is kept as it is, so a provider's
  // overflow costs no more than the odd value.
  // Throws ValueCastException when the text is no value of the type.
  // References are made from their object path text, kept as given.
  static CIMValue fromText(CIMDataType::Type type, std::string_view text);

  // An array made from the text forms of its elements, converted as fromText
  // does. nullPositions lists, in ascending order, the elements that are null
  // (their text is ignored); an empty number, boolean or datetime element is
  // null as well. Throws ValueCastException as fromText does.
  static CIMValue fromTextArray(CIMDataType::Type type, std::vector<std::string> texts,
                                std::vector<std::size_t> nullPositions = {});

  bool isNull() const { return isNull_; }
  bool isArray() const { return type_.isArray(); }
  const CIMDataType& getType() const { return type_; }

  // The text of the value:
  //   null value              "(null)"
  //   array                   the elements' texts joined by "," (no space);
  //                           a null element reads "(null)"
  //   boolean                 "true" / "false"
  //   integers                plain decimal
  //   real32 / real64         the shortest text that reads back to the same
  //                           number; "INF", "-INF", "NaN"
  //   string, char16          as sent (XML entities decoded)
  //   datetime                as sent, without surrounding white space
  //   reference               an object path: //host/ns/path:Class.Key="v",N=5
  std::string toString() const;

  // The elements of a string array; a null element reads as the empty string.
  // The reference stays valid as long as this value.
  // Throws NullValueException when the value is null and ValueCastException
  // when it is not an array of strings.
  const std::vector<std::string>& getStringArray() const;

  // The number of elements of an array. Throws NullValueException when the
  // value is null and ValueCastException when it is not an array.
  std::size_t getArraySize() const;

  // Whether element i of an array is null. Throws as getArraySize does, and
  // OutOfBoundsException when i is not below the array size.
  bool isNullElement(std::size_t i) const;

 private:
  CIMDataType type_;
  bool isNull_ = true;
  std::string text_;                        // scalar
  std::vector<std::string> elements_;       // array
  std::vector<std::size_t> nullPositions_;  // array elements that are null, ascending
};

}  // namespace cim

#endif  // TELVANECLI_CIM_VALUE_H

#ifndef TELVANECLI_INVENTORY_VALUE_TRANSLATION_H
#define TELVANECLI_INVENTORY_VALUE_TRANSLATION_H

#include <string>

namespace cim {
class CIMClass;
class CIMProperty;
}  // namespace cim

namespace inventory {

// The display text of an instance property: the "Values" entry at the position where the
// class property's "ValueMap" holds the raw text of the value (exact, case-sensitive text
// comparison), otherwise the raw text itself ("(null)" for a null value).
//
// The class property is found by name without regard to case. It is translated only when
// it has at least two qualifiers, one of them named exactly "Values", and the matching entry
// is not empty. In test mode a translation is followed by " [", the raw text and "]".
//
// Malformed qualifiers never fail the call: a "Values" without "ValueMap", a null or
// non-string-array value of either, or a "ValueMap" that ends before the raw text is found
// leaves the value untranslated. Entries of "ValueMap" past the end of "Values" are ignored.
std::string translateValue(const cim::CIMClass& cls, const cim::CIMProperty& property);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_VALUE_TRANSLATION_H

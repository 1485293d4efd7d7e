#ifndef TELVANECLI_CIM_NAMES_H
#define TELVANECLI_CIM_NAMES_H

#include <string_view>

namespace cim {

// CIM names (classes, properties, qualifiers, methods) compare without regard
// to the case of ASCII letters; other bytes compare as they are.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace cim

#endif  // TELVANECLI_CIM_NAMES_H

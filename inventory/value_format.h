#ifndef TELVANECLI_INVENTORY_VALUE_FORMAT_H
#define TELVANECLI_INVENTORY_VALUE_FORMAT_H

#include <cstdint>

#include "common/string.h"
#include "xml/xml_node.h"

namespace inventory {

// The decimal digits of number: no sign, no leading zeros, no grouping.
Common::string formatUnsigned(std::uint32_t number);

// A CIM property name with a space before each capital letter that starts a new word. A run
// of capitals stays together as an acronym, and the last capital of a run followed by a
// lower-case letter starts the next word: "MACAddress" gives "MAC Address", "DeviceID" gives
// "Device ID". Digits neither split nor start words. name is NUL-terminated.
Common::string splitCamelCase(const char* name);

// "Class " + the node's "class" attribute + " : Instance " + its "instance" attribute; a missing
// attribute reads as empty.
Common::string describeInstance(XmlNodePtr node);

// The "value" text of a property from its display text: bytes that XML cannot hold become
// U+FFFD, the five markup characters are escaped, and a text that is then longer than 32 bytes
// and holds a comma gets ", " in place of every ",". displayText is taken whole, NUL bytes too.
Common::string formatValueText(const Common::string& displayText);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_VALUE_FORMAT_H

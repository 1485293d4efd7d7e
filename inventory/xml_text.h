#ifndef TELVANECLI_INVENTORY_XML_TEXT_H
#define TELVANECLI_INVENTORY_XML_TEXT_H

#include <cstddef>

#include "common/string.h"

namespace inventory {

// Makes bytes fit for an XML 1.0 document: every byte sequence that is not valid UTF-8 (each
// maximal ill-formed part counts once) and every character XML 1.0 forbids (control characters
// other than tab, line feed and carriage return, NUL, U+FFFE, U+FFFF) becomes U+FFFD. All other
// bytes are kept as they are. size counts the bytes of text, so NUL bytes inside are seen.
Common::string replaceNonXmlCharacters(const char* text, std::size_t size);

// Escapes the five markup characters: "&" as "&amp;", "'" as "&apos;", '"' as "&quot;",
// "<" as "&lt;", ">" as "&gt;"; and tab, line feed and carriage return as "&#9;", "&#10;",
// "&#13;", which an XML parser would otherwise read back as spaces. An entity already in the
// text is escaped once more.
Common::string escapeMarkup(const Common::string& text);

// Both of the above: the form in which text from outside the program is stored in the report
// tree, so that the written XML parses whatever the text holds.
Common::string toXmlAttributeText(const char* text, std::size_t size);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_XML_TEXT_H

#ifndef TELVANECLI_CIM_PRINTABLE_H
#define TELVANECLI_CIM_PRINTABLE_H

#include <string>
#include <string_view>

namespace cim {

// The text with everything a terminal could take as a control sequence shown
// as "\xNN" (one per byte): C0 control characters, DEL, the C1 controls
// U+0080 to U+009F, and bytes that are not part of valid UTF-8. Printable
// UTF-8 passes unchanged.
std::string neutralizeControls(std::string_view text);

}  // namespace cim

#endif  // TELVANECLI_CIM_PRINTABLE_H

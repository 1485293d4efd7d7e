#ifndef TELVANECLI_INVENTORY_REPORT_CONTENT_H
#define TELVANECLI_INVENTORY_REPORT_CONTENT_H

#include <cstdint>
#include <ctime>

#include "common/string.h"
#include "xml/xml_node.h"

namespace cim {
class CIMClass;
class CIMInstance;
}  // namespace cim

// The report tree: "root" (attributes "server", "username", "telvane_version",
// "time_generated") holding one "provider_data", which holds one "node" per instance
// ("class", "instance", "description"), each holding one "property" per reported property
// ("name", "type", "value", and "raw_value" when the value was translated). No element has
// text. Every value that comes from outside the program is stored fit for XML: bytes XML
// cannot hold replaced by U+FFFD and the markup characters escaped, so the written report
// always parses.
namespace inventory {

// The time stamp of a report, "%A %B %d, %Y %I:%M:%S%p" with English day and month names
// whatever the locale, e.g. "Sunday November 06, 2011 01:17:29AM".
Common::string formatTimeGenerated(const std::tm& localTime);

// A new report root read from the report template, with its four attributes set; its only
// child is the empty "provider_data" element. The caller holds the only handle.
XmlNodePtr createReportRoot(const Common::string& server, const Common::string& user,
                            const Common::string& version, const Common::string& timeGenerated);

// Appends to providerData the "node" element of instance number index of the enumeration of
// className (the class requested, also for an instance of a subclass), with one "property"
// element per reported property in the instance's order. A property is not reported when its
// data type is unknown, nor outside test mode when its value reads "(null)". Values are
// translated with cls, the definition of className.
void appendInstanceNode(XmlNodePtr providerData, const Common::string& className,
                        std::uint32_t index, const cim::CIMClass& cls,
                        const cim::CIMInstance& instance);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_REPORT_CONTENT_H

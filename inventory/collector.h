#ifndef TELVANECLI_INVENTORY_COLLECTOR_H
#define TELVANECLI_INVENTORY_COLLECTOR_H

#include <cstdint>

#include "cim/tls_settings.h"
#include "common/string.h"
#include "inventory/class_catalogue.h"
#include "xml/xml_node.h"

namespace inventory {

// Told about each catalogue class once both of its requests have been answered, before its
// instances enter the report: the collector's context argument, the percent figure of the
// class's catalogue position (progressPercent), the class name and the number of instances
// the server returned (0 for a class without instances or one the server does not have).
// The pointed-to values are valid only during the call. Runs on the collector's thread.
typedef void (*ProgressCallback)(const Common::string* context, const std::int32_t* percent,
                                 const Common::string* className,
                                 const std::uint32_t* instanceCount);

// position (1-based, counting every catalogue entry, also those the filter rejects) times
// 100, divided by the number of entries in single precision, truncated: 1 for the first of
// 62 entries, 50 for the 31st, 100 for the last.
std::int32_t progressPercent(std::uint32_t position, std::uint32_t entryCount);

enum class CollectionOutcome {
  kComplete,    // every selected class was read (or the server does not have it)
  kIncomplete,  // a class could not be read, or the collection stopped early
};

// Reads the server's inventory into a new report tree and hands its root to result.
//
// Connects to server (a host name or address, optionally with ":port") as user with password
// (none when empty) in the namespace "root/quorvin", over a client of its own that checks the
// server's certificate as tls says. Walks the class catalogue (built from testListPath; see
// buildClassCatalogue) in ascending order of the class name and, for every class whose
// category one of the comma-separated filter tokens names (every class when filter is
// empty), sends one GetClass and one EnumerateInstances, then calls progress (when not null)
// and appends one "node" per instance to the report (see report_content.h).
//
// The report is always returned, as complete as the server allowed:
// - a class the server does not have is skipped silently;
// - any other failure of one class's requests skips that class and prints
//   "Warning: <class> could not be read: <message>" on standard error;
// - a failure of the connection itself ends the collection and prints
//   "Warning: the collection stopped at <class>: <message>" on standard error.
// The result says whether anything was lost. No message contains the password. Exceptions
// that are not failures of the CIM client (memory exhaustion) pass to the caller, and result
// is then left as it was.
CollectionOutcome collectInventory(XmlNodePtr& result, const Common::istring& filter,
                                   const Common::string& server, const Common::string& user,
                                   const Common::string& password, const cim::TlsSettings& tls,
                                   const Common::string& context, ProgressCallback progress,
                                   const char* testListPath = kTestClassListPath);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_COLLECTOR_H

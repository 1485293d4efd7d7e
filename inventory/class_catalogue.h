#ifndef TELVANECLI_INVENTORY_CLASS_CATALOGUE_H
#define TELVANECLI_INVENTORY_CLASS_CATALOGUE_H

#include "common/list.h"
#include "common/map.h"
#include "common/string.h"

namespace inventory {

// One provider class of the catalogue. A plain record, copied member by member.
struct _CLASS_STRUCT {
  _CLASS_STRUCT() = default;
  // extraItemsText, when not null, is split at every "," into extraItems.
  _CLASS_STRUCT(const Common::string& category, const Common::string& displayName,
                const Common::string& parentClass, const char* extraItemsText = nullptr);

  Common::string category;     // what the category filter selects the class by
  Common::string displayName;  // shown in progress lines
  Common::string parentClass;  // containment parent; empty for the root class
  Common::list<Common::string, Common::DefaultAllocator> extraItems;
};

// Provider class name (case-sensitive) to its entry, iterated in ascending byte order of the
// name, which is the order in which the collector reads the classes.
using ClassCatalogue = Common::map<Common::string, _CLASS_STRUCT, Common::DefaultAllocator>;

// Where the test class list is looked for when the caller names no other file.
#ifdef _WIN32
inline constexpr char kTestClassListPath[] = "\\temp\\ProviderClassNames.txt";
#else
inline constexpr char kTestClassListPath[] = "/temp/ProviderClassNames.txt";
#endif

// 1 while the last built catalogue came from the test class list, else 0. Written only by
// buildClassCatalogue; in test mode translated values carry their raw value and null values
// are reported.
extern int testMode;

// Builds a new catalogue and sets testMode. When the file at testListPath can be opened, each
// of its lines becomes an entry of category "TEST" with empty display name and parent; lines
// starting with "#" and empty lines are skipped, a carriage return before the line end is not
// part of the line, and a read error keeps the entries read so far. Otherwise the catalogue
// holds the 62 built-in provider classes. Never fails apart from memory exhaustion.
ClassCatalogue buildClassCatalogue(const char* testListPath = kTestClassListPath);

// The display name of className in a freshly built catalogue (which probes the test class list
// again and so rewrites testMode), or className itself when the catalogue has no such class.
Common::string classDisplayName(const Common::string& className,
                                const char* testListPath = kTestClassListPath);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_CLASS_CATALOGUE_H

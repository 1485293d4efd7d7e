#ifndef TELVANECLI_INVENTORY_CATEGORY_FILTER_H
#define TELVANECLI_INVENTORY_CATEGORY_FILTER_H

#include "common/list.h"
#include "common/string.h"

namespace inventory {

using FilterTokens = Common::list<Common::istring, Common::DefaultAllocator>;

// The tokens of a comma-separated category filter, in order: not trimmed, not de-duplicated,
// possibly empty (a leading, trailing or doubled comma gives an empty token).
FilterTokens parseFilter(const Common::istring& filterText);

// True when a token equals category, ASCII letters compared without regard to case.
// An empty token list selects nothing; callers that want "no filter" do not ask.
bool matchesFilter(const FilterTokens& tokens, const Common::string& category);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_CATEGORY_FILTER_H

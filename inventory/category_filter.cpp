#include "inventory/category_filter.h"

namespace inventory {

FilterTokens parseFilter(const Common::istring& filterText) {
  return filterText.split(Common::istring(","));
}

bool matchesFilter(const FilterTokens& tokens, const Common::string& category) {
  for (const Common::istring& token : tokens) {
    if (token == category.c_str()) return true;
  }
  return false;
}

}  // namespace inventory

#include "inventory/category_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace inventory {
namespace {

std::vector<std::string> tokensOf(const char* filterText) {
  FilterTokens tokens = parseFilter(Common::istring(filterText));
  std::vector<std::string> texts;
  for (auto it = tokens.begin(); it != tokens.end(); ++it) texts.push_back((*it).c_str());
  return texts;
}

TEST(CategoryFilterTest, TokensAreTheTextBetweenCommas) {
  struct Row {
    const char* filter;
    std::vector<std::string> tokens;
  };
  const Row rows[] = {
      {"CPU", {"CPU"}},
      {"CPU,FAN", {"CPU", "FAN"}},
      {"CPU, FAN", {"CPU", " FAN"}},
      {",", {"", ""}},
      {"CPU,", {"CPU", ""}},
      {",,CPU", {"", "", "CPU"}},
      {"CPU,CPU", {"CPU", "CPU"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.filter);
    EXPECT_EQ(tokensOf(row.filter), row.tokens);
  }
}

TEST(CategoryFilterTest, MatchIgnoresCaseButNeedsTheWholeName) {
  struct Row {
    const char* filter;
    const char* category;
    bool selected;
  };
  const Row rows[] = {
      {"CPU,FAN", "CPU", true},     {"CPU,FAN", "FAN", true},
      {"CPU,FAN", "MEMORY", false}, {"cpu", "CPU", true},
      {"Memory", "MEMORY", true},   {"CPU, FAN", "FAN", false},  // the token is " FAN"
      {"DX", "SAS", false},         {"SAS", "DX", false},
      {"D", "DX", false},           {"DXX", "DX", false},
      {",", "CPU", false},          {"CPU,", "CPU", true},
      {"TEST", "TEST", true},       {"CPU", "TEST", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.filter) + " / " + row.category);
    EXPECT_EQ(matchesFilter(parseFilter(Common::istring(row.filter)), Common::string(row.category)),
              row.selected);
  }
}

}  // namespace
}  // namespace inventory

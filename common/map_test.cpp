#include "common/map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

typedef Common::map<Common::string, Common::string> StringMap;

std::vector<std::string> keys(const StringMap& map) {
  std::vector<std::string> result;
  for (const auto& entry : map) result.emplace_back(entry.first.c_str());
  return result;
}

void put(StringMap& map, const char* key, const char* value) {
  map.insert(StringMap::value_type(Common::string(key), Common::string(value)));
}

TEST(MapTest, EmptyMap) {
  StringMap map;
  EXPECT_TRUE(map.begin() == map.end());
  EXPECT_EQ(map.size(), 0u);
  EXPECT_TRUE(map.find(Common::string("a")) == map.end());
  EXPECT_EQ(map.erase(Common::string("a")), 0);
  EXPECT_EQ(map.toString().length(), 0u);
}

TEST(MapTest, EveryInsertionOrderGivesAscendingKeys) {
  std::vector<const char*> order = {"a", "b", "c", "d"};
  do {
    StringMap map;
    std::string inserted;
    for (const char* key : order) {
      put(map, key, key);
      inserted += key;
    }
    SCOPED_TRACE(inserted);
    EXPECT_EQ(keys(map), (std::vector<std::string>{"a", "b", "c", "d"}));
  } while (std::next_permutation(order.begin(), order.end(),
                                 [](const char* l, const char* r) { return *l < *r; }));
}

TEST(MapTest, KeysAreCaseSensitiveAndOrderedByUnsignedBytes) {
  StringMap map;
  for (const char* key : {"a", "\xc4", "_", "B", "A", "NVX_b", "NVX_B", "NVX_"}) put(map, key, "");
  EXPECT_EQ(keys(map),
            (std::vector<std::string>{"A", "B", "NVX_", "NVX_B", "NVX_b", "_", "a", "\xc4"}));
}

TEST(MapTest, InsertingAPresentKeyReplacesItsValue) {
  StringMap map;
  put(map, "b", "1");
  put(map, "a", "1");
  const auto added = map.insert(StringMap::value_type(Common::string("c"), Common::string("1")));
  EXPECT_TRUE(added.second);
  EXPECT_EQ(added.first->first, "c");

  const auto replaced = map.insert(StringMap::value_type(Common::string("b"), Common::string("2")));
  EXPECT_FALSE(replaced.second);
  EXPECT_EQ(replaced.first->first, "b");
  EXPECT_EQ(replaced.first->second, "2");
  EXPECT_EQ(map.size(), 3u);
  EXPECT_EQ(map.find(Common::string("b"))->second, "2");
  EXPECT_EQ(keys(map), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(MapTest, IndexAddsAnAbsentKeyOnce) {
  StringMap map;
  put(map, "m", "middle");
  Common::string& added = map[Common::string("z")];
  EXPECT_TRUE(added.empty());
  EXPECT_EQ(map.size(), 2u);
  added = "set";
  EXPECT_EQ(&map[Common::string("z")], &added);
  EXPECT_EQ(map[Common::string("z")], "set");
  EXPECT_EQ(map[Common::string("m")], "middle");
  map[Common::string("a")] = "first";
  EXPECT_EQ(keys(map), (std::vector<std::string>{"a", "m", "z"}));
}

TEST(MapTest, EraseThenInsertReturnsToTheOrderedPlace) {
  StringMap map;
  for (const char* key : {"a", "b", "c"}) put(map, key, key);
  const Common::string value = map[Common::string("b")];
  EXPECT_EQ(value.useCount(), 2);

  EXPECT_EQ(map.erase(Common::string("b")), 1);
  EXPECT_EQ(value.useCount(), 1);
  EXPECT_EQ(map.erase(Common::string("b")), 0);
  EXPECT_EQ(keys(map), (std::vector<std::string>{"a", "c"}));

  put(map, "b", "again");
  EXPECT_EQ(keys(map), (std::vector<std::string>{"a", "b", "c"}));
  map.clear();
  EXPECT_EQ(map.size(), 0u);
  put(map, "x", "");
  EXPECT_EQ(keys(map), (std::vector<std::string>{"x"}));
}

TEST(MapTest, FindComparesWholeKeys) {
  StringMap map;
  put(map, "ab", "");
  map[Common::string("ab\0x", 4)] = "with nul";
  EXPECT_EQ(map.size(), 2u);
  EXPECT_TRUE(map.find(Common::string("a")) == map.end());
  EXPECT_EQ(map.find(Common::string("ab\0x", 4))->second, "with nul");
  const StringMap& readOnly = map;
  EXPECT_TRUE(readOnly.find(Common::string("ab")) != readOnly.end());
}

TEST(PairTest, DestructionThroughTheBaseReleasesBothMembers) {
  const Common::string first("first");
  const Common::string second("second");
  Common::Convertible* entry = new Common::pair<Common::string, Common::string>(first, second);
  EXPECT_EQ(first.useCount(), 2);
  EXPECT_EQ(second.useCount(), 2);
  delete entry;
  EXPECT_EQ(first.useCount(), 1);
  EXPECT_EQ(second.useCount(), 1);

  const Common::pair<Common::string, bool> defaults;
  EXPECT_TRUE(defaults.first.empty());
  EXPECT_FALSE(defaults.second);
}

}  // namespace

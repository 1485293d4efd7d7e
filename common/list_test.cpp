#include "common/list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Common::istring;

// Counts the nodes a list holds at the moment, through the allocation policy.
struct CountingAllocator {
  static int live;
  void* allocate(std::size_t size) {
    ++live;
    return ::operator new(size);
  }
  void deallocate(void* pointer) {
    --live;
    ::operator delete(pointer);
  }
};
int CountingAllocator::live = 0;

typedef Common::list<Common::string, CountingAllocator> CountedList;

template <class List>
std::vector<std::string> contents(const List& list) {
  std::vector<std::string> result;
  for (const auto& element : list) result.emplace_back(element.c_str(), element.length());
  return result;
}

TEST(ListTest, SentinelIsCreatedByTheFirstOperation) {
  CountingAllocator::live = 0;
  {
    CountedList list;
    EXPECT_EQ(CountingAllocator::live, 0);
    // empty() alone creates nothing, so an unused list costs no allocation.
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(CountingAllocator::live, 0);
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(CountingAllocator::live, 1);
    EXPECT_TRUE(list.begin() == list.end());
    EXPECT_TRUE(list.empty());
    list.insert(list.end(), Common::string("x"));
    EXPECT_FALSE(list.empty());
    list.clear();
    EXPECT_TRUE(list.empty());
  }
  EXPECT_EQ(CountingAllocator::live, 0);
  { const CountedList untouched; }
  EXPECT_EQ(CountingAllocator::live, 0);
}

TEST(ListTest, InsertLinksBeforePosition) {
  Common::list<Common::string> list;
  list.insert(list.end(), Common::string("b"));
  const auto first = list.insert(list.begin(), Common::string("a"));
  list.insert(list.end(), Common::string("d"));
  auto third = list.begin();
  ++third;
  ++third;
  const auto inserted = list.insert(third, Common::string("c"));
  EXPECT_EQ(contents(list), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(list.size(), 4u);
  EXPECT_TRUE(first == list.begin());
  EXPECT_EQ(*inserted, "c");

  Common::list<Common::string> other;
  other.insert(other.end(), Common::string("x"));
  other.insert(other.begin(), list.begin(), third);
  EXPECT_EQ(contents(other), (std::vector<std::string>{"a", "b", "c", "x"}));
}

TEST(ListTest, ElementsAreCopiesReleasedByEraseClearAndDestruction) {
  CountingAllocator::live = 0;
  const Common::string element("shared");
  {
    CountedList list;
    list.insert(list.end(), element);
    auto second = list.insert(list.end(), element);
    list.insert(list.end(), element);
    EXPECT_EQ(element.useCount(), 4);
    EXPECT_EQ(CountingAllocator::live, 4);

    const auto following = list.erase(second);
    EXPECT_TRUE(following != list.end());
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(element.useCount(), 3);

    list.clear();
    EXPECT_EQ(element.useCount(), 1);
    EXPECT_EQ(CountingAllocator::live, 1);
    EXPECT_TRUE(list.begin() == list.end());
    list.insert(list.end(), element);
  }
  EXPECT_EQ(element.useCount(), 1);
  EXPECT_EQ(CountingAllocator::live, 0);
}

TEST(ListTest, CopyAndAssignmentCopyTheElementsInOrder) {
  Common::list<Common::string> source;
  for (const char* text : {"one", "two", "three"}) source.insert(source.end(), text);

  Common::list<Common::string> copy(source);
  EXPECT_EQ(contents(copy), contents(source));
  copy.insert(copy.end(), Common::string("four"));
  EXPECT_EQ(source.size(), 3u);

  Common::list<Common::string> assigned;
  assigned.insert(assigned.end(), Common::string("old"));
  assigned = source;
  EXPECT_EQ(contents(assigned), (std::vector<std::string>{"one", "two", "three"}));

  Common::list<Common::string>& alias = assigned;
  assigned = alias;
  EXPECT_EQ(contents(assigned), (std::vector<std::string>{"one", "two", "three"}));

  const Common::list<Common::string> fromEmpty{Common::list<Common::string>()};
  EXPECT_EQ(fromEmpty.size(), 0u);
}

struct SplitRow {
  std::string text;
  const char* delimiter;
  std::vector<std::string> pieces;
};

const SplitRow kSplitRows[] = {
    {"CPU,FAN", ",", {"CPU", "FAN"}},
    {"cpu,,FAN", ",", {"cpu", "", "FAN"}},
    {"", ",", {""}},
    {"a,", ",", {"a", ""}},
    {",a", ",", {"", "a"}},
    {",", ",", {"", ""}},
    {"no delimiter", ",", {"no delimiter"}},
    {"a<>b<><>c", "<>", {"a", "b", "", "c"}},
    {"a<", "<>", {"a<"}},
    {"abc", "", {"abc"}},
};

TEST(SplitTest, StringPieces) {
  for (const SplitRow& row : kSplitRows) {
    SCOPED_TRACE(row.text + " at " + row.delimiter);
    const Common::string text(row.text.c_str());
    EXPECT_EQ(contents(text.split(row.delimiter)), row.pieces);
    EXPECT_EQ(std::string(text.c_str()), row.text);
  }
}

TEST(SplitTest, IstringPiecesAreTheSameForCaselessDelimiters) {
  for (const SplitRow& row : kSplitRows) {
    SCOPED_TRACE(row.text + " at " + row.delimiter);
    EXPECT_EQ(contents(istring(row.text.c_str()).split(istring(row.delimiter))), row.pieces);
  }
}

TEST(SplitTest, OnlyIstringFoldsTheDelimitersCase) {
  EXPECT_EQ(contents(Common::string("aXbxc").split("x")), (std::vector<std::string>{"aXb", "c"}));
  EXPECT_EQ(contents(istring("aXbxc").split(istring("x"))),
            (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(contents(istring("oneANDtwoandthree").split(istring("And"))),
            (std::vector<std::string>{"one", "two", "three"}));
}

TEST(SplitTest, StringPiecesKeepNulBytes) {
  const Common::string text("a\0b,c", 5);
  EXPECT_EQ(contents(text.split(",")), (std::vector<std::string>{std::string("a\0b", 3), "c"}));
}

}  // namespace

#include "common/block_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

namespace Common {

void PrintTo(const BlockPool::FreeBlock& block, std::ostream* out) {
  *out << "{" << block.offset << ", " << block.size << "}";
}

}  // namespace Common

namespace {

using Common::BlockPool;
typedef std::vector<BlockPool::FreeBlock> FreeList;

const unsigned kRegion = BlockPool::kRegionSize;

// The pool's free lists and counts, for comparing whole states.
struct PoolState {
  std::vector<FreeList> lists;
  std::vector<unsigned> counts;
  bool operator==(const PoolState& other) const {
    return lists == other.lists && counts == other.counts;
  }
};

PoolState stateOf(const BlockPool& pool) {
  PoolState state;
  for (unsigned i = 0; i < BlockPool::kRegionCount; ++i) {
    state.lists.push_back(pool.freeBlocks(i));
    state.counts.push_back(pool.freeCount(i));
  }
  return state;
}

unsigned storedSize(const void* address) {
  std::uint16_t size;
  std::memcpy(&size, static_cast<const unsigned char*>(address) - 2, sizeof size);
  return size;
}

// Where in the pool an address lies, relative to the pool's start.
std::ptrdiff_t offsetOf(const BlockPool& pool, const void* address) {
  return static_cast<const unsigned char*>(address) - pool.start();
}

TEST(BlockPoolTest, FreshPoolHasOneFreeBlockPerRegion) {
  BlockPool pool;
  for (unsigned i = 0; i < BlockPool::kRegionCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pool.freeBlocks(i), (FreeList{{0, kRegion}}));
    EXPECT_EQ(pool.freeCount(i), 1u);
  }
  EXPECT_EQ(BlockPool::kPoolSize, 655350u);
}

TEST(BlockPoolTest, BlockLayoutOfARequest) {
  struct Row {
    std::size_t request;
    unsigned blockSize;
    unsigned storedSize;
  };
  const Row rows[] = {{0, 4, 2}, {1, 4, 2},  {2, 4, 2},
                      {3, 5, 3}, {8, 10, 8}, {65533, kRegion, 65533}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.request);
    BlockPool pool;
    void* address = pool.allocate(row.request);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(offsetOf(pool, address), 2);
    EXPECT_EQ(storedSize(address), row.storedSize);
    const unsigned char* bytes = static_cast<const unsigned char*>(address);
    for (unsigned i = 0; i < row.blockSize - 2; ++i) ASSERT_EQ(bytes[i], 0) << i;

    if (row.blockSize == kRegion) {
      EXPECT_EQ(pool.freeBlocks(0), FreeList{});
      EXPECT_EQ(pool.freeCount(0), 0u);
    } else {
      EXPECT_EQ(pool.freeBlocks(0), (FreeList{{row.blockSize, kRegion - row.blockSize}}));
      EXPECT_EQ(pool.freeCount(0), 1u);
    }
    EXPECT_EQ(pool.freeBlocks(1), (FreeList{{0, kRegion}}));

    pool.release(address);
    EXPECT_EQ(pool.freeBlocks(0), (FreeList{{0, kRegion}}));
    EXPECT_EQ(pool.freeCount(0), 1u);
  }
}

TEST(BlockPoolTest, RequestsLargerThanARegionGetNothing) {
  BlockPool pool;
  const PoolState fresh = stateOf(pool);
  EXPECT_EQ(pool.allocate(65534), nullptr);
  EXPECT_EQ(pool.allocate(static_cast<std::size_t>(-1)), nullptr);
  EXPECT_TRUE(stateOf(pool) == fresh);
}

TEST(BlockPoolTest, ReleasedObjectBytesAreZeroedWhenHandedOutAgain) {
  BlockPool pool;
  void* first = pool.allocate(8);
  std::memset(first, 0xAB, 8);
  pool.release(first);
  void* again = pool.allocate(8);
  ASSERT_EQ(again, first);
  for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(static_cast<unsigned char*>(again)[i], 0) << i;
}

// Region 0 is allocated except for a free hole of 10 bytes at offset 10, so
// that, with one free block like every other region, it is searched first.
class HoleFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    pool_.allocate(8);
    void* hole = pool_.allocate(8);
    pool_.allocate(kRegion - 20 - 2);
    pool_.release(hole);
    ASSERT_EQ(pool_.freeBlocks(0), (FreeList{{10, 10}}));
    ASSERT_EQ(pool_.freeCount(0), 1u);
  }

  BlockPool pool_;
};

TEST_F(HoleFixture, FirstFitTakesAnExactOrSplittableBlock) {
  struct Row {
    std::size_t request;
    unsigned blockOffset;  // in the pool
    FreeList region0After;
  };
  const Row rows[] = {
      {8, 10, {}},               // exactly 10: unlinked
      {4, 10, {{16, 4}}},        // 6 + 4 <= 10: split
      {0, 10, {{14, 6}}},        // 4 + 4 <= 10: split
      {5, kRegion, {{10, 10}}},  // a remainder of 3 could not hold a header
      {7, kRegion, {{10, 10}}},  // nor one of 1
      {9, kRegion, {{10, 10}}},  // too large
  };
  const PoolState before = stateOf(pool_);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.request);
    void* address = pool_.allocate(row.request);
    EXPECT_EQ(offsetOf(pool_, address), row.blockOffset + 2);
    EXPECT_EQ(pool_.freeBlocks(0), row.region0After);
    EXPECT_EQ(pool_.freeCount(0), row.region0After.size());
    pool_.release(address);
    EXPECT_TRUE(stateOf(pool_) == before);
  }
}

TEST(BlockPoolTest, ReleaseMergesWithDirectNeighbours) {
  struct Row {
    const char* name;
    std::vector<int> releaseOrder;  // of the blocks at offsets 0, 10, 20, 30
    FreeList after;
  };
  const Row rows[] = {
      {"middle alone", {1}, {{10, 10}, {40, kRegion - 40}}},
      {"first goes to the head", {0}, {{0, 10}, {40, kRegion - 40}}},
      {"last joins the rest", {3}, {{30, kRegion - 30}}},
      {"after a free neighbour", {1, 2}, {{10, 20}, {40, kRegion - 40}}},
      {"before a free neighbour", {2, 1}, {{10, 20}, {40, kRegion - 40}}},
      {"between two free blocks", {1, 3, 2}, {{10, kRegion - 10}}},
      {"head between two", {1, 3, 2, 0}, {{0, kRegion}}},
      {"separate holes", {0, 2}, {{0, 10}, {20, 10}, {40, kRegion - 40}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BlockPool pool;
    void* blocks[4];
    for (void*& block : blocks) block = pool.allocate(8);
    for (int index : row.releaseOrder) pool.release(blocks[index]);
    EXPECT_EQ(pool.freeBlocks(0), row.after);
    EXPECT_EQ(pool.freeCount(0), row.after.size());
  }
}

TEST(BlockPoolTest, SearchPrefersRegionsWithFewestFreeBlocks) {
  BlockPool pool;
  void* first = pool.allocate(8);
  void* second = pool.allocate(8);
  EXPECT_EQ(offsetOf(pool, second), 12);
  pool.release(first);
  ASSERT_EQ(pool.freeCount(0), 2u);
  // Region 0 now has two free blocks; region 1 has one and comes first.
  void* third = pool.allocate(8);
  EXPECT_EQ(offsetOf(pool, third), kRegion + 2);
  // The first address of region 1 is odd: the pool guarantees no alignment.
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(third) % 2,
            reinterpret_cast<std::uintptr_t>(pool.start() + 1) % 2);
}

TEST(BlockPoolTest, AtMostFiveRegionsAreSearched) {
  BlockPool pool;
  std::vector<void*> whole;
  for (unsigned i = 0; i < 5; ++i) {
    void* region = pool.allocate(BlockPool::kLargestRequest);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(offsetOf(pool, region), static_cast<std::ptrdiff_t>(i * kRegion + 2));
    whole.push_back(region);
  }
  // Each full region (count 0) is picked first and uses up a pass, so the five
  // empty regions 5 to 9 are never reached.
  EXPECT_EQ(pool.allocate(BlockPool::kLargestRequest), nullptr);
  EXPECT_EQ(pool.allocate(0), nullptr);
  EXPECT_EQ(pool.freeBlocks(5), (FreeList{{0, kRegion}}));

  pool.release(whole[2]);
  void* small = pool.allocate(1);
  EXPECT_EQ(offsetOf(pool, small), static_cast<std::ptrdiff_t>(2 * kRegion + 2));
}

TEST(BlockPoolTest, ReleaseIgnoresWhatThePoolDidNotHandOut) {
  BlockPool pool;
  unsigned char* kept = static_cast<unsigned char*>(pool.allocate(8));
  void* released = pool.allocate(8);
  pool.allocate(8);
  pool.release(released);
  unsigned char* start = const_cast<unsigned char*>(pool.start());
  // Headers that look valid: inside a kept object one that reaches past the
  // region, inside the free rest one of a small block.
  const std::uint16_t pastTheRegion = 65000;
  std::memcpy(kept, &pastTheRegion, 2);
  const std::uint16_t small = 8;
  std::memcpy(start + 50, &small, 2);
  const PoolState before = stateOf(pool);

  int onTheStack = 0;
  const auto onTheHeap = std::make_unique<int>(0);
  struct Row {
    const char* name;
    void* address;
  };
  const Row rows[] = {
      {"null", nullptr},
      {"stack", &onTheStack},
      {"heap", onTheHeap.get()},
      {"pool start", start},
      {"one past the pool", start + BlockPool::kPoolSize + 2},
      {"second release", released},
      {"inside a free block", start + 52},
      {"reaching past the region", kept + 2},
      {"header too small", start + 40},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    pool.release(row.address);
    EXPECT_TRUE(stateOf(pool) == before);
  }
  pool.release(kept);
  EXPECT_EQ(pool.freeBlocks(0), (FreeList{{0, 20}, {30, kRegion - 30}}));
}

}  // namespace

#include "common/allocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "common/block_pool.h"

namespace {

// A pool object of alignment 1 that counts its constructions.
struct Tiny : Common::GlobalStaticAllocator {
  static int constructed;
  Tiny() { ++constructed; }
  char bytes[8];
};
int Tiny::constructed = 0;

// Opens the aligned placement to the tests.
struct AlignedUser : Common::GlobalStaticAllocator {
  using GlobalStaticAllocator::allocateAligned;
  using GlobalStaticAllocator::kAlignment;
  using GlobalStaticAllocator::releaseAligned;
};

// Takes whole regions until the pool refuses; gives them back on destruction.
class FullPool {
 public:
  FullPool() {
    while (void* region =
               Common::GlobalStaticAllocator::operator new(Common::BlockPool::kLargestRequest)) {
      regions_.push_back(region);
    }
  }
  ~FullPool() {
    for (void* region : regions_) Common::GlobalStaticAllocator::operator delete(region);
  }
  std::size_t regionsTaken() const { return regions_.size(); }

 private:
  std::vector<void*> regions_;
};

TEST(GlobalStaticAllocatorTest, NewAndDeleteUseThePool) {
  Tiny* first = new Tiny();
  ASSERT_NE(first, nullptr);
  std::memset(first->bytes, 'x', sizeof first->bytes);
  delete first;
  Tiny* again = new Tiny();
  EXPECT_EQ(again, first);
  delete again;
  Tiny* none = nullptr;
  delete none;
}

TEST(GlobalStaticAllocatorTest, NewYieldsNullWithoutConstructingWhenThePoolIsFull) {
  {
    FullPool full;
    // Five searched regions are full; the other five are never reached.
    EXPECT_EQ(full.regionsTaken(), 5u);
    const int before = Tiny::constructed;
    Tiny* refused = new Tiny();
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(Tiny::constructed, before);
    delete refused;
    AlignedUser* alignedRefused =
        static_cast<AlignedUser*>(AlignedUser::allocateAligned(sizeof(AlignedUser)));
    EXPECT_EQ(alignedRefused, nullptr);
  }
  Tiny* later = new Tiny();
  EXPECT_NE(later, nullptr);
  delete later;
}

TEST(GlobalStaticAllocatorTest, AlignedPlacementIsAlignedAndReturnsItsBlock) {
  // Sizes 1 to 40 move the following blocks across every offset modulo the alignment.
  std::vector<std::pair<unsigned char*, std::size_t>> objects;
  for (std::size_t size = 1; size <= 40; ++size) {
    SCOPED_TRACE(size);
    unsigned char* object = static_cast<unsigned char*>(AlignedUser::allocateAligned(size));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(object) % AlignedUser::kAlignment, 0u);
    std::memset(object, 0xFF, size);
    objects.emplace_back(object, size);
  }
  for (std::size_t i = 0; i < objects.size(); ++i) {
    for (std::size_t j = i + 1; j < objects.size(); ++j) {
      const bool apart = objects[i].first + objects[i].second <= objects[j].first ||
                         objects[j].first + objects[j].second <= objects[i].first;
      EXPECT_TRUE(apart) << i << " and " << j;
    }
  }
  for (const auto& object : objects) AlignedUser::releaseAligned(object.first);
  AlignedUser::releaseAligned(nullptr);
  // Everything went back and merged: five whole regions fit again.
  FullPool full;
  EXPECT_EQ(full.regionsTaken(), 5u);
}

}  // namespace

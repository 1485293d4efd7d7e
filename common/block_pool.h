#ifndef TELVANECLI_COMMON_BLOCK_POOL_H
#define TELVANECLI_COMMON_BLOCK_POOL_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Common {

// The memory behind GlobalStaticAllocator: one heap block of 655,350 bytes in
// ten regions of 65,535 bytes, each with a first-fit free list ordered by
// address. Every block starts with 16-bit fields in machine byte order:
//   free block:      size (header included), distance to the next free block
//                    of the region (0 for the last);
//   allocated block: the requested size (at least 2), followed by the object.
// An allocated block spans the request plus 2 bytes, never less than 4.
//
// Alignment: a block starts wherever the previous one ended and regions start
// at multiples of 65,535, so an address handed out has no alignment at all
// (the first one in region 1 is odd). Objects that need alignment must place
// themselves inside their block (see GlobalStaticAllocator::allocateAligned).
//
// Not thread-safe.
class BlockPool {
 public:
  static constexpr unsigned kRegionCount = 10;
  static constexpr unsigned kRegionSize = 65535;
  static constexpr unsigned kPoolSize = kRegionCount * kRegionSize;
  // The largest request: a block of a whole region.
  static constexpr unsigned kLargestRequest = kRegionSize - 2;

  // Reserves and zero-fills the memory (std::bad_alloc when it cannot); every
  // region starts as one free block.
  BlockPool();
  ~BlockPool();
  BlockPool(const BlockPool&) = delete;
  BlockPool& operator=(const BlockPool&) = delete;

  // size zeroed bytes, 2 bytes into their block; null when none of the (at most
  // five) regions searched has room. Regions are searched in order of fewest
  // free blocks first (ties: lowest number); in each, the first free block of
  // exactly the block size or at least 4 bytes more (room for a free header in
  // the remainder) is taken.
  void* allocate(std::size_t size) noexcept;

  // Returns the block of an address from allocate to its region, merging it
  // with directly neighbouring free blocks. Null, an address outside the pool,
  // and a block that would overlap a free block (a second release) or reach
  // past its region are ignored.
  void release(void* address) noexcept;

  // Inspection of the free lists, for tests and diagnostics.
  struct FreeBlock {
    unsigned offset;  // from the start of the region
    unsigned size;
    bool operator==(const FreeBlock& other) const {
      return offset == other.offset && size == other.size;
    }
  };
  std::vector<FreeBlock> freeBlocks(unsigned region) const;
  unsigned freeCount(unsigned region) const { return regions_[region].count; }
  const unsigned char* start() const { return memory_; }

 private:
  struct Region {
    unsigned char* head;  // first free block, null when there is none
    std::uint16_t count;  // number of free blocks
  };

  unsigned pickRegion(const bool examined[]) const;

  unsigned char* memory_;
  Region regions_[kRegionCount];
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_BLOCK_POOL_H

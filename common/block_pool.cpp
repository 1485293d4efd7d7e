#include "common/block_pool.h"

#include <cstring>

namespace Common {

namespace {

constexpr unsigned kSearchPasses = 5;
constexpr unsigned kHeaderSize = 2;
constexpr unsigned kSmallestBlock = 4;

// Headers sit at any byte offset, so they are copied, never read in place.
unsigned load16(const unsigned char* at) {
  std::uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

void store16(unsigned char* at, unsigned value) {
  const std::uint16_t narrow = static_cast<std::uint16_t>(value);
  std::memcpy(at, &narrow, sizeof narrow);
}

unsigned blockSize(const unsigned char* block) { return load16(block); }
unsigned distance(const unsigned char* block) { return load16(block + 2); }
unsigned char* nextFree(unsigned char* block) {
  const unsigned d = distance(block);
  return d == 0 ? nullptr : block + d;
}

}  // namespace

BlockPool::BlockPool() : memory_(new unsigned char[kPoolSize]()) {
  for (unsigned i = 0; i < kRegionCount; ++i) {
    unsigned char* region = memory_ + i * kRegionSize;
    store16(region, kRegionSize);
    store16(region + 2, 0);
    regions_[i].head = region;
    regions_[i].count = 1;
  }
}

BlockPool::~BlockPool() { delete[] memory_; }

unsigned BlockPool::pickRegion(const bool examined[]) const {
  unsigned best = kRegionCount;
  for (unsigned i = 0; i < kRegionCount; ++i) {
    if (!examined[i] && (best == kRegionCount || regions_[i].count < regions_[best].count)) {
      best = i;
    }
  }
  return best;
}

void* BlockPool::allocate(std::size_t size) noexcept {
  if (size > kLargestRequest) return nullptr;
  unsigned need = static_cast<unsigned>(size) + kHeaderSize;
  if (need < kSmallestBlock) need = kSmallestBlock;

  bool examined[kRegionCount] = {};
  for (unsigned pass = 0; pass < kSearchPasses; ++pass) {
    const unsigned index = pickRegion(examined);
    examined[index] = true;
    Region& region = regions_[index];

    unsigned char* previous = nullptr;
    for (unsigned char* block = region.head; block != nullptr; block = nextFree(block)) {
      const unsigned size = blockSize(block);
      if (size != need && size < need + kSmallestBlock) {
        previous = block;
        continue;
      }
      const unsigned next = distance(block);
      if (size > need) {
        // The remainder takes the block's place in the list.
        unsigned char* remainder = block + need;
        store16(remainder, size - need);
        store16(remainder + 2, next == 0 ? 0 : next - need);
        if (previous != nullptr) {
          store16(previous + 2, distance(previous) + need);
        } else {
          region.head = remainder;
        }
      } else {
        if (previous != nullptr) {
          store16(previous + 2, next == 0 ? 0 : distance(previous) + next);
        } else {
          region.head = next == 0 ? nullptr : block + next;
        }
        --region.count;
      }
      std::memset(block, 0, need);
      store16(block, need - kHeaderSize);
      return block + kHeaderSize;
    }
  }
  return nullptr;
}

void BlockPool::release(void* address) noexcept {
  if (address == nullptr) return;
  // Compared as integers: the address may belong to any other object.
  const std::uintptr_t poolStart = reinterpret_cast<std::uintptr_t>(memory_);
  const std::uintptr_t object = reinterpret_cast<std::uintptr_t>(address);
  if (object < poolStart + kHeaderSize || object - kHeaderSize - poolStart >= kPoolSize) return;

  const unsigned offset = static_cast<unsigned>(object - kHeaderSize - poolStart);
  const unsigned index = offset / kRegionSize;
  Region& region = regions_[index];
  unsigned char* const regionEnd = memory_ + (index + 1) * kRegionSize;
  unsigned char* const block = memory_ + offset;
  const unsigned size = blockSize(block) + kHeaderSize;
  if (size < kSmallestBlock || size > static_cast<unsigned>(regionEnd - block)) return;

  unsigned char* previous = nullptr;
  unsigned char* following = region.head;
  while (following != nullptr && following < block) {
    previous = following;
    following = nextFree(following);
  }
  if (previous != nullptr && previous + blockSize(previous) > block) return;
  if (following != nullptr && block + size > following) return;

  std::memset(block, 0, size);
  if (previous != nullptr) {
    const unsigned gap = static_cast<unsigned>(block - previous);
    const unsigned previousDistance = distance(previous);
    store16(block + 2, previousDistance == 0 ? 0 : previousDistance - gap);
    store16(previous + 2, gap);
  } else {
    store16(block + 2, following == nullptr ? 0 : static_cast<unsigned>(following - block));
    region.head = block;
  }
  store16(block, size);
  ++region.count;

  // Two steps from the free block before the returned one merge it with a
  // directly preceding and a directly following free block.
  unsigned char* current = previous != nullptr ? previous : block;
  for (int step = 0; step < 2 && current != nullptr; ++step) {
    const unsigned currentSize = blockSize(current);
    const unsigned currentDistance = distance(current);
    if (currentDistance != 0 && currentDistance == currentSize) {
      unsigned char* absorbed = current + currentDistance;
      const unsigned absorbedDistance = distance(absorbed);
      store16(current, currentSize + blockSize(absorbed));
      store16(current + 2, absorbedDistance == 0 ? 0 : currentDistance + absorbedDistance);
      --region.count;
    } else {
      current = nextFree(current);
    }
  }
}

std::vector<BlockPool::FreeBlock> BlockPool::freeBlocks(unsigned region) const {
  std::vector<FreeBlock> blocks;
  const unsigned char* const regionStart = memory_ + region * kRegionSize;
  for (unsigned char* block = regions_[region].head; block != nullptr; block = nextFree(block)) {
    blocks.push_back({static_cast<unsigned>(block - regionStart), blockSize(block)});
  }
  return blocks;
}

}  // namespace Common

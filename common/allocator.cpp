#include "common/allocator.h"

#include <cstdint>
#include <new>

#include "common/block_pool.h"

namespace Common {

namespace {

// The process-wide pool, created on first use and never destroyed, so objects
// released during static destruction still find it. Null while it cannot be
// created (out of memory); the next call tries again.
BlockPool* sharedPool() noexcept {
  static BlockPool* pool = nullptr;
  if (pool == nullptr) {
    try {
      pool = new BlockPool();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
  return pool;
}

}  // namespace

void* GlobalStaticAllocator::operator new(std::size_t size) noexcept {
  BlockPool* pool = sharedPool();
  return pool == nullptr ? nullptr : pool->allocate(size);
}

void GlobalStaticAllocator::operator delete(void* address) noexcept {
  BlockPool* pool = sharedPool();
  if (pool != nullptr) pool->release(address);
}

// The object starts 1 to kAlignment bytes into its pool memory; the byte just
// before it records how far, so that release finds the address the pool gave.
void* GlobalStaticAllocator::allocateAligned(std::size_t size) noexcept {
  if (size > BlockPool::kLargestRequest) return nullptr;
  unsigned char* memory = static_cast<unsigned char*>(operator new(size + kAlignment));
  if (memory == nullptr) return nullptr;
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(memory);
  const std::size_t shift = kAlignment - address % kAlignment;
  unsigned char* object = memory + shift;
  object[-1] = static_cast<unsigned char>(shift);
  return object;
}

void GlobalStaticAllocator::releaseAligned(void* object) noexcept {
  if (object == nullptr) return;
  unsigned char* bytes = static_cast<unsigned char*>(object);
  operator delete(bytes - bytes[-1]);
}

}  // namespace Common

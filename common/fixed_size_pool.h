#ifndef TELVANECLI_COMMON_FIXED_SIZE_POOL_H
#define TELVANECLI_COMMON_FIXED_SIZE_POOL_H

#include <cstddef>
#include <new>

namespace Common {

// Memory for many small objects of one size: slots of SlotSize bytes carved
// from 64 KiB slabs of the general heap and reused through a free list. A slot
// costs exactly SlotSize bytes, without the general heap's block header and
// rounding (a 4-byte count takes 8 bytes instead of 32), which matters for the
// million elements of a large report. Slabs stay until the process ends,
// linked from the pool so that they are never unreachable.
//
// One pool per SlotSize for the whole process. Not thread-safe: the program
// has one thread. Built with AddressSanitizer, every slot is a heap block of
// its own, so the sanitizer still sees each object's life.
template <std::size_t SlotSize>
class FixedSizePool {
  static_assert(SlotSize >= sizeof(void*) && SlotSize % alignof(void*) == 0,
                "a slot holds a pointer when free and keeps pointer alignment");

 public:
  // A slot aligned for pointers (and so for every type of that alignment or
  // less). std::bad_alloc when no slab can be had.
  static void* allocate() {
#ifdef __SANITIZE_ADDRESS__
    return ::operator new(SlotSize);
#else
    State& pool = state();
    if (pool.free == nullptr) addSlab(pool);
    Slot* slot = pool.free;
    pool.free = slot->next;
    return slot;
#endif
  }

  // Returns a slot from allocate; null is ignored.
  static void release(void* memory) noexcept {
#ifdef __SANITIZE_ADDRESS__
    ::operator delete(memory);
#else
    if (memory == nullptr) return;
    State& pool = state();
    Slot* slot = static_cast<Slot*>(memory);
    slot->next = pool.free;
    pool.free = slot;
#endif
  }

 private:
  struct Slot {
    Slot* next;
  };
  struct State {
    Slot* free = nullptr;
    Slot* slabs = nullptr;  // the first slot of every slab links the slabs
  };

  static constexpr std::size_t kSlabBytes = 64 * 1024;
  static constexpr std::size_t kSlotsPerSlab = kSlabBytes / SlotSize;

  static State& state() {
    static State pool;
    return pool;
  }

  static void addSlab(State& pool) {
    char* slab = static_cast<char*>(::operator new(kSlabBytes));
    Slot* link = reinterpret_cast<Slot*>(slab);
    link->next = pool.slabs;
    pool.slabs = link;
    for (std::size_t i = kSlotsPerSlab; i-- > 1;) {
      Slot* slot = reinterpret_cast<Slot*>(slab + i * SlotSize);
      slot->next = pool.free;
      pool.free = slot;
    }
  }
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_FIXED_SIZE_POOL_H

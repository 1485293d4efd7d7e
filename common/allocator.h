#ifndef TELVANECLI_COMMON_ALLOCATOR_H
#define TELVANECLI_COMMON_ALLOCATOR_H

#include <cstddef>

namespace Common {

// An empty base class: objects of a class derived from it are allocated by a
// plain new-expression from one process-wide pool (a BlockPool, created on
// first use and kept until the process ends) instead of the general heap, and
// returned to it by delete.
//
// operator new is noexcept, so a new-expression yields null, without running
// the constructor, when the pool has no room; it never throws and never falls
// back to the heap. The pool's addresses have no alignment guarantee (see
// BlockPool), so only classes of alignment 1 may use operator new as it is; a
// class with stricter alignment (virtual functions, pointers, ints) declares
// its own class-level operator new and delete on allocateAligned and
// releaseAligned. Not thread-safe.
class GlobalStaticAllocator {
 public:
  static void* operator new(std::size_t size) noexcept;
  // Null and addresses the pool did not hand out are ignored.
  static void operator delete(void* address) noexcept;

 protected:
  // The alignment allocateAligned guarantees: enough for any ordinary object.
  static constexpr std::size_t kAlignment = alignof(std::max_align_t);

  // size bytes aligned to kAlignment, placed inside a pool block of
  // size + kAlignment bytes; null when the pool has no room.
  static void* allocateAligned(std::size_t size) noexcept;
  // Returns memory from allocateAligned; null is ignored.
  static void releaseAligned(void* object) noexcept;
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_ALLOCATOR_H

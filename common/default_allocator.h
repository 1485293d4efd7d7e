#ifndef TELVANECLI_COMMON_DEFAULT_ALLOCATOR_H
#define TELVANECLI_COMMON_DEFAULT_ALLOCATOR_H

#include <cstddef>
#include <new>

namespace Common {

// The allocation policy of the containers: the general heap. Memory from
// allocate is aligned for any object; exhaustion raises std::bad_alloc.
class DefaultAllocator {
 public:
  void* allocate(std::size_t size) { return ::operator new(size); }
  void deallocate(void* pointer) { ::operator delete(pointer); }
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_DEFAULT_ALLOCATOR_H

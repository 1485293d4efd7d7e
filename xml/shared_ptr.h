#ifndef TELVANECLI_XML_SHARED_PTR_H
#define TELVANECLI_XML_SHARED_PTR_H

#include "common/fixed_size_pool.h"

// A counted handle: the object pointer and a separately allocated count that
// every handle to the same object shares. The object (when not null) is
// deleted, through its own destructor (virtual where T has one), and the
// count freed when the last handle goes away. Counts come from a pool of
// 8-byte slots (Common::FixedSizePool): a large report holds a million.
//
// Every handle owns a count, a null one included, so null handles can be
// copied, assigned and released like any other. Counts are plain integers:
// a handle and all its copies must stay on one thread.
template <typename T>
class SharedPtr {
 public:
  // Takes ownership of `object` (may be null). If the count cannot be
  // allocated, `object` is deleted before std::bad_alloc propagates, so
  // nothing leaks.
  explicit SharedPtr(T* object = nullptr) : object_(object), count_(nullptr) {
    try {
      count_ = new (CountPool::allocate()) int(1);
    } catch (...) {
      delete object;
      throw;
    }
  }

  SharedPtr(const SharedPtr& other) : object_(other.object_), count_(other.count_) { ++*count_; }

  // Does nothing when both handles already share one count; otherwise lets
  // go of this handle's object first, then shares the other's.
  SharedPtr& operator=(const SharedPtr& other) {
    if (count_ == other.count_) return *this;
    // Take the new reference before releasing the old one: releasing may
    // destroy an object that owns `other`.
    T* object = other.object_;
    int* count = other.count_;
    ++*count;
    release();
    object_ = object;
    count_ = count;
    return *this;
  }

  ~SharedPtr() { release(); }

  T* get() const { return object_; }
  T& operator*() const { return *object_; }
  T* operator->() const { return object_; }
  bool isNull() const { return object_ == nullptr; }

  // Number of handles sharing this handle's count (1 for a fresh handle).
  int useCount() const { return *count_; }

  // Handles compare by the object they point at only.
  bool operator==(const SharedPtr& other) const { return object_ == other.object_; }
  bool operator!=(const SharedPtr& other) const { return object_ != other.object_; }

 private:
  void release() {
    if (--*count_ == 0) destroy();
  }

  // Kept out of line: inlined into a caller that holds several handles to
  // one count, the frees make GCC warn of a use after free on paths where
  // the count could not have reached zero.
  [[gnu::noinline]] void destroy() {
    delete object_;
    CountPool::release(count_);
  }

  typedef Common::FixedSizePool<8> CountPool;

  T* object_;
  int* count_;
};

#endif  // TELVANECLI_XML_SHARED_PTR_H

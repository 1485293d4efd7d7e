#ifndef TELVANECLI_COMMON_LIST_H
#define TELVANECLI_COMMON_LIST_H

// A doubly linked list around a sentinel node, and its iterator. Including this
// header also makes string::split and istring::split usable.

#include <iterator>
#include <new>
#include <type_traits>

#include "common/default_allocator.h"
#include "common/string.h"

namespace Common {

// The links of a list position. The sentinel is links alone: it holds no
// element, so an empty list constructs no T.
struct ListLinks {
  ListLinks* next;
  ListLinks* prev;
};

template <class T>
struct ListNode : ListLinks {
  explicit ListNode(const T& initial) : ListLinks{nullptr, nullptr}, value(initial) {}

  T value;
};

// Iterator over a list's nodes: Ref and Ptr are T& and T* for a mutable
// iterator, const T& and const T* for a read-only one. The end iterator holds
// the sentinel. Valid as long as its node stays in the list.
template <class T, class Ref, class Ptr>
struct ListIterator {
  typedef std::forward_iterator_tag iterator_category;
  typedef T value_type;
  typedef std::ptrdiff_t difference_type;
  typedef Ptr pointer;
  typedef Ref reference;

  ListIterator() : node(nullptr) {}
  explicit ListIterator(ListLinks* at) : node(at) {}
  // A mutable iterator converts to a read-only one, not the other way round.
  template <class OtherRef, class OtherPtr,
            class = typename std::enable_if<std::is_convertible<OtherPtr, Ptr>::value>::type>
  ListIterator(const ListIterator<T, OtherRef, OtherPtr>& other) : node(other.node) {}

  Ref operator*() const { return static_cast<ListNode<T>*>(node)->value; }
  Ptr operator->() const { return &static_cast<ListNode<T>*>(node)->value; }
  ListIterator& operator++() {
    node = node->next;
    return *this;
  }
  ListIterator operator++(int) {
    ListIterator before(*this);
    node = node->next;
    return before;
  }
  bool operator==(const ListIterator& other) const { return node == other.node; }
  bool operator!=(const ListIterator& other) const { return node != other.node; }

  ListLinks* node;
};

// A list of copies of T. A new list allocates nothing; its first operation
// other than empty(), reading ones included, creates the sentinel. References
// and iterators into the list stay valid until their element is erased or the
// list is cleared or destroyed. Allocation failures raise std::bad_alloc.
template <class T, class Alloc = DefaultAllocator>
class list {
 public:
  typedef ListIterator<T, T&, T*> iterator;
  typedef ListIterator<T, const T&, const T*> const_iterator;

  list() : head_(nullptr), headCreated_(false) {}
  list(const list& other) : list() {
    try {
      insert(end(), other.begin(), other.end());
    } catch (...) {
      destroy();
      throw;
    }
  }
  list& operator=(const list& other) {
    if (this != &other) {
      clear();
      insert(end(), other.begin(), other.end());
    }
    return *this;
  }
  ~list() { destroy(); }

  iterator begin() { return iterator(sentinel()->next); }
  iterator end() { return iterator(sentinel()); }
  const_iterator begin() const { return const_iterator(sentinel()->next); }
  const_iterator end() const { return const_iterator(sentinel()); }

  // The number of elements, counted.
  unsigned size() const {
    unsigned count = 0;
    for (const ListLinks* node = sentinel()->next; node != head_; node = node->next) ++count;
    return count;
  }

  // Whether the list has no element; unlike the other reading operations it
  // creates no sentinel.
  bool empty() const { return !headCreated_ || head_->next == head_; }

  // A new node holding a copy of value, linked just before position (before
  // end() appends).
  iterator insert(iterator position, const T& value) {
    sentinel();
    void* memory = allocator_.allocate(sizeof(Node));
    Node* node;
    try {
      node = ::new (memory) Node(value);
    } catch (...) {
      allocator_.deallocate(memory);
      throw;
    }
    ListLinks* before = position.node;
    node->next = before;
    node->prev = before->prev;
    before->prev->next = node;
    before->prev = node;
    return iterator(node);
  }

  // Copies of the elements from first up to last, in order, before position.
  template <class InputIterator>
  void insert(iterator position, InputIterator first, InputIterator last) {
    for (; first != last; ++first) insert(position, *first);
  }

  // Unlinks and destroys the element at position (not end()); returns the
  // iterator to the element that followed it.
  iterator erase(iterator position) {
    ListLinks* node = position.node;
    ListLinks* following = node->next;
    node->prev->next = following;
    following->prev = node->prev;
    freeNode(static_cast<Node*>(node));
    return iterator(following);
  }

  // Destroys every element; the sentinel stays.
  void clear() {
    ListLinks* sentinelNode = sentinel();
    ListLinks* node = sentinelNode->next;
    while (node != sentinelNode) {
      ListLinks* following = node->next;
      freeNode(static_cast<Node*>(node));
      node = following;
    }
    sentinelNode->next = sentinelNode;
    sentinelNode->prev = sentinelNode;
  }

 private:
  typedef ListNode<T> Node;

  ListLinks* sentinel() const {
    if (!headCreated_) {
      head_ = static_cast<ListLinks*>(allocator_.allocate(sizeof(ListLinks)));
      head_->next = head_;
      head_->prev = head_;
      headCreated_ = true;
    }
    return head_;
  }

  void freeNode(Node* node) {
    node->~Node();
    allocator_.deallocate(node);
  }

  void destroy() {
    if (!headCreated_) return;
    clear();
    allocator_.deallocate(head_);
    head_ = nullptr;
    headCreated_ = false;
  }

  // The sentinel is created on first use, by reading operations as well.
  mutable ListLinks* head_;
  mutable bool headCreated_;
  mutable Alloc allocator_;
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_LIST_H

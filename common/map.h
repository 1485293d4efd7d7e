#ifndef TELVANECLI_COMMON_MAP_H
#define TELVANECLI_COMMON_MAP_H

#include "common/convertible.h"
#include "common/list.h"
#include "common/pair.h"

namespace Common {

// Unique keys in ascending order of K's operator<, found by K's operator== in
// a linear walk; meant for a few dozen entries. References and iterators into
// the map stay valid until their entry is erased or the map is cleared or
// destroyed. A new map allocates nothing. Allocation failures raise
// std::bad_alloc; no operation reports an error of its own.
template <class K, class V, class Alloc = DefaultAllocator>
class map : public Convertible {
 public:
  typedef pair<K, V> value_type;
  typedef typename list<value_type, Alloc>::iterator iterator;
  typedef typename list<value_type, Alloc>::const_iterator const_iterator;

  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

  // The entry whose key equals key, or end().
  iterator find(const K& key) { return findIn<iterator>(entries_, key); }
  const_iterator find(const K& key) const { return findIn<const_iterator>(entries_, key); }

  // Adds a copy of entry at its ordered place (second true), or, when the key is
  // present, replaces that entry's value by a copy of entry.second (second
  // false). first designates the entry with that key.
  pair<iterator, bool> insert(const value_type& entry) {
    iterator position = end();
    bool positionFound = false;
    // One walk both looks for the key everywhere and notes the first key that
    // is not less than it, where a new entry goes.
    for (iterator it = begin(); it != end(); ++it) {
      if (it->first == entry.first) {
        it->second = entry.second;
        return pair<iterator, bool>(it, false);
      }
      if (!positionFound && !(it->first < entry.first)) {
        position = it;
        positionFound = true;
      }
    }
    return pair<iterator, bool>(entries_.insert(position, entry), true);
  }

  // The value for key; an absent key is added first with a default value.
  V& operator[](const K& key) {
    iterator found = find(key);
    if (found != end()) return found->second;
    return insert(value_type(key, V())).first->second;
  }

  // 1 when the entry with that key was removed, 0 when there was none.
  int erase(const K& key) {
    iterator found = find(key);
    if (found == end()) return 0;
    entries_.erase(found);
    return 1;
  }

  // The number of entries, counted.
  unsigned size() const { return entries_.size(); }
  void clear() { entries_.clear(); }

 private:
  template <class Iterator, class Entries>
  static Iterator findIn(Entries& entries, const K& key) {
    Iterator it = entries.begin();
    const Iterator last = entries.end();
    while (it != last && !(it->first == key)) ++it;
    return it;
  }

  list<value_type, Alloc> entries_;
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_MAP_H

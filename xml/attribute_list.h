#ifndef TELVANECLI_XML_ATTRIBUTE_LIST_H
#define TELVANECLI_XML_ATTRIBUTE_LIST_H

#include "common/string.h"

// One attribute: first is its name, second its value.
struct XmlAttribute {
  Common::string first;
  Common::string second;
};

// The attributes of an element, unique names in ascending order of
// Common::string's operator<, found by its operator==.
//
// Held in one heap block (none while empty) with room for three entries at
// first, then four, then twice as many each time: report elements have three
// or four. A report of a million elements holds a million small blocks
// instead of five million list nodes.
// Positions (plain pointers) stay valid while values are replaced; adding or
// removing an entry moves the entries after it. Not copyable. Allocation
// failures raise std::bad_alloc and leave the list unchanged.
class AttributeList {
 public:
  typedef XmlAttribute* iterator;
  typedef const XmlAttribute* const_iterator;

  AttributeList() = default;
  ~AttributeList();
  AttributeList(const AttributeList&) = delete;
  AttributeList& operator=(const AttributeList&) = delete;

  iterator begin() { return entries(); }
  iterator end() { return entries() + size(); }

  // The entry whose name equals name, or nullptr.
  const XmlAttribute* find(const Common::string& name) const;
  // Adds the entry at its ordered place, or replaces the value of the entry
  // with that name, which keeps its place.
  void set(const Common::string& name, const Common::string& value);
  // Removes the entry with that name; false when there was none.
  bool erase(const Common::string& name);

 private:
  struct Block {
    unsigned size;
    unsigned capacity;
  };

  static constexpr unsigned kFirstCapacity = 3;

  unsigned size() const { return block_ == nullptr ? 0 : block_->size; }
  XmlAttribute* entries() const {
    return block_ == nullptr ? nullptr : reinterpret_cast<XmlAttribute*>(block_ + 1);
  }
  // A block with room for capacity entries holding the current ones.
  Block* grown(unsigned capacity) const;

  Block* block_ = nullptr;
};

#endif  // TELVANECLI_XML_ATTRIBUTE_LIST_H

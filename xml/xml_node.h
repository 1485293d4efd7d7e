#ifndef TELVANECLI_XML_XML_NODE_H
#define TELVANECLI_XML_XML_NODE_H

#include <cstddef>

#include "common/fixed_size_pool.h"
#include "common/list.h"
#include "common/string.h"
#include "xml/attribute_list.h"
#include "xml/shared_ptr.h"

class XmlNode;

// Every reference to an element, a parent's child entries included, is a
// counted handle; an element is destroyed with its last handle.
typedef SharedPtr<XmlNode> XmlNodePtr;

// The allocation policy of child lists: their nodes and sentinels come from a
// pool of 32-byte slots instead of 48-byte heap blocks.
class ChildListAllocator {
 public:
  static constexpr std::size_t kSlotSize = 32;
  void* allocate(std::size_t size) {
    if (size > kSlotSize) throw std::bad_alloc();
    return Common::FixedSizePool<kSlotSize>::allocate();
  }
  void deallocate(void* pointer) { Common::FixedSizePool<kSlotSize>::release(pointer); }
};
static_assert(sizeof(Common::ListNode<XmlNodePtr>) <= ChildListAllocator::kSlotSize,
              "a child list node fits a slot");

// One element of a document tree: a name, character data, attributes kept in
// ascending byte order of their names, and child handles in the order they
// were added. An element knows nothing of its parents, may be the child of
// several parents at once and may appear more than once in one child list.
// A tree must not contain cycles: destruction and every walk recurse.
//
// Names, texts and values are stored byte for byte; nothing is escaped or
// unescaped here.
class XmlNode {
 public:
  typedef AttributeList AttributeMap;
  typedef Common::list<XmlNodePtr, ChildListAllocator> ChildList;
  typedef AttributeMap::iterator AttributeIterator;
  typedef ChildList::iterator ChildIterator;

  // A node with `name`, empty text, no attributes and no children.
  explicit XmlNode(const Common::string& name);
  // Releases every child handle: children that no other handle holds are
  // destroyed with their subtrees, the others survive intact.
  ~XmlNode();

  XmlNode(const XmlNode&) = delete;
  XmlNode& operator=(const XmlNode&) = delete;

  // Nodes come from a pool of slots of their size: a large report has a
  // million of them. std::bad_alloc as with the general heap.
  static void* operator new(std::size_t size);
  static void operator delete(void* node, std::size_t size) noexcept;

  Common::string getName() const { return name_; }
  void setName(const Common::string& name) { name_ = name; }
  Common::string getText() const { return text_; }
  void setText(const Common::string& text) { text_ = text; }

  // The value stored under `key`, or the empty string; never adds the key.
  Common::string getAttribute(const Common::string& key) const;
  // Adds the pair at its place in key order, or replaces the value of an
  // existing key, which keeps its place.
  void setAttribute(const Common::string& key, const Common::string& value);
  // Erases the entry; false (and no change) when there was none.
  bool removeAttribute(const Common::string& key);
  // Attributes as (first = name, second = value) pairs in ascending unsigned
  // byte order of the names. Positions stay valid while values are replaced;
  // adding or removing an attribute invalidates them.
  AttributeIterator attributesBegin() { return attributes_.begin(); }
  AttributeIterator attributesEnd() { return attributes_.end(); }

  // Appends a handle to `child` at the end of the child list.
  void addChild(XmlNodePtr child);
  // Removes every entry of the child list that points at the same node as
  // `child`; the other entries keep their order. No effect when `child` is
  // not a child.
  void removeChild(XmlNodePtr child);
  // Releases every child handle and empties the child list.
  void removeAllChildren();
  // Whether the child list has an entry. Unlike childrenBegin, costs no
  // allocation on a node that never had children.
  bool hasChildren() const { return !children_.empty(); }
  // Child handles in list order. Positions stay valid while other entries are
  // added or removed.
  ChildIterator childrenBegin() { return children_.begin(); }
  ChildIterator childrenEnd() { return children_.end(); }

  // The first child, in list order, whose name equals `name` byte for byte.
  // Never a null handle: on a miss, a new node named "null" without text,
  // attributes or children that belongs to no tree.
  XmlNodePtr findChild(const Common::string& name);

 private:
  Common::string name_;
  Common::string text_;
  AttributeMap attributes_;
  ChildList children_;
};

#endif  // TELVANECLI_XML_XML_NODE_H

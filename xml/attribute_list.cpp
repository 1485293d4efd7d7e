#include "xml/attribute_list.h"

#include <new>

AttributeList::~AttributeList() {
  if (block_ == nullptr) return;
  XmlAttribute* first = entries();
  for (unsigned i = 0; i < block_->size; ++i) first[i].~XmlAttribute();
  ::operator delete(block_);
}

const XmlAttribute* AttributeList::find(const Common::string& name) const {
  const XmlAttribute* first = entries();
  for (unsigned i = 0; i < size(); ++i) {
    if (first[i].first == name) return &first[i];
  }
  return nullptr;
}

AttributeList::Block* AttributeList::grown(unsigned capacity) const {
  static_assert(sizeof(Block) % alignof(XmlAttribute) == 0, "entries stay aligned");
  Block* block =
      static_cast<Block*>(::operator new(sizeof(Block) + capacity * sizeof(XmlAttribute)));
  block->size = size();
  block->capacity = capacity;
  XmlAttribute* target = reinterpret_cast<XmlAttribute*>(block + 1);
  XmlAttribute* source = entries();
  // Copying a string only raises its count, so this cannot fail.
  for (unsigned i = 0; i < block->size; ++i) new (&target[i]) XmlAttribute(source[i]);
  return block;
}

void AttributeList::set(const Common::string& name, const Common::string& value) {
  // One walk finds an equal name anywhere, and the first name that is not
  // smaller, where a new entry goes.
  unsigned position = size();
  bool positionFound = false;
  XmlAttribute* first = entries();
  for (unsigned i = 0; i < size(); ++i) {
    if (first[i].first == name) {
      first[i].second = value;
      return;
    }
    if (!positionFound && !(first[i].first < name)) {
      position = i;
      positionFound = true;
    }
  }
  if (block_ == nullptr || block_->size == block_->capacity) {
    unsigned capacity = kFirstCapacity;
    if (block_ != nullptr) capacity = block_->capacity < 4 ? 4 : 2 * block_->capacity;
    Block* block = grown(capacity);
    if (block_ != nullptr) {
      for (unsigned i = 0; i < block_->size; ++i) first[i].~XmlAttribute();
      ::operator delete(block_);
    }
    block_ = block;
    first = entries();
  }
  const unsigned count = block_->size;
  if (position == count) {
    new (&first[count]) XmlAttribute{name, value};
  } else {
    new (&first[count]) XmlAttribute(first[count - 1]);
    for (unsigned i = count - 1; i > position; --i) first[i] = first[i - 1];
    first[position].first = name;
    first[position].second = value;
  }
  ++block_->size;
}

bool AttributeList::erase(const Common::string& name) {
  XmlAttribute* first = entries();
  for (unsigned i = 0; i < size(); ++i) {
    if (!(first[i].first == name)) continue;
    for (unsigned j = i + 1; j < block_->size; ++j) first[j - 1] = first[j];
    first[block_->size - 1].~XmlAttribute();
    --block_->size;
    return true;
  }
  return false;
}

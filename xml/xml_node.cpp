#include "xml/xml_node.h"

namespace {

// Rounded up to keep pointer alignment from slot to slot.
constexpr std::size_t kNodeSlot =
    (sizeof(XmlNode) + alignof(void*) - 1) / alignof(void*) * alignof(void*);
typedef Common::FixedSizePool<kNodeSlot> NodePool;

}  // namespace

void* XmlNode::operator new(std::size_t size) {
  return size == sizeof(XmlNode) ? NodePool::allocate() : ::operator new(size);
}

void XmlNode::operator delete(void* node, std::size_t size) noexcept {
  if (size == sizeof(XmlNode)) {
    NodePool::release(node);
  } else {
    ::operator delete(node);
  }
}

XmlNode::XmlNode(const Common::string& name) : name_(name) {}

XmlNode::~XmlNode() = default;

Common::string XmlNode::getAttribute(const Common::string& key) const {
  const XmlAttribute* found = attributes_.find(key);
  if (found == nullptr) return Common::string();
  return found->second;
}

void XmlNode::setAttribute(const Common::string& key, const Common::string& value) {
  attributes_.set(key, value);
}

bool XmlNode::removeAttribute(const Common::string& key) { return attributes_.erase(key); }

void XmlNode::addChild(XmlNodePtr child) { children_.insert(children_.end(), child); }

void XmlNode::removeChild(XmlNodePtr child) {
  ChildIterator position = children_.begin();
  while (position != children_.end()) {
    if (*position == child) {
      position = children_.erase(position);
    } else {
      ++position;
    }
  }
}

XmlNodePtr XmlNode::findChild(const Common::string& name) {
  for (ChildIterator position = children_.begin(); position != children_.end(); ++position) {
    if ((*position)->name_ == name) return *position;
  }
  return XmlNodePtr(new XmlNode(Common::string("null")));
}

void XmlNode::removeAllChildren() { children_.clear(); }

#ifndef TELVANECLI_INVENTORY_CLASS_READ_FAILURE_H
#define TELVANECLI_INVENTORY_CLASS_READ_FAILURE_H

namespace cim {
class Exception;
}  // namespace cim

namespace inventory {

// What a failure of a class's requests means for the rest of the collection.
enum class ClassReadFailure {
  kClassMissing,     // the server has no such class: skipped silently, like one without instances
  kClassUnreadable,  // only this class is lost: a warning, then the next class is read
  kConnectionLost,   // the server cannot be reached any more: the collection stops
};

// CIM status INVALID_CLASS or NOT_FOUND is a missing class; a socket or TLS failure a lost
// connection; every other failure (another CIM status, an HTTP error, a response that cannot
// be decoded) concerns the one class.
ClassReadFailure classifyReadFailure(const cim::Exception& failure);

}  // namespace inventory

#endif  // TELVANECLI_INVENTORY_CLASS_READ_FAILURE_H

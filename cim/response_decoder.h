#ifndef TELVANECLI_CIM_RESPONSE_DECODER_H
#define TELVANECLI_CIM_RESPONSE_DECODER_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cim/class.h"
#include "cim/instance.h"

namespace cim {

// Decodes the CIM-XML body of the response to one intrinsic method call while
// the body arrives, piece by piece, so the body itself is never stored.
//
// It accepts what real servers send even where it breaks the DTD (a TYPE on
// VALUE instead of on the property, EMBEDDEDOBJECT in capitals, no
// IRETURNVALUE for an empty result, letter case of booleans and CIM names)
// and rejects a body that is not well-formed XML, that does not have the
// structure of a CIM-XML response, that answers another method, or whose
// values do not fit their types. Entity declarations are refused. In a UTF-8
// body, bytes that are not valid UTF-8 and characters XML 1.0 forbids become
// U+FFFD before parsing (see utf8_repair.h), so they cost the value that
// holds them, not the response.
//
// feed and finish never throw (they run inside the HTTP library's callbacks):
// a failure is kept, and rethrowFailure throws it afterwards.
class ResponseDecoder {
 public:
  enum ResultKind {
    kOneClass,   // IRETURNVALUE holds exactly one CLASS
    kInstances,  // IRETURNVALUE holds VALUE.NAMEDINSTANCE or INSTANCE elements
  };

  // method: the intrinsic method called, e.g. "GetClass"; the response must
  // name it.
  ResponseDecoder(const std::string& method, ResultKind kind);
  ~ResponseDecoder();
  ResponseDecoder(const ResponseDecoder&) = delete;
  ResponseDecoder& operator=(const ResponseDecoder&) = delete;

  // The charset the Content-Type header named; it overrides the XML
  // declaration. Without it the declaration holds (UTF-8 when there is none),
  // and the first bytes of the body are held until it is complete (at most
  // kMaxDocumentStartBytes). Only before the first feed.
  void setEncoding(const std::string& encoding);

  // Called with each instance as soon as its element ends; the instance is
  // valid during the call only.
  typedef std::function<void(const CIMInstance&)> InstanceHandler;
  // Hands instances to handler instead of keeping them for takeInstances, so
  // a large enumeration is never held whole. An exception from handler stops
  // the decoding and is the failure rethrowFailure throws. Only before the
  // first feed.
  void setInstanceHandler(InstanceHandler handler);

  // Decodes the next piece of the body. Returns false once decoding failed.
  bool feed(const char* data, std::size_t size) noexcept;
  // Ends the body: false when the document is incomplete or lacks the result.
  bool finish() noexcept;

  bool failed() const;
  // Throws the kept failure: Exception with "response is not valid CIM-XML:
  // line L, column C: reason", or what the failure was (std::bad_alloc).
  // Does nothing when nothing failed.
  void rethrowFailure() const;

  // Results, valid after finish() returned true.
  // Whether the body held an ERROR element, and its code and description.
  bool hasError() const;
  int errorCode() const;
  const std::string& errorDescription() const;
  // The class (kOneClass) or the instances in received order (kInstances).
  std::vector<CIMClass> takeClasses();
  std::vector<CIMInstance> takeInstances();

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_RESPONSE_DECODER_H

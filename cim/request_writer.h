#ifndef TELVANECLI_CIM_REQUEST_WRITER_H
#define TELVANECLI_CIM_REQUEST_WRITER_H

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cim {

// One intrinsic method call on a class, as it goes into the request body.
struct IMethodCall {
  std::string method;     // "GetClass", "EnumerateInstances"
  std::string nameSpace;  // "root/quorvin"
  std::string className;
  std::vector<std::pair<const char*, bool>> flags;         // boolean parameters, in this order
  const std::vector<std::string>* propertyList = nullptr;  // nullptr: all properties
};

// The CIM-XML request body of the call (valid against DSP0203 2.3.1):
// the namespace split at "/" into NAMESPACE elements (empty parts dropped),
// ClassName, the flags as TRUE/FALSE, then PropertyList when given. Text is
// XML-escaped. messageId goes into MESSAGE/@ID.
std::string writeIMethodCall(const IMethodCall& call, unsigned messageId);

// The namespace split at "/" without empty parts; empty when it has no part.
std::vector<std::string> namespaceParts(const std::string& nameSpace);

// A value for the CIMObject or CIMMethod header: every byte but ASCII letters,
// digits and "-._~" percent-encoded with upper-case hex ("root%2Fcimv2").
std::string encodeHeaderValue(std::string_view value);

}  // namespace cim

#endif  // TELVANECLI_CIM_REQUEST_WRITER_H

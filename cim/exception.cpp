#include "cim/exception.h"

#include "cim/printable.h"

namespace cim {
namespace {

struct StatusText {
  const char* name;
  const char* meaning;
};

// Indexed by CIM status code; codes 18 and 19 are unused.
const StatusText kStatusTexts[] = {
    {nullptr, nullptr},
    {"CIM_ERR_FAILED", "general failure"},
    {"CIM_ERR_ACCESS_DENIED", "access denied"},
    {"CIM_ERR_INVALID_NAMESPACE", "the namespace does not exist"},
    {"CIM_ERR_INVALID_PARAMETER", "a parameter is not valid"},
    {"CIM_ERR_INVALID_CLASS", "the class does not exist"},
    {"CIM_ERR_NOT_FOUND", "the requested object was not found"},
    {"CIM_ERR_NOT_SUPPORTED", "the operation is not supported"},
    {"CIM_ERR_CLASS_HAS_CHILDREN", "the class has subclasses"},
    {"CIM_ERR_CLASS_HAS_INSTANCES", "the class has instances"},
    {"CIM_ERR_INVALID_SUPERCLASS", "the superclass does not exist"},
    {"CIM_ERR_ALREADY_EXISTS", "the object already exists"},
    {"CIM_ERR_NO_SUCH_PROPERTY", "the property does not exist"},
    {"CIM_ERR_TYPE_MISMATCH", "the value has the wrong type"},
    {"CIM_ERR_QUERY_LANGUAGE_NOT_SUPPORTED", "the query language is not supported"},
    {"CIM_ERR_INVALID_QUERY", "the query is not valid"},
    {"CIM_ERR_METHOD_NOT_AVAILABLE", "the method is not available"},
    {"CIM_ERR_METHOD_NOT_FOUND", "the method does not exist"},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {"CIM_ERR_NAMESPACE_NOT_EMPTY", "the namespace is not empty"},
    {"CIM_ERR_INVALID_ENUMERATION_CONTEXT", "the enumeration context is not valid"},
    {"CIM_ERR_INVALID_OPERATION_TIMEOUT", "the operation timeout is not valid"},
    {"CIM_ERR_PULL_HAS_BEEN_ABANDONED", "the pull operation has been abandoned"},
    {"CIM_ERR_PULL_CANNOT_BE_ABANDONED", "the pull operation cannot be abandoned"},
    {"CIM_ERR_FILTERED_ENUMERATION_NOT_SUPPORTED", "filtered enumeration is not supported"},
    {"CIM_ERR_CONTINUATION_ON_ERROR_NOT_SUPPORTED", "continuation on error is not supported"},
    {"CIM_ERR_SERVER_LIMITS_EXCEEDED", "the server's limits were exceeded"},
    {"CIM_ERR_SERVER_IS_SHUTTING_DOWN", "the server is shutting down"},
};

const StatusText* findStatus(int statusCode) {
  const int count = static_cast<int>(sizeof(kStatusTexts) / sizeof(kStatusTexts[0]));
  if (statusCode <= 0 || statusCode >= count || kStatusTexts[statusCode].name == nullptr) {
    return nullptr;
  }
  return &kStatusTexts[statusCode];
}

std::string cimMessage(int statusCode, const std::string& description) {
  const std::string name = CIMException::statusName(statusCode);
  if (description.empty()) {
    const StatusText* status = findStatus(statusCode);
    return status ? name + ": " + status->meaning : name;
  }
  if (description.compare(0, name.size(), name) == 0) return description;
  return name + ": " + description;
}

}  // namespace

Exception::Exception(const std::string& message) : message_(neutralizeControls(message)) {}

HTTPException::HTTPException(const std::string& message, long statusCode,
                             const std::string& cimError)
    : Exception(message), statusCode_(statusCode), cimError_(neutralizeControls(cimError)) {}

SocketException::SocketException(const std::string& message, Reason reason)
    : Exception(message), reason_(reason) {}

SSLException::SSLException(const std::string& message) : SocketException(message, kOther) {}

CIMException::CIMException(int statusCode, const std::string& description)
    : Exception(cimMessage(statusCode, description)),
      statusCode_(statusCode),
      description_(neutralizeControls(description)) {}

std::string CIMException::statusName(int statusCode) {
  const StatusText* status = findStatus(statusCode);
  return status ? status->name : "CIM status " + std::to_string(statusCode);
}

}  // namespace cim

#include "cim/client.h"

#include "cim/exception.h"
#include "cim/http_session.h"
#include "cim/names.h"
#include "cim/request_writer.h"
#include "cim/response_decoder.h"
#include "cim/service_url.h"

namespace cim {

class CIMClient::Impl {
 public:
  Impl(const std::string& url, const std::string& nameSpace, const Timeouts& timeouts,
       const TlsSettings& tls)
      : nameSpace_(nameSpace), session_(parseServiceUrl(url), timeouts, tls) {
    if (namespaceParts(nameSpace).empty()) {
      throw Exception("the CIM namespace '" + nameSpace + "' has no name in it");
    }
  }

  // Sends the call and decodes its response into decoder.
  void call(IMethodCall& call, ResponseDecoder& decoder) {
    call.nameSpace = nameSpace_;
    session_.post(call.method, nameSpace_, writeIMethodCall(call, ++messageId_), decoder);
  }

 private:
  const std::string nameSpace_;
  HttpSession session_;
  unsigned messageId_ = 0;
};

CIMClient::CIMClient(const std::string& url, const std::string& ns, const Timeouts& timeouts,
                     const TlsSettings& tls)
    : impl_(std::make_unique<Impl>(url, ns, timeouts, tls)) {}

CIMClient::~CIMClient() = default;

namespace {

// A call of method on className; the caller adds the method's flags.
IMethodCall methodCall(const char* method, const std::string& className,
                       const std::vector<std::string>* propertyList) {
  IMethodCall call;
  call.method = method;
  call.className = className;
  call.propertyList = propertyList;
  return call;
}

IMethodCall enumerateInstancesCall(const std::string& className, DeepFlag deep,
                                   LocalOnlyFlag localOnly, IncludeQualifiersFlag includeQualifiers,
                                   IncludeClassOriginFlag includeClassOrigin,
                                   const std::vector<std::string>* propertyList) {
  IMethodCall call = methodCall("EnumerateInstances", className, propertyList);
  call.flags = {{"LocalOnly", localOnly == kLocalOnly},
                {"DeepInheritance", deep == kDeep},
                {"IncludeQualifiers", includeQualifiers == kIncludeQualifiers},
                {"IncludeClassOrigin", includeClassOrigin == kIncludeClassOrigin}};
  return call;
}

}  // namespace

CIMClass CIMClient::getClass(const std::string& className, LocalOnlyFlag localOnly,
                             IncludeQualifiersFlag includeQualifiers,
                             IncludeClassOriginFlag includeClassOrigin,
                             const std::vector<std::string>* propertyList) {
  IMethodCall call = methodCall("GetClass", className, propertyList);
  call.flags = {{"LocalOnly", localOnly == kLocalOnly},
                {"IncludeQualifiers", includeQualifiers == kIncludeQualifiers},
                {"IncludeClassOrigin", includeClassOrigin == kIncludeClassOrigin}};
  ResponseDecoder decoder(call.method, ResponseDecoder::kOneClass);
  impl_->call(call, decoder);
  CIMClass cls = std::move(decoder.takeClasses().front());
  if (!equalsIgnoreCase(cls.getName(), className)) {
    throw Exception("response is not valid CIM-XML: the GetClass response holds the class " +
                    cls.getName() + " instead of " + className);
  }
  return cls;
}

CIMInstanceEnumeration CIMClient::enumInstancesE(const std::string& className, DeepFlag deep,
                                                 LocalOnlyFlag localOnly,
                                                 IncludeQualifiersFlag includeQualifiers,
                                                 IncludeClassOriginFlag includeClassOrigin,
                                                 const std::vector<std::string>* propertyList) {
  IMethodCall call = enumerateInstancesCall(className, deep, localOnly, includeQualifiers,
                                            includeClassOrigin, propertyList);
  ResponseDecoder decoder(call.method, ResponseDecoder::kInstances);
  impl_->call(call, decoder);
  return CIMInstanceEnumeration(decoder.takeInstances());
}

std::size_t CIMClient::enumInstances(const std::string& className,
                                     const std::function<void(const CIMInstance&)>& handler,
                                     DeepFlag deep, LocalOnlyFlag localOnly,
                                     IncludeQualifiersFlag includeQualifiers,
                                     IncludeClassOriginFlag includeClassOrigin,
                                     const std::vector<std::string>* propertyList) {
  IMethodCall call = enumerateInstancesCall(className, deep, localOnly, includeQualifiers,
                                            includeClassOrigin, propertyList);
  ResponseDecoder decoder(call.method, ResponseDecoder::kInstances);
  std::size_t count = 0;
  decoder.setInstanceHandler([&](const CIMInstance& instance) {
    handler(instance);
    ++count;
  });
  impl_->call(call, decoder);
  return count;
}

}  // namespace cim

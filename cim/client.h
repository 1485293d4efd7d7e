#ifndef TELVANECLI_CIM_CLIENT_H
#define TELVANECLI_CIM_CLIENT_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cim/class.h"
#include "cim/instance_enumeration.h"
#include "cim/timeouts.h"
#include "cim/tls_settings.h"

namespace cim {

enum LocalOnlyFlag { kNotLocalOnly, kLocalOnly };
enum DeepFlag { kShallow, kDeep };
enum IncludeQualifiersFlag { kExcludeQualifiers, kIncludeQualifiers };
enum IncludeClassOriginFlag { kExcludeClassOrigin, kIncludeClassOrigin };

// A CIM-XML client of one CIM server and namespace.
//
// All requests of a client go over one HTTP connection that is kept open
// between them (it is opened again if the server closed it). Responses are
// decoded while they arrive; gzip and deflate bodies are accepted. TLS
// certificates are verified only when the TLS settings name CA certificates:
// managed servers ship self-signed ones.
// Proxy settings of the environment are ignored. Not for use from several
// threads at once.
class CIMClient {
 public:
  // url: "https://" or "http://", then optionally user [":" password] "@"
  // (percent-encoded), the host (a name, an IPv4 address or a bracketed IPv6
  // literal), optionally ":" port, then "/" or a path. The default ports are
  // 5989 for https and 5988 for http; requests go to "/cimom" unless the URL
  // names another path. ns: the CIM namespace, e.g. "root/cimv2". tls: how
  // the server's certificate is checked; the settings are copied.
  // Makes no connection yet. Throws Exception when the URL is not of this
  // form (the message never contains the password).
  CIMClient(const std::string& url, const std::string& ns, const Timeouts& timeouts = Timeouts(),
            const TlsSettings& tls = TlsSettings());
  ~CIMClient();
  CIMClient(const CIMClient&) = delete;
  CIMClient& operator=(const CIMClient&) = delete;

  // GetClass. propertyList nullptr: all properties.
  // Throws HTTPException, SocketException (SSLException), CIMException, or
  // Exception for any other failure (host not resolvable, a response that is
  // not valid CIM-XML, ...).
  CIMClass getClass(const std::string& className, LocalOnlyFlag localOnly = kNotLocalOnly,
                    IncludeQualifiersFlag includeQualifiers = kIncludeQualifiers,
                    IncludeClassOriginFlag includeClassOrigin = kIncludeClassOrigin,
                    const std::vector<std::string>* propertyList = nullptr);

  // EnumerateInstances of the class and its subclasses, in the order the
  // server returned them. Throws as getClass does.
  CIMInstanceEnumeration enumInstancesE(
      const std::string& className, DeepFlag deep = kDeep, LocalOnlyFlag localOnly = kNotLocalOnly,
      IncludeQualifiersFlag includeQualifiers = kIncludeQualifiers,
      IncludeClassOriginFlag includeClassOrigin = kIncludeClassOrigin,
      const std::vector<std::string>* propertyList = nullptr);

  // EnumerateInstances as enumInstancesE, but each instance goes to handler
  // as soon as it is decoded, in the order the server sent it, instead of
  // being kept: memory stays bounded by one instance however large the
  // enumeration. The instance is valid during the call only. Returns how many
  // instances were handed over. Throws as getClass does, and what handler
  // throws; when it throws, the instances handed over so far came from a
  // response that did not complete.
  std::size_t enumInstances(const std::string& className,
                            const std::function<void(const CIMInstance&)>& handler,
                            DeepFlag deep = kDeep, LocalOnlyFlag localOnly = kNotLocalOnly,
                            IncludeQualifiersFlag includeQualifiers = kIncludeQualifiers,
                            IncludeClassOriginFlag includeClassOrigin = kIncludeClassOrigin,
                            const std::vector<std::string>* propertyList = nullptr);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_CLIENT_H

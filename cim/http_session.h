#ifndef TELVANECLI_CIM_HTTP_SESSION_H
#define TELVANECLI_CIM_HTTP_SESSION_H

#include <memory>
#include <string>

#include "cim/service_url.h"
#include "cim/timeouts.h"
#include "cim/tls_settings.h"

namespace cim {

class ResponseDecoder;

// The HTTP side of a client: one libcurl handle whose connection is kept
// open from one request to the next (and opened again when the server closed
// it). TLS with the certificate checks tls asks for (none by default), Basic
// authentication sent with the first request, gzip and deflate bodies, no
// proxy, no redirects.
class HttpSession {
 public:
  HttpSession(const ServiceAddress& address, const Timeouts& timeouts, const TlsSettings& tls);
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  // Posts one CIM-XML request (method for the CIMMethod header, nameSpace
  // for CIMObject, body as written) and feeds the body of a 200 response to
  // decoder while it arrives. Returns once decoder holds a complete response
  // that reports no CIM error. Throws:
  //   HTTPException   a status other than 200, or a reply that is not HTTP
  //   SocketException refused, connect timed out, lost, or silent for the
  //                   stall timeout; SSLException for TLS failures, a
  //                   certificate that fails verification among them
  //   CIMException    an ERROR element, or a CIMStatusCode header or trailer
  //                   (which overrides the body)
  //   Exception       host name not resolvable, body not decodable, ...
  void post(const std::string& method, const std::string& nameSpace, const std::string& body,
            ResponseDecoder& decoder);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_HTTP_SESSION_H

#ifndef TELVANECLI_CIM_SERVICE_URL_H
#define TELVANECLI_CIM_SERVICE_URL_H

#include <string>

namespace cim {

// Where a client sends its requests, and as whom, taken from its URL.
struct ServiceAddress {
  bool useTls = true;
  std::string host;  // without brackets; an IPv6 zone as "%zone"
  bool isIpv6Literal = false;
  unsigned port = 0;
  std::string path;  // "/cimom" unless the URL named another path
  bool hasCredentials = false;
  std::string user;  // percent-decoded
  std::string password;

  // The URL handed to the HTTP library: scheme, host, port and path, never
  // the credentials.
  std::string requestUrl() const;
  // "host:port" ("[v6]:port") for messages.
  std::string hostAndPort() const;
};

// Splits "scheme://[user[:password]@]host[:port][/path]". The credentials are
// percent-decoded; everything up to the last "@" counts as credentials, so a
// password never leaks into the host. Throws Exception for another scheme, a
// missing or malformed host, a bad port, a query or fragment, or credentials
// that are not validly percent-encoded; the message never holds the password.
ServiceAddress parseServiceUrl(const std::string& url);

}  // namespace cim

#endif  // TELVANECLI_CIM_SERVICE_URL_H

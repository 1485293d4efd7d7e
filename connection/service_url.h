#ifndef TELVANECLI_CONNECTION_SERVICE_URL_H
#define TELVANECLI_CONNECTION_SERVICE_URL_H

#include <string>

#include "common/string.h"

namespace connection {

// The URL of the server's CIM-XML service, for cim::CIMClient:
// "https://" user [":" password] "@" host "/", the ":" password part only
// when the password is not empty. User and password are percent-encoded
// (every byte but ASCII letters, digits and "-._~"), so they reach the server
// exactly as typed whatever they hold.
//
// server is a host name, an IPv4 address, an IPv6 literal (put in brackets
// here when it has none), or any of them with ":" port ("[v6]:port"). Bytes
// that would end the host part of a URL ("/", "?", "#", "@", spaces, control
// characters, "%") are percent-encoded, so the client refuses such a host
// instead of reading part of it as a path; no port means the client's
// default, 5989.
std::string buildServiceUrl(const Common::string& server, const Common::string& user,
                            const Common::string& password);

}  // namespace connection

#endif  // TELVANECLI_CONNECTION_SERVICE_URL_H

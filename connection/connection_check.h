#ifndef TELVANECLI_CONNECTION_CONNECTION_CHECK_H
#define TELVANECLI_CONNECTION_CONNECTION_CHECK_H

#include "cim/tls_settings.h"
#include "common/string.h"

namespace connection {

// Opens a CIM-XML client on the server's service (see buildServiceUrl) in the
// namespace "root/quorvin", asks for the class NVX_ComputerSystem and closes
// the client again; the client checks the server's certificate as tls says
// (see loadTlsSettings). Returns, printing nothing, when that worked. Otherwise it
// prints one "Error: " line on standard output and ends the process:
//   2  the connection was refused or timed out ("Unable to connect to server.")
//   3  the credentials were rejected (fixed message)
//   4  any other HTTP failure, with its message
//   5  any other socket or TLS failure (a certificate that fails
//      verification among them), with its message
//   1  any other failure: host name not resolvable, CIM error from the
//      server, a reply that cannot be decoded, ... with its message
// No message contains the password.
void checkConnection(const Common::string& server, const Common::string& user,
                     const Common::string& password, const cim::TlsSettings& tls);

}  // namespace connection

#endif  // TELVANECLI_CONNECTION_CONNECTION_CHECK_H

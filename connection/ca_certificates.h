#ifndef TELVANECLI_CONNECTION_CA_CERTIFICATES_H
#define TELVANECLI_CONNECTION_CA_CERTIFICATES_H

#include "cim/tls_settings.h"
#include "common/string.h"

namespace connection {

// The TLS settings of the run's clients. An empty path gives the default: the
// server's certificate is not verified. Otherwise the CA certificates in the
// PEM file at path are read now, and the clients verify the server's
// certificate against them (see cim::TlsSettings). When the file cannot be
// read or holds no certificate, prints
//   "Error: Unable to use the CA certificates in '<path>': <reason>."
// on standard output and ends the process with 5, before any connection.
cim::TlsSettings loadTlsSettings(const Common::string& path);

}  // namespace connection

#endif  // TELVANECLI_CONNECTION_CA_CERTIFICATES_H

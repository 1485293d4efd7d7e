#ifndef TELVANECLI_CIM_TLS_SETTINGS_H
#define TELVANECLI_CIM_TLS_SETTINGS_H

#include <cstddef>
#include <string>

namespace cim {

// How a client treats the server's certificate. The default verifies nothing
// and accepts any certificate: managed servers ship self-signed ones.
struct TlsSettings {
  // PEM text of the CA certificates the server is checked against: its
  // certificate chain must lead to one of them (and to no other), every
  // certificate of it must be valid now, and the server's certificate must
  // name the host of the URL. Empty: no verification.
  std::string caCertificates;
};

// A CA certificates file larger than this is refused.
inline constexpr std::size_t kMaxCaCertificatesBytes = std::size_t{16} << 20;

// Reads the PEM file at path into settings, so that clients made with them
// verify the server's certificate. Reads no further than
// kMaxCaCertificatesBytes. Returns false, leaving settings as they were and
// setting reason, when the file cannot be read (the system's reason, such as
// "No such file or directory"), is too large, holds a certificate that cannot
// be read (the TLS library's reason), or holds no certificate at all.
bool loadCaCertificates(const std::string& path, TlsSettings& settings, std::string& reason);

}  // namespace cim

#endif  // TELVANECLI_CIM_TLS_SETTINGS_H

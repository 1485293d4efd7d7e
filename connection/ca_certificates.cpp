#include "connection/ca_certificates.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/exit_codes.h"

namespace connection {

cim::TlsSettings loadTlsSettings(const Common::string& path) {
  cim::TlsSettings settings;
  if (path.empty()) return settings;
  std::string reason;
  if (!cim::loadCaCertificates(std::string(path.c_str(), path.length()), settings, reason)) {
    std::printf(cli::kMessageCaCertificates, path.c_str(), reason.c_str());
    std::exit(cli::kExitSocketFailure);
  }
  return settings;
}

}  // namespace connection

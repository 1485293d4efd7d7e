#include "connection/connection_check.h"

#include <cstdio>
#include <cstdlib>

#include "cim/client.h"
#include "cim/exception.h"
#include "connection/failure_report.h"
#include "connection/service_url.h"

namespace connection {
namespace {

constexpr char kNamespace[] = "root/quorvin";
constexpr char kProbeClass[] = "NVX_ComputerSystem";

}  // namespace

void checkConnection(const Common::string& server, const Common::string& user,
                     const Common::string& password, const cim::TlsSettings& tls) {
  const std::string url = buildServiceUrl(server, user, password);
  FailureReport report;
  try {
    cim::CIMClient client(url, kNamespace, cim::Timeouts(), tls);
    // Not local only, with qualifiers and class origins, all properties; only
    // success counts, the class itself is not used.
    client.getClass(kProbeClass, cim::kNotLocalOnly, cim::kIncludeQualifiers,
                    cim::kIncludeClassOrigin);
    return;
  } catch (const cim::Exception& failure) {
    report = reportFailure(failure);
  }
  // Ended outside the handler: exit does not unwind, so an exception still
  // being handled would never be freed.
  std::fputs(report.output.c_str(), stdout);
  std::exit(report.exitCode);
}

}  // namespace connection

// Test driver of the collector alone, without the connection check before it:
// reads the classes the filter selects with the TLS settings of --cacert
// CAFILE, and prints "complete" or "incomplete" (the collector's warnings go
// to standard error). A CAFILE that cannot be used ends it with 5.
//
//   collect_driver SERVER USER PASSWORD FILTER CAFILE
#include <cstdio>

#include "connection/ca_certificates.h"
#include "inventory/collector.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: collect_driver SERVER USER PASSWORD FILTER CAFILE\n");
    return 64;
  }
  const cim::TlsSettings tls = connection::loadTlsSettings(Common::string(argv[5]));
  XmlNodePtr report;
  const inventory::CollectionOutcome outcome = inventory::collectInventory(
      report, Common::istring(argv[4]), Common::string(argv[1]), Common::string(argv[2]),
      Common::string(argv[3]), tls, Common::string("none"), nullptr,
      "/nonexistent/ProviderClassNames.txt");
  std::printf(outcome == inventory::CollectionOutcome::kComplete ? "complete\n" : "incomplete\n");
  return 0;
}

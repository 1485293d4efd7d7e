#include "cli/run.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <new>

#include "cli/exit_codes.h"
#include "cli/options.h"
#include "cli/report_destination.h"
#include "cli/version.h"
#include "connection/ca_certificates.h"
#include "connection/connection_check.h"
#include "inventory/class_catalogue.h"
#include "inventory/collector.h"
#include "report/report_writer.h"

namespace cli {

namespace {

// Tells the user which class was read while a report goes to a file. Classes
// without instances pass silently.
void printProgress(const Common::string* /*context*/, const std::int32_t* /*percent*/,
                   const Common::string* className, const std::uint32_t* instanceCount) {
  if (*instanceCount == 0) return;
  std::printf("Reading: %s\n", inventory::classDisplayName(*className).c_str());
}

// Writes the report and makes sure it reached its destination. Returns false
// after printing the write-failure message.
bool writeReportTo(const Options& options, const XmlNodePtr& tree) {
  SharedPtr<Common::OutputStream> stream = openReportDestination(options.outputPath);
  if (stream.isNull()) {
    printWriteFailure(options.outputPath, Common::string("no memory for the output stream"));
    return false;
  }
  writeReport(tree, stream, options.format, true, bannerString());
  stream->close();
  if (stream->failed()) {
    printWriteFailure(options.outputPath, stream->failureReason());
    return false;
  }
  return true;
}

int collectAndWrite(const Options& options, const cim::TlsSettings& tls) {
  const bool toFile = !options.outputPath.empty();
  if (toFile) std::printf("Loading...\n");

  XmlNodePtr tree;
  const inventory::CollectionOutcome outcome = inventory::collectInventory(
      tree, options.filter, options.server, options.user, options.password, tls,
      Common::string("none"), toFile ? printProgress : nullptr);

  if (!writeReportTo(options, tree)) return kExitWriteFailure;
  if (toFile) std::printf("Done.\n");
  return outcome == inventory::CollectionOutcome::kComplete ? kExitSuccess : kExitIncomplete;
}

}  // namespace

int run(const Options& options) {
  // A report file that cannot be written is found before the user waits for
  // a whole collection.
  if (!options.outputPath.empty()) {
    Common::string reason;
    if (!reportFileLooksWritable(options.outputPath, reason)) {
      printWriteFailure(options.outputPath, reason);
      return kExitWriteFailure;
    }
  }

  const cim::TlsSettings tls = connection::loadTlsSettings(options.caCertificates);
  connection::checkConnection(options.server, options.user, options.password, tls);

  // Whatever escapes the collection or the writing (memory exhaustion) ends
  // the run with one line instead of an abort.
  try {
    return collectAndWrite(options, tls);
  } catch (const std::bad_alloc&) {
    std::fflush(stdout);
    std::fprintf(stderr, "Error: out of memory.\n");
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "Error: %s\n", error.what());
  }
  return kExitCimFailure;
}

}  // namespace cli

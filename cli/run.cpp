#include "cli/run.h"

#include "cli/exit_codes.h"
#include "cli/options.h"
#include "connection/connection_check.h"

namespace cli {

int run(const Options& options) {
  connection::checkConnection(options.server, options.user, options.password);
  // The collection of the inventory and the writing of the report come next,
  // after the connection check: collectInventory, the output stream for the
  // console or the -o file, writeReport.
  return kExitSuccess;
}

}  // namespace cli

#ifndef TELVANECLI_CLI_OPTIONS_H
#define TELVANECLI_CLI_OPTIONS_H

#include "common/string.h"

namespace cli {

// A validated command line. When an option is given more than once, the
// last value wins.
struct Options {
  Common::string server;          // -s: host name or IP address, never empty
  Common::string user;            // -u: never empty
  Common::string password;        // -p: empty when -p was not given
  Common::string outputPath;      // -o: empty means the console
  Common::istring format;         // -f: "TEXT" (the default) or "XML", in any letter case
  Common::istring filter;         // -t: comma-separated categories, unchanged; empty means all
  Common::string caCertificates;  // --cacert: PEM file of trusted CAs, never empty when given;
                                  // empty means the server's certificate is not verified
};

// Reads the command line with the option parser (cli/getopt.h), acting on
// each option in command-line order, then checks the result. Returns only
// for a run that may go ahead. Otherwise the process ends here:
//   - -h prints the version and usage texts, -v (also --version with or
//     without a value) the version text; both end with 0 at once, so a
//     misuse later on the line is never looked at;
//   - a misuse prints the version and usage texts on standard output, then
//     its one message on standard error, and ends with its code (10-14,
//     cli/exit_codes.h). --cacert without a value, or with an empty one, is
//     such a misuse (10, "Option --cacert requires an argument.").
// Uses the parser's process-wide state, so it reads one command line per
// process (tests reset the parser in between).
Options parseCommandLine(int argc, char* argv[]);

}  // namespace cli

#endif  // TELVANECLI_CLI_OPTIONS_H

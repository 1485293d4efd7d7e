#ifndef TELVANECLI_CLI_RUN_H
#define TELVANECLI_CLI_RUN_H

namespace cli {

struct Options;

// Carries out a validated command line, step by step: the connection check
// (a failure prints one "Error: " line and ends the process with 1-5), then
// the collection and the report. Returns the process exit code.
int run(const Options& options);

}  // namespace cli

#endif  // TELVANECLI_CLI_RUN_H

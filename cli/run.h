#ifndef TELVANECLI_CLI_RUN_H
#define TELVANECLI_CLI_RUN_H

namespace cli {

struct Options;

// Carries out a validated command line, step by step, and returns the process
// exit code:
//   - a report file that cannot be written ends the run before connecting (6);
//   - a --cacert file that cannot be used ends it too (5, see
//     connection::loadTlsSettings);
//   - the connection check (a failure prints one "Error: " line and ends the
//     process with 1-5);
//   - the collection ("Loading...", a "Reading: " line per class with
//     instances, when the report goes to a file);
//   - the report, to the -o file (created or emptied now) or standard output,
//     then "Done." for a file.
// 0: the report is complete; 7: written, but a class was lost; 6: the report
// could not be written; 1: an unexpected failure (memory exhaustion).
int run(const Options& options);

}  // namespace cli

#endif  // TELVANECLI_CLI_RUN_H

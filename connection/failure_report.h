#ifndef TELVANECLI_CONNECTION_FAILURE_REPORT_H
#define TELVANECLI_CONNECTION_FAILURE_REPORT_H

#include <string>

namespace cim {
class Exception;
}

namespace connection {

// What the connection check prints and the exit code it ends with.
struct FailureReport {
  int exitCode;
  std::string output;  // the whole line for standard output, "\n" included
};

// Classifies a failure of the connection check: HTTP failures by whether the
// message mentions "Authentication failure" (in any letter case), socket
// failures by whether the connection was refused or timed out, everything
// else as a failure of the CIM client.
FailureReport reportFailure(const cim::Exception& failure);

}  // namespace connection

#endif  // TELVANECLI_CONNECTION_FAILURE_REPORT_H

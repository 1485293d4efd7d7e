#ifndef TELVANECLI_CLI_REPORT_DESTINATION_H
#define TELVANECLI_CLI_REPORT_DESTINATION_H

#include "common/output_stream.h"
#include "common/string.h"
#include "xml/shared_ptr.h"

namespace cli {

// Judges, without creating or changing anything, whether a report file could be
// written at path: an existing file must be writable and not a directory, a
// missing one must have a writable directory. On false, reason holds the
// system's words ("No such file or directory"). A true answer is a forecast
// only: the write itself is checked again.
bool reportFileLooksWritable(const Common::string& path, Common::string& reason);

// Opens the sink the report goes to: the file at path, created or emptied now,
// or standard output when path is empty. The sink comes from the small-object
// pool; when the pool has no room the handle is null.
SharedPtr<Common::OutputStream> openReportDestination(const Common::string& path);

// Prints the one-line message of exit code 6 on standard error for the
// destination path (standard output when empty) and the reason.
void printWriteFailure(const Common::string& path, const Common::string& reason);

}  // namespace cli

#endif  // TELVANECLI_CLI_REPORT_DESTINATION_H

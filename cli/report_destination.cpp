#include "cli/report_destination.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/exit_codes.h"

namespace cli {

namespace {

// The directory part of path: "." for a bare file name, "/" for a file in the root.
Common::string directoryOf(const Common::string& path) {
  const char* text = path.c_str();
  const char* slash = std::strrchr(text, '/');
  if (slash == nullptr) return Common::string(".");
  if (slash == text) return Common::string("/");
  return Common::string(text, static_cast<int>(slash - text));
}

bool fail(int error, Common::string& reason) {
  reason = std::strerror(error);
  return false;
}

}  // namespace

bool reportFileLooksWritable(const Common::string& path, Common::string& reason) {
  struct stat status;
  if (stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return fail(EISDIR, reason);
    if (access(path.c_str(), W_OK) != 0) return fail(errno, reason);
    return true;
  }
  if (errno != ENOENT) return fail(errno, reason);
  const Common::string directory = directoryOf(path);
  if (stat(directory.c_str(), &status) != 0) return fail(errno, reason);
  if (!S_ISDIR(status.st_mode)) return fail(ENOTDIR, reason);
  if (access(directory.c_str(), W_OK | X_OK) != 0) return fail(errno, reason);
  return true;
}

SharedPtr<Common::OutputStream> openReportDestination(const Common::string& path) {
  Common::OutputStream* stream;
  if (path.empty()) {
    stream = new Common::OutputStreamToConsole();
  } else {
    stream = new Common::OutputStreamToFile(path.c_str(), false);
  }
  return SharedPtr<Common::OutputStream>(stream);
}

void printWriteFailure(const Common::string& path, const Common::string& reason) {
  if (path.empty()) {
    std::fprintf(stderr, kMessageWriteFailureConsole, reason.c_str());
  } else {
    std::fprintf(stderr, kMessageWriteFailureFile, path.c_str(), reason.c_str());
  }
}

}  // namespace cli

#include "common/output_stream.h"

#include <cerrno>
#include <cstring>

namespace Common {

OutputStream::~OutputStream() = default;

OutputStream& OutputStream::operator<<(string text) {
  write(text.c_str(), text.length());
  return *this;
}

void OutputStream::recordFailure(int error) {
  if (failed_) return;
  failed_ = true;
  failureReason_ = std::strerror(error != 0 ? error : EIO);
}

void OutputStreamToConsole::write(const char* text, const unsigned&) {
  // fputs, not printf: the report's own "%" characters are not formats.
  if (std::fputs(text, stdout) == EOF) recordFailure(errno);
}

void OutputStreamToConsole::close() {
  if (std::fflush(stdout) == EOF) recordFailure(errno);
}

OutputStreamToFile::OutputStreamToFile(const char* path, bool append)
    : file_(std::fopen(path, append ? "ab" : "wb")) {
  if (file_ == nullptr) recordFailure(errno);
}

OutputStreamToFile::~OutputStreamToFile() {
  if (file_ != nullptr) std::fclose(file_);
}

void OutputStreamToFile::write(const char* text, const unsigned& length) {
  // fwrite of one element of size 0 reports 0 elements, though nothing failed.
  if (file_ == nullptr || length == 0) return;
  if (std::fwrite(text, length, 1, file_) != 1) recordFailure(errno);
  if (std::fflush(file_) == EOF) recordFailure(errno);
}

void OutputStreamToFile::close() {
  if (file_ == nullptr) return;
  if (std::fflush(file_) == EOF) recordFailure(errno);
  if (std::fclose(file_) == EOF) recordFailure(errno);
  file_ = nullptr;
}

}  // namespace Common

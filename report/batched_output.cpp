#include "report/batched_output.h"

#include <cstring>

void BatchedOutput::writeText(const char* text) { write(text, std::strlen(text)); }

void BatchedOutput::writePart(const char* text, std::size_t length) {
  if (!holdingWrite_ && std::memchr(text, '\0', length) != nullptr) {
    // What was gathered so far is NUL-free and goes first; this write then
    // reaches the stream as one write of its own.
    handOver();
    holdingWrite_ = true;
  }
  gathered_.append(text, length);
  if (!holdingWrite_ && gathered_.size() >= kBatchBytes) handOver();
}

void BatchedOutput::endWrite() {
  if (!holdingWrite_) return;
  handOver();
  holdingWrite_ = false;
}

void BatchedOutput::flush() {
  endWrite();
  handOver();
}

void BatchedOutput::handOver() {
  if (gathered_.empty()) return;
  out_.write(gathered_.c_str(), static_cast<unsigned>(gathered_.size()));
  gathered_.clear();
}

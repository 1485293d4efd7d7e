#ifndef TELVANECLI_REPORT_BATCHED_OUTPUT_H
#define TELVANECLI_REPORT_BATCHED_OUTPUT_H

#include <cstddef>
#include <string>

#include "common/output_stream.h"
#include "common/string.h"

// Gathers the many small writes of a report into writes of about 64 KiB, so a
// report of a million lines costs a few hundred writes (and flushes) instead
// of millions.
//
// The stream receives the same bytes, in the same order, as from the writes
// made here one by one: a stream takes the bytes of a write up to its length
// (a file) or up to its first NUL (the console), and gathered writes hold no
// NUL. A write that holds a NUL is therefore handed over on its own, after
// whatever was gathered before it. A write may arrive in parts (beginWrite,
// writePart..., endWrite); it counts as one write of all its parts.
//
// Not copyable. The stream is borrowed and must outlive this object; flush()
// or destruction hands the rest over. Write failures are the stream's
// business, as with direct writes.
class BatchedOutput {
 public:
  static constexpr std::size_t kBatchBytes = 64 * 1024;

  explicit BatchedOutput(Common::OutputStream& out) : out_(out) {}
  ~BatchedOutput() { flush(); }
  BatchedOutput(const BatchedOutput&) = delete;
  BatchedOutput& operator=(const BatchedOutput&) = delete;

  // One write of length bytes.
  void write(const char* text, std::size_t length) {
    writePart(text, length);
    endWrite();
  }
  void write(const Common::string& text) { write(text.c_str(), text.length()); }
  // A write of text up to its NUL.
  void writeText(const char* text);

  // The next part of the current write.
  void writePart(const char* text, std::size_t length);
  // Ends the current write.
  void endWrite();

  // Ends the current write and hands everything gathered to the stream.
  void flush();

 private:
  void handOver();

  Common::OutputStream& out_;
  std::string gathered_;
  // The current write holds a NUL: its parts are kept until it ends.
  bool holdingWrite_ = false;
};

#endif  // TELVANECLI_REPORT_BATCHED_OUTPUT_H

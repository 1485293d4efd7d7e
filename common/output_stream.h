#ifndef TELVANECLI_COMMON_OUTPUT_STREAM_H
#define TELVANECLI_COMMON_OUTPUT_STREAM_H

#include <cstddef>
#include <cstdio>

#include "common/allocator.h"
#include "common/string.h"

namespace Common {

// A text sink for the report, so that writers need not know whether it goes to
// the console or to a file.
//
// Sinks are allocated from the pool of GlobalStaticAllocator by a plain
// new-expression, which yields null when the pool has no room. The pool's
// addresses carry no alignment, so a sink places itself at an aligned address
// inside its pool block (allocateAligned).
//
// A sink never prints or throws about its target. It records the first failure
// (the target could not be opened, a write, flush or close failed); failed()
// and failureReason() tell the caller, which should close() the sink and ask
// once the report is written. Not thread-safe.
class OutputStream : public virtual GlobalStaticAllocator {
 public:
  static void* operator new(std::size_t size) noexcept { return allocateAligned(size); }
  static void operator delete(void* object) noexcept { releaseAligned(object); }

  OutputStream() = default;
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;
  virtual ~OutputStream();

  // Whether the sink can take text.
  virtual bool isOpen() const = 0;
  // text is NUL-terminated; length is the number of its bytes to write.
  virtual void write(const char* text, const unsigned& length) = 0;
  // Pushes everything written so far to the target and lets go of it; a
  // failure is recorded. Writes after close are dropped by a file sink.
  virtual void close() = 0;

  // Writes the string's bytes (one write with its buffer and length) and
  // returns this sink, so that writes chain.
  OutputStream& operator<<(string text);

  bool failed() const { return failed_; }
  // The system's reason for the first failure ("No space left on device"),
  // empty when there was none.
  const string& failureReason() const { return failureReason_; }

 protected:
  // Records errno value error (0 counts as EIO) unless a failure is recorded.
  void recordFailure(int error);

 private:
  bool failed_ = false;
  string failureReason_;
};

// Standard output. A write passes the text up to its NUL through unchanged
// ("%" included); close flushes standard output but leaves it open.
class OutputStreamToConsole : public OutputStream {
 public:
  bool isOpen() const override { return true; }
  void write(const char* text, const unsigned& length) override;
  void close() override;
};

// A file written in binary mode, so that the bytes arrive exactly ("\r\n"
// stays "\r\n"). Each write is one write of length bytes and a flush, so the
// text is in the file when write returns. The sink owns the file; destruction
// closes it when close() has not.
class OutputStreamToFile : public OutputStream {
 public:
  // Opens path (NUL-terminated) in mode "ab" when append, else "wb", which
  // empties an existing file and creates a missing one. When opening fails the
  // failure is recorded, isOpen() is false and writes are dropped.
  OutputStreamToFile(const char* path, bool append);
  ~OutputStreamToFile() override;

  bool isOpen() const override { return file_ != nullptr; }
  void write(const char* text, const unsigned& length) override;
  void close() override;

 private:
  std::FILE* file_;
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_OUTPUT_STREAM_H

#ifndef TELVANECLI_REPORT_TEST_SINK_H
#define TELVANECLI_REPORT_TEST_SINK_H

// An output stream for tests: keeps every byte written.

#include <string>

#include "common/output_stream.h"

class TestSink : public Common::OutputStream {
 public:
  bool isOpen() const override { return true; }
  void write(const char* bytes, const unsigned& length) override { text.append(bytes, length); }
  void close() override {}

  std::string text;
};

#endif  // TELVANECLI_REPORT_TEST_SINK_H

#include "report/batched_output.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/output_stream.h"

namespace {

// Keeps what a stream would show: every byte of a write (a file), or the
// bytes up to a write's first NUL (the console); counts the writes.
class RecordingSink : public Common::OutputStream {
 public:
  explicit RecordingSink(bool stopsAtNul) : stopsAtNul_(stopsAtNul) {}
  bool isOpen() const override { return true; }
  void write(const char* text, const unsigned& length) override {
    ++writes;
    shown.append(text, stopsAtNul_ ? std::strlen(text) : length);
  }
  void close() override {}

  std::string shown;
  int writes = 0;

 private:
  bool stopsAtNul_;
};

// A write made of parts; every write here is NUL-terminated after its bytes,
// as the report's strings are.
typedef std::vector<std::string> Write;

std::string directly(const std::vector<Write>& writes, bool stopsAtNul) {
  RecordingSink sink(stopsAtNul);
  for (const Write& write : writes) {
    std::string whole;
    for (const std::string& part : write) whole += part;
    sink.write(whole.c_str(), static_cast<unsigned>(whole.size()));
  }
  return sink.shown;
}

std::string batched(const std::vector<Write>& writes, bool stopsAtNul, int* count = nullptr) {
  RecordingSink sink(stopsAtNul);
  {
    BatchedOutput out(sink);
    for (const Write& write : writes) {
      for (const std::string& part : write) out.writePart(part.data(), part.size());
      out.endWrite();
    }
  }
  if (count != nullptr) *count = sink.writes;
  return sink.shown;
}

TEST(BatchedOutputTest, StreamsShowWhatDirectWritesWouldShow) {
  const std::string nul("\0", 1);
  struct Row {
    const char* what;
    std::vector<Write> writes;
  };
  const Row rows[] = {
      {"plain lines", {{"  "}, {"Name"}, {" = "}, {"Fan 1"}, {"\r\n"}}},
      {"empty writes", {{""}, {"a"}, {"", ""}, {"b"}}},
      {"NUL in one write", {{"before "}, {"up to" + nul + "cut"}, {" after"}}},
      {"NUL in a later part of one write", {{"<?xml?>"}, {"<a>", "x" + nul + "y", "</a>"}, {"z"}}},
      {"two NULs", {{nul + "a" + nul}, {"b" + nul}, {"c"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    for (bool stopsAtNul : {false, true}) {
      SCOPED_TRACE(stopsAtNul ? "console" : "file");
      EXPECT_EQ(batched(row.writes, stopsAtNul), directly(row.writes, stopsAtNul));
    }
  }
}

TEST(BatchedOutputTest, ManySmallWritesBecomeFewLargeOnes) {
  std::vector<Write> lines;
  for (int i = 0; i < 100000; ++i) lines.push_back({"      Health State = OK\r\n"});
  int writes = 0;
  const std::string shown = batched(lines, false, &writes);
  EXPECT_EQ(shown.size(), 100000u * 25);
  EXPECT_EQ(writes, static_cast<int>((shown.size() + BatchedOutput::kBatchBytes - 1) /
                                     BatchedOutput::kBatchBytes));
}

}  // namespace

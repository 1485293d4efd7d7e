#include "common/output_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "common/block_pool.h"

namespace {

using Common::OutputStream;
using Common::OutputStreamToConsole;
using Common::OutputStreamToFile;

std::string fileContent(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

bool exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string reasonOf(const OutputStream& sink) { return std::string(sink.failureReason().c_str()); }

// Sinks come from the pool; delete returns them there.
std::unique_ptr<OutputStream> openFile(const std::string& path, bool append) {
  return std::unique_ptr<OutputStream>(new OutputStreamToFile(path.c_str(), append));
}

// Owns a fresh temporary directory and removes it with what it holds.
class FileSinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "output_stream_XXXXXX";
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    directory_ = pattern;
    path_ = directory_ + "/report.txt";
  }
  void TearDown() override {
    std::remove(path_.c_str());
    rmdir(directory_.c_str());
  }

  std::string directory_;
  std::string path_;
};

TEST_F(FileSinkTest, BytesReachTheFileExactlyAndReplaceEarlierContent) {
  writeFile(path_, "earlier content, longer than the new one");
  std::unique_ptr<OutputStream> sink = openFile(path_, false);
  ASSERT_TRUE(sink->isOpen());
  EXPECT_EQ(fileContent(path_), "");

  *sink << Common::string("Load: 100%\r\n") << Common::string("%s%n\r\n");
  // Each write is in the file as soon as it returns.
  EXPECT_EQ(fileContent(path_), "Load: 100%\r\n%s%n\r\n");
  sink->write("a\0b\xff", 4);
  *sink << Common::string();
  EXPECT_EQ(fileContent(path_), std::string("Load: 100%\r\n%s%n\r\na\0b\xff", 22));
  EXPECT_FALSE(sink->failed());
  EXPECT_EQ(reasonOf(*sink), "");
}

TEST_F(FileSinkTest, AppendKeepsEarlierContent) {
  writeFile(path_, "first\r\n");
  std::unique_ptr<OutputStream> sink = openFile(path_, true);
  *sink << Common::string("second\r\n");
  sink.reset();
  EXPECT_EQ(fileContent(path_), "first\r\nsecond\r\n");
}

TEST_F(FileSinkTest, DestructionClosesTheFile) {
  OutputStream* sink = new OutputStreamToFile(path_.c_str(), false);
  *sink << Common::string("complete");
  delete sink;
  EXPECT_EQ(fileContent(path_), "complete");
}

TEST_F(FileSinkTest, CloseEndsTheOutput) {
  std::unique_ptr<OutputStream> sink = openFile(path_, false);
  *sink << Common::string("kept");
  sink->close();
  EXPECT_FALSE(sink->isOpen());
  EXPECT_FALSE(sink->failed());
  *sink << Common::string("dropped");
  sink->close();
  EXPECT_EQ(fileContent(path_), "kept");
  EXPECT_FALSE(sink->failed());
}

TEST_F(FileSinkTest, MissingDirectoryDropsWritesSilently) {
  const std::string missing = directory_ + "/missing/report.txt";
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  {
    std::unique_ptr<OutputStream> sink = openFile(missing, false);
    EXPECT_FALSE(sink->isOpen());
    *sink << Common::string("dropped");
    sink->close();
    EXPECT_TRUE(sink->failed());
    EXPECT_EQ(reasonOf(*sink), "No such file or directory");
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_FALSE(exists(directory_ + "/missing"));
}

TEST_F(FileSinkTest, FailuresAreRecordedWithTheSystemsReason) {
  struct Row {
    std::string path;
    bool opens;
    std::string reason;
  };
  const Row rows[] = {
      {directory_, false, "Is a directory"},
      {"/dev/full", true, "No space left on device"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    std::unique_ptr<OutputStream> sink = openFile(row.path, false);
    EXPECT_EQ(sink->isOpen(), row.opens);
    EXPECT_EQ(sink->failed(), !row.opens);
    *sink << Common::string("text") << Common::string("more");
    sink->close();
    EXPECT_TRUE(sink->failed());
    EXPECT_EQ(reasonOf(*sink), row.reason);
  }
}

TEST(ConsoleSinkTest, PassesTextThroughUnchanged) {
  std::unique_ptr<OutputStream> sink(new OutputStreamToConsole());
  ASSERT_NE(sink, nullptr);
  EXPECT_TRUE(sink->isOpen());
  ::testing::internal::CaptureStdout();
  *sink << Common::string("Load: 100%\r\n") << Common::string("%s %n %%\r\n");
  // The console writes up to the text's NUL.
  sink->write("up to\0 here", 11);
  sink->close();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Load: 100%\r\n%s %n %%\r\nup to");
  EXPECT_FALSE(sink->failed());
}

// In a child process whose standard output is /dev/full: writes text, closes,
// and reports on standard error when the failure was first seen.
void writeToFullConsole(const std::string& text) {
  const int full = open("/dev/full", O_WRONLY);
  if (full < 0 || dup2(full, STDOUT_FILENO) < 0) std::_Exit(2);
  std::unique_ptr<OutputStream> sink(new OutputStreamToConsole());
  *sink << Common::string(text.c_str());
  const bool failedOnWrite = sink->failed();
  sink->close();
  std::fprintf(stderr, "failed=%d onWrite=%d reason=%s\n", sink->failed(), failedOnWrite,
               sink->failureReason().c_str());
  std::_Exit(0);
}

TEST(ConsoleSinkDeathTest, FailedWriteOrFlushOfStandardOutputIsRecorded) {
  EXPECT_EXIT(writeToFullConsole("short report"), ::testing::ExitedWithCode(0),
              "failed=1 onWrite=0 reason=No space left on device");
  EXPECT_EXIT(writeToFullConsole(std::string(1 << 20, 'x')), ::testing::ExitedWithCode(0),
              "failed=1 onWrite=1 reason=No space left on device");
}

TEST(OutputStreamPoolTest, SinksAreAlignedWhereverThePoolPutsThem) {
  for (std::size_t before = 0; before < 2 * alignof(std::max_align_t); ++before) {
    SCOPED_TRACE(before);
    // A preceding pool block of 2 + before bytes (at least 4) shifts the sink.
    void* shift = Common::GlobalStaticAllocator::operator new(before);
    std::unique_ptr<OutputStream> console(new OutputStreamToConsole());
    std::unique_ptr<OutputStream> file(new OutputStreamToFile("/dev/null", false));
    ASSERT_NE(console, nullptr);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(console.get()) % alignof(OutputStreamToConsole), 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(file.get()) % alignof(OutputStreamToFile), 0u);
    *file << Common::string("x");
    EXPECT_TRUE(file->isOpen());
    file.reset();
    console.reset();
    Common::GlobalStaticAllocator::operator delete(shift);
  }
}

TEST(OutputStreamPoolTest, NoSinkWhenThePoolIsFull) {
  std::vector<void*> regions;
  while (void* region =
             Common::GlobalStaticAllocator::operator new(Common::BlockPool::kLargestRequest)) {
    regions.push_back(region);
  }
  OutputStream* console = new OutputStreamToConsole();
  OutputStream* file = new OutputStreamToFile("/dev/null", false);
  EXPECT_EQ(console, nullptr);
  EXPECT_EQ(file, nullptr);
  for (void* region : regions) Common::GlobalStaticAllocator::operator delete(region);

  std::unique_ptr<OutputStream> afterwards(new OutputStreamToConsole());
  EXPECT_NE(afterwards, nullptr);
}

}  // namespace

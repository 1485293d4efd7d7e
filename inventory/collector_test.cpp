#include "inventory/collector.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "xml/xml_codec.h"

namespace inventory {
namespace {

std::string str(const Common::string& text) { return std::string(text.c_str(), text.length()); }

TEST(ProgressPercentTest, TruncatedShareOfTheCatalogue) {
  struct Row {
    std::uint32_t position;
    std::uint32_t entryCount;
    std::int32_t expected;
  };
  const Row rows[] = {
      {1, 62, 1}, {2, 62, 3}, {31, 62, 50}, {61, 62, 98}, {62, 62, 100},
      {1, 3, 33}, {2, 3, 66}, {3, 3, 100},  {1, 1, 100},  {7, 10, 70},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.position) + " of " + std::to_string(row.entryCount));
    EXPECT_EQ(progressPercent(row.position, row.entryCount), row.expected);
  }
}

std::vector<std::string> progressCalls;

void recordProgress(const Common::string*, const std::int32_t* percent,
                    const Common::string* className, const std::uint32_t* instanceCount) {
  progressCalls.push_back(str(*className) + " " + std::to_string(*percent) + "% " +
                          std::to_string(*instanceCount));
}

// Holds a TCP port on 127.0.0.1 that is bound but not listening, so every connection to it
// is refused at once; no test here talks to a real server. The built-in catalogue is used
// (the list path names nothing).
class CollectorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    progressCalls.clear();
    socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(socket_, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length), 0);
    server_ = Common::string(("127.0.0.1:" + std::to_string(ntohs(address.sin_port))).c_str());
  }
  void TearDown() override {
    if (socket_ >= 0) ::close(socket_);
    testMode = 0;
  }

  CollectionOutcome collect(const char* filter, XmlNodePtr& result) {
    return collectInventory(result, Common::istring(filter), server_, Common::string("admin"),
                            Common::string("pa55-W0rd"), cim::TlsSettings(), Common::string("none"),
                            recordProgress, "/nonexistent/ProviderClassNames.txt");
  }

  int socket_ = -1;
  Common::string server_;
};

TEST_F(CollectorTest, FilterSelectingNothingSendsNoRequest) {
  XmlNodePtr result;
  testing::internal::CaptureStderr();
  const CollectionOutcome outcome = collect("NOSUCH,", result);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(outcome, CollectionOutcome::kComplete);
  EXPECT_TRUE(progressCalls.empty());

  ASSERT_FALSE(result.isNull());
  EXPECT_EQ(str(result->getName()), "root");
  EXPECT_EQ(str(result->getAttribute(Common::string("server"))), str(server_));
  EXPECT_EQ(str(result->getAttribute(Common::string("username"))), "admin");
  EXPECT_EQ(str(result->getAttribute(Common::string("telvane_version"))), "1.1-4");
  EXPECT_FALSE(result->getAttribute(Common::string("time_generated")).empty());
  EXPECT_EQ(str(XmlCodec().serialize(result->findChild(Common::string("provider_data")))),
            "<provider_data/>");
}

TEST_F(CollectorTest, LostConnectionStopsTheCollectionWithAWarning) {
  XmlNodePtr result;
  testing::internal::CaptureStderr();
  const CollectionOutcome outcome = collect("cpu,FAN", result);
  const std::string warnings = testing::internal::GetCapturedStderr();

  EXPECT_EQ(outcome, CollectionOutcome::kIncomplete);
  // One warning, for the first selected class in catalogue order, and then nothing more.
  const std::string prefix = "Warning: the collection stopped at NVX_CacheMemory: ";
  EXPECT_EQ(warnings.compare(0, prefix.size(), prefix), 0) << warnings;
  EXPECT_EQ(warnings.find('\n'), warnings.size() - 1) << warnings;
  EXPECT_EQ(warnings.find("pa55-W0rd"), std::string::npos) << warnings;
  EXPECT_TRUE(progressCalls.empty());

  // The report is still whole: its header and an empty body.
  ASSERT_FALSE(result.isNull());
  EXPECT_EQ(str(result->getAttribute(Common::string("username"))), "admin");
  EXPECT_EQ(str(XmlCodec().serialize(result->findChild(Common::string("provider_data")))),
            "<provider_data/>");
}

TEST_F(CollectorTest, ServerAddressTheClientRefusesStopsAtTheFirstClass) {
  // No client can be made for this host, so there is no point in trying every class.
  server_ = Common::string("bad host");
  XmlNodePtr result;
  testing::internal::CaptureStderr();
  const CollectionOutcome outcome = collect("", result);
  const std::string warnings = testing::internal::GetCapturedStderr();

  EXPECT_EQ(outcome, CollectionOutcome::kIncomplete);
  const std::string prefix = "Warning: the collection stopped at NVX_BladeEnclosureCS: ";
  EXPECT_EQ(warnings.compare(0, prefix.size(), prefix), 0) << warnings;
  EXPECT_EQ(warnings.find('\n'), warnings.size() - 1) << warnings;
  EXPECT_EQ(str(result->getAttribute(Common::string("server"))), "bad host");
}

}  // namespace
}  // namespace inventory

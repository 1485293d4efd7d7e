#include "connection/failure_report.h"

#include <gtest/gtest.h>

#include <memory>

#include "cim/exception.h"

namespace connection {
namespace {

TEST(ReportFailureTest, ClassifiesByExceptionTypeAndMessage) {
  using cim::SocketException;
  const struct {
    std::shared_ptr<cim::Exception> failure;
    int exitCode;
    const char* output;
  } rows[] = {
      {std::make_shared<cim::HTTPException>("HTTP 401 Unauthorized: Authentication failure", 401,
                                            ""),
       3, "Error: Authentication failure, invalid username or password.\n"},
      {std::make_shared<cim::HTTPException>("HTTP 403: AUTHENTICATION FAILURE", 403, ""), 3,
       "Error: Authentication failure, invalid username or password.\n"},
      {std::make_shared<cim::HTTPException>("HTTP 500 Internal Server Error", 500, ""), 4,
       "Error: HTTP 500 Internal Server Error\n"},
      {std::make_shared<SocketException>("connection refused by h:5989",
                                         SocketException::kConnectionRefused),
       2, "Error: Unable to connect to server.\n"},
      {std::make_shared<SocketException>("connection to h:5989 timed out after 20 seconds",
                                         SocketException::kConnectTimedOut),
       2, "Error: Unable to connect to server.\n"},
      {std::make_shared<SocketException>("connection to h:10061 lost: reset",
                                         SocketException::kOther),
       5, "Error: connection to h:10061 lost: reset\n"},
      {std::make_shared<cim::SSLException>("TLS failure with h:5989: wrong version number"), 5,
       "Error: TLS failure with h:5989: wrong version number\n"},
      {std::make_shared<cim::CIMException>(6, "NVX_ComputerSystem"), 1,
       "Error: CIM_ERR_NOT_FOUND: NVX_ComputerSystem\n"},
      {std::make_shared<cim::Exception>("unable to resolve host name 'x.invalid'"), 1,
       "Error: unable to resolve host name 'x.invalid'\n"},
      {std::make_shared<cim::Exception>("100% Authentication failure"), 1,
       "Error: 100% Authentication failure\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.failure->getMessage());
    const FailureReport report = reportFailure(*row.failure);
    EXPECT_EQ(report.exitCode, row.exitCode);
    EXPECT_EQ(report.output, row.output);
  }
}

}  // namespace
}  // namespace connection

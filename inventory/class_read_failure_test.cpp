#include "inventory/class_read_failure.h"

#include <gtest/gtest.h>

#include <memory>

#include "cim/exception.h"

namespace inventory {
namespace {

TEST(ClassReadFailureTest, Classification) {
  struct Row {
    const char* label;
    std::shared_ptr<cim::Exception> failure;
    ClassReadFailure expected;
  };
  const Row rows[] = {
      {"invalid class", std::make_shared<cim::CIMException>(5, "no such class"),
       ClassReadFailure::kClassMissing},
      {"not found", std::make_shared<cim::CIMException>(6, ""), ClassReadFailure::kClassMissing},
      {"other CIM status", std::make_shared<cim::CIMException>(1, "provider crashed"),
       ClassReadFailure::kClassUnreadable},
      {"access denied", std::make_shared<cim::CIMException>(2, ""),
       ClassReadFailure::kClassUnreadable},
      {"HTTP error",
       std::make_shared<cim::HTTPException>("HTTP 500 Internal Server Error", 500, ""),
       ClassReadFailure::kClassUnreadable},
      {"undecodable response", std::make_shared<cim::Exception>("not CIM-XML"),
       ClassReadFailure::kClassUnreadable},
      {"refused",
       std::make_shared<cim::SocketException>("refused", cim::SocketException::kConnectionRefused),
       ClassReadFailure::kConnectionLost},
      {"connection broke off",
       std::make_shared<cim::SocketException>("reset", cim::SocketException::kOther),
       ClassReadFailure::kConnectionLost},
      {"TLS", std::make_shared<cim::SSLException>("handshake"), ClassReadFailure::kConnectionLost},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(classifyReadFailure(*row.failure), row.expected);
  }
}

}  // namespace
}  // namespace inventory

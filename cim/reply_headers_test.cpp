#include "cim/reply_headers.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace cim {
namespace {

ReplyHeaders read(std::initializer_list<const char*> lines) {
  ReplyHeaders headers;
  for (const char* line : lines) headers.addLine(line);
  return headers;
}

TEST(ReplyHeadersTest, ReadsStatusCimFieldsAndTrailers) {
  const ReplyHeaders chunked =
      read({"HTTP/1.1 100 Continue\r\n", "CIMError: stale\r\n", "\r\n", "HTTP/1.1 200 OK\r\n",
            "Content-Type: application/xml; charset=\"UTF-8\"\r\n",
            "Transfer-Encoding: chunked\r\n", "\r\n", "CIMStatusCode: 5\r\n",
            "CIMStatusCodeDescription: CIM_ERR_INVALID_CLASS%3A%20gone 100%\r\n"});
  EXPECT_EQ(chunked.status, 200);
  EXPECT_EQ(chunked.reason, "OK");
  EXPECT_EQ(chunked.cimError, "");
  EXPECT_EQ(chunked.charset, "utf-8");
  EXPECT_EQ(chunked.cimStatusCode, 5);
  EXPECT_EQ(chunked.cimStatusDescription, "CIM_ERR_INVALID_CLASS: gone 100%");

  const ReplyHeaders prefixed = read({"HTTP/1.1 200 OK\r\n", "Ext:\r\n", "23-cimstatuscode: 6\r\n",
                                      "content-type: text/xml;charset=koi8-r\r\n"});
  EXPECT_EQ(prefixed.cimStatusCode, 6);
  EXPECT_EQ(prefixed.charset, "");
  EXPECT_EQ(read({"HTTP/1.1 200 OK\r\n", "CIMStatusCode: 0\r\n"}).cimStatusCode, 0);
  EXPECT_EQ(read({"HTTP/1.1 200 OK\r\n", "CIMStatusCode: x\r\n"}).cimStatusCode, 1);
}

TEST(ReplyHeadersTest, FailureMessages) {
  const struct {
    std::initializer_list<const char*> lines;
    const char* message;
  } rows[] = {
      {{"HTTP/1.1 500 Internal Server Error\r\n"}, "HTTP 500 Internal Server Error"},
      {{"HTTP/1.1 503\r\n"}, "HTTP 503 Service Unavailable"},
      {{"HTTP/1.1 599 \r\n"}, "HTTP 599"},
      {{"HTTP/1.1 401 Unauthorized\r\n", "WWW-Authenticate: Basic realm=\"cimom\"\r\n"},
       "HTTP 401 Unauthorized: Authentication failure"},
      {{"HTTP/1.1 401 Unauthorized\r\n", "WWW-Authenticate: Digest 1.2.3.4:5988\r\n"},
       "HTTP 401 Unauthorized: Authentication failure (the server asks for Digest "
       "authentication, not Basic)"},
      {{"HTTP/1.1 400 Bad Request\r\n", "CIMError: request-not-valid\r\n",
        "PGErrorDetail: Semantic%20error%3A%20on%20line%2011\r\n"},
       "HTTP 400 Bad Request (CIMError: request-not-valid): Semantic error: on line 11"},
      {{"HTTP/1.1 501 Not Implemented\r\n", "23-CIMError: unsupported-protocol-version\r\n"},
       "HTTP 501 Not Implemented (CIMError: unsupported-protocol-version)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.message);
    EXPECT_EQ(read(row.lines).failureMessage(), row.message);
  }
}

}  // namespace
}  // namespace cim

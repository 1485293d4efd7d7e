#ifndef TELVANECLI_CIM_REPLY_HEADERS_H
#define TELVANECLI_CIM_REPLY_HEADERS_H

#include <string>
#include <string_view>

namespace cim {

// What the layer reads from the status line, header fields and trailer
// fields of one HTTP response. CIM fields are also recognised with the "NN-"
// prefix of the HTTP extension framework; percent-encoded descriptions are
// decoded.
struct ReplyHeaders {
  long status = 0;
  std::string reason;           // reason phrase of the status line
  std::string cimError;         // CIMError
  std::string errorDetail;      // PGErrorDetail or CIMErrorDescription
  std::string wwwAuthenticate;  // the first challenge
  std::string charset;          // of Content-Type, when it is one the XML parser knows
  int cimStatusCode = 0;        // CIMStatusCode header or trailer; 0: success or absent
  std::string cimStatusDescription;

  // Takes one line as libcurl hands it over, CRLF included: a status line,
  // a header field, the empty line, or (after the body) a trailer field. A
  // status line starts a new response and forgets the fields of an earlier
  // interim one ("100 Continue").
  void addLine(std::string_view line);

  // The message for a status other than 200: "HTTP 500 Internal Server
  // Error", with the CIMError and the detail when the server sent them; for
  // 401 it contains "Authentication failure".
  std::string failureMessage() const;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_REPLY_HEADERS_H

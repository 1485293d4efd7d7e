#ifndef TELVANECLI_CIM_EXCEPTION_H
#define TELVANECLI_CIM_EXCEPTION_H

#include <exception>
#include <string>

namespace cim {

// Base of every failure the CIM client layer reports. The message is one line
// in words a user understands; control characters in it (which may come from
// a server) are shown as "\xNN" so that printing it to a terminal is safe. No
// message ever contains a password.
//
//   Exception                 host name not resolvable, bad URL, a response
//   |                         that is not valid CIM-XML, ...
//   +- HTTPException          HTTP status other than 200 (401: the message
//   |                         contains "Authentication failure")
//   +- SocketException        the connection failed or broke off
//   |  +- SSLException        TLS handshake or TLS layer failure
//   +- CIMException           an error status sent by the CIM server
//   +- NullValueException     a null value read as a typed value
//   +- ValueCastException     a value read as a type it does not have
//   +- OutOfBoundsException   an index or position past the end
class Exception : public std::exception {
 public:
  explicit Exception(const std::string& message);

  const std::string& getMessage() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The server answered with an HTTP status other than 200.
class HTTPException : public Exception {
 public:
  // message as made by the layer, e.g. "HTTP 500 Internal Server Error".
  // cimError is the value of the CIMError header, empty when there was none.
  HTTPException(const std::string& message, long statusCode, const std::string& cimError);

  long getStatusCode() const { return statusCode_; }
  const std::string& getCIMError() const { return cimError_; }

 private:
  long statusCode_;
  std::string cimError_;
};

// The connection to the server could not be made, or it failed.
class SocketException : public Exception {
 public:
  enum Reason {
    kConnectionRefused,  // nothing listens on the port
    kConnectTimedOut,    // no connection within the connect timeout
    kOther,              // any other socket failure
  };

  SocketException(const std::string& message, Reason reason);

  Reason getReason() const { return reason_; }

 private:
  Reason reason_;
};

// The TLS handshake or the TLS layer failed.
class SSLException : public SocketException {
 public:
  explicit SSLException(const std::string& message);
};

// The CIM server reported a CIM status other than success, in the body
// (ERROR element) or in the CIMStatusCode header or trailer.
class CIMException : public Exception {
 public:
  // The message reads "<status name>: <description>", e.g.
  // "CIM_ERR_NOT_FOUND: The requested object could not be found"; the status
  // name is not repeated when the description starts with it, and without a
  // description the short meaning of the status stands in its place.
  CIMException(int statusCode, const std::string& description);

  int getStatusCode() const { return statusCode_; }
  // The server's description as received (control characters shown as
  // "\xNN"); empty when it sent none.
  const std::string& getDescription() const { return description_; }

  // "CIM_ERR_FAILED" ... "CIM_ERR_SERVER_IS_SHUTTING_DOWN"; "CIM status N"
  // for a code without a name.
  static std::string statusName(int statusCode);

  enum StatusCode {
    kFailed = 1,
    kAccessDenied = 2,
    kInvalidNamespace = 3,
    kInvalidParameter = 4,
    kInvalidClass = 5,
    kNotFound = 6,
    kNotSupported = 7,
  };

 private:
  int statusCode_;
  std::string description_;
};

// A null value was read as a value of a type.
class NullValueException : public Exception {
 public:
  using Exception::Exception;
};

// A value was read as a type it does not have, or a text is no value of the
// type it should have.
class ValueCastException : public Exception {
 public:
  using Exception::Exception;
};

// An index or a position past the end.
class OutOfBoundsException : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_EXCEPTION_H

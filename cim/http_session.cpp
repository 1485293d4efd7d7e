#include "cim/http_session.h"

#include <curl/curl.h>
#include <openssl/x509.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <new>

#include "cim/exception.h"
#include "cim/names.h"
#include "cim/reply_headers.h"
#include "cim/request_writer.h"
#include "cim/response_decoder.h"

namespace cim {
namespace {

using Clock = std::chrono::steady_clock;

// Everything the callbacks of one request share with the code that runs it.
// The callbacks are called from inside libcurl: they never throw, they keep
// the failure here and tell libcurl to stop.
struct Exchange {
  ResponseDecoder* decoder = nullptr;
  ReplyHeaders headers;
  bool bodyStarted = false;
  bool connected = false;  // the connection is ready: silence now counts as a stall
  bool stalled = false;
  Clock::time_point lastByte;
  std::chrono::milliseconds stallTimeout{0};
  std::exception_ptr failure;
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto* exchange = static_cast<Exchange*>(user);
  const size_t length = size * count;
  try {
    exchange->lastByte = Clock::now();
    exchange->headers.addLine(std::string_view(data, length));
    return length;
  } catch (...) {
    exchange->failure = std::current_exception();
    return 0;
  }
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto* exchange = static_cast<Exchange*>(user);
  const size_t length = size * count;
  try {
    exchange->lastByte = Clock::now();
    // The body of a failure status is no CIM-XML; its headers say it all.
    if (exchange->headers.status != 200) return length;
    if (!exchange->bodyStarted) {
      exchange->bodyStarted = true;
      exchange->decoder->setEncoding(exchange->headers.charset);
    }
    return exchange->decoder->feed(data, length) ? length : 0;
  } catch (...) {
    exchange->failure = std::current_exception();
    return 0;
  }
}

// Called once the connection (new or reused) is ready for the request.
int onConnected(void* user, char*, char*, int, int) {
  auto* exchange = static_cast<Exchange*>(user);
  exchange->connected = true;
  exchange->lastByte = Clock::now();
  return CURL_PREREQFUNC_OK;
}

// Called about once a second while a request runs.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* exchange = static_cast<Exchange*>(user);
  if (exchange->connected && Clock::now() - exchange->lastByte > exchange->stallTimeout) {
    exchange->stalled = true;
    return 1;
  }
  return 0;
}

// RFC 6761: names under "invalid" never resolve, and asking a name server
// about them would only send them off the machine.
bool isReservedInvalidName(std::string name) {
  if (!name.empty() && name.back() == '.') name.pop_back();
  const std::string suffix = ".invalid";
  return equalsIgnoreCase(name, "invalid") ||
         (name.size() > suffix.size() &&
          equalsIgnoreCase(std::string_view(name).substr(name.size() - suffix.size()), suffix));
}

std::string secondsText(std::chrono::milliseconds duration) {
  const auto count = duration.count();
  if (count == 1000) return "1 second";
  if (count % 1000 == 0) return std::to_string(count / 1000) + " seconds";
  return std::to_string(count) + " milliseconds";
}

bool isTlsFailure(CURLcode code) {
  switch (code) {
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CLIENTCERT:
    case CURLE_USE_SSL_FAILED:
      return true;
    default:
      return false;
  }
}

// TLS sessions shared by every HTTP session of the process, so that the second
// client of a server (the collection after the connection check) resumes the
// first one's session instead of a full handshake. libcurl offers a session
// only to a connection with the same host, port and TLS settings. Null when
// libcurl cannot make the share: each client then negotiates its own session.
// Kept until the process ends; the program has one thread, so it needs no lock.
CURLSH* sharedTlsSessions() {
  static CURLSH* const share = [] {
    CURLSH* made = curl_share_init();
    if (made != nullptr &&
        curl_share_setopt(made, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION) != CURLSHE_OK) {
      curl_share_cleanup(made);
      made = nullptr;
    }
    return made;
  }();
  return share;
}

}  // namespace

class HttpSession::Impl {
 public:
  Impl(const ServiceAddress& address, const Timeouts& timeouts, const TlsSettings& tls)
      : address_(address), timeouts_(timeouts), tls_(tls), url_(address.requestUrl()) {
    static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (initialised != CURLE_OK) throw Exception("the HTTP library could not be initialised");
    curl_ = curl_easy_init();
    if (curl_ == nullptr) throw std::bad_alloc();
    configure();
  }

  ~Impl() { curl_easy_cleanup(curl_); }

  void post(const std::string& method, const std::string& nameSpace, const std::string& body,
            ResponseDecoder& decoder) {
    if (isReservedInvalidName(address_.host)) throwUnresolvable();
    Exchange exchange;
    exchange.decoder = &decoder;
    exchange.stallTimeout = timeouts_.stall;
    exchange.lastByte = Clock::now();
    const CURLcode result = perform(method, nameSpace, body, exchange);
    throwIfFailed(result, exchange, decoder);
  }

 private:
  // Owns the header fields of one request.
  struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
    void append(const std::string& field) {
      curl_slist* extended = curl_slist_append(list, field.c_str());
      if (extended == nullptr) throw std::bad_alloc();
      list = extended;
    }
  };

  CURLcode perform(const std::string& method, const std::string& nameSpace, const std::string& body,
                   Exchange& exchange) {
    HeaderList headers;
    for (const std::string& field :
         {std::string("Content-Type: application/xml; charset=\"utf-8\""),
          std::string("CIMProtocolVersion: 1.0"), std::string("CIMOperation: MethodCall"),
          "CIMMethod: " + encodeHeaderValue(method), "CIMObject: " + encodeHeaderValue(nameSpace),
          std::string("TE: trailers"), std::string("Expect:")}) {
      headers.append(field);
    }
    errorText_[0] = '\0';
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers.list);
    curl_easy_setopt(curl_, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl_, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(curl_, CURLOPT_PREREQDATA, &exchange);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, &exchange);
    const CURLcode result = curl_easy_perform(curl_);
    curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, nullptr);
    return result;
  }

  // Throws what went wrong with the exchange, in the order of what explains
  // the most: a failure inside a callback, silence, a CIM status in the
  // headers, the transfer, the HTTP status, the trailer, the body.
  void throwIfFailed(CURLcode result, const Exchange& exchange, ResponseDecoder& decoder) const {
    if (exchange.failure) std::rethrow_exception(exchange.failure);
    if (exchange.stalled) {
      throw SocketException("no data received from " + address_.hostAndPort() + " for " +
                                secondsText(timeouts_.stall),
                            SocketException::kOther);
    }
    const ReplyHeaders& reply = exchange.headers;
    if (result == CURLE_WRITE_ERROR && decoder.failed()) {
      if (reply.cimStatusCode != 0) {
        throw CIMException(reply.cimStatusCode, reply.cimStatusDescription);
      }
      decoder.rethrowFailure();
    }
    if (result != CURLE_OK) throwTransferFailure(result, exchange.connected);
    if (reply.status != 200) {
      throw HTTPException(reply.failureMessage(), reply.status, reply.cimError);
    }
    decoder.finish();
    // A status trailer reports a failure that came after the body had begun,
    // so it outweighs whatever the body holds.
    if (reply.cimStatusCode != 0) {
      throw CIMException(reply.cimStatusCode, reply.cimStatusDescription);
    }
    decoder.rethrowFailure();
    if (decoder.hasError()) throw CIMException(decoder.errorCode(), decoder.errorDescription());
  }

  void configure() {
    curl_easy_setopt(curl_, CURLOPT_URL, url_.c_str());
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl_, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl_, CURLOPT_POST, 1L);
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorText_);
    // The command line is the only input: proxy variables are not followed.
    curl_easy_setopt(curl_, CURLOPT_PROXY, "");
    curl_easy_setopt(curl_, CURLOPT_NOPROXY, "*");
    configureVerification();
    if (CURLSH* share = sharedTlsSessions()) curl_easy_setopt(curl_, CURLOPT_SHARE, share);
    // libcurl advertises what it can decode and decodes it before onBody.
    curl_easy_setopt(curl_, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(timeouts_.connect.count()));
    if (address_.hasCredentials) {
      // Handed over as they are: no URL parsing can misread "@", ":" or "%".
      curl_easy_setopt(curl_, CURLOPT_USERNAME, address_.user.c_str());
      curl_easy_setopt(curl_, CURLOPT_PASSWORD, address_.password.c_str());
      curl_easy_setopt(curl_, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    }
    curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &onHeader);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &onBody);
    curl_easy_setopt(curl_, CURLOPT_PREREQFUNCTION, &onConnected);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &onProgress);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
  }

  void configureVerification() {
    if (tls_.caCertificates.empty()) {
      // Managed servers ship self-signed certificates; nothing to verify against.
      curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 0L);
      curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 0L);
      return;
    }
    // The given certificates and no others: the system's trust store stays out.
    curl_blob certificates{tls_.caCertificates.data(), tls_.caCertificates.size(), CURL_BLOB_COPY};
    curl_easy_setopt(curl_, CURLOPT_CAINFO, static_cast<char*>(nullptr));
    curl_easy_setopt(curl_, CURLOPT_CAPATH, static_cast<char*>(nullptr));
    curl_easy_setopt(curl_, CURLOPT_CAINFO_BLOB, &certificates);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
  }

  // Why the server's certificate was refused: the verdict of the chain check,
  // or else libcurl's own text (a certificate that does not name the host).
  std::string verificationFailure(const std::string& detail) const {
    long verdict = X509_V_OK;
    curl_easy_getinfo(curl_, CURLINFO_SSL_VERIFYRESULT, &verdict);
    if (verdict == X509_V_OK || verdict == X509_V_ERR_UNSPECIFIED) return detail;
    return X509_verify_cert_error_string(verdict);
  }

  [[noreturn]] void throwUnresolvable() const {
    throw Exception("unable to resolve host name '" + address_.host + "'");
  }

  [[noreturn]] void throwTransferFailure(CURLcode result, bool connected) const {
    const std::string where = address_.hostAndPort();
    const std::string detail = errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(result);
    long osError = 0;
    curl_easy_getinfo(curl_, CURLINFO_OS_ERRNO, &osError);
    switch (result) {
      case CURLE_COULDNT_RESOLVE_HOST:
        throwUnresolvable();
      case CURLE_COULDNT_CONNECT:
        if (osError == ECONNREFUSED) {
          throw SocketException("connection refused by " + where,
                                SocketException::kConnectionRefused);
        }
        if (osError == ETIMEDOUT) {
          throw SocketException("connection to " + where + " timed out",
                                SocketException::kConnectTimedOut);
        }
        throw SocketException(
            "unable to connect to " + where + ": " +
                (osError != 0 ? std::strerror(static_cast<int>(osError)) : detail),
            SocketException::kOther);
      case CURLE_OPERATION_TIMEDOUT:
        if (!connected) {
          throw SocketException(
              "connection to " + where + " timed out after " + secondsText(timeouts_.connect),
              SocketException::kConnectTimedOut);
        }
        throw SocketException("no data received from " + where + ": " + detail,
                              SocketException::kOther);
      case CURLE_SEND_ERROR:
      case CURLE_RECV_ERROR:
      case CURLE_GOT_NOTHING:
      case CURLE_PARTIAL_FILE:
        throw SocketException("connection to " + where + " lost: " + detail,
                              SocketException::kOther);
      case CURLE_WEIRD_SERVER_REPLY:
      case CURLE_HTTP2:
        throw HTTPException("the reply of " + where + " is not valid HTTP: " + detail, 0, "");
      case CURLE_BAD_CONTENT_ENCODING:
        throw Exception("the response body could not be decompressed: " + detail);
      case CURLE_OUT_OF_MEMORY:
        throw std::bad_alloc();
      case CURLE_PEER_FAILED_VERIFICATION:
        throw SSLException(
            "TLS failure with " + where +
            ": the server's certificate was not accepted: " + verificationFailure(detail));
      default:
        if (isTlsFailure(result)) {
          throw SSLException("TLS failure with " + where + ": " + detail);
        }
        throw Exception("the request to " + where + " failed: " + detail);
    }
  }

  ServiceAddress address_;
  Timeouts timeouts_;
  TlsSettings tls_;
  std::string url_;
  CURL* curl_ = nullptr;
  char errorText_[CURL_ERROR_SIZE] = {};
};

HttpSession::HttpSession(const ServiceAddress& address, const Timeouts& timeouts,
                         const TlsSettings& tls)
    : impl_(std::make_unique<Impl>(address, timeouts, tls)) {}

HttpSession::~HttpSession() = default;

void HttpSession::post(const std::string& method, const std::string& nameSpace,
                       const std::string& body, ResponseDecoder& decoder) {
  impl_->post(method, nameSpace, body, decoder);
}

}  // namespace cim

#include "cim/tls_settings.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace cim {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
struct BioFreer {
  void operator()(BIO* bio) const { BIO_free(bio); }
};
struct X509Freer {
  void operator()(X509* certificate) const { X509_free(certificate); }
};

// Reads the whole file into text; false with reason set when that fails.
bool readFile(const std::string& path, std::string& text, std::string& reason) {
  errno = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    reason = std::strerror(errno);
    return false;
  }
  char buffer[16384];
  for (;;) {
    const std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
    if (count > kMaxCaCertificatesBytes - text.size()) {
      reason = "the file is larger than " + std::to_string(kMaxCaCertificatesBytes >> 20) + " MiB";
      return false;
    }
    text.append(buffer, count);
    if (count < sizeof buffer) break;
  }
  if (std::ferror(file.get())) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}

// A certificate never has a pass phrase; no prompt for one may reach the
// terminal.
int noPassPhrase(char*, int, int, void*) { return 0; }

// Counts the certificates in PEM text as the TLS library reads them; false
// with reason set when one of them cannot be read.
bool countCertificates(const std::string& text, int& count, std::string& reason) {
  ERR_clear_error();
  std::unique_ptr<BIO, BioFreer> bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
  if (!bio) throw std::bad_alloc();
  count = 0;
  for (;;) {
    std::unique_ptr<X509, X509Freer> certificate(
        PEM_read_bio_X509(bio.get(), nullptr, &noPassPhrase, nullptr));
    if (!certificate) break;
    ++count;
  }
  const unsigned long last = ERR_peek_last_error();
  // The first error is the cause, the later ones say where it surfaced.
  const unsigned long cause = ERR_peek_error();
  ERR_clear_error();
  // Running out of PEM blocks is how reading ends.
  if (last == 0 ||
      (ERR_GET_LIB(last) == ERR_LIB_PEM && ERR_GET_REASON(last) == PEM_R_NO_START_LINE)) {
    return true;
  }
  const char* causeText = ERR_reason_error_string(cause);
  reason = "certificate " + std::to_string(count + 1) +
           " in it cannot be read: " + (causeText != nullptr ? causeText : "unknown error");
  return false;
}

}  // namespace

bool loadCaCertificates(const std::string& path, TlsSettings& settings, std::string& reason) {
  std::string text;
  if (!readFile(path, text, reason)) return false;
  int count = 0;
  if (!countCertificates(text, count, reason)) return false;
  if (count == 0) {
    reason = "the file holds no PEM certificate";
    return false;
  }
  settings.caCertificates = std::move(text);
  return true;
}

}  // namespace cim

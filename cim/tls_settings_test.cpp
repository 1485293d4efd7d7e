#include "cim/tls_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace cim {
namespace {

const std::string kCertificate =
    "-----BEGIN CERTIFICATE-----\n"
    "MIIBlTCCATugAwIBAgIUTL51EOIhQ2y4w6g8N97Dfb9pRpwwCgYIKoZIzj0EAwIw\n"
    "HzEdMBsGA1UEAwwUdGVsdmFuZSB1bml0IHRlc3QgQ0EwIBcNMjYxMjExMTE1NzUy\n"
    "WhgPMjEyNjExMTcxMTU3NTJaMB8xHTAbBgNVBAMMFHRlbHZhbmUgdW5pdCB0ZXN0\n"
    "IENBMFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEyG689MxczgTKsfoNcWsq7uRX\n"
    "rs/rr6W+o7IOMb8FeC7fTRaghpP56OchpNp1Qf5RqQwPbfYokf2eQHyEznLGsaNT\n"
    "MFEwHQYDVR0OBBYEFMsPZWDYpBe+uwdS/V+RQpK7LfsuMB8GA1UdIwQYMBaAFMsP\n"
    "ZWDYpBe+uwdS/V+RQpK7LfsuMA8GA1UdEwEB/wQFMAMBAf8wCgYIKoZIzj0EAwID\n"
    "SAAwRQIgKgOuBzX4th9vGhBskrmH8u1rCyH2AL/DG5MkgZQWFkICIQDt8kyIvKwg\n"
    "zcaYgcWkNy0S6X8/pARa2gV4wXsNqnx9kQ==\n"
    "-----END CERTIFICATE-----\n";

const std::string kPublicKey =
    "-----BEGIN PUBLIC KEY-----\n"
    "MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEyG689MxczgTKsfoNcWsq7uRXrs/r\n"
    "r6W+o7IOMb8FeC7fTRaghpP56OchpNp1Qf5RqQwPbfYokf2eQHyEznLGsQ==\n"
    "-----END PUBLIC KEY-----\n";

// A temporary directory for the files of one test.
class TlsSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tls-settings-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
  }
  void TearDown() override {
    for (const std::string& file : files_) unlink(file.c_str());
    rmdir(directory_.c_str());
  }
  std::string write(const std::string& name, const std::string& content) {
    const std::string path = directory_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    files_.push_back(path);
    return path;
  }

  std::string directory_;
  std::vector<std::string> files_;
};

TEST_F(TlsSettingsTest, TakesAFileWithCertificatesWhateverElseItHolds) {
  const std::string content = "# bundle\n" + kPublicKey + kCertificate + "text\n" + kCertificate;
  TlsSettings settings;
  std::string reason;
  ASSERT_TRUE(loadCaCertificates(write("bundle.pem", content), settings, reason)) << reason;
  EXPECT_EQ(settings.caCertificates, content);
}

TEST_F(TlsSettingsTest, RefusesFilesThatCannotServeWithTheirReason) {
  std::string corrupt = kCertificate;
  corrupt.replace(corrupt.find("MIIB"), 4, "MIIC");  // the DER length no longer fits
  const struct {
    std::string path;
    std::string reason;
  } rows[] = {
      {directory_ + "/missing.pem", "No such file or directory"},
      {directory_, "Is a directory"},
      {write("empty.pem", ""), "the file holds no PEM certificate"},
      {write("key.pem", kPublicKey), "the file holds no PEM certificate"},
      {write("corrupt.pem", kCertificate + corrupt), "certificate 2 in it cannot be read: "},
      {write("large.pem", std::string(kMaxCaCertificatesBytes + 1, '#')),
       "the file is larger than 16 MiB"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    TlsSettings settings;
    std::string reason;
    EXPECT_FALSE(loadCaCertificates(row.path, settings, reason));
    EXPECT_EQ(reason.substr(0, row.reason.size()), row.reason);
    EXPECT_EQ(settings.caCertificates, "");
  }
}

}  // namespace
}  // namespace cim

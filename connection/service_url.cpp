#include "connection/service_url.h"

namespace connection {
namespace {

void appendEscaped(std::string& out, unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

void appendCredential(std::string& out, const Common::string& text) {
  for (unsigned i = 0; i < text.length(); ++i) {
    const auto byte = static_cast<unsigned char>(*text.at(i));
    if (isUnreserved(byte)) {
      out += static_cast<char>(byte);
    } else {
      appendEscaped(out, byte);
    }
  }
}

// Host bytes that stand for themselves in the authority of a URL; brackets
// and ":" are the syntax of IPv6 literals and ports, bytes above ASCII belong
// to internationalised names.
bool keptInHost(unsigned char c) {
  return isUnreserved(c) || c == ':' || c == '[' || c == ']' || c >= 0x80;
}

void appendHost(std::string& out, const Common::string& server) {
  unsigned colons = 0;
  for (unsigned i = 0; i < server.length(); ++i) colons += *server.at(i) == ':';
  // Two or more colons without brackets: an IPv6 address, which needs them.
  const bool bracket = colons >= 2 && *server.at(0) != '[';
  if (bracket) out += '[';
  for (unsigned i = 0; i < server.length(); ++i) {
    const auto byte = static_cast<unsigned char>(*server.at(i));
    if (keptInHost(byte)) {
      out += static_cast<char>(byte);
    } else {
      appendEscaped(out, byte);
    }
  }
  if (bracket) out += ']';
}

}  // namespace

std::string buildServiceUrl(const Common::string& server, const Common::string& user,
                            const Common::string& password) {
  std::string url = "https://";
  appendCredential(url, user);
  if (!password.empty()) {
    url += ':';
    appendCredential(url, password);
  }
  url += '@';
  appendHost(url, server);
  url += '/';
  return url;
}

}  // namespace connection

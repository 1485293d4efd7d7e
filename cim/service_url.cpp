#include "cim/service_url.h"

#include "cim/exception.h"

namespace cim {
namespace {

constexpr unsigned kHttpsPort = 5989;
constexpr unsigned kHttpPort = 5988;
const char kDefaultPath[] = "/cimom";

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes %XX escapes; false when an escape is malformed.
bool percentDecode(const std::string& text, std::string& out) {
  out.clear();
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = hexValue(text[i + 1]);
    const int low = hexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

bool startsWithIgnoreCase(const std::string& text, const char* prefix) {
  for (std::size_t i = 0; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

bool isHostNameByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c >= 0x80;  // non-ASCII: internationalised names
}

bool isIpv6Byte(char c) { return hexValue(c) >= 0 || c == ':' || c == '.'; }

bool isZoneByte(unsigned char c) { return isHostNameByte(c) && c < 0x80; }

[[noreturn]] void throwBadHost(const std::string& host) {
  throw Exception("'" + host + "' is not a valid host name or address");
}

// "[v6]" with an optional "%25zone" (RFC 6874) inside the brackets.
void parseBracketedHost(const std::string& bracketed, ServiceAddress& address) {
  const std::string inner = bracketed.substr(1, bracketed.size() - 2);
  std::string decoded;
  if (!percentDecode(inner, decoded)) throwBadHost(bracketed);
  const std::size_t zone = decoded.find('%');
  const std::string ip = decoded.substr(0, zone);
  bool valid = ip.find(':') != std::string::npos;
  for (char c : ip) valid = valid && isIpv6Byte(c);
  if (zone != std::string::npos) {
    valid = valid && zone + 1 < decoded.size();
    for (std::size_t i = zone + 1; i < decoded.size(); ++i) {
      valid = valid && isZoneByte(static_cast<unsigned char>(decoded[i]));
    }
  }
  if (!valid) throwBadHost(bracketed);
  address.host = decoded;
  address.isIpv6Literal = true;
}

void parsePort(const std::string& text, const std::string& hostText, ServiceAddress& address) {
  unsigned long port = 0;
  bool valid = !text.empty() && text.size() <= 5;
  for (char c : text) {
    valid = valid && c >= '0' && c <= '9';
    if (valid) port = port * 10 + static_cast<unsigned long>(c - '0');
  }
  if (!valid || port == 0 || port > 65535) {
    throw Exception("'" + text + "' is not a valid port number for host '" + hostText + "'");
  }
  address.port = static_cast<unsigned>(port);
}

void parseHostAndPort(const std::string& text, ServiceAddress& address) {
  if (text.empty()) throw Exception("the service URL names no host");
  std::string hostText = text;
  std::string portText;
  bool hasPort = false;
  if (text[0] == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string::npos) throwBadHost(text);
    hostText = text.substr(0, close + 1);
    if (close + 1 < text.size()) {
      if (text[close + 1] != ':') throwBadHost(text);
      portText = text.substr(close + 2);
      hasPort = true;
    }
    parseBracketedHost(hostText, address);
  } else {
    const std::size_t colon = text.find(':');
    if (colon != std::string::npos && text.find(':', colon + 1) != std::string::npos) {
      throw Exception("the IPv6 address '" + text + "' must be enclosed in brackets");
    }
    if (colon != std::string::npos) {
      hostText = text.substr(0, colon);
      portText = text.substr(colon + 1);
      hasPort = true;
    }
    std::string decoded;
    if (!percentDecode(hostText, decoded)) throwBadHost(hostText);
    if (decoded.empty()) throw Exception("the service URL names no host");
    for (char c : decoded) {
      if (!isHostNameByte(static_cast<unsigned char>(c))) throwBadHost(decoded);
    }
    address.host = decoded;
  }
  if (hasPort) parsePort(portText, hostText, address);
}

}  // namespace

ServiceAddress parseServiceUrl(const std::string& url) {
  ServiceAddress address;
  std::size_t at;
  if (startsWithIgnoreCase(url, "https://")) {
    at = 8;
  } else if (startsWithIgnoreCase(url, "http://")) {
    address.useTls = false;
    at = 7;
  } else {
    throw Exception("the service URL must begin with https:// or http://");
  }
  address.port = address.useTls ? kHttpsPort : kHttpPort;

  std::string rest = url.substr(at);
  const std::size_t lastAt = rest.rfind('@');
  if (lastAt != std::string::npos) {
    const std::string userInfo = rest.substr(0, lastAt);
    rest.erase(0, lastAt + 1);
    const std::size_t colon = userInfo.find(':');
    address.hasCredentials = true;
    if (!percentDecode(userInfo.substr(0, colon), address.user) ||
        (colon != std::string::npos &&
         !percentDecode(userInfo.substr(colon + 1), address.password))) {
      throw Exception(
          "the user name or password in the service URL is not validly percent-encoded");
    }
  }

  const std::size_t pathStart = rest.find_first_of("/?#");
  parseHostAndPort(rest.substr(0, pathStart), address);
  const std::string path = pathStart == std::string::npos ? "" : rest.substr(pathStart);
  if (path.find_first_of("?#") != std::string::npos) {
    throw Exception("the service URL must not have a query or fragment");
  }
  address.path = (path.empty() || path == "/") ? kDefaultPath : path;
  return address;
}

std::string ServiceAddress::requestUrl() const {
  return std::string(useTls ? "https://" : "http://") + hostAndPort() + path;
}

std::string ServiceAddress::hostAndPort() const {
  std::string text;
  if (isIpv6Literal) {
    text = "[";
    for (char c : host) text += c == '%' ? std::string("%25") : std::string(1, c);
    text += "]";
  } else {
    text = host;
  }
  return text + ":" + std::to_string(port);
}

}  // namespace cim

#include "cim/reply_headers.h"

#include "cim/names.h"

namespace cim {
namespace {

// Longest server text (reason, detail) that goes into a message.
constexpr std::size_t kMaxShownText = 300;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Servers send descriptions percent-encoded or plain; a "%" that starts no
// valid escape is kept as it is.
std::string percentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
        hexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string shown(std::string_view text) {
  if (text.size() <= kMaxShownText) return std::string(text);
  return std::string(text.substr(0, kMaxShownText)) + "...";
}

// The charset parameter of a Content-Type value, when the XML parser can use
// it; other names are left to the document's own declaration.
std::string charsetOf(std::string_view contentType) {
  std::size_t at = 0;
  while ((at = contentType.find(';', at)) != std::string_view::npos) {
    std::string_view parameter = trimmed(contentType.substr(at + 1));
    at += 1;
    if (!startsWithIgnoreCase(parameter, "charset=")) continue;
    std::string_view value = parameter.substr(8);
    value = value.substr(0, value.find(';'));
    value = trimmed(value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    for (const char* known : {"utf-8", "utf-16", "iso-8859-1", "us-ascii"}) {
      if (equalsIgnoreCase(value, known)) return known;
    }
    return std::string();
  }
  return std::string();
}

const char* standardReason(long status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 407:
      return "Proxy Authentication Required";
    case 411:
      return "Length Required";
    case 413:
      return "Payload Too Large";
    case 417:
      return "Expectation Failed";
    case 500:
      return "Internal Server Error";
    case 501:
      return "Not Implemented";
    case 502:
      return "Bad Gateway";
    case 503:
      return "Service Unavailable";
    case 504:
      return "Gateway Timeout";
    default:
      return "";
  }
}

}  // namespace

void ReplyHeaders::addLine(std::string_view line) {
  if (startsWithIgnoreCase(line, "HTTP/")) {
    *this = ReplyHeaders();
    const std::size_t afterVersion = line.find(' ');
    const std::string_view rest =
        trimmed(afterVersion == std::string_view::npos ? "" : line.substr(afterVersion));
    const std::size_t space = rest.find(' ');
    for (char c : rest.substr(0, space)) {
      if (c < '0' || c > '9' || status > 999) break;
      status = status * 10 + (c - '0');
    }
    if (space != std::string_view::npos) reason = shown(trimmed(rest.substr(space + 1)));
    return;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  std::string_view name = trimmed(line.substr(0, colon));
  const std::string_view value = trimmed(line.substr(colon + 1));
  // M-POST replies prefix the CIM fields with a two-digit namespace: "23-CIMError".
  if (name.size() > 3 && name[0] >= '0' && name[0] <= '9' && name[1] >= '0' && name[1] <= '9' &&
      name[2] == '-') {
    name.remove_prefix(3);
  }
  if (equalsIgnoreCase(name, "CIMError")) {
    cimError = shown(value);
  } else if (equalsIgnoreCase(name, "PGErrorDetail") ||
             equalsIgnoreCase(name, "CIMErrorDescription")) {
    errorDetail = shown(percentDecoded(value));
  } else if (equalsIgnoreCase(name, "WWW-Authenticate")) {
    if (wwwAuthenticate.empty()) wwwAuthenticate = shown(value);
  } else if (equalsIgnoreCase(name, "Content-Type")) {
    charset = charsetOf(value);
  } else if (equalsIgnoreCase(name, "CIMStatusCode")) {
    int code = 0;
    for (char c : value) {
      if (c < '0' || c > '9' || code > 100000) {
        code = -1;
        break;
      }
      code = code * 10 + (c - '0');
    }
    // An unreadable code still says the operation failed.
    cimStatusCode = value.empty() ? 0 : (code < 0 ? 1 : code);
  } else if (equalsIgnoreCase(name, "CIMStatusCodeDescription")) {
    cimStatusDescription = percentDecoded(value);
  }
}

std::string ReplyHeaders::failureMessage() const {
  std::string message = "HTTP " + std::to_string(status);
  const std::string shownReason = reason.empty() ? standardReason(status) : reason;
  if (!shownReason.empty()) message += " " + shownReason;
  if (status == 401) {
    message += ": Authentication failure";
    if (!wwwAuthenticate.empty() && !startsWithIgnoreCase(wwwAuthenticate, "Basic")) {
      const std::string_view scheme =
          std::string_view(wwwAuthenticate).substr(0, wwwAuthenticate.find(' '));
      message += " (the server asks for " + std::string(scheme) + " authentication, not Basic)";
    }
  }
  if (!cimError.empty()) message += " (CIMError: " + cimError + ")";
  if (!errorDetail.empty()) message += ": " + errorDetail;
  return message;
}

}  // namespace cim

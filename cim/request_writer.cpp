#include "cim/request_writer.h"

namespace cim {
namespace {

void appendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
}

void appendNamed(std::string& out, const char* open, std::string_view name, const char* close) {
  out += open;
  appendEscaped(out, name);
  out += close;
}

bool isUnreserved(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

std::vector<std::string> namespaceParts(const std::string& nameSpace) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= nameSpace.size()) {
    std::size_t slash = nameSpace.find('/', start);
    if (slash == std::string::npos) slash = nameSpace.size();
    if (slash > start) parts.push_back(nameSpace.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

std::string writeIMethodCall(const IMethodCall& call, unsigned messageId) {
  std::string body;
  body.reserve(640);
  body += "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n";
  body += "<CIM CIMVERSION=\"2.0\" DTDVERSION=\"2.0\"><MESSAGE ID=\"";
  body += std::to_string(messageId);
  body += "\" PROTOCOLVERSION=\"1.0\"><SIMPLEREQ>";
  appendNamed(body, "<IMETHODCALL NAME=\"", call.method, "\"><LOCALNAMESPACEPATH>");
  for (const std::string& part : namespaceParts(call.nameSpace)) {
    appendNamed(body, "<NAMESPACE NAME=\"", part, "\"/>");
  }
  body += "</LOCALNAMESPACEPATH>";
  appendNamed(body, "<IPARAMVALUE NAME=\"ClassName\"><CLASSNAME NAME=\"", call.className,
              "\"/></IPARAMVALUE>");
  for (const auto& [name, value] : call.flags) {
    appendNamed(body, "<IPARAMVALUE NAME=\"", name, "\"><VALUE>");
    body += value ? "TRUE" : "FALSE";
    body += "</VALUE></IPARAMVALUE>";
  }
  if (call.propertyList != nullptr) {
    body += "<IPARAMVALUE NAME=\"PropertyList\"><VALUE.ARRAY>";
    for (const std::string& property : *call.propertyList) {
      appendNamed(body, "<VALUE>", property, "</VALUE>");
    }
    body += "</VALUE.ARRAY></IPARAMVALUE>";
  }
  body += "</IMETHODCALL></SIMPLEREQ></MESSAGE></CIM>\n";
  return body;
}

std::string encodeHeaderValue(std::string_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (isUnreserved(byte)) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

}  // namespace cim

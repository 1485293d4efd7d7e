#include "cim/object_path.h"

namespace cim {
namespace {

void appendQuoted(std::string& out, const std::string& value) {
  out += '"';
  for (char c : value) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string ObjectPath::toString() const {
  std::string out;
  if (!host.empty()) out += "//" + host;
  if (!host.empty() || !nameSpace.empty()) {
    out += '/';
    out += nameSpace;
    out += ':';
  }
  out += className;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const Key& key = keys[i];
    out += i == 0 ? '.' : ',';
    if (!key.name.empty()) {
      out += key.name;
      out += '=';
    }
    if (key.kind == kPlainKey) {
      out += key.value;
    } else {
      appendQuoted(out, key.value);
    }
  }
  return out;
}

}  // namespace cim

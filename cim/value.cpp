#include "cim/value.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "cim/exception.h"
#include "cim/names.h"

namespace cim {
namespace {

const char kNullText[] = "(null)";

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isXmlSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isXmlSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Types whose text is a number, a boolean or a datetime: surrounding white
// space is no part of the value, and an empty text means null.
bool isTrimmedType(CIMDataType::Type type) {
  return type != CIMDataType::kString && type != CIMDataType::kChar16 &&
         type != CIMDataType::kReference;
}

[[noreturn]] void throwNotA(CIMDataType::Type type, std::string_view text) {
  const std::size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  if (text.size() > kShown) shown += "...";
  throw ValueCastException("'" + shown + "' is not a valid " + CIMDataType(type, false).toString() +
                           " value");
}

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal or "0x" hexadecimal, with an optional sign, into plain decimal. A
// number outside the range of its type is kept (a provider that overflows its
// declared type still says something worth showing); text that is no number
// is refused.
void normaliseInteger(CIMDataType::Type type, std::string_view text, std::string& out) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    std::uint64_t magnitude = 0;
    const char* end = digits.data() + digits.size();
    const auto parsed = std::from_chars(digits.data(), end, magnitude, 16);
    if (parsed.ec != std::errc() || parsed.ptr != end) throwNotA(type, text);
    char buffer[24];
    char* last = buffer;
    if (negative && magnitude != 0) *last++ = '-';
    out.assign(buffer, std::to_chars(last, buffer + sizeof buffer, magnitude).ptr);
    return;
  }
  if (digits.empty()) throwNotA(type, text);
  for (char c : digits) {
    if (!isDecimalDigit(c)) throwNotA(type, text);
  }
  while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
  out.clear();
  if (negative && digits != "0") out += '-';
  out.append(digits);
}

template <typename Real>
void normaliseReal(CIMDataType::Type type, std::string_view text, std::string& out) {
  std::string_view number = text;
  if (number.size() > 1 && number.front() == '+' && number[1] != '-' && number[1] != '+') {
    number.remove_prefix(1);
  }
  Real value;
  const char* end = number.data() + number.size();
  const auto parsed = std::from_chars(number.data(), end, value);
  if (parsed.ec == std::errc::result_out_of_range && parsed.ptr == end &&
      sizeof(Real) < sizeof(double)) {
    // Beyond the range of real32: kept at the precision of real64 rather than lost.
    normaliseReal<double>(type, text, out);
    return;
  }
  if (number.empty() || parsed.ec != std::errc() || parsed.ptr != end) throwNotA(type, text);
  if (std::isnan(value)) {
    out = "NaN";
  } else if (std::isinf(value)) {
    out = value < 0 ? "-INF" : "INF";
  } else {
    char buffer[64];
    out.assign(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
  }
}

// Converts the CIM-XML text of one scalar into its stored form.
// Returns false when the text stands for null.
bool normalise(CIMDataType::Type type, std::string_view text, std::string& out) {
  if (type == CIMDataType::kString || type == CIMDataType::kChar16 ||
      type == CIMDataType::kReference) {
    out.assign(text);
    return true;
  }
  const std::string_view value = trimmed(text);
  if (value.empty()) return false;
  switch (type) {
    case CIMDataType::kBoolean:
      if (equalsIgnoreCase(value, "true")) {
        out = "true";
      } else if (equalsIgnoreCase(value, "false")) {
        out = "false";
      } else {
        throwNotA(type, text);
      }
      return true;
    case CIMDataType::kReal32:
      normaliseReal<float>(type, value, out);
      return true;
    case CIMDataType::kReal64:
      normaliseReal<double>(type, value, out);
      return true;
    case CIMDataType::kDatetime:
      out.assign(value);
      return true;
    case CIMDataType::kNull:
      throwNotA(type, text);
    default:
      normaliseInteger(type, value, out);
      return true;
  }
}

}  // namespace

CIMValue CIMValue::makeNull(CIMDataType type) {
  CIMValue value;
  value.type_ = type;
  return value;
}

CIMValue CIMValue::fromText(CIMDataType::Type type, std::string_view text) {
  CIMValue value;
  value.type_ = CIMDataType(type, false);
  value.isNull_ = !normalise(type, text, value.text_);
  return value;
}

CIMValue CIMValue::fromTextArray(CIMDataType::Type type, std::vector<std::string> texts,
                                 std::vector<std::size_t> nullPositions) {
  CIMValue value;
  value.type_ = CIMDataType(type, true);
  value.isNull_ = false;
  value.elements_ = std::move(texts);
  value.nullPositions_ = std::move(nullPositions);
  std::size_t nextNull = 0;
  std::vector<std::size_t> emptyPositions;
  for (std::size_t i = 0; i < value.elements_.size(); ++i) {
    std::string& element = value.elements_[i];
    if (nextNull < value.nullPositions_.size() && value.nullPositions_[nextNull] == i) {
      ++nextNull;
      element.clear();
      continue;
    }
    if (!isTrimmedType(type)) continue;  // strings are kept exactly as sent
    std::string normalised;
    if (normalise(type, element, normalised)) {
      element = std::move(normalised);
    } else {
      emptyPositions.push_back(i);
    }
  }
  if (!emptyPositions.empty()) {
    std::vector<std::size_t> merged;
    merged.reserve(value.nullPositions_.size() + emptyPositions.size());
    std::size_t a = 0, b = 0;
    while (a < value.nullPositions_.size() || b < emptyPositions.size()) {
      if (b == emptyPositions.size() ||
          (a < value.nullPositions_.size() && value.nullPositions_[a] < emptyPositions[b])) {
        merged.push_back(value.nullPositions_[a++]);
      } else {
        merged.push_back(emptyPositions[b++]);
      }
    }
    value.nullPositions_ = std::move(merged);
  }
  return value;
}

std::string CIMValue::toString() const {
  if (isNull_) return kNullText;
  if (!type_.isArray()) return text_;
  const std::size_t kNullLength = sizeof kNullText - 1;
  std::size_t length = elements_.size();
  for (const std::string& element : elements_) length += element.size();
  length += nullPositions_.size() * kNullLength;
  std::string joined;
  joined.reserve(length);
  std::size_t nextNull = 0;
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    if (i > 0) joined += ',';
    if (nextNull < nullPositions_.size() && nullPositions_[nextNull] == i) {
      ++nextNull;
      joined += kNullText;
    } else {
      joined += elements_[i];
    }
  }
  return joined;
}

const std::vector<std::string>& CIMValue::getStringArray() const {
  if (isNull_) throw NullValueException("a null value was read as a string array");
  if (!type_.isArray() || type_.getType() != CIMDataType::kString) {
    throw ValueCastException("a " + type_.toString() + (type_.isArray() ? " array" : "") +
                             " value was read as a string array");
  }
  return elements_;
}

std::size_t CIMValue::getArraySize() const {
  if (isNull_) throw NullValueException("a null value was read as an array");
  if (!type_.isArray()) {
    throw ValueCastException("a " + type_.toString() + " value was read as an array");
  }
  return elements_.size();
}

bool CIMValue::isNullElement(std::size_t i) const {
  if (i >= getArraySize()) {
    throw OutOfBoundsException("array element " + std::to_string(i) + " does not exist (size " +
                               std::to_string(elements_.size()) + ")");
  }
  for (std::size_t position : nullPositions_) {
    if (position == i) return true;
  }
  return false;
}

}  // namespace cim

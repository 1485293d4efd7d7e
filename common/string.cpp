#include "common/string.h"

#include <cstring>
#include <memory>

namespace Common {

namespace {

// A buffer of length + 1 bytes whose last byte is NUL.
char* newBuffer(unsigned length) {
  char* buffer = new char[length + 1];
  buffer[length] = '\0';
  return buffer;
}

unsigned char foldCase(unsigned char c) {
  return static_cast<unsigned>(c - 'A') < 26u ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool equalFolded(const char* left, const char* right, unsigned n) {
  for (unsigned i = 0; i < n; ++i) {
    if (foldCase(static_cast<unsigned char>(left[i])) !=
        foldCase(static_cast<unsigned char>(right[i]))) {
      return false;
    }
  }
  return true;
}

// Where a piece of n bytes (n < 0: up to the next NUL) from position starts and
// how long it is, cut at the end of a text of the given length.
void clampPiece(const char* bytes, unsigned length, unsigned& position, int n, unsigned& count) {
  if (position > length) position = length;
  const unsigned rest = length - position;
  if (n < 0) {
    count = static_cast<unsigned>(std::strlen(bytes + position));
  } else {
    count = static_cast<unsigned>(n) < rest ? static_cast<unsigned>(n) : rest;
  }
}

}  // namespace

string::string() : string("", 0) {}

string::string(const char* text, int length)
    : string(text,
             length < 0 ? static_cast<unsigned>(std::strlen(text)) : static_cast<unsigned>(length),
             "", 0) {}

string::string(const char* first, unsigned n1, const char* second, unsigned n2) {
  std::unique_ptr<unsigned> size(new unsigned(n1 + n2 + 1));
  std::unique_ptr<int> count(new int(1));
  bytes_ = newBuffer(n1 + n2);
  std::memcpy(bytes_, first, n1);
  std::memcpy(bytes_ + n1, second, n2);
  size_ = size.release();
  count_ = count.release();
}

string::string(char c) : string(&c, 1) {}

string::string(const string& other)
    : size_(other.size_), count_(other.count_), bytes_(other.bytes_) {
  ++*count_;
}

string& string::operator=(const string& other) {
  if (other.bytes_ == bytes_) return *this;
  ++*other.count_;
  release();
  size_ = other.size_;
  count_ = other.count_;
  bytes_ = other.bytes_;
  return *this;
}

string& string::operator=(const char* text) {
  const unsigned n = static_cast<unsigned>(std::strlen(text));
  char* fresh = newBuffer(n);
  std::memcpy(fresh, text, n);
  adopt(fresh, n);
  return *this;
}

string::~string() { release(); }

void string::release() {
  if (--*count_ == 0) {
    delete size_;
    delete count_;
    delete[] bytes_;
  }
}

void string::adopt(char* fresh, unsigned length) {
  if (*count_ == 1) {
    // The only owner keeps its count and size cells and swaps the buffer.
    delete[] bytes_;
    *size_ = length + 1;
    bytes_ = fresh;
    return;
  }
  std::unique_ptr<char[]> buffer(fresh);
  std::unique_ptr<unsigned> size(new unsigned(length + 1));
  int* count = new int(1);
  --*count_;
  size_ = size.release();
  count_ = count;
  bytes_ = buffer.release();
}

unsigned string::find(const char* text, unsigned start, unsigned n) const {
  const unsigned length = this->length();
  if (length < n || start > length - n) return npos;
  if (n == 0) return start;
  const char* const last = bytes_ + (length - n);
  for (const char* p = bytes_ + start; p <= last; ++p) {
    p = static_cast<const char*>(std::memchr(p, text[0], static_cast<size_t>(last - p) + 1));
    if (p == nullptr) return npos;
    if (std::memcmp(p, text, n) == 0) return static_cast<unsigned>(p - bytes_);
  }
  return npos;
}

unsigned string::find(const char* text, unsigned start) const {
  return find(text, start, static_cast<unsigned>(std::strlen(text)));
}

string string::substr(unsigned position, int n) const {
  unsigned count = 0;
  clampPiece(bytes_, length(), position, n, count);
  return string(bytes_ + position, static_cast<int>(count));
}

string& string::operator+=(const string& other) {
  const unsigned left = length();
  const unsigned right = other.length();
  char* fresh = newBuffer(left + right);
  std::memcpy(fresh, bytes_, left);
  std::memcpy(fresh + left, other.bytes_, right);
  adopt(fresh, left + right);
  return *this;
}

string& string::operator+=(const char* text) {
  const unsigned left = length();
  const unsigned right = static_cast<unsigned>(std::strlen(text));
  char* fresh = newBuffer(left + right);
  std::memcpy(fresh, bytes_, left);
  std::memcpy(fresh + left, text, right);
  adopt(fresh, left + right);
  return *this;
}

void string::replace(unsigned position, unsigned n, const string& replacement) {
  const unsigned length = this->length();
  if (position > length) position = length;
  if (n > length - position) n = length - position;
  const unsigned tail = length - position - n;
  const unsigned inserted = replacement.length();
  char* fresh = newBuffer(position + inserted + tail);
  std::memcpy(fresh, bytes_, position);
  std::memcpy(fresh + position, replacement.bytes_, inserted);
  std::memcpy(fresh + position + inserted, bytes_ + position + n, tail);
  adopt(fresh, position + inserted + tail);
}

string string::replaced(const char* from, const char* to) const {
  string copy(*this);
  replace_all(copy, from, to);
  return copy;
}

bool string::operator==(const string& other) const {
  if (bytes_ == other.bytes_) return true;
  return *size_ == *other.size_ && std::memcmp(bytes_, other.bytes_, length()) == 0;
}

bool string::operator==(const char* text) const {
  const unsigned length = this->length();
  return std::strlen(text) == length && std::memcmp(bytes_, text, length) == 0;
}

bool string::operator<(const string& other) const {
  // strcmp compares the bytes as unsigned char.
  return std::strcmp(bytes_, other.bytes_) < 0;
}

void replace_all(string& target, const char* from, const char* to) {
  const unsigned fromLength = static_cast<unsigned>(std::strlen(from));
  if (fromLength == 0) return;
  unsigned match = target.find(from, 0, fromLength);
  if (match == string::npos) return;

  // Searching again after the inserted text equals searching the original
  // after the replaced text, so one scan of the original finds every match.
  const unsigned toLength = static_cast<unsigned>(std::strlen(to));
  unsigned matches = 0;
  for (unsigned p = match; p != string::npos; p = target.find(from, p + fromLength, fromLength)) {
    ++matches;
  }
  const unsigned length = target.length() - matches * fromLength + matches * toLength;
  std::unique_ptr<char[]> fresh(newBuffer(length));
  char* out = fresh.get();
  unsigned copied = 0;
  for (; match != string::npos; match = target.find(from, copied, fromLength)) {
    std::memcpy(out, target.c_str() + copied, match - copied);
    out += match - copied;
    std::memcpy(out, to, toLength);
    out += toLength;
    copied = match + fromLength;
  }
  std::memcpy(out, target.c_str() + copied, target.length() - copied);
  target.adopt(fresh.release(), length);
}

string operator+(const string& left, const char* right) {
  return string(left.bytes_, left.length(), right, static_cast<unsigned>(std::strlen(right)));
}

string operator+(const char* left, const string& right) {
  return string(left, static_cast<unsigned>(std::strlen(left)), right.bytes_, right.length());
}

string operator+(const string& left, const string& right) {
  return string(left.bytes_, left.length(), right.bytes_, right.length());
}

istring& istring::operator=(const char* text) {
  bytes_ = text;
  return *this;
}

bool istring::operator==(const istring& other) const {
  return length() == other.length() && equalFolded(c_str(), other.c_str(), length());
}

bool istring::operator==(const char* text) const {
  return std::strlen(text) == length() && equalFolded(c_str(), text, length());
}

unsigned istring::find(const char* text, unsigned start, unsigned n) const {
  const unsigned length = this->length();
  if (length < n || start > length - n) return string::npos;
  for (unsigned p = start; p <= length - n; ++p) {
    if (equalFolded(c_str() + p, text, n)) return p;
  }
  return string::npos;
}

unsigned istring::find(const char* text, unsigned start) const {
  return find(text, start, static_cast<unsigned>(std::strlen(text)));
}

istring istring::substr(unsigned position, int n) const {
  unsigned count = 0;
  clampPiece(c_str(), length(), position, n, count);
  const char* piece = c_str() + position;
  const void* nul = std::memchr(piece, '\0', count);
  if (nul != nullptr) count = static_cast<unsigned>(static_cast<const char*>(nul) - piece);
  return istring(piece, static_cast<int>(count));
}

}  // namespace Common

#include "common/string.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace Common {

namespace {

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

string::Block* string::newBlock(unsigned length) {
  // Shared by every empty string and never freed: its count never returns to
  // zero because the block holds one reference of its own.
  struct EmptyBlock {
    Block head;
    char nul;
  };
  static_assert(offsetof(EmptyBlock, nul) == sizeof(Block), "the NUL directly follows the head");
  static EmptyBlock empty = {{1, 1}, '\0'};
  if (length == 0) {
    ++empty.head.count;
    return &empty.head;
  }
  Block* block = static_cast<Block*>(::operator new(sizeof(Block) + length + 1));
  block->size = length + 1;
  block->count = 1;
  bytesOf(block)[length] = '\0';
  return block;
}

string::string() : block_(newBlock(0)) {}

string::string(const char* text, int length)
    : string(text,
             length < 0 ? static_cast<unsigned>(std::strlen(text)) : static_cast<unsigned>(length),
             "", 0) {}

string::string(const char* first, unsigned n1, const char* second, unsigned n2)
    : block_(newBlock(n1 + n2)) {
  if (n1 != 0) std::memcpy(bytesOf(block_), first, n1);
  if (n2 != 0) std::memcpy(bytesOf(block_) + n1, second, n2);
}

string::string(char c) : string(&c, 1) {}

string::string(const string& other) : block_(other.block_) { ++block_->count; }

string& string::operator=(const string& other) {
  if (other.block_ == block_) return *this;
  ++other.block_->count;
  release();
  block_ = other.block_;
  return *this;
}

string& string::operator=(const char* text) {
  const unsigned n = static_cast<unsigned>(std::strlen(text));
  Block* fresh = newBlock(n);
  if (n != 0) std::memcpy(bytesOf(fresh), text, n);
  adopt(fresh);
  return *this;
}

string::~string() { release(); }

void string::release() {
  if (--block_->count == 0) ::operator delete(block_);
}

void string::adopt(Block* fresh) {
  release();
  block_ = fresh;
}

unsigned string::find(const char* text, unsigned start, unsigned n) const {
  const unsigned length = this->length();
  if (length < n || start > length - n) return npos;
  if (n == 0) return start;
  const char* const bytes = c_str();
  const char* const last = bytes + (length - n);
  for (const char* p = bytes + start; p <= last; ++p) {
    p = static_cast<const char*>(std::memchr(p, text[0], static_cast<size_t>(last - p) + 1));
    if (p == nullptr) return npos;
    if (std::memcmp(p, text, n) == 0) return static_cast<unsigned>(p - bytes);
  }
  return npos;
}

unsigned string::find(const char* text, unsigned start) const {
  return find(text, start, static_cast<unsigned>(std::strlen(text)));
}

string string::substr(unsigned position, int n) const {
  unsigned count = 0;
  clampPiece(c_str(), length(), position, n, count);
  return string(c_str() + position, static_cast<int>(count));
}

string& string::operator+=(const string& other) {
  const unsigned right = other.length();
  const unsigned left = length();
  Block* fresh = newBlock(left + right);
  std::memcpy(bytesOf(fresh), c_str(), left);
  std::memcpy(bytesOf(fresh) + left, other.c_str(), right);
  adopt(fresh);
  return *this;
}

string& string::operator+=(const char* text) {
  const unsigned right = static_cast<unsigned>(std::strlen(text));
  const unsigned left = length();
  Block* fresh = newBlock(left + right);
  std::memcpy(bytesOf(fresh), c_str(), left);
  std::memcpy(bytesOf(fresh) + left, text, right);
  adopt(fresh);
  return *this;
}

void string::replace(unsigned position, unsigned n, const string& replacement) {
  const unsigned length = this->length();
  if (position > length) position = length;
  if (n > length - position) n = length - position;
  const unsigned tail = length - position - n;
  const unsigned inserted = replacement.length();
  Block* fresh = newBlock(position + inserted + tail);
  char* out = bytesOf(fresh);
  std::memcpy(out, c_str(), position);
  std::memcpy(out + position, replacement.c_str(), inserted);
  std::memcpy(out + position + inserted, c_str() + position + n, tail);
  adopt(fresh);
}

string string::replaced(const char* from, const char* to) const {
  string copy(*this);
  replace_all(copy, from, to);
  return copy;
}

bool string::operator==(const string& other) const {
  if (block_ == other.block_) return true;
  return block_->size == other.block_->size && std::memcmp(c_str(), other.c_str(), length()) == 0;
}

bool string::operator==(const char* text) const {
  const unsigned length = this->length();
  return std::strlen(text) == length && std::memcmp(c_str(), text, length) == 0;
}

bool string::operator<(const string& other) const {
  // strcmp compares the bytes as unsigned char.
  return std::strcmp(c_str(), other.c_str()) < 0;
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
  string::Block* fresh = string::newBlock(length);
  char* out = string::bytesOf(fresh);
  unsigned copied = 0;
  for (; match != string::npos; match = target.find(from, copied, fromLength)) {
    std::memcpy(out, target.c_str() + copied, match - copied);
    out += match - copied;
    std::memcpy(out, to, toLength);
    out += toLength;
    copied = match + fromLength;
  }
  std::memcpy(out, target.c_str() + copied, target.length() - copied);
  target.adopt(fresh);
}

string operator+(const string& left, const char* right) {
  return string(left.c_str(), left.length(), right, static_cast<unsigned>(std::strlen(right)));
}

string operator+(const char* left, const string& right) {
  return string(left, static_cast<unsigned>(std::strlen(left)), right.c_str(), right.length());
}

string operator+(const string& left, const string& right) {
  return string(left.c_str(), left.length(), right.c_str(), right.length());
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

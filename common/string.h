#ifndef TELVANECLI_COMMON_STRING_H
#define TELVANECLI_COMMON_STRING_H

// Byte strings whose copies share their characters until one of them changes.
//
// A string points at one heap block that all its copies share: the size (the
// length plus one), the reference count and the characters, whose last byte is
// always NUL. Every empty string shares one static block, so empty strings cost
// no allocation. Copying costs one increment; every change builds its result in
// a fresh block first, so a change never shows through earlier copies. Bytes are
// not interpreted; a string built with an explicit length may hold NUL bytes.
//
// The reference count is a plain int: strings must not be shared between
// threads. Memory exhaustion raises std::bad_alloc.

namespace Common {

class DefaultAllocator;
template <class T, class Alloc>
class list;

class string {
 public:
  // Returned by find when there is no match (all bits set).
  static constexpr unsigned npos = ~0u;

  string();
  // length < 0: the bytes of text up to its NUL; otherwise exactly length bytes
  // of text, NULs included. text is never null.
  string(const char* text, int length = -1);
  explicit string(char c);
  string(const string& other);
  string& operator=(const string& other);
  // Replaces the content by a copy of text up to its NUL.
  string& operator=(const char* text);
  ~string();

  unsigned length() const { return block_->size - 1; }
  bool empty() const { return block_->size == 1; }
  // The buffer, NUL-terminated; valid until this string changes or goes.
  const char* c_str() const { return reinterpret_cast<const char*>(block_ + 1); }
  // The byte at position; position must not exceed length().
  const char* at(unsigned position) const { return c_str() + position; }

  // First position p >= start at which the n bytes of text occur; npos when
  // there is none. An empty text matches at start when start <= length().
  unsigned find(const char* text, unsigned start, unsigned n) const;
  // As above, with n the length of text up to its NUL.
  unsigned find(const char* text, unsigned start = 0) const;

  // n bytes from position; n < 0: from position up to the next NUL. A piece
  // reaching past the end is cut at the end.
  string substr(unsigned position, int n = -1) const;

  string& operator+=(const string& other);
  string& operator+=(const char* text);

  // The content becomes the bytes before position, replacement, and the bytes
  // after position + n (both cut at the end).
  void replace(unsigned position, unsigned n, const string& replacement);

  // A copy with every occurrence of from replaced by to (see replace_all).
  string replaced(const char* from, const char* to) const;

  // The pieces between the occurrences of delimiter, in order, empty ones
  // included: always one piece more than there are occurrences. Defined with
  // the list in common/list.h, which callers include to use it.
  list<string, DefaultAllocator> split(const char* delimiter) const;

  // Same length and the same bytes.
  bool operator==(const string& other) const;
  // text up to its NUL has the same length and bytes.
  bool operator==(const char* text) const;
  // C-string order: unsigned bytes up to the first NUL; a proper prefix is smaller.
  bool operator<(const string& other) const;

  // How many strings share this buffer (the reference count).
  int useCount() const { return block_->count; }

 private:
  friend void replace_all(string& target, const char* from, const char* to);
  friend string operator+(const string& left, const char* right);
  friend string operator+(const char* left, const string& right);
  friend string operator+(const string& left, const string& right);

  // The head of the shared block; the size bytes follow it directly, the
  // last one NUL.
  struct Block {
    unsigned size;
    int count;
  };

  // A block for length bytes plus the NUL, count 1, the NUL already in place;
  // the shared empty block (count raised) when length is 0.
  static Block* newBlock(unsigned length);
  // Where the bytes of block go.
  static char* bytesOf(Block* block) { return reinterpret_cast<char*>(block + 1); }

  // A new string holding the n1 bytes of first followed by the n2 of second.
  string(const char* first, unsigned n1, const char* second, unsigned n2);
  // Lets go of the current block and takes fresh (from newBlock) instead.
  void adopt(Block* fresh);
  void release();

  Block* block_;
};

// Replaces every occurrence of from in target by to, scanning from the left;
// the text just inserted is never searched again, and matches do not overlap.
// An empty from leaves target unchanged. target is only changed when from occurs.
void replace_all(string& target, const char* from, const char* to);

string operator+(const string& left, const char* right);
string operator+(const char* left, const string& right);
string operator+(const string& left, const string& right);

// A string whose comparisons and searches fold the ASCII letters A-Z onto a-z;
// all other bytes compare as they are. Same representation and sharing as string.
class istring {
 public:
  istring() = default;
  istring(const char* text, int length = -1) : bytes_(text, length) {}
  istring& operator=(const char* text);

  unsigned length() const { return bytes_.length(); }
  bool empty() const { return bytes_.empty(); }
  const char* c_str() const { return bytes_.c_str(); }

  bool operator==(const istring& other) const;
  bool operator==(const char* text) const;
  bool operator!=(const char* text) const { return !(*this == text); }

  // As string::find, with each candidate compared case-folded.
  unsigned find(const char* text, unsigned start, unsigned n) const;
  unsigned find(const char* text, unsigned start = 0) const;

  // As string::substr, then cut at the piece's first NUL.
  istring substr(unsigned position, int n = -1) const;

  // As string::split, finding delimiter case-folded. Defined in common/list.h.
  list<istring, DefaultAllocator> split(const istring& delimiter) const;

 private:
  string bytes_;
};

}  // namespace Common

#endif  // TELVANECLI_COMMON_STRING_H

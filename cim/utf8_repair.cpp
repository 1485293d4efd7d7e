#include "cim/utf8_repair.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace cim {
namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Per lead byte: 1 for a byte that stands for itself in XML (printable ASCII,
// DEL, tab, line feed, carriage return), 2 to 4 for the lead byte of a
// sequence of that length, 0 for a byte that is replaced alone (a forbidden
// control character, a stray continuation byte, C0, C1, F5 to FF).
constexpr std::array<std::uint8_t, 256> makeSequenceLengths() {
  std::array<std::uint8_t, 256> lengths{};
  for (int byte = 0; byte < 256; ++byte) {
    std::uint8_t length = 0;
    if (byte >= 0x20 && byte <= 0x7F) length = 1;
    if (byte == '\t' || byte == '\n' || byte == '\r') length = 1;
    if (byte >= 0xC2 && byte <= 0xDF) length = 2;
    if (byte >= 0xE0 && byte <= 0xEF) length = 3;
    if (byte >= 0xF0 && byte <= 0xF4) length = 4;
    lengths[static_cast<std::size_t>(byte)] = length;
  }
  return lengths;
}

constexpr std::array<std::uint8_t, 256> kSequenceLength = makeSequenceLengths();

// The range of the byte after lead; it excludes overlong forms (E0, F0),
// surrogates (ED) and code points above U+10FFFF (F4).
unsigned char secondByteLow(unsigned char lead) {
  return lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
}
unsigned char secondByteHigh(unsigned char lead) {
  return lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
}

enum class Verdict {
  kValid,       // `length` bytes form an allowed character
  kReplace,     // `length` bytes are one maximal ill-formed part or a forbidden character
  kUnfinished,  // all `length` available bytes are the start of a valid sequence
};

struct Sequence {
  Verdict verdict;
  std::size_t length;
};

// Judges the sequence that starts at p, of which available (at least 1)
// bytes are at hand.
Sequence examine(const unsigned char* p, std::size_t available) {
  const unsigned char lead = p[0];
  const std::size_t length = kSequenceLength[lead];
  if (length == 0) return {Verdict::kReplace, 1};
  if (length == 1) return {Verdict::kValid, 1};
  if (available < 2) return {Verdict::kUnfinished, 1};
  if (p[1] < secondByteLow(lead) || p[1] > secondByteHigh(lead)) return {Verdict::kReplace, 1};
  for (std::size_t i = 2; i < length; ++i) {
    if (i == available) return {Verdict::kUnfinished, i};
    if ((p[i] & 0xC0) != 0x80) return {Verdict::kReplace, i};
  }
  // U+FFFE and U+FFFF are well-formed UTF-8 but no XML characters.
  if (lead == 0xEF && p[1] == 0xBF && p[2] >= 0xBE) return {Verdict::kReplace, 3};
  return {Verdict::kValid, length};
}

// The first byte from p on that is not a plain single byte. Printable ASCII
// goes eight bytes at a time: a word passes when no byte has its top bit set
// and none is below 0x20 (subtracting 0x20 from such a byte sets its top
// bit; without such a byte no borrow crosses between bytes).
const unsigned char* skipPlain(const unsigned char* p, const unsigned char* end) {
  constexpr std::uint64_t kSpaces = 0x2020202020202020u;
  constexpr std::uint64_t kTopBits = 0x8080808080808080u;
  for (;;) {
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      if (((word | (word - kSpaces)) & kTopBits) != 0) break;
      p += 8;
    }
    if (p == end || kSequenceLength[*p] != 1) return p;
    ++p;  // tab, line feed and the like: one byte, then words again
  }
}

}  // namespace

bool Utf8Repair::feed(const char* data, std::size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const unsigned char* const end = p + size;
  if (carriedSize_ > 0 && !completeCarried(p, end)) return false;

  const unsigned char* run = p;  // first byte not yet handed to the sink
  const auto writeRun = [&](const unsigned char* until) {
    return until == run ||
           sink_.write(reinterpret_cast<const char*>(run), static_cast<std::size_t>(until - run));
  };
  while (p < end) {
    p = skipPlain(p, end);
    if (p == end) break;
    const Sequence sequence = examine(p, static_cast<std::size_t>(end - p));
    if (sequence.verdict == Verdict::kValid) {
      p += sequence.length;
      continue;
    }
    if (!writeRun(p)) return false;
    if (sequence.verdict == Verdict::kUnfinished) {
      std::memcpy(carried_, p, sequence.length);
      carriedSize_ = sequence.length;
      return true;
    }
    if (!sink_.write(kReplacement, 3)) return false;
    p += sequence.length;
    run = p;
  }
  return writeRun(end);
}

// Puts the kept start of a character together with the first bytes of the
// new piece and advances data past the bytes that it used.
bool Utf8Repair::completeCarried(const unsigned char*& data, const unsigned char* end) {
  unsigned char sequence[4];
  std::memcpy(sequence, carried_, carriedSize_);
  const std::size_t taken =
      std::min(sizeof sequence - carriedSize_, static_cast<std::size_t>(end - data));
  std::memcpy(sequence + carriedSize_, data, taken);
  const Sequence judged = examine(sequence, carriedSize_ + taken);
  if (judged.verdict == Verdict::kUnfinished) {
    // Still short: the whole piece was too small to finish it.
    std::memcpy(carried_, sequence, judged.length);
    carriedSize_ = judged.length;
    data = end;
    return true;
  }
  // The kept bytes were a valid start, so the judged part reaches past them.
  data += judged.length - carriedSize_;
  carriedSize_ = 0;
  if (judged.verdict == Verdict::kValid) {
    return sink_.write(reinterpret_cast<const char*>(sequence), judged.length);
  }
  return sink_.write(kReplacement, 3);
}

bool Utf8Repair::finish() {
  if (carriedSize_ == 0) return true;
  carriedSize_ = 0;
  return sink_.write(kReplacement, 3);
}

}  // namespace cim

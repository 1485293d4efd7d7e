#ifndef TELVANECLI_CIM_UTF8_REPAIR_H
#define TELVANECLI_CIM_UTF8_REPAIR_H

#include <cstddef>

namespace cim {

// Makes a UTF-8 byte stream that arrives in pieces fit for an XML 1.0 parser,
// so that a provider's bad bytes cost the value that holds them instead of
// the whole response. Each of these becomes U+FFFD (EF BF BD):
//   - each maximal ill-formed subsequence (Unicode's "maximal subpart"
//     practice: a lead byte with the continuation bytes that fit it counts
//     once, a byte that fits nothing counts alone), surrogates and overlong
//     forms included;
//   - a character XML 1.0 forbids: the C0 controls other than tab, line feed
//     and carriage return (NUL included), U+FFFE and U+FFFF.
// Every other byte passes unchanged, in order. A character split between two
// pieces is put together again, so the output does not depend on where the
// stream was cut.
class Utf8Repair {
 public:
  // Receives the repaired stream, in order, in runs of at least one byte.
  // data is valid only during the call. Returns false to stop the stream.
  class Sink {
   public:
    virtual bool write(const char* data, std::size_t size) = 0;

   protected:
    ~Sink() = default;
  };

  // sink must outlive the repair.
  explicit Utf8Repair(Sink& sink) : sink_(sink) {}

  // Repairs the next piece. Valid runs go to the sink straight from data,
  // uncopied; up to three bytes of a character that the piece leaves
  // unfinished are kept for the next piece. Returns false as soon as the
  // sink refused a run.
  bool feed(const char* data, std::size_t size);

  // Ends the stream: a character left unfinished becomes U+FFFD. Returns
  // false when the sink refused it.
  bool finish();

 private:
  bool completeCarried(const unsigned char*& data, const unsigned char* end);

  Sink& sink_;
  unsigned char carried_[4] = {};
  std::size_t carriedSize_ = 0;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_UTF8_REPAIR_H

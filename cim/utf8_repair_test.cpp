#include "cim/utf8_repair.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cim {
namespace {

struct StringSink : Utf8Repair::Sink {
  std::string text;
  std::vector<const char*> runStarts;
  bool write(const char* data, std::size_t size) override {
    EXPECT_GT(size, 0u);
    runStarts.push_back(data);
    text.append(data, size);
    return true;
  }
};

// Repairs input fed in the given pieces (cut at the offsets in cuts).
std::string repaired(const std::string& input, const std::vector<std::size_t>& cuts) {
  StringSink sink;
  Utf8Repair repair(sink);
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    EXPECT_TRUE(repair.feed(input.data() + from, cut - from));
    from = cut;
  }
  EXPECT_TRUE(repair.feed(input.data() + from, input.size() - from));
  EXPECT_TRUE(repair.finish());
  return sink.text;
}

const std::string R = "\xEF\xBF\xBD";  // U+FFFD

TEST(Utf8RepairTest, ReplacesEachIllFormedPartAndForbiddenCharacterWhereverTheStreamIsCut) {
  const struct {
    std::string input;
    std::string expected;
  } rows[] = {
      {"", ""},
      {"<VALUE>plain ASCII\tover\r\nseveral words, DEL \x7F kept</VALUE>",
       "<VALUE>plain ASCII\tover\r\nseveral words, DEL \x7F kept</VALUE>"},
      // Valid sequences of every length, the ends of the ranges, and C1
      // controls (allowed in XML 1.0) stay.
      {"K\xC3\xA4se \xE2\x82\xAC \xF0\x9F\x98\x80 \xEF\xBF\xBD \xEE\x80\x80 \xF4\x8F\xBF\xBF "
       "\xC2\x85 \xED\x9F\xBF \xEF\xBF\xBC",
       "K\xC3\xA4se \xE2\x82\xAC \xF0\x9F\x98\x80 \xEF\xBF\xBD \xEE\x80\x80 \xF4\x8F\xBF\xBF "
       "\xC2\x85 \xED\x9F\xBF \xEF\xBF\xBC"},
      {"K\xE4se", "K" + R + "se"},  // Latin-1 in a UTF-8 stream
      {"\xFF\xFE\xC3(Name", R + R + R + "(Name"},
      // The example of the Unicode standard (U+FFFD substitution of maximal subparts).
      {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
       "a" + R + R + R + "b" + R + "c" + R + R + "d"},
      // Overlong forms, surrogates, beyond U+10FFFF: no lead byte fits its
      // next byte, so each byte counts alone.
      {"\xC0\xAF|\xE0\x80\xAF|\xF0\x8F\xBF\xBF", R + R + "|" + R + R + R + "|" + R + R + R + R},
      {"\xED\xA0\x80|\xF4\x90\x80\x80|\xF5\x80", R + R + R + "|" + R + R + R + R + "|" + R + R},
      // A sequence broken off by another byte, and one cut off by the end.
      {"\xE2\x82x\xF0\x9F\x98<", R + "x" + R + "<"},
      {"ab\xF0\x9F\x98", "ab" + R},
      {"\xC3", R},
      // Characters XML 1.0 forbids: C0 controls (not tab, LF, CR), U+FFFE, U+FFFF.
      {std::string("a\0b\x01\x08\x0B\x0C\x0E\x1F\x1B[2J", 13),
       "a" + R + "b" + R + R + R + R + R + R + R + "[2J"},
      {"\xEF\xBF\xBE\xEF\xBF\xBFz", R + R + "z"},
      // Bad bytes at every place within and after a run of whole words.
      {"0123456789abcdef\x01"
       "0123456\x80"
       "0123456789abcde\xC3\xA4",
       "0123456789abcdef" + R + "0123456" + R + "0123456789abcde\xC3\xA4"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.input));
    EXPECT_EQ(repaired(row.input, {}), row.expected);
    std::vector<std::size_t> everyByte;
    for (std::size_t cut = 0; cut <= row.input.size(); ++cut) {
      SCOPED_TRACE("cut at " + std::to_string(cut));
      EXPECT_EQ(repaired(row.input, {cut}), row.expected);
      everyByte.push_back(cut);
    }
    EXPECT_EQ(repaired(row.input, everyByte), row.expected);
  }
}

TEST(Utf8RepairTest, ValidPiecesReachTheSinkUncopied) {
  const std::string piece = "<VALUE>Caf\xC3\xA9 \xE2\x82\xAC</VALUE>\n";
  StringSink sink;
  Utf8Repair repair(sink);
  ASSERT_TRUE(repair.feed(piece.data(), piece.size()));
  ASSERT_TRUE(repair.finish());
  EXPECT_EQ(sink.runStarts, std::vector<const char*>{piece.data()});
}

TEST(Utf8RepairTest, StopsWhenTheSinkRefuses) {
  struct RefusingSink : Utf8Repair::Sink {
    int calls = 0;
    bool write(const char*, std::size_t) override {
      ++calls;
      return false;
    }
  } sink;
  Utf8Repair repair(sink);
  EXPECT_FALSE(repair.feed("ab\xFF!!", 5));
  EXPECT_EQ(sink.calls, 1);
  EXPECT_TRUE(repair.feed("\xE2\x82", 2));  // kept, nothing written yet
  EXPECT_FALSE(repair.finish());
  EXPECT_EQ(sink.calls, 2);
}

}  // namespace
}  // namespace cim

#include "cli/getopt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/option_table.h"

namespace {

// What one call of the parser must return and leave behind.
struct Call {
  int result;
  const char* optarg;  // null: no value; a -1 at the end leaves the last value
  int optind;
  int optopt;
};

struct Row {
  std::vector<std::string> args;  // without the program name
  std::vector<Call> calls;        // the results of successive calls, in order
};

// An argument vector as main receives it: program name first, null last.
class ArgumentVector {
 public:
  explicit ArgumentVector(const std::vector<std::string>& args) : storage_(args) {
    storage_.insert(storage_.begin(), "telvanecli");
    for (std::string& element : storage_) pointers_.push_back(element.data());
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(storage_.size()); }
  char* const* argv() const { return pointers_.data(); }
  std::string describe() const {
    std::string text;
    for (const std::string& element : storage_) text += "[" + element + "]";
    return text;
  }

 private:
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

void checkRows(const std::vector<Row>& rows, const char* optstring, const cli_option* longopts) {
  for (const Row& row : rows) {
    const ArgumentVector args(row.args);
    SCOPED_TRACE(args.describe());
    cli_getopt_reset();
    cli_opterr = 0;
    for (size_t i = 0; i < row.calls.size(); ++i) {
      SCOPED_TRACE("call " + std::to_string(i + 1));
      const Call& expected = row.calls[i];
      EXPECT_EQ(cli_getopt_long(args.argc(), args.argv(), optstring, longopts, nullptr),
                expected.result);
      if (expected.optarg == nullptr) {
        EXPECT_EQ(cli_optarg, nullptr);
      } else {
        ASSERT_NE(cli_optarg, nullptr);
        EXPECT_STREQ(cli_optarg, expected.optarg);
      }
      EXPECT_EQ(cli_optind, expected.optind);
      EXPECT_EQ(cli_optopt, expected.optopt);
    }
  }
}

const char* const kNone = nullptr;

TEST(GetoptLong, ProgramCommandLines) {
  const std::vector<Row> rows = {
      // Values: attached, after "=", or in the next element.
      {{"--server=host"}, {{'s', "host", 2, 0}, {-1, "host", 2, 0}}},
      {{"--server", "host"}, {{'s', "host", 3, 0}, {-1, "host", 3, 0}}},
      {{"/server", "host"}, {{'s', "host", 3, 0}}},
      {{"/server=host"}, {{'s', "host", 2, 0}}},
      {{"--server=a=b"}, {{'s', "a=b", 2, 0}}},
      {{"--server=", "host"}, {{'s', "host", 3, 0}}},
      {{"-shost"}, {{'s', "host", 2, 0}}},
      {{"-s:host"}, {{'s', "host", 2, 0}}},
      {{"-s", "host"}, {{'s', "host", 3, 0}}},
      {{"-s:", "host"}, {{'s', "host", 3, 0}}},
      {{"-s=x"}, {{'s', "=x", 2, 0}}},
      {{"-s", "-"}, {{'s', "-", 3, 0}}},
      {{"-s", "/"}, {{'s', "/", 3, 0}}},
      {{"-s", ""}, {{'s', "", 3, 0}}},
      {{"-sx"}, {{'s', "x", 2, 0}}},
      // A long option lacking its value still returns its letter, value null;
      // at the end of the vector cli_optind passes argc.
      {{"--server"}, {{'s', kNone, 3, 0}, {-1, kNone, 3, 0}}},
      {{"--server", "-u", "user"}, {{'s', kNone, 2, 0}, {'u', "user", 4, 0}, {-1, "user", 4, 0}}},
      {{"--server=", "--uername=u"}, {{'s', kNone, 2, 0}, {'u', "u", 3, 0}}},
      {{"--version"}, {{'v', kNone, 3, 0}}},
      {{"--version", "3"}, {{'v', "3", 3, 0}, {-1, "3", 3, 0}}},
      // A short option lacking its value is '?' with the letter in cli_optopt.
      {{"-s"}, {{'?', kNone, 3, 's'}, {-1, kNone, 3, 's'}}},
      {{"-s", "-u", "user"}, {{'?', kNone, 2, 's'}, {'u', "user", 4, 's'}}},
      {{"-s:"}, {{'?', kNone, 3, 's'}}},
      {{"-s", "/server=x"}, {{'?', kNone, 2, 's'}, {'s', "x", 3, 's'}}},
      // Options without a value.
      {{"-vh"}, {{'v', kNone, 2, 0}, {-1, kNone, 2, 0}}},
      {{"-h", "-v"}, {{'h', kNone, 2, 0}, {'v', kNone, 3, 0}, {-1, kNone, 3, 0}}},
      {{"--help=x"}, {{'h', kNone, 2, 0}}},
      {{"/help", "x"}, {{'h', kNone, 2, 0}, {-1, kNone, 2, 0}}},
      // Unknown short options are consumed; the byte is kept unsigned.
      {{"-x"}, {{'?', kNone, 2, 'x'}, {-1, kNone, 2, 'x'}}},
      {{"-x", "-v"}, {{'?', kNone, 2, 'x'}, {'v', kNone, 3, 'x'}}},
      {{"-:"}, {{'?', kNone, 2, ':'}}},
      {{"-+"}, {{'?', kNone, 2, '+'}}},
      {{"- "}, {{'?', kNone, 2, ' '}}},
      {{"-\x01"}, {{'?', kNone, 2, 0x01}}},
      {{"-\x7f"}, {{'?', kNone, 2, 0x7f}}},
      {{"-\xe9"}, {{'?', kNone, 2, 0xe9}}},
      {{"-\xff"}, {{'?', kNone, 2, 0xff}}},
      // Unknown long names end the parsing on the element: no abbreviation,
      // no case folding, and "/x" is never a short option.
      {{"--bogus"}, {{-1, kNone, 1, 0}, {-1, kNone, 1, 0}}},
      {{"--Server", "host"}, {{-1, kNone, 1, 0}}},
      {{"--serv", "host"}, {{-1, kNone, 1, 0}}},
      {{"--username", "user"}, {{-1, kNone, 1, 0}}},
      {{"--uername", "user"}, {{'u', "user", 3, 0}}},
      {{"/s", "host"}, {{-1, kNone, 1, 0}}},
      {{"/?"}, {{-1, kNone, 1, 0}}},
      {{"--"}, {{-1, kNone, 1, 0}}},
      {{"--=host"}, {{-1, kNone, 1, 0}}},
      {{"-s", "host", "--bogus", "-u", "user"}, {{'s', "host", 3, 0}, {-1, kNone, 3, 0}}},
      // Elements that are not options stop the parsing at once.
      {{}, {{-1, kNone, 1, 0}}},
      {{"host", "-s", "h"}, {{-1, kNone, 1, 0}, {-1, kNone, 1, 0}}},
      {{"-"}, {{-1, kNone, 1, 0}}},
      {{"/"}, {{-1, kNone, 1, 0}}},
      {{""}, {{-1, kNone, 1, 0}}},
      {{"---x"}, {{-1, kNone, 1, 0}}},
      {{"//x"}, {{-1, kNone, 1, 0}}},
      {{"-s", "host", "extra", "-u", "user"}, {{'s', "host", 3, 0}, {-1, "host", 3, 0}}},
      // A value starting with "-" or "/" only works attached.
      {{"-p-secret"}, {{'p', "-secret", 2, 0}}},
      {{"-p:/secret"}, {{'p', "/secret", 2, 0}}},
      {{"--password=-secret"}, {{'p', "-secret", 2, 0}}},
      {{"-p", "-secret"}, {{'?', kNone, 2, 'p'}, {'s', "ecret", 3, 'p'}}},
      {{"--password", "/secret"}, {{'p', kNone, 2, 0}, {-1, kNone, 2, 0}}},
  };
  checkRows(rows, cli::kShortOptions, cli::kLongOptions);
}

TEST(GetoptLong, OptstringGrammar) {
  const cli_option longopts[] = {
      {"opt", cli_optional_argument, nullptr, 'O'},
      {"req", cli_required_argument, nullptr, 'R'},
      {nullptr, cli_no_argument, nullptr, 0},
  };
  // Leading ':' turns a missing value into ':'; "::" makes a value optional.
  const char optstring[] = ":a:b::c+-";
  const std::vector<Row> rows = {
      {{"-a"}, {{':', kNone, 3, 'a'}}},
      {{"-a", "-c"}, {{':', kNone, 2, 'a'}, {'c', kNone, 3, 'a'}}},
      {{"-ax"}, {{'a', "x", 2, 0}}},
      {{"-b"}, {{'b', kNone, 3, 0}}},
      {{"-b", "-c"}, {{'b', kNone, 2, 0}, {'c', kNone, 3, 0}}},
      {{"-b", "x"}, {{'b', "x", 3, 0}}},
      {{"-b:x"}, {{'b', "x", 2, 0}}},
      {{"-c", "x"}, {{'c', kNone, 2, 0}, {-1, kNone, 2, 0}}},
      {{"-+"}, {{'?', kNone, 2, '+'}}},
      {{"-:"}, {{'?', kNone, 2, ':'}}},
      {{"--opt"}, {{'O', kNone, 3, 0}}},
      {{"--opt=v"}, {{'O', "v", 2, 0}}},
      {{"--opt", "v"}, {{'O', "v", 3, 0}}},
      {{"--req", "-a", "x"}, {{'R', kNone, 2, 0}, {'a', "x", 4, 0}}},
  };
  checkRows(rows, optstring, longopts);
}

TEST(GetoptLong, LongIndexIsTheLastRecordCompared) {
  const struct {
    const char* element;
    int longindex;
  } rows[] = {
      {"--filter=x", 0},
      {"--server=x", 5},
      {"/version=x", 7},
      {"--cacert=x", 8},
      {"--bogus", 9},  // the terminating record after a miss
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.element);
    const ArgumentVector args({row.element});
    cli_getopt_reset();
    int longindex = -1;
    cli_getopt_long(args.argc(), args.argv(), cli::kShortOptions, cli::kLongOptions, &longindex);
    EXPECT_EQ(longindex, row.longindex);
  }
}

TEST(GetoptLong, DiagnosticsOnlyWhenEnabled) {
  const struct {
    std::vector<std::string> args;
    const char* enabled;  // standard error with cli_opterr at its start value
  } rows[] = {
      {{"-x"}, "error: unrecognized option 'x'\n"},
      {{"-s"}, "error: option 's' requires an argument\n"},
      {{"-s", "-u"}, "error: option 's' requires an argument\n"},
      {{"--server"}, "error: option 'server' requires an argument\n"},
      {{"/uername", "-s"}, "error: option 'uername' requires an argument\n"},
      {{"--version"}, "error: option 'version' requires an argument\n"},
      {{"--bogus"}, ""},  // unknown long names are left to the caller
      {{"-s", "host"}, ""},
      {{"--help"}, ""},
  };
  for (const auto& row : rows) {
    const ArgumentVector args(row.args);
    SCOPED_TRACE(args.describe());
    for (const int opterr : {1, 0}) {
      cli_getopt_reset();
      cli_opterr = opterr;
      testing::internal::CaptureStderr();
      cli_getopt_long(args.argc(), args.argv(), cli::kShortOptions, cli::kLongOptions, nullptr);
      EXPECT_EQ(testing::internal::GetCapturedStderr(), opterr ? row.enabled : "");
    }
  }
}

}  // namespace

// Fuzzes the command-line option parser (cli/getopt.h) the way the program
// drives it: reset, then cli_getopt_long until it returns -1.
//
// Input: one control byte, then the argument elements separated by NUL bytes
// (argv[0] is the program name and is not part of the input).
//   bit 0 of the control byte: 0 = the program's own option tables,
//                              1 = tables with what the program does not use
//                                  (optional values, a leading ':');
//   bit 1: the parser prints its own diagnostics (cli_opterr).
// Besides the sanitizers, it checks the promises callers rely on: every
// option consumes its element (so the caller's loop ends), cli_optind stays
// within argc + 1, cli_optarg points into an element, and results are codes
// of the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/getopt.h"
#include "cli/option_table.h"

namespace {

const char kOtherShortOptions[] = ":a::b:c-+";
const cli_option kOtherLongOptions[] = {
    {"all", cli_optional_argument, nullptr, 'a'}, {"b", cli_required_argument, nullptr, 'b'},
    {"c", cli_no_argument, nullptr, 'c'},         {"long", cli_no_argument, nullptr, 300},
    {nullptr, cli_no_argument, nullptr, 0},
};

// The argument elements, each in an allocation of its own so that reading
// past an element's terminating NUL is caught, and the null-terminated vector
// of pointers to them.
class ArgumentVector {
 public:
  ArgumentVector(const std::uint8_t* data, std::size_t size) {
    add("telvanecli", std::strlen("telvanecli"));
    std::size_t begin = 0;
    for (std::size_t i = 0; i <= size; ++i) {
      if (i == size || data[i] == 0) {
        add(reinterpret_cast<const char*>(data + begin), i - begin);
        begin = i + 1;
      }
    }
    pointers_.push_back(nullptr);
  }

  int count() const { return static_cast<int>(elements_.size()); }
  char* const* argv() const { return pointers_.data(); }

  // Whether text points at a character (or the terminating NUL) of an element.
  bool holds(const char* text) const {
    for (std::size_t i = 0; i < elements_.size(); ++i) {
      const char* begin = elements_[i].get();
      if (text >= begin && text <= begin + lengths_[i]) return true;
    }
    return false;
  }

 private:
  void add(const char* text, std::size_t length) {
    std::unique_ptr<char[]> element(new char[length + 1]);
    std::memcpy(element.get(), text, length);
    element[length] = '\0';
    pointers_.push_back(element.get());
    lengths_.push_back(length);
    elements_.push_back(std::move(element));
  }

  std::vector<std::unique_ptr<char[]>> elements_;
  std::vector<std::size_t> lengths_;
  std::vector<char*> pointers_;
};

int tableSize(const cli_option* longopts) {
  int size = 0;
  while (longopts[size].name != nullptr) ++size;
  return size;
}

bool isTableCode(int code, const char* optstring, const cli_option* longopts) {
  if (code == '?') return true;
  if (code == ':') return optstring[0] == ':';
  for (const cli_option* option = longopts; option->name != nullptr; ++option) {
    if (option->val == code) return true;
  }
  return code > 0 && code < 256 && code != '-' && code != '+' &&
         std::strchr(optstring, code) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool programTables = (data[0] & 1) == 0;
  const char* optstring = programTables ? cli::kShortOptions : kOtherShortOptions;
  const cli_option* longopts = programTables ? cli::kLongOptions : kOtherLongOptions;
  const ArgumentVector arguments(data + 1, size - 1);
  const int argc = arguments.count();

  cli_getopt_reset();
  cli_opterr = (data[0] >> 1) & 1;
  for (;;) {
    const int before = cli_optind;
    int longindex = -1;
    const int code = cli_getopt_long(argc, arguments.argv(), optstring, longopts, &longindex);
    if (cli_optind > argc + 1) std::abort();
    if (longindex < -1 || longindex > tableSize(longopts)) std::abort();
    if (code == -1) break;
    if (cli_optind <= before) std::abort();
    if (!isTableCode(code, optstring, longopts)) std::abort();
    if (cli_optarg != nullptr && !arguments.holds(cli_optarg)) std::abort();
    if ((code == '?' || code == ':') && (cli_optopt < 0 || cli_optopt > 255)) std::abort();
  }
  return 0;
}

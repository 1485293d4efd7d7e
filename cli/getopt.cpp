#include "cli/getopt.h"

#include <cstdio>
#include <cstring>

const char* cli_optarg = nullptr;
int cli_optind = 1;
int cli_opterr = 1;
int cli_optopt = 0;

namespace {

// Tried in this order; long forms first, so "/name" is a long option.
const char* const kLongPrefixes[] = {"--", "/"};
const char* const kShortPrefixes[] = {"-", "/"};

enum class Form { kNotAnOption, kShort, kLong };

struct Classified {
  Form form;
  size_t prefixLength;
};

// Length of `prefix` when `element` starts with it and the next character is
// not the prefix's first again ("---x" and "//x" are no options); else 0.
size_t prefixLengthOf(const char* element, const char* prefix) {
  const size_t length = std::strlen(prefix);
  if (std::strncmp(element, prefix, length) != 0) return 0;
  return element[length] != prefix[0] ? length : 0;
}

Classified classify(const char* element) {
  if (element == nullptr) return {Form::kNotAnOption, 0};
  for (const char* prefix : kShortPrefixes) {
    if (std::strcmp(element, prefix) == 0) return {Form::kNotAnOption, 0};
  }
  for (const char* prefix : kLongPrefixes) {
    if (const size_t length = prefixLengthOf(element, prefix)) return {Form::kLong, length};
  }
  for (const char* prefix : kShortPrefixes) {
    if (const size_t length = prefixLengthOf(element, prefix)) return {Form::kShort, length};
  }
  return {Form::kNotAnOption, 0};
}

// The value written in the option's own element (`attached`, null or empty
// when there is none), or else the next element unless that is an option.
// Taking the next element advances cli_optind, even past the end of the
// vector, where the element is null and there is no value.
const char* takeValue(const char* attached, char* const argv[]) {
  if (attached != nullptr && *attached != '\0') return attached;
  const char* next = argv[cli_optind + 1];
  if (classify(next).form != Form::kNotAnOption) return nullptr;
  ++cli_optind;
  return next;
}

int parseLong(const char* name, char* const argv[], const cli_option* longopts, int* longindex) {
  const char* equals = std::strchr(name, '=');
  const size_t nameLength =
      equals != nullptr ? static_cast<size_t>(equals - name) : std::strlen(name);
  for (int index = 0;; ++index) {
    if (longindex != nullptr) *longindex = index;
    const cli_option& option = longopts[index];
    if (option.name == nullptr) break;
    if (std::strlen(option.name) != nameLength ||
        std::strncmp(option.name, name, nameLength) != 0) {
      continue;
    }
    if (option.has_arg != cli_no_argument) {
      cli_optarg = takeValue(equals != nullptr ? equals + 1 : nullptr, argv);
      if (option.has_arg == cli_required_argument && cli_optarg == nullptr && cli_opterr) {
        std::fprintf(stderr, "error: option '%s' requires an argument\n", option.name);
      }
    }
    ++cli_optind;
    return option.val;
  }
  cli_optarg = nullptr;
  return -1;
}

// The letter's position in optstring, or null; ':', '+' and '-' are never
// options themselves.
const char* findShortOption(const char* optstring, unsigned char letter) {
  for (const char* p = optstring; *p != '\0'; ++p) {
    if (*p == ':' || *p == '+' || *p == '-') continue;
    if (static_cast<unsigned char>(*p) == letter) return p;
  }
  return nullptr;
}

int parseShort(const char* name, char* const argv[], const char* optstring) {
  // Unsigned, so a byte above 0x7f is reported as its code (0x80-0xff) and
  // can never be mistaken for the -1 that ends the parsing.
  const unsigned char letter = static_cast<unsigned char>(name[0]);
  const char* found = findShortOption(optstring, letter);
  if (found == nullptr) {
    if (cli_opterr) std::fprintf(stderr, "error: unrecognized option '%c'\n", letter);
    ++cli_optind;
    cli_optopt = letter;
    return '?';
  }
  if (found[1] != ':') {
    ++cli_optind;
    return letter;
  }
  const char* attached = name + 1;
  if (*attached == ':') ++attached;
  cli_optarg = takeValue(attached, argv);
  if (found[2] == ':' || cli_optarg != nullptr) {
    ++cli_optind;
    return letter;
  }
  if (cli_opterr) std::fprintf(stderr, "error: option '%c' requires an argument\n", letter);
  ++cli_optind;
  cli_optopt = letter;
  return optstring[0] == ':' ? ':' : '?';
}

}  // namespace

int cli_getopt_long(int argc, char* const argv[], const char* optstring, const cli_option* longopts,
                    int* longindex) {
  if (cli_optind >= argc) return -1;
  const char* element = argv[cli_optind];
  const Classified classified = classify(element);
  if (classified.form == Form::kNotAnOption) return -1;
  cli_optarg = nullptr;
  const char* name = element + classified.prefixLength;
  if (classified.form == Form::kLong) return parseLong(name, argv, longopts, longindex);
  return parseShort(name, argv, optstring);
}

void cli_getopt_reset() {
  cli_optarg = nullptr;
  cli_optind = 1;
  cli_opterr = 1;
  cli_optopt = 0;
}

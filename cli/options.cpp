#include "cli/options.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/exit_codes.h"
#include "cli/getopt.h"
#include "cli/option_table.h"
#include "cli/version.h"

namespace cli {
namespace {

// Options whose missing value is reported with the option's letter.
const char kValueOptions[] = "fopstuv";

[[noreturn]] void endWithVersion(bool withUsage) {
  printVersion();
  if (withUsage) printUsage();
  std::exit(kExitSuccess);
}

// format is one of the misuse messages; argument fills its %c or %x and is
// ignored by a message that has neither.
[[noreturn]] void endWithMisuse(ExitCode code, const char* format, unsigned argument = 0) {
  printVersion();
  printUsage();
  // The message must follow the texts even when both streams go to one file.
  std::fflush(stdout);
  std::fprintf(stderr, format, argument);
  std::exit(code);
}

// The value the parser left for option `letter`. A long option reaches us
// without a value when it was the last element or followed by another
// option; that is the same omission as for the short form.
const char* requiredValue(char letter) {
  if (cli_optarg == nullptr) endWithMisuse(kExitMissingValue, kMessageMissingValue, letter);
  return cli_optarg;
}

bool isPrintable(int c) { return c >= ' ' && c <= '~'; }

[[noreturn]] void endWithOptionError(int option) {
  if (option != 0 && std::strchr(kValueOptions, option) != nullptr) {
    endWithMisuse(kExitMissingValue, kMessageMissingValue, option);
  }
  if (isPrintable(option)) endWithMisuse(kExitInvalidOption, kMessageInvalidOption, option);
  endWithMisuse(kExitUnprintableOption, kMessageUnprintableOption, option);
}

}  // namespace

Options parseCommandLine(int argc, char* argv[]) {
  Options options;
  options.format = "TEXT";
  bool serverGiven = false;
  bool userGiven = false;
  bool passwordGiven = false;

  cli_opterr = 0;
  for (;;) {
    const int option = cli_getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
    if (option == -1) break;
    switch (option) {
      case 'f':
        options.format = requiredValue('f');
        break;
      case 't':
        options.filter = requiredValue('t');
        break;
      case 'o':
        options.outputPath = requiredValue('o');
        break;
      case 'p':
        options.password = requiredValue('p');
        passwordGiven = true;
        break;
      case 's':
        options.server = requiredValue('s');
        serverGiven = true;
        break;
      case 'u':
        options.user = requiredValue('u');
        userGiven = true;
        break;
      case kOptionCaCertificates:
        // A file name cannot be empty, so an empty value is as good as none.
        if (cli_optarg == nullptr || *cli_optarg == '\0') {
          endWithMisuse(kExitMissingValue, kMessageMissingCaCertificates);
        }
        options.caCertificates = cli_optarg;
        break;
      case 'h':
        endWithVersion(true);
      case 'v':
        endWithVersion(false);
      case '?':
        endWithOptionError(cli_optopt);
      default:
        endWithMisuse(kExitInvalidSyntax, kMessageInvalidSyntax);
    }
  }

  if (cli_optind < argc) endWithMisuse(kExitInvalidSyntax, kMessageInvalidSyntax);
  if (!serverGiven) endWithMisuse(kExitMissingOption, kMessageMissingOption, 's');
  if (!userGiven) endWithMisuse(kExitMissingOption, kMessageMissingOption, 'u');
  if (options.server.empty()) endWithMisuse(kExitMissingValue, kMessageMissingValue, 's');
  if (options.user.empty()) endWithMisuse(kExitMissingValue, kMessageMissingValue, 'u');
  if (passwordGiven && options.password.empty()) {
    endWithMisuse(kExitMissingValue, kMessageMissingValue, 'p');
  }
  if (options.format != "TEXT" && options.format != "XML") {
    endWithMisuse(kExitInvalidSyntax, kMessageInvalidArgument, 'f');
  }
  return options;
}

}  // namespace cli

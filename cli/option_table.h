#ifndef TELVANECLI_CLI_OPTION_TABLE_H
#define TELVANECLI_CLI_OPTION_TABLE_H

#include "cli/getopt.h"

namespace cli {

// The program's short options: -f, -o, -p, -s, -t, -u take a value; -h, -v
// take none.
extern const char kShortOptions[];

// Code of --cacert, which has no short letter: above every character code.
inline constexpr int kOptionCaCertificates = 256;

// The program's long options, ended by a record with a null name. The long
// name of -u is "uername", and --version takes a value although -v does not;
// scripts rely on both, so they stay.
extern const cli_option kLongOptions[];

}  // namespace cli

#endif  // TELVANECLI_CLI_OPTION_TABLE_H

#include "cli/option_table.h"

namespace cli {

const char kShortOptions[] = "f:ho:p:s:t:u:v";

const cli_option kLongOptions[] = {
    {"filter", cli_required_argument, nullptr, 't'},
    {"format", cli_required_argument, nullptr, 'f'},
    {"help", cli_no_argument, nullptr, 'h'},
    {"output", cli_required_argument, nullptr, 'o'},
    {"password", cli_required_argument, nullptr, 'p'},
    {"server", cli_required_argument, nullptr, 's'},
    {"uername", cli_required_argument, nullptr, 'u'},
    {"version", cli_required_argument, nullptr, 'v'},
    {"cacert", cli_required_argument, nullptr, kOptionCaCertificates},
    {nullptr, cli_no_argument, nullptr, 0},
};

}  // namespace cli

#ifndef TELVANECLI_CLI_VERSION_H
#define TELVANECLI_CLI_VERSION_H

#include "common/string.h"

namespace cli {

// The version text, "1.1-4" (major, ".", minor, "-", build).
Common::string versionString();

// The product banner, "Quorvin Telvane v" and the version text.
Common::string bannerString();

// Writes the banner line and the copyright line to standard output.
void printVersion();

// Writes the usage text to standard output, one write per line.
void printUsage();

}  // namespace cli

#endif  // TELVANECLI_CLI_VERSION_H

#include "cli/version.h"

#include <cstdio>

namespace cli {
namespace {

const char kMajor[] = "1";
const char kMinor[] = "1";
const char kBuild[] = "4";
const char kProduct[] = "Quorvin Telvane v";
const char kCopyright[] = "Copyright (c) 2026 Quorvin. All rights reserved.\n";

// The synopsis leaves out -t and the -u line says --username although the
// parser knows it as --uername; scripts and users compare these texts, so
// they stay as they are.
const char* const kUsageLines[] = {
    "\n",
    "telvanecli [-v] [-h] [-s 10.10.10.1 -u user123 [-p word789] [-f XML|TEXT] [-o file.ext]]\n",
    "\n",
    "Supported Arguments:\n",
    "-v --version  : Displays the current copyright and version information.\n",
    "-h --help     : List of command line arguments supported and descriptions.\n",
    "-s --server   : IP address or hostname of the target server.\n",
    "-u --username : Username of account to connect with.\n",
    "-p --password : Password of the user account.\n",
    "-f --format   : Selects an output format from XML|TEXT (default:TEXT)\n",
    "-o --output   : Save the output to a file\n",
    "-t --filter   : The report data can be filtered using a comma separated list\n",
    "                of the following values: CPU FAN FC MPX QEL MEMORY NIC BX OS\n",
    "                OTHER PCI PS SAS DX SF SI TEMP\n",
};

}  // namespace

Common::string versionString() { return Common::string(kMajor) + "." + kMinor + "-" + kBuild; }

Common::string bannerString() { return kProduct + versionString(); }

void printVersion() {
  std::printf("%s\n", bannerString().c_str());
  std::fputs(kCopyright, stdout);
}

void printUsage() {
  for (const char* line : kUsageLines) std::fputs(line, stdout);
}

}  // namespace cli

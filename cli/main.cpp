#include "cli/options.h"
#include "cli/run.h"

int main(int argc, char* argv[]) { return cli::run(cli::parseCommandLine(argc, argv)); }

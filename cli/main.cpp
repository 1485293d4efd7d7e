#include "cli/options.h"

int main(int argc, char* argv[]) {
  cli::parseCommandLine(argc, argv);
  return 0;
}

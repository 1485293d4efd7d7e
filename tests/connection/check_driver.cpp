// Test driver of the connection check: runs it with the server, user and
// password given, and prints "connected" when it returns.
//
//   check_driver SERVER USER [PASSWORD]
#include <cstdio>

#include "common/string.h"
#include "connection/connection_check.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: check_driver SERVER USER [PASSWORD]\n");
    return 64;
  }
  connection::checkConnection(Common::string(argv[1]), Common::string(argv[2]),
                              Common::string(argc == 4 ? argv[3] : ""), cim::TlsSettings());
  std::printf("connected\n");
  return 0;
}

#include "connection/connection_check.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <string>

namespace connection {
namespace {

// A failed check ends the process with its code and its line, and it does so
// outside the exception handler: an exception still being handled when exit
// runs is never freed. The port is bound but does not listen, so the
// connection is refused at once.
TEST(CheckConnectionDeathTest, FailureEndsTheProcessAfterItsExceptionIsGone) {
  const int port = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(port, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(port, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  socklen_t length = sizeof address;
  ASSERT_EQ(::getsockname(port, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const Common::string server(("127.0.0.1:" + std::to_string(ntohs(address.sin_port))).c_str());

  EXPECT_EXIT(
      {
        std::atexit([] {
          if (std::current_exception()) std::_Exit(100);
        });
        ::dup2(STDERR_FILENO, STDOUT_FILENO);  // the death test reads standard error
        checkConnection(server, Common::string("user"), Common::string("secret"),
                        cim::TlsSettings());
      },
      ::testing::ExitedWithCode(2), "^Error: Unable to connect to server\\.\n$");
  ::close(port);
}

}  // namespace
}  // namespace connection

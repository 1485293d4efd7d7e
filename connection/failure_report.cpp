#include "connection/failure_report.h"

#include <cstdio>

#include "cim/exception.h"
#include "cli/exit_codes.h"
#include "common/string.h"

namespace connection {
namespace {

FailureReport withMessage(int exitCode, const std::string& message) {
  const int length = std::snprintf(nullptr, 0, cli::kMessageFailure, message.c_str());
  std::string output(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(output.data(), output.size(), cli::kMessageFailure, message.c_str());
  output.pop_back();
  return {exitCode, output};
}

}  // namespace

FailureReport reportFailure(const cim::Exception& failure) {
  const std::string& message = failure.getMessage();
  if (dynamic_cast<const cim::HTTPException*>(&failure) != nullptr) {
    const Common::istring folded(message.c_str(), static_cast<int>(message.size()));
    if (folded.find("Authentication failure") != Common::string::npos) {
      return {cli::kExitAuthentication, cli::kMessageAuthentication};
    }
    return withMessage(cli::kExitHttpFailure, message);
  }
  if (const auto* socket = dynamic_cast<const cim::SocketException*>(&failure)) {
    // The client says itself whether the connection was refused or timed out;
    // the message text (which may name a port such as 10061) plays no part.
    if (socket->getReason() == cim::SocketException::kConnectionRefused ||
        socket->getReason() == cim::SocketException::kConnectTimedOut) {
      return {cli::kExitUnreachable, cli::kMessageUnreachable};
    }
    return withMessage(cli::kExitSocketFailure, message);
  }
  return withMessage(cli::kExitCimFailure, message);
}

}  // namespace connection

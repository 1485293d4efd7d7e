#ifndef TELVANECLI_CIM_TIMEOUTS_H
#define TELVANECLI_CIM_TIMEOUTS_H

#include <chrono>

namespace cim {

// Connecting (TCP and TLS handshake) gives up after this long; the failure
// counts as "connection timed out".
inline constexpr std::chrono::milliseconds kConnectTimeout = std::chrono::seconds(20);

// A request fails as a socket failure when no byte of its response arrives
// for this long. A test build may shorten it (every source compiled with
// -DTELVANE_STALL_TIMEOUT_SECONDS=2) to see a stall end within a test; the
// program itself always waits 300 seconds.
#ifndef TELVANE_STALL_TIMEOUT_SECONDS
#define TELVANE_STALL_TIMEOUT_SECONDS 300
#endif
inline constexpr std::chrono::milliseconds kStallTimeout =
    std::chrono::seconds(TELVANE_STALL_TIMEOUT_SECONDS);

// The limits one client applies to each of its requests. The defaults are
// the limits above; tests choose shorter ones.
struct Timeouts {
  std::chrono::milliseconds connect = kConnectTimeout;
  std::chrono::milliseconds stall = kStallTimeout;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_TIMEOUTS_H

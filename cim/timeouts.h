#ifndef TELVANECLI_CIM_TIMEOUTS_H
#define TELVANECLI_CIM_TIMEOUTS_H

#include <chrono>

namespace cim {

// Connecting (TCP and TLS handshake) gives up after this long; the failure
// counts as "connection timed out".
inline constexpr std::chrono::milliseconds kConnectTimeout = std::chrono::seconds(20);

// A request fails as a socket failure when no byte of its response arrives
// for this long.
inline constexpr std::chrono::milliseconds kStallTimeout = std::chrono::seconds(300);

// The limits one client applies to each of its requests. The defaults are
// the limits above; tests choose shorter ones.
struct Timeouts {
  std::chrono::milliseconds connect = kConnectTimeout;
  std::chrono::milliseconds stall = kStallTimeout;
};

}  // namespace cim

#endif  // TELVANECLI_CIM_TIMEOUTS_H

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "live/ip_address.h"

namespace fragtally::live {

/// A UDP socket, closed when it goes out of scope. POSIX sockets, or Winsock
/// on Windows (started once for the program).
class UdpSocket {
 public:
  /// Binds to the address and port (port 0: one the system chooses). Without an
  /// address it takes every IPv6 and IPv4 address where the system allows both,
  /// otherwise every IPv4 one. The receive buffer is made large, so that a burst
  /// waits in the system while the program writes. Throws Error with the reason.
  static UdpSocket bound(const std::optional<IpAddress>& address, std::uint16_t port);
  /// An unbound socket for sending to `to`'s family. Throws Error.
  static UdpSocket forSendingTo(const IpAddress& to);

  UdpSocket() = default;
  ~UdpSocket();
  UdpSocket(UdpSocket&& other) noexcept;
  UdpSocket& operator=(UdpSocket&& other) noexcept;
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;

  /// The address and port the socket is bound to.
  Endpoint localEndpoint() const;

  /// Waits until a datagram is there or the time has passed; true when one is.
  bool waitForDatagram(std::chrono::milliseconds timeout) const;

  struct Received {
    Endpoint from;
    std::size_t bytes = 0;   // what is in the buffer
    bool truncated = false;  // the datagram was bigger than the buffer
  };
  /// Takes one waiting datagram without blocking; nothing when none is waiting.
  std::optional<Received> receive(char* buffer, std::size_t capacity) const;

  /// Sends one datagram; false when the system refuses it (for a full send
  /// buffer, the caller may try again).
  bool sendTo(const Endpoint& to, std::string_view bytes) const;

 private:
#ifdef _WIN32
  using Handle = std::uintptr_t;
  static constexpr Handle kNone = ~Handle{0};
#else
  using Handle = int;
  static constexpr Handle kNone = -1;
#endif
  explicit UdpSocket(Handle handle) : handle_(handle) {}
  Handle handle_ = kNone;
};

}  // namespace fragtally::live

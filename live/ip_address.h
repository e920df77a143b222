#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fragtally::live {

/// An IPv4 or IPv6 address, in network byte order (IPv4: the first 4 bytes).
struct IpAddress {
  bool v6 = false;
  std::array<unsigned char, 16> bytes{};

  auto operator<=>(const IpAddress&) const = default;
};

/// An address and a UDP port: what a datagram comes from or a socket is bound to.
struct Endpoint {
  IpAddress address;
  std::uint16_t port = 0;

  auto operator<=>(const Endpoint&) const = default;
};

/// Reads "127.0.0.1", "::1" or "[::1]"; nothing when the text is no address.
std::optional<IpAddress> parseIpAddress(std::string_view text);

/// A dual-stack socket sees IPv4 senders as ::ffff:a.b.c.d; this gives a.b.c.d
/// back, so that one allow-list entry and one raw log name serve both forms.
IpAddress withoutIpv4Mapping(const IpAddress& address);

/// 127.0.0.0/8 and ::1 (an IPv4-mapped loopback address counts too).
bool isLoopback(const IpAddress& address);

/// "127.0.0.1", "::1".
std::string addressText(const IpAddress& address);
/// "127.0.0.1:27015", "[::1]:27015".
std::string endpointText(const Endpoint& endpoint);
/// A form every file system takes: IPv4 as it is, IPv6 as its eight groups
/// joined by '-' ("0-0-0-0-0-0-0-1"), no colon in either.
std::string addressForFileName(const IpAddress& address);

}  // namespace fragtally::live

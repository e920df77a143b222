#include "live/ip_address.h"

#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <sys/socket.h>
#endif

namespace fragtally::live {
namespace {

constexpr std::array<unsigned char, 12> kIpv4MappedPrefix = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

bool isIpv4Mapped(const IpAddress& address) {
  return address.v6 && std::memcmp(address.bytes.data(), kIpv4MappedPrefix.data(), kIpv4MappedPrefix.size()) == 0;
}

}  // namespace

std::optional<IpAddress> parseIpAddress(std::string_view text) {
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
  if (text.empty() || text.size() > 64) return std::nullopt;
  const std::string zeroEnded(text);
  IpAddress address;
  if (inet_pton(AF_INET, zeroEnded.c_str(), address.bytes.data()) == 1) return address;
  address.v6 = true;
  if (inet_pton(AF_INET6, zeroEnded.c_str(), address.bytes.data()) == 1) return address;
  return std::nullopt;
}

IpAddress withoutIpv4Mapping(const IpAddress& address) {
  if (!isIpv4Mapped(address)) return address;
  IpAddress plain;
  std::memcpy(plain.bytes.data(), address.bytes.data() + 12, 4);
  return plain;
}

bool isLoopback(const IpAddress& given) {
  const IpAddress address = withoutIpv4Mapping(given);
  if (!address.v6) return address.bytes[0] == 127;
  IpAddress ipv6Loopback;
  ipv6Loopback.v6 = true;
  ipv6Loopback.bytes[15] = 1;
  return address == ipv6Loopback;
}

std::string addressText(const IpAddress& address) {
  char text[64] = {};
  if (inet_ntop(address.v6 ? AF_INET6 : AF_INET, address.bytes.data(), text, sizeof text) == nullptr) return "?";
  return text;
}

std::string endpointText(const Endpoint& endpoint) {
  const std::string address = addressText(endpoint.address);
  return (endpoint.address.v6 ? "[" + address + "]" : address) + ":" + std::to_string(endpoint.port);
}

std::string addressForFileName(const IpAddress& address) {
  if (!address.v6) return addressText(address);
  static const char* const kHex = "0123456789abcdef";
  std::string name;
  for (std::size_t group = 0; group < 8; ++group) {
    if (group > 0) name += '-';
    const unsigned value = address.bytes[2 * group] * 256u + address.bytes[2 * group + 1];
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
      const unsigned digit = (value >> shift) & 0xF;
      if (digit != 0 || started || shift == 0) {
        name += kHex[digit];
        started = true;
      }
    }
  }
  return name;
}

}  // namespace fragtally::live

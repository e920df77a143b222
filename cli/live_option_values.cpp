#include <charconv>

#include "cli/live_option_values.h"

namespace fragtally {
namespace {

template <class Number>
bool readNumber(std::string_view text, Number& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<std::string> parseListenValue(std::string_view text, ListenOptions& options) {
  std::string_view address;
  std::string_view port = text;
  if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
    address = text.substr(0, colon);
    port = text.substr(colon + 1);
    // An IPv6 address carries colons of its own: it must come in brackets.
    const bool bracketed = address.starts_with('[') && address.ends_with(']');
    if (!bracketed && address.find(':') != std::string_view::npos) {
      return "--listen: write an IPv6 address in brackets, as [::1]:27500";
    }
    if (address.empty()) return "--listen: no address before the colon in " + std::string(text);
  }
  unsigned value = 0;
  if (!readNumber(port, value) || value > 65535) return "--listen: not a port: " + std::string(text);
  std::optional<live::IpAddress> parsed;
  if (!address.empty()) {
    parsed = live::parseIpAddress(address);
    if (!parsed) return "--listen: not an IP address: " + std::string(address);
  }
  options.address = parsed;
  options.port = static_cast<std::uint16_t>(value);
  return std::nullopt;
}

std::optional<std::string> parseAllowValue(std::string_view text, ListenOptions& options) {
  const auto address = live::parseIpAddress(text);
  if (!address) return "--allow: not an IP address: " + std::string(text);
  options.allowed.push_back(*address);
  return std::nullopt;
}

std::optional<std::string> parseSecondsValue(std::string_view option, std::string_view text, unsigned& seconds) {
  unsigned value = 0;
  if (!readNumber(text, value) || value < 1 || value > 86400) {
    return std::string(option) + ": not a number of seconds from 1 to 86400: " + std::string(text);
  }
  seconds = value;
  return std::nullopt;
}

}  // namespace fragtally

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "live/live_modes.h"

namespace fragtally {

/// The values of the live modes' options. Each returns the message of a usage
/// error, or nothing when the value was taken.
/// "27500", "0.0.0.0:27500", "127.0.0.1:27500", "[::1]:27500", "[::]:27500".
std::optional<std::string> parseListenValue(std::string_view text, ListenOptions& options);
/// "192.0.2.7", "2001:db8::7" or "[2001:db8::7]"; added to the allowed addresses.
std::optional<std::string> parseAllowValue(std::string_view text, ListenOptions& options);
/// A whole number of seconds, 1 to 86400, for --refresh and --idle.
std::optional<std::string> parseSecondsValue(std::string_view option, std::string_view text, unsigned& seconds);

}  // namespace fragtally

#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "live/ip_address.h"
#include "live/played_reports.h"

namespace fragtally {

/// fragtally-cli --listen [ADDRESS:]PORT -d DIR [--allow ADDRESS]... [--secret TEXT]
///               [--refresh SECONDS] [--idle SECONDS]
struct ListenOptions {
  std::optional<live::IpAddress> address;  // nothing: every address
  std::uint16_t port = 0;
  std::vector<live::IpAddress> allowed;    // empty: the loopback addresses
  std::optional<std::string> secret;
  unsigned refreshSeconds = 10;
  unsigned idleSeconds = 600;
  std::string folder;                      // DIR
  live::PlayedReports* played = nullptr;   // told the reports being played, when given
};

/// fragtally-cli --follow LOGDIR -d DIR [--refresh SECONDS]
struct FollowOptions {
  std::string logFolder;  // LOGDIR
  unsigned refreshSeconds = 10;
  std::string folder;     // DIR
  live::PlayedReports* played = nullptr;  // told the reports being played, when given
};

/// The values of the live modes' options. Each returns the message of a usage
/// error, or nothing when the value was taken.
/// "27500", "0.0.0.0:27500", "127.0.0.1:27500", "[::1]:27500", "[::]:27500".
std::optional<std::string> parseListenValue(std::string_view text, ListenOptions& options);
/// "192.0.2.7", "2001:db8::7" or "[2001:db8::7]"; added to the allowed addresses.
std::optional<std::string> parseAllowValue(std::string_view text, ListenOptions& options);
/// A whole number of seconds, 1 to 86400, for --refresh and --idle.
std::optional<std::string> parseSecondsValue(std::string_view option, std::string_view text, unsigned& seconds);

/// Runs until SIGINT or SIGTERM (Ctrl+C on Windows), then writes what is
/// pending and returns: 0, or 1 when the socket could not be opened or an
/// output failed. Activity and failures go to `err`.
int runListen(const ListenOptions& options, std::ostream& out, std::ostream& err);
int runFollow(const FollowOptions& options, std::ostream& out, std::ostream& err);

}  // namespace fragtally

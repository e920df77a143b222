#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "live/ip_address.h"
#include "live/played_reports.h"
#include "site/site_settings.h"

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
  SiteSettings site;                       // who is who on DIR's site
  live::PlayedReports* played = nullptr;   // told the reports being played, when given
};

/// fragtally-cli --follow LOGDIR -d DIR [--refresh SECONDS]
struct FollowOptions {
  std::string logFolder;  // LOGDIR
  unsigned refreshSeconds = 10;
  std::string folder;     // DIR
  SiteSettings site;      // who is who on DIR's site
  live::PlayedReports* played = nullptr;  // told the reports being played, when given
};

/// Runs until SIGINT or SIGTERM (Ctrl+C on Windows), then writes what is
/// pending and returns: 0, or 1 when the socket could not be opened or an
/// output failed. Activity and failures go to `err`.
int runListen(const ListenOptions& options, std::ostream& out, std::ostream& err);
int runFollow(const FollowOptions& options, std::ostream& out, std::ostream& err);

}  // namespace fragtally

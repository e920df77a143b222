#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "live/activity_log.h"
#include "live/live_sessions.h"
#include "live/match_outputs.h"

namespace fragtally::live {

/// Follows a server's own logs folder: the newest log when it starts, then
/// every log that appears. Only whole lines count; a log is refreshed while it
/// grows and finished at its closing line or when a newer log appears.
class LogFollower {
 public:
  /// Looks at the folder once: the logs there now are known, the newest of
  /// them is followed from its start.
  LogFollower(std::filesystem::path logFolder, std::chrono::seconds refresh, MatchOutputs& outputs,
              ActivityLog& activity, Clock::time_point now);

  /// One look at the folder and at the followed log.
  void pollOnce(Clock::time_point now);
  /// The program is ending: the followed log's report is brought up to date
  /// (the log itself goes on, so it is not finished).
  void stop();

  /// The followed log, if any (for tests and messages).
  std::optional<std::filesystem::path> followed() const;
  /// Whether a log to follow could not be read, or a log's name in the folder
  /// is a link to nothing: each is reported on the activity log once, and the
  /// run ends with a failure.
  bool failed() const { return failed_; }

 private:
  struct Followed {
    std::filesystem::path path;
    std::uintmax_t wholeLinesEnd = 0;  // where the last whole line read ends
    bool closed = false;    // its closing line was read
    bool finished = false;
    bool changed = false;
    bool refreshed = false;
    bool unreadableShown = false;
    Clock::time_point lastRefresh;
  };
  std::vector<std::filesystem::path> newLogs();
  void readNewLines();
  void cannotRead(Followed& log, const std::string& why);
  void finishFollowed(FinishReason reason);
  void refreshFollowed(Clock::time_point now);

  std::filesystem::path logFolder_;
  std::chrono::seconds refresh_;
  MatchOutputs& outputs_;
  ActivityLog& activity_;
  std::set<std::filesystem::path> listed_;       // the folder's entries taken as logs
  std::set<std::filesystem::path> known_;        // the logs they lead to (resolvedPath)
  std::set<std::filesystem::path> brokenShown_;  // links to nothing already named
  std::optional<Followed> followed_;
  bool folderMissingShown_ = false;
  bool failed_ = false;
};

}  // namespace fragtally::live

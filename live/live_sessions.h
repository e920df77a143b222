#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string_view>

#include "live/activity_log.h"
#include "live/datagram.h"
#include "live/file_syncer.h"
#include "live/ip_address.h"
#include "live/match_outputs.h"
#include "live/raw_log_file.h"

namespace fragtally::live {

using Clock = std::chrono::steady_clock;

struct SessionTimes {
  std::chrono::seconds refresh{10};  // least time between two reports of a log
  std::chrono::seconds idle{600};    // silence that ends a log
};

/// The logs being played, one per source: every line is appended to the
/// source's raw log in `logsFolder`; the log is refreshed while it grows and
/// finished at its closing line, at a new log of its source, or after a
/// silence. Time is given by the caller, so the rules can be tried without
/// waiting.
class LiveSessions {
 public:
  /// `write` does the raw logs' writes (empty: the system's).
  LiveSessions(std::filesystem::path logsFolder, SessionTimes times, std::size_t maxSources,
               MatchOutputs& outputs, ActivityLog& activity, RawWrite write = {});
  ~LiveSessions();
  LiveSessions(const LiveSessions&) = delete;
  LiveSessions& operator=(const LiveSessions&) = delete;

  /// Takes a line of a source; or gives why not: the source is new and there
  /// are already as many as allowed, or the line closes a log of a source
  /// that has none open.
  std::optional<DropReason> takeLine(const Endpoint& source, std::string_view line, Clock::time_point now);
  /// Hands every line taken so far to the system.
  void flush();
  /// Puts every raw log on the disk, in the background.
  void sync();
  /// Refreshes the logs whose time has come and finishes the silent ones.
  void tick(Clock::time_point now);
  /// Finishes every log (the program is ending).
  void finishAll();

  std::size_t sourceCount() const { return sources_.size(); }

 private:
  struct Source {
    RawLogFile raw;
    Clock::time_point lastLine;
    Clock::time_point lastRefresh;
    bool refreshed = false;
    bool changed = false;
    bool failureShown = false;     // the current failure to write is told
    std::uint64_t lostTold = 0;    // lines lost that a message counted
  };
  void startLog(const Endpoint& endpoint, Source& source, std::string_view firstLine);
  void finishLog(Source& source, FinishReason reason);
  void noteWrite(Source& source, bool written);
  void tellLinesLost(Source& source, const char* when);

  std::filesystem::path logsFolder_;
  SessionTimes times_;
  std::size_t maxSources_;
  MatchOutputs& outputs_;
  ActivityLog& activity_;
  std::map<Endpoint, Source> sources_;
  RawWrite write_;
  bool createFailureShown_ = false;
  FileSyncer syncer_;
};

}  // namespace fragtally::live

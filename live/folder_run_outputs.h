#pragma once

#include <atomic>
#include <string>

#include "live/activity_log.h"
#include "live/match_outputs.h"
#include "live/played_reports.h"

namespace fragtally::live {

/// The live modes' outputs in DIR, written by the folder run as for any other
/// log: report, JSON record, and at the end of a log the index. Its messages
/// and one line per finished log go to the activity log.
class FolderRunOutputs : public MatchOutputs {
 public:
  /// `played`, when given, learns which report each log being played has,
  /// and when it is final.
  FolderRunOutputs(std::string folder, ActivityLog& activity, PlayedReports* played = nullptr)
      : folder_(std::move(folder)), activity_(activity), played_(played) {}

  void refresh(const std::string& log) override;
  void finish(const std::string& log, FinishReason reason) override;
  /// Whether any output failed so far.
  bool failed() const { return failed_.load(); }

 private:
  std::string folder_;
  ActivityLog& activity_;
  PlayedReports* played_;
  std::atomic<bool> failed_{false};
};

}  // namespace fragtally::live

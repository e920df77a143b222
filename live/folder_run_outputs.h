#pragma once

#include <atomic>
#include <string>

#include "live/activity_log.h"
#include "live/match_outputs.h"

namespace fragtally::live {

/// The live modes' outputs in DIR, written by the folder run as for any other
/// log: report, JSON record, and at the end of a log the index. Its messages
/// and one line per finished log go to the activity log.
class FolderRunOutputs : public MatchOutputs {
 public:
  FolderRunOutputs(std::string folder, ActivityLog& activity) : folder_(std::move(folder)), activity_(activity) {}

  void refresh(const std::string& log) override;
  void finish(const std::string& log, FinishReason reason) override;
  /// Whether any output failed so far.
  bool failed() const { return failed_.load(); }

 private:
  std::string folder_;
  ActivityLog& activity_;
  std::atomic<bool> failed_{false};
};

}  // namespace fragtally::live

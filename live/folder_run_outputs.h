#pragma once

#include <atomic>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "live/activity_log.h"
#include "live/match_outputs.h"
#include "live/played_reports.h"
#include "site/site_settings.h"

namespace fragtally::live {

/// The live modes' outputs in DIR, written by the folder run as for any other
/// log: report, JSON record, and at the end of a log the index. Its messages
/// and one line per finished log go to the activity log. Called from one
/// thread at a time.
///
/// A refresh costs the same however many matches DIR holds: a log's first
/// written report gives the name it keeps until it is finished, so later
/// refreshes neither list the folder nor read other records; stale temporary
/// files are removed once, by the first output.
class FolderRunOutputs : public MatchOutputs {
 public:
  /// `played`, when given, learns which report each log being played has,
  /// and when it is final.
  FolderRunOutputs(std::string folder, SiteSettings site, ActivityLog& activity, PlayedReports* played = nullptr)
      : folder_(std::move(folder)), site_(std::move(site)), activity_(activity), played_(played) {}

  void refresh(const std::string& log) override;
  void finish(const std::string& log, FinishReason reason) override;
  /// One run over all the logs, one index at its end.
  void finishAll(const std::vector<Finished>& logs) override;
  /// Whether any output failed so far.
  bool failed() const { return failed_.load(); }

 private:
  // What one run over the logs gave: each log's report path, or why it
  // failed, and the run's messages as the command line would print them.
  struct Written {
    bool failed = false;
    std::map<std::string, std::optional<std::string>> reports;  // by log, as given
    std::set<std::string> failedLogs;
    std::string messages;
  };
  Written writeOutputs(const std::vector<std::string>& logs, bool withIndex);

  std::string folder_;
  SiteSettings site_;
  ActivityLog& activity_;
  PlayedReports* played_;
  std::atomic<bool> failed_{false};
  bool temporariesRemoved_ = false;
  std::map<std::string, std::string> names_;  // of the logs being played, learnt from their first report
};

}  // namespace fragtally::live

#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>

namespace fragtally::live {

/// The reports of the logs being played, by their real paths: what a web
/// server serving DIR needs to tell a page that is still changing from a
/// finished one. Safe to use from any thread.
class PlayedReports {
 public:
  /// `log`'s report, at `report`, is being played (written again as it grows).
  void playing(const std::string& log, const std::filesystem::path& report);
  /// `log` has its final report: its page changes no more.
  void finished(const std::string& log);
  /// Whether `realPath` (links resolved) is the report of a log being played.
  bool isPlayed(const std::filesystem::path& realPath) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::filesystem::path> reports_;  // by log
};

}  // namespace fragtally::live

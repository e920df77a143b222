#include "live/played_reports.h"

#include <algorithm>
#include <system_error>

namespace fragtally::live {

void PlayedReports::playing(const std::string& log, const std::filesystem::path& report) {
  std::error_code error;
  std::filesystem::path real = std::filesystem::weakly_canonical(report, error);
  const std::lock_guard lock(mutex_);
  reports_[log] = error ? report : std::move(real);
}

void PlayedReports::finished(const std::string& log) {
  const std::lock_guard lock(mutex_);
  reports_.erase(log);
}

bool PlayedReports::isPlayed(const std::filesystem::path& realPath) const {
  const std::lock_guard lock(mutex_);
  return std::any_of(reports_.begin(), reports_.end(), [&](const auto& entry) { return entry.second == realPath; });
}

}  // namespace fragtally::live

#include "batch/batch_counts.h"

#include <cstdio>

namespace fragtally {

BatchProgress::BatchProgress(std::ostream& err, bool shown, std::size_t logs, std::uint64_t bytesToRead)
    : err_(err), shown_(shown), logs_(logs), bytesToRead_(bytesToRead) {}

void BatchProgress::count(bool written, bool upToDate, bool failed, std::uint64_t bytes) {
  written_ += written ? 1 : 0;
  upToDate_ += upToDate ? 1 : 0;
  failed_ += failed ? 1 : 0;
  if (!upToDate) bytesRead_ += bytes;
}

void BatchProgress::show() {
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (onScreen_ && now - lastShown_ < std::chrono::milliseconds(200)) return;
  lastShown_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  const double rate = seconds > 0 ? static_cast<double>(bytesRead_) / seconds : 0;
  char line[160];
  const std::size_t done = written_ + upToDate_ + failed_;
  if (rate > 0 && bytesRead_ > 0) {
    const double left = static_cast<double>(bytesToRead_ > bytesRead_ ? bytesToRead_ - bytesRead_ : 0) / rate;
    const long whole = static_cast<long>(left + 0.5);
    std::snprintf(line, sizeof line, "%zu of %zu logs, %.1f MB/s, %ld:%02ld left", done, logs_, rate / 1e6,
                  whole / 60, whole % 60);
  } else {
    std::snprintf(line, sizeof line, "%zu of %zu logs", done, logs_);
  }
  err_ << '\r' << line << "\x1b[K" << std::flush;
  onScreen_ = true;
}

void BatchProgress::clear() {
  if (!onScreen_) return;
  err_ << "\r\x1b[K" << std::flush;
  onScreen_ = false;
}

std::string BatchProgress::summary() const {
  return groupedCount(logs_) + (logs_ == 1 ? " log: " : " logs: ") + groupedCount(written_) + " written, " +
         groupedCount(upToDate_) + " up to date, " + groupedCount(failed_) + " failed";
}

std::string groupedCount(std::uint64_t count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

}  // namespace fragtally

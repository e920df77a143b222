#include "cli/progress_line.h"

#include <cstdio>

namespace fragtally {

void ProgressLine::draw(const BatchCounts& counts) {
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!started_) started_ = now;
  if (onScreen_ && now - lastDrawn_ < std::chrono::milliseconds(200)) return;
  lastDrawn_ = now;
  const double seconds = std::chrono::duration<double>(now - *started_).count();
  const double rate = seconds > 0 ? static_cast<double>(counts.bytesRead) / seconds : 0;
  char line[160];
  if (rate > 0 && counts.bytesRead > 0) {
    const std::uint64_t toRead = counts.bytesToRead > counts.bytesRead ? counts.bytesToRead - counts.bytesRead : 0;
    const double left = static_cast<double>(toRead) / rate;
    const long whole = static_cast<long>(left + 0.5);
    std::snprintf(line, sizeof line, "%zu of %zu logs, %.1f MB/s, %ld:%02ld left", counts.done(), counts.logs,
                  rate / 1e6, whole / 60, whole % 60);
  } else {
    std::snprintf(line, sizeof line, "%zu of %zu logs", counts.done(), counts.logs);
  }
  err_ << '\r' << line << "\x1b[K" << std::flush;
  onScreen_ = true;
}

void ProgressLine::clear() {
  if (!onScreen_) return;
  err_ << "\r\x1b[K" << std::flush;
  onScreen_ = false;
}

std::string summaryLine(const BatchCounts& counts) {
  return groupedCount(counts.logs) + (counts.logs == 1 ? " log: " : " logs: ") + groupedCount(counts.written) +
         " written, " + groupedCount(counts.upToDate) + " up to date, " + groupedCount(counts.failed) + " failed";
}

std::string groupedCount(std::uint64_t count) {
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

}  // namespace fragtally

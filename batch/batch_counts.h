#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace fragtally {

/// The counts of a folder run, its updating progress line and its summary.
class BatchProgress {
 public:
  /// `shown`: whether the progress line is drawn (standard error is a terminal).
  BatchProgress(std::ostream& err, bool shown, std::size_t logs, std::uint64_t bytesToRead);

  /// Counts one log's outcome; `bytes` is the size of a log that was read.
  void count(bool written, bool upToDate, bool failed, std::uint64_t bytes);
  /// Redraws the progress line, at most a few times a second.
  void show();
  /// Removes the progress line, so that another line can be written.
  void clear();

  std::size_t failed() const { return failed_; }
  /// "2,000 logs: 1,990 written, 8 up to date, 2 failed"
  std::string summary() const;

 private:
  std::ostream& err_;
  bool shown_;
  bool onScreen_ = false;
  std::size_t logs_;
  std::size_t written_ = 0;
  std::size_t upToDate_ = 0;
  std::size_t failed_ = 0;
  std::uint64_t bytesToRead_;
  std::uint64_t bytesRead_ = 0;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastShown_{};
};

/// A count with a comma between groups of three digits: "10,000".
std::string groupedCount(std::uint64_t count);

}  // namespace fragtally

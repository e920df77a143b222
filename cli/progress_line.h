#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "batch/batch_counts.h"

namespace fragtally {

/// A folder run's updating line on a terminal: "120 of 2,000 logs, 230.5 MB/s,
/// 0:41 left". Its rate counts from the first time it is drawn.
class ProgressLine {
 public:
  /// `shown`: whether the line is drawn at all (standard error is a terminal).
  ProgressLine(std::ostream& err, bool shown) : err_(err), shown_(shown) {}

  /// Draws the line again, at most a few times a second.
  void draw(const BatchCounts& counts);
  /// Removes the line, so that another line can be written.
  void clear();

 private:
  std::ostream& err_;
  bool shown_;
  bool onScreen_ = false;
  std::optional<std::chrono::steady_clock::time_point> started_;
  std::chrono::steady_clock::time_point lastDrawn_{};
};

/// "2,000 logs: 1,990 written, 8 up to date, 2 failed"
std::string summaryLine(const BatchCounts& counts);

/// A count with a comma between groups of three digits: "10,000".
std::string groupedCount(std::uint64_t count);

}  // namespace fragtally

#pragma once

#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace fragtally::live {

/// This machine's local time now, formatted by strftime's `format`.
std::string localTimeNow(const char* format);

/// The program's own activity on standard error, written by several threads:
/// each message goes out whole, prefixed by the local time.
class ActivityLog {
 public:
  explicit ActivityLog(std::ostream& out) : out_(out) {}
  /// Writes the text (one or more lines) after a time stamp, its control
  /// bytes but the line feeds escaped (printableText).
  void write(std::string_view text);

 private:
  std::mutex mutex_;
  std::ostream& out_;
};

}  // namespace fragtally::live

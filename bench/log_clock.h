#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fragtally {

/// The date and time of a generated log, written as the stamp that starts each
/// line: "L MM/DD/YYYY - HH:MM:SS: ". The stamp text is kept and only rewritten
/// when the clock moves, since nearly every line repeats the previous one's.
class LogClock {
 public:
  /// A valid date (Gregorian calendar) and time of day.
  LogClock(int year, int month, int day, int hour, int minute, int second);

  /// Moves the clock on; days, months and years carry over as on a calendar.
  void advance(std::uint32_t seconds);

  /// Seconds the clock has moved on since it was set.
  std::uint64_t elapsed() const { return elapsed_; }

  /// "L MM/DD/YYYY - HH:MM:SS: ", with every field at its full width.
  std::string_view linePrefix() const { return prefix_; }

 private:
  void writePrefix();

  int year_;
  int month_;
  int day_;
  std::int64_t secondOfDay_;
  std::uint64_t elapsed_ = 0;
  std::string prefix_;
};

/// Days of a month (1..12) of a Gregorian year.
int daysInMonth(int year, int month);

}  // namespace fragtally

#include "bench/log_clock.h"

namespace fragtally {
namespace {

constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

// Writes a number into `width` digits ending just before `end`, leading zeros included.
void writeDigits(char* end, int width, int value) {
  for (int i = 0; i < width; ++i) {
    *--end = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

}  // namespace

int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

LogClock::LogClock(int year, int month, int day, int hour, int minute, int second)
    : year_(year), month_(month), day_(day), secondOfDay_((hour * 60 + minute) * 60 + second),
      prefix_("L MM/DD/YYYY - HH:MM:SS: ") {
  writePrefix();
}

void LogClock::advance(std::uint32_t seconds) {
  if (seconds == 0) return;
  elapsed_ += seconds;
  secondOfDay_ += seconds;
  while (secondOfDay_ >= kSecondsPerDay) {
    secondOfDay_ -= kSecondsPerDay;
    if (++day_ > daysInMonth(year_, month_)) {
      day_ = 1;
      if (++month_ > 12) {
        month_ = 1;
        ++year_;
      }
    }
  }
  writePrefix();
}

void LogClock::writePrefix() {
  char* const text = prefix_.data();
  const auto second = static_cast<int>(secondOfDay_);
  writeDigits(text + 4, 2, month_);
  writeDigits(text + 7, 2, day_);
  writeDigits(text + 12, 4, year_);
  writeDigits(text + 17, 2, second / 3600);
  writeDigits(text + 20, 2, second / 60 % 60);
  writeDigits(text + 23, 2, second % 60);
}

}  // namespace fragtally

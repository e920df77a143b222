#include "serve/http_date.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace fragtally::serve {
namespace {

constexpr std::array<std::string_view, 7> kWeekdays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A number of exactly `digits` digits at `at`.
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t digits) {
  if (at + digits > text.size()) return std::nullopt;
  int value = 0;
  const char* first = text.data() + at;
  const auto [end, error] = std::from_chars(first, first + digits, value);
  if (error != std::errc() || end != first + digits) return std::nullopt;
  return value;
}

}  // namespace

std::string httpDate(std::int64_t unixSeconds) {
  using namespace std::chrono;
  const sys_seconds time{seconds(unixSeconds)};
  const sys_days day = floor<days>(time);
  const year_month_day date(day);
  const hh_mm_ss clock(time - day);
  const weekday dayOfWeek(day);
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d GMT",
                kWeekdays[dayOfWeek.c_encoding()].data(), static_cast<unsigned>(date.day()),
                kMonths[static_cast<unsigned>(date.month()) - 1].data(), static_cast<int>(date.year()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

std::optional<std::int64_t> parseHttpDate(std::string_view text) {
  // "Sun, 06 Nov 1994 08:49:37 GMT": every field at its fixed place.
  if (text.size() != 29 || text.substr(3, 2) != ", " || text[7] != ' ' || text[11] != ' ' || text[16] != ' ' ||
      text[19] != ':' || text[22] != ':' || text.substr(25) != " GMT") {
    return std::nullopt;
  }
  unsigned month = 0;
  while (month < kMonths.size() && kMonths[month] != text.substr(8, 3)) ++month;
  const auto day = digitsAt(text, 5, 2);
  const auto year = digitsAt(text, 12, 4);
  const auto hours = digitsAt(text, 17, 2);
  const auto minutes = digitsAt(text, 20, 2);
  const auto seconds = digitsAt(text, 23, 2);
  if (month == kMonths.size() || !day || !year || !hours || !minutes || !seconds || *hours > 23 || *minutes > 59 ||
      *seconds > 60) {
    return std::nullopt;
  }
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(*year), std::chrono::month(month + 1),
                            std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok()) return std::nullopt;
  return sys_days(date).time_since_epoch().count() * std::int64_t{86400} + *hours * 3600 + *minutes * 60 + *seconds;
}

}  // namespace fragtally::serve

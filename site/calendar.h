#pragma once

#include <cstdint>
#include <string>

#include "base/site_texts.h"

namespace fragtally {

// The calendar of the site's periods. Days are the log's own dates, as
// dayNumberOf (players/rating_run.h) counts them: no time zone, a day is
// whatever date the server wrote.

/// A date of the proleptic Gregorian calendar.
struct CalendarDate {
  int year = 0;
  int month = 0;  ///< 1 to 12
  int day = 0;    ///< 1 to 31

  friend auto operator<=>(const CalendarDate&, const CalendarDate&) = default;
};

/// The date of a day number (days since 1970-01-01), dayNumberOf's inverse.
CalendarDate dateOfDay(std::int64_t day);
/// The day number of a date; the date must be a real one.
std::int64_t dayOfDate(const CalendarDate& date);

/// A day as the site's pages write it in the language of `texts` (datePattern).
std::string dateText(std::int64_t day, const SiteTexts& texts);

/// 1 for Monday to 7 for Sunday, as ISO 8601 numbers them.
int weekdayOf(std::int64_t day);

/// An ISO 8601 week: Monday to Sunday, week 1 the one holding the year's first
/// Thursday. Its year is that of its Thursday, so the first days of January
/// can belong to the last week of the year before and the last days of
/// December to week 1 of the next.
struct IsoWeek {
  int year = 0;
  int week = 0;  ///< 1 to 53

  friend auto operator<=>(const IsoWeek&, const IsoWeek&) = default;
};

IsoWeek isoWeekOf(std::int64_t day);

/// The three kinds of period the awards are given for.
enum class PeriodKind : std::uint8_t { day, week, month };

/// One period: a day, an ISO week or a calendar month, by its first and last day.
struct Period {
  PeriodKind kind = PeriodKind::day;
  std::int64_t firstDay = 0;
  std::int64_t lastDay = 0;

  friend bool operator==(const Period&, const Period&) = default;
};

/// The period of `kind` that holds `day`.
Period periodOf(PeriodKind kind, std::int64_t day);

/// A label that reads the same in any language and sorts as the periods do
/// within a kind: "2026-12-31", "2026-W53", "2026-12".
std::string periodLabel(const Period& period);

}  // namespace fragtally

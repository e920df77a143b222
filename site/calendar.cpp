#include "site/calendar.h"

#include "players/rating_run.h"

namespace fragtally {
namespace {

/// `value` in at least `width` digits, a minus sign before them when negative
/// (a log can write year "-001", and readMatchStart takes it).
std::string padded(std::int64_t value, std::size_t width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

/// Division rounding down, so days before 1970 fall in the right era and week.
std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0); }

}  // namespace

CalendarDate dateOfDay(std::int64_t day) {
  // dayNumberOf's steps backwards: March-based years of 400-year eras, so
  // the leap day ends a year and months follow a fixed 153-day pattern.
  const std::int64_t shifted = day + 719468;
  const std::int64_t era = floorDiv(shifted, 146097);
  const std::int64_t dayOfEra = shifted - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  CalendarDate date;
  date.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  date.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
  return date;
}

std::int64_t dayOfDate(const CalendarDate& date) {
  return dayNumberOf(MatchStart{date.year, date.month, date.day, 0});
}

int weekdayOf(std::int64_t day) {
  // 1970-01-01 was a Thursday: three days after a Monday.
  const std::int64_t sinceMonday = day + 3 - floorDiv(day + 3, 7) * 7;
  return static_cast<int>(sinceMonday) + 1;
}

IsoWeek isoWeekOf(std::int64_t day) {
  const std::int64_t thursday = day - weekdayOf(day) + 4;
  const int year = dateOfDay(thursday).year;
  const std::int64_t dayInYear = thursday - dayOfDate(CalendarDate{year, 1, 1});
  return IsoWeek{year, static_cast<int>(dayInYear / 7 + 1)};
}

Period periodOf(PeriodKind kind, std::int64_t day) {
  switch (kind) {
    case PeriodKind::day:
      return Period{kind, day, day};
    case PeriodKind::week: {
      const std::int64_t monday = day - weekdayOf(day) + 1;
      return Period{kind, monday, monday + 6};
    }
    case PeriodKind::month: {
      const CalendarDate date = dateOfDay(day);
      const std::int64_t first = dayOfDate(CalendarDate{date.year, date.month, 1});
      const CalendarDate next = date.month == 12 ? CalendarDate{date.year + 1, 1, 1} : CalendarDate{date.year, date.month + 1, 1};
      return Period{kind, first, dayOfDate(next) - 1};
    }
  }
  return Period{kind, day, day};
}

std::string dateText(std::int64_t day, const SiteTexts& texts) {
  const CalendarDate date = dateOfDay(day);
  return dateText(texts.datePattern, date.year, date.month, date.day);
}

std::string periodLabel(const Period& period) {
  switch (period.kind) {
    case PeriodKind::day: {
      const CalendarDate date = dateOfDay(period.firstDay);
      return padded(date.year, 4) + "-" + padded(date.month, 2) + "-" + padded(date.day, 2);
    }
    case PeriodKind::week: {
      const IsoWeek week = isoWeekOf(period.firstDay);
      return padded(week.year, 4) + "-W" + padded(week.week, 2);
    }
    case PeriodKind::month: {
      const CalendarDate date = dateOfDay(period.firstDay);
      return padded(date.year, 4) + "-" + padded(date.month, 2);
    }
  }
  return {};
}

}  // namespace fragtally

#include <gtest/gtest.h>

#include "site/calendar.h"

namespace fragtally {
namespace {

std::int64_t on(int year, int month, int day) { return dayOfDate(CalendarDate{year, month, day}); }

TEST(CalendarTest, DayNumbersAndDatesGoBothWays) {
  EXPECT_EQ(on(1970, 1, 1), 0);
  EXPECT_EQ(on(1969, 12, 31), -1);
  // 30 years with 7 leap days to 2000, then January and February's 28 days.
  EXPECT_EQ(on(2000, 2, 29), 30 * 365 + 7 + 31 + 28);
  // 56 years with 14 leap days (1972 to 2024) to 2026, then 364 days.
  EXPECT_EQ(on(2026, 12, 31), 56 * 365 + 14 + 364);
  EXPECT_EQ(dateOfDay(on(2000, 2, 29)), (CalendarDate{2000, 2, 29}));
  EXPECT_EQ(dateOfDay(-1), (CalendarDate{1969, 12, 31}));
  EXPECT_EQ(dateOfDay(on(2100, 3, 1) - 1), (CalendarDate{2100, 2, 28}));  // no leap day in 2100
  for (std::int64_t day = -800000; day <= 3000000; day += 997) {
    ASSERT_EQ(dayOfDate(dateOfDay(day)), day) << day;
  }
}

TEST(CalendarTest, WeekdaysRunMondayToSunday) {
  EXPECT_EQ(weekdayOf(on(1970, 1, 1)), 4);     // a Thursday
  EXPECT_EQ(weekdayOf(on(1969, 12, 29)), 1);   // the Monday before it
  EXPECT_EQ(weekdayOf(on(2026, 1, 1)), 4);     // 20454 days later, 2922 weeks
  EXPECT_EQ(weekdayOf(on(2026, 12, 27)), 7);   // 2026 has 365 days: Dec 31 is a Thursday too
  EXPECT_EQ(weekdayOf(on(2026, 12, 28)), 1);
}

TEST(CalendarTest, IsoWeeksAcrossTheEndOfAYear) {
  // 2026 starts on a Thursday: week 1 starts Monday 2025-12-29 and the year has 53 weeks.
  EXPECT_EQ(isoWeekOf(on(2025, 12, 29)), (IsoWeek{2026, 1}));
  EXPECT_EQ(isoWeekOf(on(2025, 12, 28)), (IsoWeek{2025, 52}));
  EXPECT_EQ(isoWeekOf(on(2026, 12, 27)), (IsoWeek{2026, 52}));  // Sunday
  EXPECT_EQ(isoWeekOf(on(2026, 12, 28)), (IsoWeek{2026, 53}));  // Monday
  EXPECT_EQ(isoWeekOf(on(2026, 12, 31)), (IsoWeek{2026, 53}));
  // The first days of 2027 (Friday to Sunday) have their Thursday in 2026.
  EXPECT_EQ(isoWeekOf(on(2027, 1, 1)), (IsoWeek{2026, 53}));
  EXPECT_EQ(isoWeekOf(on(2027, 1, 3)), (IsoWeek{2026, 53}));
  EXPECT_EQ(isoWeekOf(on(2027, 1, 4)), (IsoWeek{2027, 1}));
  // The last days of 2024 (from Monday the 30th) belong to 2025's first week.
  EXPECT_EQ(isoWeekOf(on(2024, 12, 29)), (IsoWeek{2024, 52}));
  EXPECT_EQ(isoWeekOf(on(2024, 12, 30)), (IsoWeek{2025, 1}));
}

TEST(CalendarTest, PeriodsHoldTheirDays) {
  EXPECT_EQ(periodOf(PeriodKind::day, on(2026, 12, 31)), (Period{PeriodKind::day, on(2026, 12, 31), on(2026, 12, 31)}));
  EXPECT_EQ(periodOf(PeriodKind::week, on(2027, 1, 1)), (Period{PeriodKind::week, on(2026, 12, 28), on(2027, 1, 3)}));
  EXPECT_EQ(periodOf(PeriodKind::week, on(2026, 12, 28)), periodOf(PeriodKind::week, on(2027, 1, 3)));
  EXPECT_NE(periodOf(PeriodKind::week, on(2026, 12, 27)), periodOf(PeriodKind::week, on(2026, 12, 28)));
  EXPECT_EQ(periodOf(PeriodKind::month, on(2026, 12, 31)), (Period{PeriodKind::month, on(2026, 12, 1), on(2026, 12, 31)}));
  EXPECT_EQ(periodOf(PeriodKind::month, on(2028, 2, 10)), (Period{PeriodKind::month, on(2028, 2, 1), on(2028, 2, 29)}));
  EXPECT_EQ(periodOf(PeriodKind::month, on(2027, 2, 28)).lastDay, on(2027, 2, 28));
  EXPECT_NE(periodOf(PeriodKind::month, on(2026, 11, 30)), periodOf(PeriodKind::month, on(2026, 12, 1)));
}

TEST(CalendarTest, LabelsNameThePeriod) {
  EXPECT_EQ(periodLabel(periodOf(PeriodKind::day, on(2026, 3, 7))), "2026-03-07");
  EXPECT_EQ(periodLabel(periodOf(PeriodKind::week, on(2027, 1, 2))), "2026-W53");
  EXPECT_EQ(periodLabel(periodOf(PeriodKind::week, on(2027, 1, 4))), "2027-W01");
  EXPECT_EQ(periodLabel(periodOf(PeriodKind::week, on(2024, 12, 31))), "2025-W01");
  EXPECT_EQ(periodLabel(periodOf(PeriodKind::month, on(2026, 12, 31))), "2026-12");
  EXPECT_EQ(periodLabel(periodOf(PeriodKind::month, on(987, 6, 5))), "0987-06");
}

}  // namespace
}  // namespace fragtally

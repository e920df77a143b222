#include "bench/log_clock.h"

#include <gtest/gtest.h>

namespace fragtally {
namespace {

TEST(LogClock, WritesEveryFieldAtFullWidth) {
  EXPECT_EQ(LogClock(2023, 3, 4, 5, 6, 7).linePrefix(), "L 03/04/2023 - 05:06:07: ");
  EXPECT_EQ(LogClock(2021, 11, 30, 23, 59, 58).linePrefix(), "L 11/30/2021 - 23:59:58: ");
}

TEST(LogClock, CarriesSecondsIntoMinutesHoursAndDays) {
  LogClock clock(2023, 5, 17, 9, 59, 58);
  clock.advance(3);
  EXPECT_EQ(clock.linePrefix(), "L 05/17/2023 - 10:00:01: ");
  clock.advance(14 * 3600);
  EXPECT_EQ(clock.linePrefix(), "L 05/18/2023 - 00:00:01: ");
  clock.advance(0);
  EXPECT_EQ(clock.linePrefix(), "L 05/18/2023 - 00:00:01: ");
}

TEST(LogClock, TurnsMonthsAndYears) {
  LogClock endOfApril(2023, 4, 30, 23, 59, 59);
  endOfApril.advance(1);
  EXPECT_EQ(endOfApril.linePrefix(), "L 05/01/2023 - 00:00:00: ");

  LogClock newYearsEve(2023, 12, 31, 23, 59, 59);
  newYearsEve.advance(1);
  EXPECT_EQ(newYearsEve.linePrefix(), "L 01/01/2024 - 00:00:00: ");
}

TEST(LogClock, KnowsLeapYears) {
  LogClock leap(2024, 2, 28, 12, 0, 0);
  leap.advance(24 * 3600);
  EXPECT_EQ(leap.linePrefix(), "L 02/29/2024 - 12:00:00: ");
  leap.advance(24 * 3600);
  EXPECT_EQ(leap.linePrefix(), "L 03/01/2024 - 12:00:00: ");

  LogClock common(2023, 2, 28, 12, 0, 0);
  common.advance(24 * 3600);
  EXPECT_EQ(common.linePrefix(), "L 03/01/2023 - 12:00:00: ");

  EXPECT_EQ(daysInMonth(2000, 2), 29);
  EXPECT_EQ(daysInMonth(2100, 2), 28);
}

TEST(LogClock, SkipsSeveralDaysAtOnce) {
  LogClock clock(2023, 1, 31, 12, 0, 0);
  clock.advance(2 * 24 * 3600 + 1);
  EXPECT_EQ(clock.linePrefix(), "L 02/02/2023 - 12:00:01: ");
  clock.advance(366 * 24 * 3600);
  EXPECT_EQ(clock.linePrefix(), "L 02/03/2024 - 12:00:01: ");
}

}  // namespace
}  // namespace fragtally

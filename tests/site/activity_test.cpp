#include <gtest/gtest.h>

#include <vector>

#include "site/activity.h"
#include "site/calendar.h"

namespace fragtally {
namespace {

std::int64_t on(int year, int month, int day) { return dayOfDate(CalendarDate{year, month, day}); }

TEST(ActivityTest, TheLastSixtyDaysIncludeTheNewest) {
  const std::int64_t newest = on(2026, 12, 31);
  // Nov 2 to Nov 30 are 29 days, December 31: 60 days.
  EXPECT_TRUE(isActive(on(2026, 12, 31), newest));
  EXPECT_TRUE(isActive(on(2026, 11, 2), newest));
  EXPECT_FALSE(isActive(on(2026, 11, 1), newest));
  EXPECT_FALSE(isActive(on(2025, 12, 31), newest));
}

TEST(ActivityTest, OtherLengthsOfTheWindow) {
  EXPECT_TRUE(isActive(100, 100, 1));
  EXPECT_FALSE(isActive(99, 100, 1));
  EXPECT_FALSE(isActive(99, 100, 0));  // counts as 1
  EXPECT_TRUE(isActive(91, 100, 10));
  EXPECT_FALSE(isActive(90, 100, 10));
}

TEST(ActivityTest, SplitKeepsTheOrder) {
  const std::vector<std::int64_t> lastDays{50, 41, 40, 100, 10, 45};
  const ActivitySplit split = splitByActivity(lastDays, 100);
  EXPECT_EQ(split.active, (std::vector<std::size_t>{0, 1, 3, 5}));
  EXPECT_EQ(split.inactive, (std::vector<std::size_t>{2, 4}));
}

}  // namespace
}  // namespace fragtally

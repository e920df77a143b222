#include <gtest/gtest.h>

#include <vector>

#include "players/daily_rating.h"

namespace fragtally {
namespace {

TEST(DailyRatingTest, APointAtTheEndOfEachDayOfPlayAndIdleDaysWidenTheDeviation) {
  constexpr double kTau = 0.3;
  DailyRating rating(3, kTau);
  const std::vector<std::uint32_t> both = {0, 1, 0};  // one may be listed twice
  const std::vector<DayWin> annBeatsBea = {DayWin{0, 1, 1}};
  rating.rateDay(10, both, annBeatsBea);
  const std::vector<std::uint32_t> annAlone = {0};
  rating.rateDay(12, annAlone, {});
  const std::vector<PersonRating> people = rating.finish();
  ASSERT_EQ(people.size(), 3u);

  const Glicko2Game againstNewcomer{Glicko2Rating{}, 1.0, 1};
  const Glicko2Rating annAfter = ratePeriod(Glicko2Rating{}, {&againstNewcomer, 1}, kTau);
  const PersonRating& ann = people[0];
  ASSERT_EQ(ann.course.size(), 2u);
  EXPECT_EQ(ann.course[0].day, 10);
  EXPECT_EQ(ann.course[0].rating.rating, annAfter.rating);
  EXPECT_EQ(ann.course[0].rating.deviation, annAfter.deviation);
  // Day 12 without a game: two periods without games since day 10.
  EXPECT_EQ(ann.course[1].day, 12);
  EXPECT_EQ(ann.course[1].rating.rating, annAfter.rating);
  EXPECT_DOUBLE_EQ(ann.course[1].rating.deviation, idlePeriods(annAfter, 2).deviation);
  EXPECT_DOUBLE_EQ(ann.rating.deviation, ann.course[1].rating.deviation);
  EXPECT_EQ(ann.games, 1);

  // Bea played on day 10 only; she stands at the last day of play like everyone.
  const PersonRating& bea = people[1];
  ASSERT_EQ(bea.course.size(), 1u);
  EXPECT_LT(bea.course[0].rating.rating, 1500.0);
  EXPECT_DOUBLE_EQ(bea.rating.deviation, idlePeriods(bea.course[0].rating, 2).deviation);
  EXPECT_EQ(bea.games, 1);

  // Nobody who never played moves.
  EXPECT_TRUE(people[2].course.empty());
  EXPECT_EQ(people[2].rating.deviation, 350.0);
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <vector>

#include "players/glicko2.h"

namespace fragtally {
namespace {

TEST(Glicko2Test, GlickmansWorkedExample) {
  // "Example of the Glicko-2 system": 1500 / 200 / 0.06, τ = 0.5, beats 1400/30,
  // loses to 1550/100 and 1700/300. The paper prints μ' = -0.2069 and φ' = 0.8722
  // and converts those rounded figures: r' = 1464.06, RD' = 151.52, σ' = 0.05999
  // (five decimals, cut). So μ' and φ' are checked to their four decimals, and
  // r' and RD' to the 173.7178 × 0.00005 = 0.009 that the rounding of μ' and φ'
  // carries into them.
  const Glicko2Rating player{1500.0, 200.0, 0.06};
  const std::vector<Glicko2Game> games{
      {{1400.0, 30.0, 0.06}, 1.0, 1},
      {{1550.0, 100.0, 0.06}, 0.0, 1},
      {{1700.0, 300.0, 0.06}, 0.0, 1},
  };
  const Glicko2Rating after = ratePeriod(player, games, 0.5);
  EXPECT_NEAR((after.rating - 1500.0) / kGlickoScale, -0.2069, 0.00005);
  EXPECT_NEAR(after.deviation / kGlickoScale, 0.8722, 0.00005);
  EXPECT_NEAR(after.rating, 1464.06, 0.01);
  EXPECT_NEAR(after.deviation, 151.52, 0.01);
  EXPECT_GE(after.volatility, 0.05999);
  EXPECT_LT(after.volatility, 0.06000);
}

TEST(Glicko2Test, APeriodWithoutGamesOnlyWidensTheDeviation) {
  // φ = 200 / 173.7178 = 1.151293; √(φ² + 0.06²) = 1.152855, RD 200.27.
  const Glicko2Rating player{1620.0, 200.0, 0.06};
  const Glicko2Rating after = ratePeriod(player, {}, 0.5);
  EXPECT_EQ(after.rating, 1620.0);
  EXPECT_NEAR(after.deviation, 200.27, 0.005);
  EXPECT_EQ(after.volatility, 0.06);
  EXPECT_NEAR(idlePeriods(player, 1).deviation, after.deviation, 1e-9);
  // Four single steps are one step of four; the start's deviation bounds them.
  const Glicko2Rating four = idlePeriods(idlePeriods(idlePeriods(idlePeriods(player, 1), 1), 1), 1);
  EXPECT_NEAR(idlePeriods(player, 4).deviation, four.deviation, 1e-9);
  EXPECT_EQ(idlePeriods(player, 100000).deviation, kStartDeviation);
  EXPECT_EQ(idlePeriods(player, 0).deviation, 200.0);
}

TEST(Glicko2Test, AGameCountedTwiceIsTwoGames) {
  const Glicko2Rating player{1500.0, 120.0, 0.06};
  const Glicko2Rating opponent{1580.0, 90.0, 0.06};
  const std::vector<Glicko2Game> twice{{opponent, 1.0, 1}, {opponent, 1.0, 1}, {opponent, 0.0, 1}};
  const std::vector<Glicko2Game> counted{{opponent, 1.0, 2}, {opponent, 0.0, 1}};
  const Glicko2Rating a = ratePeriod(player, twice, 0.3);
  const Glicko2Rating b = ratePeriod(player, counted, 0.3);
  EXPECT_DOUBLE_EQ(a.rating, b.rating);
  EXPECT_DOUBLE_EQ(a.deviation, b.deviation);
  EXPECT_DOUBLE_EQ(a.volatility, b.volatility);
  EXPECT_GT(a.rating, 1500.0);
  EXPECT_LT(a.deviation, 120.0);
}

TEST(Glicko2Test, ASurpriseFarOffRaisesTheVolatility) {
  // Δ² > φ² + v: step 5 starts from ln(Δ² − φ² − v), the branch the example does not take.
  const Glicko2Rating player{1500.0, 50.0, 0.06};
  const std::vector<Glicko2Game> games{{{2300.0, 50.0, 0.06}, 1.0, 40}};
  const Glicko2Rating after = ratePeriod(player, games, 1.2);
  EXPECT_GT(after.volatility, 0.06);
  EXPECT_GT(after.rating, 1500.0);
}

TEST(Glicko2Test, ResultsBeyondAnyDoubtLeaveTheRatingFinite) {
  // 200,000 points apart the expectation is exactly 0: no information, and no division by zero.
  const Glicko2Rating player{1500.0, 30.0, 0.06};
  const std::vector<Glicko2Game> games{{{201500.0, 30.0, 0.06}, 0.0, 5}};
  const Glicko2Rating after = ratePeriod(player, games, 0.3);
  EXPECT_EQ(after.rating, 1500.0);
  EXPECT_NEAR(after.deviation, idlePeriods(player, 1).deviation, 1e-9);
}

}  // namespace
}  // namespace fragtally

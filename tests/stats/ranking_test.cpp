#include <gtest/gtest.h>

#include <vector>

#include "stats/match_stats.h"

namespace fragtally {
namespace {

// A record whose players 0..n-1 made the given totals (all kills of player 0,
// or of player 1 for player 0 himself).
MatchStats withTotals(const std::vector<int>& totals) {
  MatchStats stats;
  for (std::size_t i = 0; i < totals.size(); ++i) stats.players.findOrAdd("p" + std::to_string(i), "CT");
  for (std::size_t i = 0; i < totals.size(); ++i) stats.victimKills[i][i == 0 ? 1 : 0] = totals[i];
  return stats;
}

std::vector<std::pair<int, int>> top(const MatchStats& stats, int n) {
  std::vector<std::pair<int, int>> entries;
  for (int i = 0; i < n; ++i) entries.emplace_back(stats.ranking[i].player, stats.ranking[i].kills);
  return entries;
}

void expectFreeSlotsFrom(const MatchStats& stats, int first) {
  for (int i = first; i < kTableSlots; ++i) {
    EXPECT_EQ(stats.ranking[i].player, i);
    EXPECT_EQ(stats.ranking[i].kills, 0);
  }
}

TEST(RankingTest, NoPlayersKeepsEverySlotInPlace) {
  MatchStats stats;
  stats.rankPlayers();
  expectFreeSlotsFrom(stats, 0);
}

TEST(RankingTest, EqualTotalsComeOutInTheExchangeOrder) {
  MatchStats stats = withTotals({1, 2, 2});
  stats.rankPlayers();
  EXPECT_EQ(top(stats, 3), (std::vector<std::pair<int, int>>{{2, 2}, {1, 2}, {0, 1}}));
  expectFreeSlotsFrom(stats, 3);

  MatchStats four = withTotals({0, 3, 3, 1});
  four.rankPlayers();
  EXPECT_EQ(top(four, 4), (std::vector<std::pair<int, int>>{{2, 3}, {1, 3}, {3, 1}, {0, 0}}));
  expectFreeSlotsFrom(four, 4);
  four.rankPlayers();  // again: the same
  EXPECT_EQ(top(four, 4), (std::vector<std::pair<int, int>>{{2, 3}, {1, 3}, {3, 1}, {0, 0}}));
}

TEST(RankingTest, KillsOfOneselfCountAndAnEmptyNameEndsTheSums) {
  MatchStats stats;
  stats.registerKill("Solo", "CT", "Solo", "CT", "grenade");
  stats.registerKill("Solo", "CT", "Solo", "CT", "grenade");
  stats.rankPlayers();
  EXPECT_EQ(stats.ranking[0].player, 0);
  EXPECT_EQ(stats.ranking[0].kills, 2);

  MatchStats gap;
  gap.players.findOrAdd("a", "CT");
  gap.players.findOrAdd("", "CT");
  gap.players.findOrAdd("c", "CT");
  gap.victimKills[2][0] = 1;
  gap.victimKills[2][2] = 5;  // behind the empty name: not counted
  gap.rankPlayers();
  EXPECT_EQ(gap.ranking[0].player, 2);
  EXPECT_EQ(gap.ranking[0].kills, 1);
}

}  // namespace
}  // namespace fragtally

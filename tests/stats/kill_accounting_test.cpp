#include <gtest/gtest.h>

#include "stats/match_stats.h"

namespace fragtally {
namespace {

TEST(KillAccountingTest, ThreeKillsFromANewRecord) {
  MatchStats stats;
  stats.registerKill("Bolt", "TERRORIST", "Ace", "CT", "knife");
  EXPECT_EQ(stats.tKilledCt, 1);
  EXPECT_EQ(stats.favouriteWeapon[0], 0);
  EXPECT_EQ(stats.favouriteVictim[0], 1);
  EXPECT_EQ(stats.nemesis[1], 0);

  stats.registerKill("Ace", "CT", "Bolt", "TERRORIST", "rifle");
  EXPECT_EQ(stats.ctKilledT, 1);
  EXPECT_EQ(stats.favouriteWeapon[1], 1);
  EXPECT_EQ(stats.favouriteVictim[1], 0);
  EXPECT_EQ(stats.nemesis[0], 1);

  stats.registerKill("Crow", "CT", "Ace", "CT", "rifle");
  EXPECT_EQ(stats.ctKilledCt, 1);
  EXPECT_EQ(stats.players.nameAt(2), "Crow");
  EXPECT_EQ(stats.players.tagAt(2), "MANIAC");
  EXPECT_EQ(stats.players.tagAt(1), "CT");  // the victim keeps his team
  EXPECT_EQ(stats.favouriteWeapon[2], 1);
  EXPECT_EQ(stats.favouriteVictim[2], 1);
  EXPECT_EQ(stats.nemesis[1], 0);  // a tie never moves the nemesis
  EXPECT_EQ(stats.weaponKills[2][1], 1);
  EXPECT_EQ(stats.victimKills[2][1], 1);
}

TEST(KillAccountingTest, TeamKillMarksAKnownKillerAndStillCounts) {
  MatchStats stats;
  stats.registerKill("Ace", "CT", "Bolt", "TERRORIST", "usp");
  stats.registerKill("Ace", "CT", "Crow", "CT", "usp");
  EXPECT_EQ(stats.players.tagAt(0), "MANIAC");
  EXPECT_EQ(stats.players.tagAt(2), "CT");
  EXPECT_EQ(stats.ctKilledCt, 1);
  EXPECT_EQ(stats.ctKilledT, 1);
}

TEST(KillAccountingTest, KillOfOneselfIsNoTeamKillAndNoNemesis) {
  MatchStats stats;
  stats.registerKill("Ace", "CT", "Ace", "CT", "grenade");
  EXPECT_EQ(stats.players.lastIndex(), 0);
  EXPECT_EQ(stats.players.tagAt(0), "CT");
  EXPECT_EQ(stats.victimKills[0][0], 1);
  EXPECT_EQ(stats.ctKilledCt, 1);
  EXPECT_EQ(stats.nemesis[0], 0);

  // Same name on both sides with two teams: tagged when the victim is registered.
  MatchStats other;
  other.registerKill("Ace", "CT", "Ace", "TERRORIST", "grenade");
  EXPECT_EQ(other.players.tagAt(0), "MANIAC");
  EXPECT_EQ(other.ctKilledT, 1);
}

TEST(KillAccountingTest, TeamSideIsDecidedByContainingCt) {
  MatchStats stats;
  stats.registerKill("Nobody", "UNASSIGNED", "Ace", "CT", "knife");
  EXPECT_EQ(stats.tKilledCt, 1);
  EXPECT_EQ(stats.players.tagAt(0), "UNASSIGNED");
  // "SPECTATOR" holds the letters C T next to each other: the CT side.
  stats.registerKill("Watcher", "SPECTATOR", "Ace", "CT", "knife");
  EXPECT_EQ(stats.ctKilledCt, 1);
}

TEST(KillAccountingTest, PlayerZeroNeedsMoreKillsThanHisOwnToGetANemesis) {
  MatchStats stats;
  stats.registerKill("Zero", "CT", "Zero", "CT", "knife");
  stats.registerKill("Zero", "CT", "Zero", "CT", "knife");
  stats.registerKill("One", "TERRORIST", "Two", "CT", "knife");
  stats.registerKill("Three", "TERRORIST", "Two", "CT", "knife");
  ASSERT_EQ(stats.players.nameAt(3), "Three");
  stats.registerKill("Three", "TERRORIST", "Zero", "CT", "knife");
  EXPECT_EQ(stats.nemesis[0], 0);
  stats.registerKill("Three", "TERRORIST", "Zero", "CT", "knife");
  EXPECT_EQ(stats.nemesis[0], 0);
  stats.registerKill("Three", "TERRORIST", "Zero", "CT", "knife");
  EXPECT_EQ(stats.nemesis[0], 3);
}

TEST(KillAccountingTest, KillWithoutASlotCountsOnlyForTheTeams) {
  MatchStats stats;
  for (int i = 0; i < 64; ++i) stats.registerKill("p" + std::to_string(i), "CT", "p0", "TERRORIST", "knife");
  ASSERT_EQ(stats.players.lastIndex(), 63);
  const SlotMatrix victimsBefore = stats.victimKills;
  const SlotMatrix weaponsBefore = stats.weaponKills;
  stats.registerKill("newcomer", "CT", "p1", "TERRORIST", "knife");
  stats.registerKill("p2", "CT", "newcomer", "TERRORIST", "knife");
  EXPECT_EQ(stats.ctKilledT, 64 + 2);
  EXPECT_EQ(stats.victimKills, victimsBefore);
  EXPECT_EQ(stats.weaponKills, weaponsBefore);

  // A 65th weapon: no slot either, but the known players keep their counts.
  MatchStats weapons;
  for (int i = 0; i < 64; ++i) weapons.registerKill("a", "CT", "b", "TERRORIST", "w" + std::to_string(i));
  weapons.registerKill("a", "CT", "b", "TERRORIST", "w64");
  EXPECT_EQ(weapons.victimKills[0][1], 64);
  EXPECT_EQ(weapons.weapons.lastIndex(), 63);
}

}  // namespace
}  // namespace fragtally

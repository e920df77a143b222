#include <gtest/gtest.h>

#include "analysis/match_players.h"
#include "site/award_figures.h"

namespace fragtally {
namespace {

TEST(AwardFiguresTest, WeaponGroups) {
  for (const char* sniper : {"awp", "scout", "sg550", "g3sg1"}) EXPECT_EQ(weaponGroupOf(sniper), WeaponGroup::sniper) << sniper;
  for (const char* pistol : {"glock18", "usp", "p228", "deagle", "fiveseven", "elite"}) {
    EXPECT_EQ(weaponGroupOf(pistol), WeaponGroup::pistol) << pistol;
  }
  EXPECT_EQ(weaponGroupOf("knife"), WeaponGroup::knife);
  // Servers write `killed "B<..>" with "grenade"`: the kills of a grenade
  // award come from those lines.
  EXPECT_EQ(weaponGroupOf("grenade"), WeaponGroup::grenade);
  EXPECT_EQ(weaponGroupOf("hegrenade"), WeaponGroup::grenade);
  for (const char* other : {"ak47", "m4a1", "sg552", "flashbang", "worldspawn", "", "scoutx", "us"}) {
    EXPECT_EQ(weaponGroupOf(other), WeaponGroup::none) << other;
  }
}

TEST(AwardFiguresTest, AMatchPlayerReduced) {
  MatchPlayer player;
  player.kills = 14;
  player.deaths = 6;
  player.teamKills = 1;
  player.bombsPlanted = 2;
  player.bombsDefused = 1;
  player.hostagesRescued = 3;
  player.hostagesKilled = 9;  // no award for that
  player.weapons = {
      WeaponUse{"scout", 2, 10, 4, 1, 300},   WeaponUse{"usp", 3, 20, 8, 2, 200},
      WeaponUse{"hegrenade", 1, 0, 0, 0, 90}, WeaponUse{"knife", 2, 5, 2, 0, 130},
      WeaponUse{"ak47", 5, 60, 21, 4, 900},   WeaponUse{"awp", 1, 3, 1, 0, 100},
      WeaponUse{"deagle", 0, 7, 2, 1, 80},
  };
  const AwardFigures figures = awardFiguresOf(player);
  AwardFigures expected;
  expected.kills = 14;
  expected.deaths = 6;
  expected.teamKills = 1;
  expected.sniperKills = 3;  // scout 2, awp 1
  expected.knifeKills = 2;
  expected.grenadeKills = 1;
  expected.pistolKills = 3;  // usp 3, deagle 0
  expected.shots = 105;      // 10 + 20 + 0 + 5 + 60 + 3 + 7
  expected.hits = 38;        // 4 + 8 + 0 + 2 + 21 + 1 + 2
  expected.headshots = 8;    // 1 + 2 + 0 + 0 + 4 + 0 + 1
  expected.bombsPlanted = 2;
  expected.bombsDefused = 1;
  expected.hostagesRescued = 3;
  EXPECT_EQ(figures, expected);
}

TEST(AwardFiguresTest, CountsStopAtTheirLimitInsteadOfWrapping) {
  MatchPlayer player;
  player.kills = 3'000'000'000;  // a damaged record's figure
  player.deaths = -3'000'000'000;
  player.weapons = {WeaponUse{"knife", 2'147'483'000, 2'147'483'000, 0, 0, 0},
                    WeaponUse{"usp", 1'000, 1'000, 0, 0, 0}};
  AwardFigures figures = awardFiguresOf(player);
  EXPECT_EQ(figures.kills, 2'147'483'647);
  EXPECT_EQ(figures.deaths, -2'147'483'648);
  EXPECT_EQ(figures.knifeKills, 2'147'483'000);
  EXPECT_EQ(figures.shots, 2'147'483'647) << "2,147,483,000 + 1,000 stops at the limit";

  figures += figures;
  EXPECT_EQ(figures.kills, 2'147'483'647);
  EXPECT_EQ(figures.knifeKills, 2'147'483'647);
  EXPECT_EQ(figures.pistolKills, 2'000);
}

}  // namespace
}  // namespace fragtally

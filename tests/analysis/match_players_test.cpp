#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "analysis/match_players.h"

namespace fragtally {
namespace {

MatchPlayers collect(std::initializer_list<std::string_view> events) {
  MatchPlayersCollector collector;
  for (const std::string_view event : events) collector.addLine("L 12/08/2026 - 21:00:00: " + std::string(event));
  return collector.result();
}

std::vector<NameUse> names(std::initializer_list<std::pair<const char*, std::int64_t>> uses) {
  std::vector<NameUse> list;
  for (const auto& [name, lines] : uses) list.push_back(NameUse{name, lines});
  return list;
}

TEST(MatchPlayersTest, KillsDeathsTeamKillsSuicidesAndWhoKilledWhom) {
  const MatchPlayers match = collect({
      R"("fox<2><STEAM_0:1:100><CT>" killed "owl<3><STEAM_0:0:200><TERRORIST>" with "m4a1")",
      R"("fox<2><STEAM_0:1:100><CT>" killed "owl<3><STEAM_0:0:200><TERRORIST>" with "m4a1")",
      R"("fox<2><STEAM_0:1:100><CT>" killed "Bot Ann<4><BOT><TERRORIST>" with "deagle")",
      R"("fox<2><STEAM_0:1:100><CT>" killed "elk<5><STEAM_ID_LAN><CT>" with "hegrenade")",
      R"("owl<3><STEAM_0:0:200><TERRORIST>" committed suicide with "worldspawn" (world))",
      R"("Bot Ann<4><BOT><TERRORIST>" killed "fox<2><STEAM_0:1:100><CT>" with "ak47")",
      R"("elk<5><STEAM_ID_LAN><CT>" killed "elk<5><STEAM_ID_LAN><CT>" with "hegrenade")",
  });
  ASSERT_EQ(match.players.size(), 4u);
  const MatchPlayer& fox = match.players[0];
  const MatchPlayer& owl = match.players[1];
  const MatchPlayer& ann = match.players[2];
  const MatchPlayer& elk = match.players[3];
  EXPECT_EQ(fox.authId, "STEAM_0:1:100");
  EXPECT_EQ(fox.kills, 3);  // the team kill apart
  EXPECT_EQ(fox.teamKills, 1);
  EXPECT_EQ(fox.deaths, 1);
  ASSERT_EQ(fox.weapons.size(), 2u);
  EXPECT_EQ(fox.weapons[0].weapon, "m4a1");
  EXPECT_EQ(fox.weapons[0].kills, 2);
  EXPECT_EQ(fox.weapons[1].weapon, "deagle");
  EXPECT_EQ(owl.deaths, 3);
  EXPECT_EQ(owl.suicides, 1);
  EXPECT_TRUE(ann.bot);
  EXPECT_EQ(ann.kills, 1);
  EXPECT_EQ(elk.deaths, 2);  // team killed, then by his own grenade
  EXPECT_EQ(elk.suicides, 1);
  EXPECT_EQ(match.kills, (std::vector<KillPair>{{0, 1, 2}, {0, 2, 1}, {2, 0, 1}}));
}

TEST(MatchPlayersTest, RenamedPlayerIsOnePersonWithHisNamesCounted) {
  const MatchPlayers match = collect({
      R"("fox<2><STEAM_0:1:100><>" entered the game)",
      R"("fox<2><STEAM_0:1:100><CT>" killed "owl<3><STEAM_0:0:200><TERRORIST>" with "usp")",
      R"("fox<2><STEAM_0:1:100><CT>" changed name to "Fox "the" Red")",
      R"("Fox "the" Red<2><STEAM_0:1:100><CT>" killed "owl<3><STEAM_0:0:200><TERRORIST>" with "usp")",
  });
  ASSERT_EQ(match.players.size(), 2u);
  EXPECT_EQ(match.players[0].names, names({{"fox", 3}, {"Fox \"the\" Red", 1}}));
  EXPECT_EQ(match.players[0].kills, 2);
  EXPECT_EQ(match.kills, (std::vector<KillPair>{{0, 1, 2}}));
}

TEST(MatchPlayersTest, PendingIdResolvedUnderItsUidAndReconnectsOfOneAccount) {
  const MatchPlayers match = collect({
      R"("fox<2><STEAM_ID_PENDING><>" connected, address "10.0.0.2:27005")",
      R"("fox<2><STEAM_0:1:100><>" STEAM USERID validated)",
      R"("fox<2><STEAM_0:1:100><CT>" disconnected)",
      // Back under a new UID, and X of the ID written otherwise by another build.
      R"("fox<9><STEAM_ID_PENDING><>" connected, address "10.0.0.2:27005")",
      R"("fox<9><STEAM_1:1:100><>" STEAM USERID validated)",
      R"("fox<9><STEAM_1:1:100><CT>" killed "owl<3><STEAM_0:0:200><TERRORIST>" with "usp")",
  });
  ASSERT_EQ(match.players.size(), 2u);
  EXPECT_EQ(match.players[0].authId, "STEAM_1:1:100");
  EXPECT_FALSE(match.players[0].sharedAuthId);
  EXPECT_EQ(match.players[0].names, names({{"fox", 6}}));
  EXPECT_EQ(match.players[0].kills, 1);
}

TEST(MatchPlayersTest, AnIdHeldByTwoPlayersAtOnceTellsNobodyApart) {
  const MatchPlayers match = collect({
      R"("Ann<2><STEAM_0:0:12345><>" entered the game)",
      R"("Bea<3><STEAM_0:0:12345><>" entered the game)",
      R"("Ann<2><STEAM_0:0:12345><CT>" killed "Bea<3><STEAM_0:0:12345><TERRORIST>" with "scout")",
  });
  ASSERT_EQ(match.players.size(), 2u);
  EXPECT_TRUE(match.players[0].sharedAuthId);
  EXPECT_TRUE(match.players[1].sharedAuthId);
  EXPECT_EQ(match.players[0].kills, 1);
  EXPECT_EQ(match.players[0].suicides, 0);
  EXPECT_EQ(match.players[1].deaths, 1);
}

TEST(MatchPlayersTest, WithoutAnIdAReconnectUnderTheSameNameIsTheSamePerson) {
  const MatchPlayers match = collect({
      R"("elk<4><STEAM_ID_LAN><CT>" killed "owl<3><STEAM_ID_LAN><TERRORIST>" with "usp")",
      R"("elk<4><STEAM_ID_LAN><CT>" disconnected)",
      R"("elk<7><STEAM_ID_LAN><>" entered the game)",
      R"("elk<7><STEAM_ID_LAN><CT>" killed "owl<3><STEAM_ID_LAN><TERRORIST>" with "usp")",
      R"("yak<8><STEAM_ID_LAN><>" entered the game)",
  });
  ASSERT_EQ(match.players.size(), 3u);
  EXPECT_EQ(match.players[0].kills, 2);
  EXPECT_EQ(match.players[0].names, names({{"elk", 4}}));
  EXPECT_EQ(match.players[2].names, names({{"yak", 1}}));
}

TEST(MatchPlayersTest, RoundsWonGoToThoseOnTheWinningSideThen) {
  const MatchPlayers match = collect({
      R"("fox<2><STEAM_0:1:100><>" joined team "CT")",
      R"("owl<3><STEAM_0:0:200><>" joined team "TERRORIST")",
      R"("elk<4><STEAM_0:0:300><>" joined team "CT")",
      R"(Team "CT" triggered "CTs_Win" (CT "1") (T "0"))",
      R"("elk<4><STEAM_0:0:300><CT>" joined team "TERRORIST")",
      R"("fox<2><STEAM_0:1:100><CT>" disconnected)",
      R"(Team "TERRORIST" triggered "Target_Bombed" (CT "1") (T "1"))",
      R"(World triggered "Round_Draw" (CT "1") (T "1"))",
  });
  ASSERT_EQ(match.players.size(), 3u);
  EXPECT_EQ(match.players[0].roundsWon, 1);
  EXPECT_EQ(match.players[1].roundsWon, 1);
  EXPECT_EQ(match.players[2].roundsWon, 2);
}

TEST(MatchPlayersTest, ObjectivesAndThePluginsWeaponFigures) {
  const MatchPlayers match = collect({
      R"("owl<3><STEAM_0:0:200><TERRORIST>" triggered "Planted_The_Bomb")",
      R"("fox<2><STEAM_0:1:100><CT>" triggered "Defused_The_Bomb")",
      R"("fox<2><STEAM_0:1:100><CT>" triggered "Rescued_A_Hostage")",
      R"("fox<2><STEAM_0:1:100><CT>" triggered "Rescued_A_Hostage")",
      R"("owl<3><STEAM_0:0:200><TERRORIST>" triggered "Killed_A_Hostage")",
      R"("fox<2><STEAM_0:1:100><CT>" killed "owl<3><STEAM_0:0:200><TERRORIST>" with "ak47")",
      R"("fox<2><STEAM_0:1:100><CT>" triggered "weaponstats" (weapon "ak47") (shots "50") (hits "12") (kills "1") (headshots "3") (tks "0") (damage "900") (deaths "0"))",
      R"("fox<2><STEAM_0:1:100><CT>" triggered "weaponstats" (weapon "ak47") (shots "10") (hits "2") (kills "0") (headshots "1") (tks "0") (damage "100") (deaths "1"))",
      R"(HLTV<1><HLTV><>" entered the game)",
      R"("HLTV Proxy<1><HLTV><>" entered the game)",
  });
  ASSERT_EQ(match.players.size(), 2u);
  const MatchPlayer& owl = match.players[0];
  const MatchPlayer& fox = match.players[1];
  EXPECT_EQ(owl.bombsPlanted, 1);
  EXPECT_EQ(owl.hostagesKilled, 1);
  EXPECT_EQ(fox.bombsDefused, 1);
  EXPECT_EQ(fox.hostagesRescued, 2);
  ASSERT_EQ(fox.weapons.size(), 1u);
  EXPECT_EQ(fox.weapons[0].kills, 1);  // from the kill line, not the plugin's own count
  EXPECT_EQ(fox.weapons[0].shots, 60);
  EXPECT_EQ(fox.weapons[0].hits, 14);
  EXPECT_EQ(fox.weapons[0].headshots, 4);
  EXPECT_EQ(fox.weapons[0].damage, 1000);
}

TEST(MatchPlayersTest, LinesCountForTheNameTheyUseWhenANameComesBack) {
  const MatchPlayers match = collect({
      R"("a<1><STEAM_0:0:1><CT>" entered the game)",
      R"("a<1><STEAM_0:0:1><CT>" changed name to "b")",
      R"("b<1><STEAM_0:0:1><CT>" entered the game)",
      R"("b<1><STEAM_0:0:1><CT>" changed name to "a")",
      R"("a<1><STEAM_0:0:1><CT>" entered the game)",
      // Named as before the rename, with no rename line between.
      R"("b<1><STEAM_0:0:1><CT>" entered the game)",
  });
  ASSERT_EQ(match.players.size(), 1u);
  EXPECT_EQ(match.players[0].names, names({{"a", 3}, {"b", 3}}));
}

TEST(MatchPlayersTest, ANameBeyondAFullListCountsNoLinesAndTheListedOnesStillDo) {
  MatchPlayersCollector collector;
  const auto line = [&](const std::string& name, const std::string& event) {
    collector.addLine("L 12/08/2026 - 21:00:00: \"" + name + "<1><STEAM_0:0:1><CT>\" " + event);
  };
  line("n0", "entered the game");
  for (std::size_t name = 0; name < kMaxNamesPerPlayer; ++name) {
    line("n" + std::to_string(name), "changed name to \"n" + std::to_string(name + 1) + "\"");
  }
  const std::string unlisted = "n" + std::to_string(kMaxNamesPerPlayer);
  line(unlisted, "entered the game");
  line(unlisted, "entered the game");
  line("n3", "entered the game");
  line(unlisted, "entered the game");
  const MatchPlayers match = collector.result();
  ASSERT_EQ(match.players.size(), 1u);
  const std::vector<NameUse>& uses = match.players[0].names;
  ASSERT_EQ(uses.size(), kMaxNamesPerPlayer);
  EXPECT_EQ(uses[0], (NameUse{"n0", 2}));
  EXPECT_EQ(uses[3], (NameUse{"n3", 2}));
  EXPECT_EQ(uses.back(), (NameUse{"n" + std::to_string(kMaxNamesPerPlayer - 1), 1}));
}

TEST(MatchPlayersTest, PlayersAndNamesAreCapped) {
  MatchPlayersCollector collector;
  for (std::size_t uid = 1; uid <= kMaxMatchPlayers + 10; ++uid) {
    const std::string id = std::to_string(uid);
    collector.addLine("L 12/08/2026 - 21:00:00: \"p" + id + "<" + id + "><STEAM_0:0:" + id + "><>\" entered the game");
  }
  for (std::size_t name = 0; name < kMaxNamesPerPlayer + 5; ++name) {
    collector.addLine("L 12/08/2026 - 21:00:00: \"n" + std::to_string(name) +
                      "<1><STEAM_0:0:1><CT>\" changed name to \"n" + std::to_string(name + 1) + "\"");
  }
  collector.addLine("L 12/08/2026 - 21:00:00: \"" + std::string(1000, 'x') + "<2><STEAM_0:0:2><>\" entered the game");
  const MatchPlayers match = collector.result();
  EXPECT_EQ(match.players.size(), kMaxMatchPlayers);
  EXPECT_EQ(match.playersLeftOut, 10u);
  EXPECT_EQ(match.players[0].names.size(), kMaxNamesPerPlayer);
  EXPECT_EQ(match.players[1].names.back().name, std::string(kMaxNameBytes, 'x'));
}

}  // namespace
}  // namespace fragtally

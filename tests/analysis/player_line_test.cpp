#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "analysis/player_line.h"

namespace fragtally {
namespace {

// A stamped line that lives as long as the tests do: what readPlayerLine
// gives views into it.
std::string_view line(std::string_view event) {
  static std::deque<std::string> lines;
  return lines.emplace_back("L 12/08/2026 - 20:15:07: " + std::string(event));
}

struct Parts {
  std::string_view name, uid, authId, team;
  friend bool operator==(const Parts&, const Parts&) = default;
};

Parts partsOf(const PlayerText& player) { return {player.name, player.uid, player.authId, player.team}; }

Parts cut(std::string_view text) {
  PlayerText player;
  EXPECT_TRUE(cutPlayerText(text, player)) << text;
  return partsOf(player);
}

TEST(PlayerTextTest, CutFromTheRightSoNamesKeepBracketsQuotesAndBlanks) {
  EXPECT_EQ(cut("fox<12><STEAM_0:1:1316058917><CT>"), (Parts{"fox", "12", "STEAM_0:1:1316058917", "CT"}));
  EXPECT_EQ(cut("<<Pro>> \"Mr\" X<7><STEAM_ID_LAN><TERRORIST>"),
            (Parts{"<<Pro>> \"Mr\" X", "7", "STEAM_ID_LAN", "TERRORIST"}));
  EXPECT_EQ(cut("a<1><2><3><4><BOT><>"), (Parts{"a<1><2><3>", "4", "BOT", ""}));
  EXPECT_EQ(cut("<5><><>"), (Parts{"", "5", "", ""}));
}

TEST(PlayerTextTest, TextsThatAreNoPlayer) {
  PlayerText player;
  EXPECT_FALSE(cutPlayerText("<><><>", player));  // a plugin's console, no UID
  EXPECT_FALSE(cutPlayerText("fox<x1><STEAM_0:1:2><CT>", player));
  EXPECT_FALSE(cutPlayerText("fox<12><CT>", player));
  EXPECT_FALSE(cutPlayerText("fox<12><STEAM_0:1:2><CT", player));
  EXPECT_FALSE(cutPlayerText("", player));
}

TEST(PlayerLineTest, KillWithWeapon) {
  const PlayerLine read =
      readPlayerLine(line(R"("Jo "the" <1><7><STEAM_0:0:5><CT>" killed "Al > x<8><BOT><TERRORIST>" with "m4a1")"));
  ASSERT_EQ(read.kind, PlayerLineKind::Kill);
  EXPECT_EQ(partsOf(read.subject), (Parts{"Jo \"the\" <1>", "7", "STEAM_0:0:5", "CT"}));
  EXPECT_EQ(partsOf(read.object), (Parts{"Al > x", "8", "BOT", "TERRORIST"}));
  EXPECT_EQ(read.text, "m4a1");
}

TEST(PlayerLineTest, NameHoldingTheCloseOfAPlayerTextIsCutAtTheRealEnd) {
  // `>" ` inside the name cannot close it: what precedes is no player text.
  const PlayerLine read = readPlayerLine(line(R"("x>" y<3><VALVE_ID_LAN><CT>" joined team "TERRORIST")"));
  ASSERT_EQ(read.kind, PlayerLineKind::JoinTeam);
  EXPECT_EQ(read.subject.name, "x>\" y");
  EXPECT_EQ(read.text, "TERRORIST");
}

TEST(PlayerLineTest, KillLinesThatAreNoKills) {
  // No weapon, no victim: only a mention of the killer, or nothing at all.
  EXPECT_EQ(readPlayerLine(line(R"("a<1><BOT><CT>" killed "b<2><BOT><TERRORIST>")")).kind, PlayerLineKind::Mention);
  EXPECT_EQ(readPlayerLine(line(R"(Harvey have killed Elmer from a distance of 23 meters)")).kind,
            PlayerLineKind::None);
  EXPECT_EQ(readPlayerLine(R"("a<1><BOT><CT>" killed "b<2><BOT><TERRORIST>" with "usp")").kind,
            PlayerLineKind::None);  // no stamp
}

TEST(PlayerLineTest, SuicideRenameJoinDisconnect) {
  PlayerLine read = readPlayerLine(line(R"("a<1><STEAM_ID_LAN><CT>" committed suicide with "worldspawn" (world))"));
  EXPECT_EQ(read.kind, PlayerLineKind::Suicide);
  EXPECT_EQ(read.text, "worldspawn");

  read = readPlayerLine(line(R"("old<4><STEAM_0:1:9><CT>" changed name to "new "quoted" one")" "\r"));
  EXPECT_EQ(read.kind, PlayerLineKind::NameChange);
  EXPECT_EQ(read.subject.name, "old");
  EXPECT_EQ(read.text, "new \"quoted\" one");

  read = readPlayerLine(line(R"("a<1><BOT><>" joined team "CT")"));
  EXPECT_EQ(read.kind, PlayerLineKind::JoinTeam);
  EXPECT_EQ(read.text, "CT");

  EXPECT_EQ(readPlayerLine(line(R"("a<1><BOT><CT>" disconnected)")).kind, PlayerLineKind::Disconnect);
  EXPECT_EQ(readPlayerLine(line(R"("a<1><STEAM_0:0:1><>" connected, address "10.0.0.1:27005")")).kind,
            PlayerLineKind::Mention);
  EXPECT_EQ(readPlayerLine(line(R"("a<1><STEAM_0:0:1><CT>" say "I killed him with "awp"")")).kind,
            PlayerLineKind::Mention);
}

TEST(PlayerLineTest, PlayerTriggersCounted) {
  const auto actionOf = [](std::string_view trigger) {
    const PlayerLine read = readPlayerLine(line(R"("a<1><STEAM_0:0:1><CT>" triggered ")" + std::string(trigger) + "\""));
    EXPECT_EQ(read.kind, PlayerLineKind::Action) << trigger;
    return read.action;
  };
  EXPECT_EQ(actionOf("Planted_The_Bomb"), PlayerAction::PlantedTheBomb);
  EXPECT_EQ(actionOf("Defused_The_Bomb"), PlayerAction::DefusedTheBomb);
  EXPECT_EQ(actionOf("Rescued_A_Hostage"), PlayerAction::RescuedAHostage);
  EXPECT_EQ(actionOf("Killed_A_Hostage"), PlayerAction::KilledAHostage);
  EXPECT_EQ(readPlayerLine(line(R"("a<1><STEAM_0:0:1><CT>" triggered "Got_The_Bomb")")).kind,
            PlayerLineKind::Mention);
}

TEST(PlayerLineTest, WeaponStatsOfThePlugin) {
  const PlayerLine read = readPlayerLine(line(
      R"("a<1><STEAM_0:0:1><CT>" triggered "weaponstats" (weapon "ak47") (shots "120") (hits "31") (kills "6") )"
      R"((headshots "2") (tks "1") (damage "2480") (deaths "4"))"));
  ASSERT_EQ(read.kind, PlayerLineKind::WeaponStats);
  EXPECT_EQ(read.text, "ak47");
  EXPECT_EQ(read.figures.shots, 120);
  EXPECT_EQ(read.figures.hits, 31);
  EXPECT_EQ(read.figures.kills, 6);
  EXPECT_EQ(read.figures.headshots, 2);
  EXPECT_EQ(read.figures.teamKills, 1);
  EXPECT_EQ(read.figures.damage, 2480);
  EXPECT_EQ(read.figures.deaths, 4);
  // The hit zones' line and a figure that is no number.
  EXPECT_EQ(readPlayerLine(line(R"("a<1><STEAM_0:0:1><CT>" triggered "weaponstats2" (weapon "ak47") (head "2"))")).kind,
            PlayerLineKind::Mention);
  EXPECT_EQ(readPlayerLine(line(R"("a<1><STEAM_0:0:1><CT>" triggered "weaponstats" (weapon "p90") (shots "x"))"))
                .figures.shots,
            0);
}

TEST(PlayerLineTest, RoundEnds) {
  const auto winnerOf = [](std::string_view event) {
    const PlayerLine read = readPlayerLine(line(event));
    EXPECT_EQ(read.kind, PlayerLineKind::RoundEnd) << event;
    return read.winner;
  };
  EXPECT_EQ(winnerOf(R"(Team "CT" triggered "CTs_Win" (CT "3") (T "1"))"), RoundWinner::Ct);
  EXPECT_EQ(winnerOf(R"(Team "CT" triggered "Bomb_Defused" (CT "4") (T "1"))"), RoundWinner::Ct);
  EXPECT_EQ(winnerOf(R"(Team "CT" triggered "Escaping_Terrorists_Neutralized" (CT "5") (T "1"))"), RoundWinner::Ct);
  EXPECT_EQ(winnerOf(R"(Team "TERRORIST" triggered "Target_Bombed" (CT "5") (T "2"))"), RoundWinner::Terrorist);
  EXPECT_EQ(winnerOf(R"(Team "TERRORIST" triggered "VIP_Assassinated" (CT "5") (T "3"))"), RoundWinner::Terrorist);
  EXPECT_EQ(winnerOf(R"(World triggered "Round_Draw" (CT "5") (T "3"))"), RoundWinner::Draw);
  // A team with another side's trigger, the scores, the round's start: no round end.
  EXPECT_EQ(readPlayerLine(line(R"(Team "CT" triggered "Terrorists_Win" (CT "1") (T "1"))")).kind,
            PlayerLineKind::None);
  EXPECT_EQ(readPlayerLine(line(R"(Team "CT" scored "7" with "5" players)")).kind, PlayerLineKind::None);
  EXPECT_EQ(readPlayerLine(line(R"(World triggered "Round_Start")")).kind, PlayerLineKind::None);
}

}  // namespace
}  // namespace fragtally

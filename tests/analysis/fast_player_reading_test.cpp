// The fast per-player reading against the plain one it replaced, over lines
// made of the pieces each step of the reading tells apart, in random order.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/match_players.h"
#include "analysis/player_line.h"
#include "tests/analysis/plain_player_reading.h"

namespace fragtally {
namespace {

// Pieces of lines: stamps, player texts and their look-alikes, event words,
// property texts and stray bytes.
constexpr std::array<std::string_view, 52> kPieces{{
    "L 12/08/2026 - 20:15:07: ", "L 12/08/2026 - 20:15:07: ", "L 12/08/2026 - 20:15:07: ", "L 1: ", "L x", "L ",
    "\"", "\"", "\"", "\" ", ">\"", ">\" ", "<", ">", "><", " ",
    "fox<12><STEAM_0:1:77><CT>\"", "fox<12><STEAM_0:0:77><TERRORIST>\"", "Al > x<8><BOT><TERRORIST>\"",
    "Al > x<9><BOT><CT>\"", "Jo \"the\" <1><7><STEAM_ID_PENDING><CT>\"", "Jo<7><STEAM_0:0:5><CT>\"",
    "<5><><>\"", "lan<3><STEAM_ID_LAN><CT>\"", "tv<2><HLTV><>\"", "x<1a><BOT><CT>\"", "<><><>\"",
    "fox<12><STEAM_0:1:77><>\"", " killed \"", " with \"", "m4a1\"", "\" with \"", " committed suicide with \"",
    " changed name to \"", " triggered \"", "Planted_The_Bomb\"", "Defused_The_Bomb\"", "Killed_A_Hostage\"",
    "weaponstats\" (weapon \"ak47\") (shots \"12\") (hits \"3\") (kills \"1\") (headshots \"1\") (tks \"0\") "
    "(damage \"97\") (deaths \"x\")",
    "(shots \"99999999999999999999\")", " joined team \"", "CT\"", " disconnected", "Team \"CT\" triggered \"CTs_Win\"",
    "Team \"TERRORIST\" triggered \"Target_Bombed\"", "World triggered \"Round_Draw\"", "Team \"CT\" triggered \"x\"",
    " say \"hi\"", "\r", "\xff", ": ", "killed",
}};

std::string randomLine(std::mt19937_64& random) {
  std::string line;
  const std::size_t pieces = 1 + random() % 8;
  for (std::size_t i = 0; i < pieces; ++i) line += kPieces[random() % kPieces.size()];
  return line;
}

void expectSameText(std::string_view fast, std::string_view plain, const std::string& line) {
  // Both are views into the same line: the same bytes at the same place.
  EXPECT_EQ(fast.data(), plain.data()) << line;
  EXPECT_EQ(fast.size(), plain.size()) << line;
}

void expectSamePlayer(const PlayerText& fast, const PlayerText& plain, const std::string& line) {
  expectSameText(fast.name, plain.name, line);
  expectSameText(fast.uid, plain.uid, line);
  expectSameText(fast.authId, plain.authId, line);
  expectSameText(fast.team, plain.team, line);
}

void expectSameReading(const std::string& line) {
  const PlayerLine fast = readPlayerLine(line);
  const PlayerLine plain = plain::readPlayerLine(line);
  ASSERT_EQ(fast.kind, plain.kind) << line;
  expectSamePlayer(fast.subject, plain.subject, line);
  expectSamePlayer(fast.object, plain.object, line);
  expectSameText(fast.text, plain.text, line);
  EXPECT_EQ(fast.action, plain.action) << line;
  EXPECT_EQ(fast.winner, plain.winner) << line;
  const WeaponStatsFigures& a = fast.figures;
  const WeaponStatsFigures& b = plain.figures;
  EXPECT_TRUE(a.shots == b.shots && a.hits == b.hits && a.kills == b.kills && a.headshots == b.headshots &&
              a.teamKills == b.teamKills && a.damage == b.damage && a.deaths == b.deaths)
      << line;
}

TEST(FastPlayerReadingTest, EveryLineReadsAsThePlainReadingReadsIt) {
  std::mt19937_64 random(20261208);
  for (int i = 0; i < 200000; ++i) {
    expectSameReading(randomLine(random));
    if (HasFailure()) return;
  }
}

TEST(FastPlayerReadingTest, CutsAsThePlainCut) {
  std::mt19937_64 random(7);
  for (int i = 0; i < 100000; ++i) {
    std::string text = randomLine(random);
    if (!text.empty() && text.back() == '"') text.pop_back();
    PlayerText fast, plain;
    ASSERT_EQ(cutPlayerText(text, fast), plain::cutPlayerText(text, plain)) << text;
    expectSamePlayer(fast, plain, text);
  }
}

// A line of a match among a few people: humans under Steam, pending, LAN and
// shared IDs, bots, the proxy, UIDs given again, renames, and a rare stray line.
std::string matchLine(std::mt19937_64& random, std::uint64_t uids) {
  static constexpr std::array<std::string_view, 6> kNames{"fox", "Al > x", "Jo \"the\"", "lan", "", "Pixel"};
  static constexpr std::array<std::string_view, 8> kIds{"STEAM_0:1:77",     "STEAM_1:1:77", "STEAM_0:0:5",
                                                        "STEAM_ID_PENDING", "STEAM_ID_LAN", "BOT",
                                                        "STEAM_666:88:666", "HLTV"};
  static constexpr std::array<std::string_view, 3> kTeams{"CT", "TERRORIST", ""};
  static constexpr std::array<std::string_view, 4> kWeapons{"m4a1", "ak47", "awp", "knife"};
  const auto player = [&] {
    return "\"" + std::string(kNames[random() % kNames.size()]) + "<" + std::to_string(random() % uids) + "><" +
           std::string(kIds[random() % kIds.size()]) + "><" + std::string(kTeams[random() % kTeams.size()]) + ">\"";
  };
  std::string line = "L 12/08/2026 - 20:15:07: ";
  switch (random() % 12) {
    case 0: line += player() + " killed " + player() + " with \"" + std::string(kWeapons[random() % 4]) + "\""; break;
    case 1: line += player() + " killed " + player() + " with \"" + std::string(kWeapons[random() % 4]) + "\""; break;
    case 2: line += player() + " attacked " + player() + " with \"m4a1\" (damage \"33\")"; break;
    case 3: line += player() + " committed suicide with \"world\""; break;
    case 4: line += player() + " changed name to \"" + std::string(kNames[random() % kNames.size()]) + "\""; break;
    case 5: line += player() + " triggered \"Planted_The_Bomb\""; break;
    case 6: line += player() + " joined team \"" + std::string(kTeams[random() % 3]) + "\""; break;
    case 7: line += player() + " disconnected"; break;
    case 8:
      line += player() + " triggered \"weaponstats\" (weapon \"" + std::string(kWeapons[random() % 4]) +
              "\") (shots \"9\") (hits \"4\") (headshots \"1\") (damage \"120\")";
      break;
    case 9: line += random() % 2 ? "Team \"CT\" triggered \"CTs_Win\"" : "Team \"TERRORIST\" triggered \"Terrorists_Win\""; break;
    case 10: line += player() + " say \"gg\""; break;
    default: line = randomLine(random); break;
  }
  return line;
}

TEST(FastPlayerReadingTest, CollectsWhatThePlainCollectorCollects) {
  std::mt19937_64 random(12);
  // A few UIDs make people meet again under one; many fill the match past its cap.
  for (const std::uint64_t uids : {std::uint64_t{6}, std::uint64_t{40}, std::uint64_t{2000}}) {
    for (int match = 0; match < 20; ++match) {
      MatchPlayersCollector fast;
      plain::PlainCollector plain;
      for (int i = 0; i < 3000; ++i) {
        const std::string line = matchLine(random, uids);
        fast.addLine(line);
        plain.addLine(line);
      }
      ASSERT_EQ(fast.result(), plain.result()) << "UIDs " << uids << ", match " << match;
    }
  }
}

}  // namespace
}  // namespace fragtally

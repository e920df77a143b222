#include "bench/log_generator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "analysis/parse_kill_line.h"
#include "base/text.h"

namespace fragtally {
namespace {

std::vector<std::string_view> linesOf(std::string_view log) {
  std::vector<std::string_view> lines;
  while (!log.empty()) {
    const std::size_t end = log.find("\r\n");
    if (end == std::string_view::npos) {
      lines.push_back(log);
      break;
    }
    lines.push_back(log.substr(0, end));
    log.remove_prefix(end + 2);
  }
  return lines;
}

int twoDigits(std::string_view text, std::size_t at) {
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "PLAYER<uid><id><TEAM>" quoted, at the start of `text`; returns the name and
// team and moves `text` past it, or returns false.
bool takePlayer(std::string_view& text, std::string_view& name, std::string_view& team) {
  if (text.empty() || text[0] != '"') return false;
  const std::size_t close = text.find('"', 1);
  if (close == std::string_view::npos) return false;
  const std::string_view token = text.substr(1, close - 1);
  const std::size_t teamOpen = token.rfind('<');
  const std::size_t nameEnd = token.find('<');
  if (teamOpen == std::string_view::npos || token.back() != '>' || nameEnd == teamOpen) return false;
  name = token.substr(0, nameEnd);
  team = token.substr(teamOpen + 1, token.size() - teamOpen - 2);
  text.remove_prefix(close + 1);
  return true;
}

struct Kill {
  std::string_view killer, killerTeam, victim, victimTeam, weapon;
};

// The body of a server kill line: "K<..><..><T>" killed "V<..><..><T>" with "w".
bool readKill(std::string_view body, Kill& kill) {
  if (!takePlayer(body, kill.killer, kill.killerTeam) || !body.starts_with(" killed ")) return false;
  body.remove_prefix(8);
  if (!takePlayer(body, kill.victim, kill.victimTeam) || !body.starts_with(" with \"") || !body.ends_with('"')) {
    return false;
  }
  kill.weapon = body.substr(7, body.size() - 8);
  return true;
}

TEST(LogGenerator, SameSeedSameBytesAndShorterLogIsAPrefix) {
  const std::string log = generateLog(300000, 7);
  EXPECT_EQ(generateLog(300000, 7), log);
  EXPECT_NE(generateLog(300000, 8), log);
  const std::string shorter = generateLog(100000, 7);
  EXPECT_EQ(log.substr(0, shorter.size()), shorter);
}

TEST(LogGenerator, WritesWholeLinesUpToTheSize) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{65536}, std::size_t{1} << 21}) {
    std::size_t pieces = 0;
    std::string log;
    const std::size_t written = writeLog(size, 3, [&](std::string_view piece) {
      ++pieces;
      log += piece;
    });
    EXPECT_EQ(written, log.size());
    EXPECT_LE(log.size(), size);
    if (size >= 65536) {
      EXPECT_GT(log.size(), size - 1000) << "cut more than a line short";
      EXPECT_TRUE(log.ends_with("\r\n"));
    } else {
      EXPECT_TRUE(log.empty()) << "no line of the opening fits in 10 bytes";
    }
    if (size == (std::size_t{1} << 21)) {
      EXPECT_GE(pieces, 2u);
    }
  }
}

TEST(LogGenerator, StampsEveryLineWithATimeThatNeverGoesBack) {
  const std::string log = generateLog(std::size_t{4} << 20, 11);
  std::tuple<int, int, int, int> last{0, 0, 0, 0};
  for (const std::string_view line : linesOf(log)) {
    ASSERT_GT(line.size(), 25u);
    ASSERT_EQ(line.find_first_of("\r\n"), std::string_view::npos) << "a lone line end inside: " << line;
    const std::string_view stamp = line.substr(0, 25);
    for (const std::size_t at : {2, 3, 5, 6, 8, 9, 10, 11, 15, 16, 18, 19, 21, 22}) {
      ASSERT_TRUE(isDigit(stamp[at])) << line;
    }
    ASSERT_EQ(std::string(stamp.substr(0, 2)) + stamp[4] + stamp[7] + std::string(stamp.substr(12, 3)) +
                  stamp[17] + stamp[20] + std::string(stamp.substr(23, 2)),
              "L // - ::: ")
        << line;
    const int month = twoDigits(stamp, 2);
    const int day = twoDigits(stamp, 5);
    const int year = twoDigits(stamp, 8) * 100 + twoDigits(stamp, 10);
    ASSERT_TRUE(month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month)) << line;
    const int hour = twoDigits(stamp, 15);
    const int minute = twoDigits(stamp, 18);
    const int second = twoDigits(stamp, 21);
    ASSERT_TRUE(hour < 24 && minute < 60 && second < 60) << line;
    const std::tuple<int, int, int, int> now{year, month, day, (hour * 60 + minute) * 60 + second};
    ASSERT_GE(now, last) << line;
    last = now;
  }
  EXPECT_GT(std::get<0>(last) * 12 + std::get<1>(last), 0);
}

// What the benchmarks rely on: mostly kills, every kind of line the analysis
// meets in a real log, and kills that the program itself recognises as kills.
TEST(LogGenerator, MakesARealisticMixOfLines) {
  const std::string log = generateLog(std::size_t{6} << 20, 5);
  const std::vector<std::string_view> lines = linesOf(log);
  std::size_t kills = 0, teamKills = 0, botKills = 0, chatKilled = 0, plugin = 0, headshots = 0;
  std::size_t attacks = 0, mapStarts = 0, roundEnds = 0, teamSwitches = 0, disconnects = 0;
  std::size_t killedLines = 0, recognisedKills = 0;
  std::set<std::string_view> names, weapons;
  int ct = 0, t = 0;
  for (const std::string_view line : lines) {
    const std::string_view body = line.substr(25);
    Kill kill;
    if (readKill(body, kill)) {
      ++kills;
      teamKills += kill.killerTeam == kill.victimTeam;
      botKills += contains(body, "<BOT>");
      names.insert(kill.killer);
      names.insert(kill.victim);
      weapons.insert(kill.weapon);
      ASSERT_TRUE(kill.killerTeam == "CT" || kill.killerTeam == "TERRORIST") << line;
      ASSERT_TRUE(kill.victimTeam == "CT" || kill.victimTeam == "TERRORIST") << line;
      for (const char c : kill.weapon) ASSERT_TRUE((c >= 'a' && c <= 'z') || isDigit(c)) << line;
    }
    if (contains(body, "killed")) {
      ++killedLines;
      recognisedKills += cutKillLine(line).isKill;
    }
    chatKilled += contains(body, "\" say") && contains(body, "killed");
    plugin += contains(body, " have killed ") && body.ends_with(" meters");
    headshots += body.ends_with(" with a headshot.");
    attacks += contains(body, "\" attacked \"");
    disconnects += body.ends_with("\" disconnected");
    teamSwitches += (contains(body, "><CT>\" joined team") || contains(body, "><TERRORIST>\" joined team"));
    if (body.starts_with("Started map \"de_")) {
      ++mapStarts;
      ct = t = 0;
    }
    if (body.starts_with("Team \"")) {
      ++roundEnds;
      const bool ctWon = body.starts_with("Team \"CT\"");
      (ctWon ? ct : t) += 1;
      const std::string scores = " (CT \"" + std::to_string(ct) + "\") (T \"" + std::to_string(t) + "\")";
      ASSERT_TRUE(body.ends_with(scores)) << line << " after CT " << ct << ", T " << t;
    }
  }
  const double killShare = static_cast<double>(kills) / static_cast<double>(lines.size());
  EXPECT_GT(killShare, 0.55);
  EXPECT_LT(killShare, 0.65);
  EXPECT_GT(teamKills, 0u);
  EXPECT_LT(teamKills * 20, kills);
  EXPECT_GT(botKills, 0u);
  EXPECT_LT(botKills, kills);
  EXPECT_GT(chatKilled, 0u);
  EXPECT_GT(plugin, 0u);
  EXPECT_GT(headshots, 0u);
  EXPECT_GT(attacks, 0u);
  EXPECT_GT(disconnects, 0u);
  EXPECT_GT(teamSwitches, 0u);
  EXPECT_GE(mapStarts, 2u);
  EXPECT_GT(roundEnds, 500u);
  EXPECT_LE(names.size(), 64u) << "more players than the record has slots for";
  EXPECT_GE(names.size(), 25u);
  EXPECT_GE(weapons.size(), 12u);
  // Chat and plugin lines say "killed" too, and are no kills to the program.
  EXPECT_GT(killedLines, kills);
  EXPECT_EQ(recognisedKills, kills);
}

}  // namespace
}  // namespace fragtally

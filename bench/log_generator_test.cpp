#include "bench/log_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "analysis/auth_id.h"
#include "analysis/match_players.h"
#include "analysis/parse_kill_line.h"
#include "analysis/player_line.h"
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

// A folder of public matches as the site benchmark makes it: the people a
// year of a public server brings, and every kind of line about them.
TEST(LogGenerator, PublicMatchesHoldThePeopleOfAPublicServer) {
  constexpr int kLogs = 240;
  std::map<std::string, int> logsOfAccount;  // accountKeyOf, so STEAM_0 and STEAM_1 are one person
  std::set<std::string> months, hours, roundEnds, objectives;
  std::size_t playerTexts = 0, botTexts = 0, lan = 0, pending = 0, renames = 0, statsLines = 0;
  for (int seed = 1; seed <= kLogs; ++seed) {
    const std::size_t size = (30 + static_cast<std::size_t>(seed * 7919 % 151)) << 10;
    const std::string log = generateLog(size, static_cast<std::uint64_t>(seed), LogProfile::PublicMatch);
    ASSERT_LE(log.size(), size);
    ASSERT_GT(log.size(), size / 2) << "the match ended long before its size";
    ASSERT_TRUE(log.ends_with(": Log file closed\r\n")) << seed;
    const std::vector<std::string_view> lines = linesOf(log);
    ASSERT_TRUE(contains(lines.front(), "Log file started"));
    ASSERT_TRUE(lines.front().substr(8, 4) == "2025") << lines.front();
    months.insert(std::string(lines.front().substr(2, 2)));
    hours.insert(std::string(lines.front().substr(15, 2)));

    std::set<std::string> accounts;
    for (const std::string_view line : lines) {
      const PlayerLine read = readPlayerLine(line);
      if (read.kind != PlayerLineKind::None && read.kind != PlayerLineKind::RoundEnd) {
        ++playerTexts;
        const AuthKind kind = authKindOf(read.subject.authId);
        botTexts += kind == AuthKind::Bot;
        lan += read.subject.authId == "STEAM_ID_LAN" || read.subject.authId == "VALVE_ID_LAN";
        pending += kind == AuthKind::Pending;
        if (isAccount(kind)) accounts.insert(accountKeyOf(read.subject.authId));
        ASSERT_FALSE(read.kind == PlayerLineKind::WeaponStats && kind == AuthKind::Bot) << line;
      }
      renames += read.kind == PlayerLineKind::NameChange;
      if (read.kind == PlayerLineKind::WeaponStats) {
        ++statsLines;
        ASSERT_GE(read.figures.shots, read.figures.hits) << line;
        ASSERT_GE(read.figures.hits, read.figures.kills + read.figures.teamKills) << line;
        ASSERT_GE(read.figures.hits, read.figures.headshots) << line;
      }
      if (read.kind == PlayerLineKind::Action) objectives.insert(std::string(line.substr(line.rfind(" \"") + 2)));
      const std::string_view body = line.substr(25);
      const std::size_t trigger = body.find("triggered \"");
      if (trigger != std::string_view::npos &&
          (body.starts_with("Team \"") || body.starts_with("World triggered \"Round_Draw\""))) {
        const std::string_view rest = body.substr(trigger + 11);
        roundEnds.insert(std::string(rest.substr(0, rest.find('"'))));
      }
    }
    for (const std::string& account : accounts) ++logsOfAccount[account];
  }

  // A long tail: regulars in many matches, most people in one.
  int most = 0;
  std::size_t once = 0, often = 0;
  for (const auto& [account, logs] : logsOfAccount) {
    most = std::max(most, logs);
    once += logs == 1;
    often += logs >= 5;
  }
  EXPECT_GT(logsOfAccount.size(), 1000u);
  EXPECT_GT(most, kLogs / 10) << "no regular";
  EXPECT_GT(often, 20u) << "too few regulars";
  EXPECT_GT(once * 2, logsOfAccount.size()) << "too few who came once";
  const double botShare = static_cast<double>(botTexts) / static_cast<double>(playerTexts);
  EXPECT_GT(botShare, 0.35);
  EXPECT_LT(botShare, 0.65);
  EXPECT_GT(lan, 0u);
  EXPECT_GT(pending, 0u);
  EXPECT_GT(renames, 0u);
  EXPECT_GT(statsLines, 0u);
  EXPECT_GE(months.size(), 10u);
  EXPECT_GE(hours.size(), 12u);
  for (const char* end : {"CTs_Win", "Terrorists_Win", "Target_Bombed", "Bomb_Defused", "Target_Saved",
                          "All_Hostages_Rescued", "Hostages_Not_Rescued", "Round_Draw"}) {
    EXPECT_EQ(roundEnds.count(end), 1u) << end;
  }
  for (const char* objective : {"Planted_The_Bomb\"", "Defused_The_Bomb\"", "Rescued_A_Hostage\"",
                                "Killed_A_Hostage\""}) {
    EXPECT_EQ(objectives.count(objective), 1u) << objective;
  }
}

// The collector reads a public match whole: every kill line counted for a
// player, the plugin's figures joined to his weapons, a pending ID resolved.
TEST(LogGenerator, PublicMatchReadsWholeForItsPlayers) {
  std::size_t renamed = 0, withShots = 0, resolved = 0;
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    const std::string log = generateLog(std::size_t{150} << 10, seed, LogProfile::PublicMatch);
    MatchPlayersCollector collector;
    std::int64_t killLines = 0;
    bool hadPending = false;
    for (const std::string_view line : linesOf(log)) {
      collector.addLine(line);
      killLines += readPlayerLine(line).kind == PlayerLineKind::Kill;
      hadPending = hadPending || contains(line, "<STEAM_ID_PENDING>");
    }
    const MatchPlayers players = collector.result();
    EXPECT_EQ(players.playersLeftOut, 0u);
    std::int64_t counted = 0;
    bool stillPending = false;
    for (const MatchPlayer& player : players.players) {
      counted += player.kills + player.teamKills;
      renamed += player.names.size() > 1;
      for (const WeaponUse& weapon : player.weapons) {
        withShots += weapon.shots > 0;
        if (player.bot) {
          EXPECT_EQ(weapon.shots, 0) << "bots have no plugin lines";
        }
      }
      stillPending = stillPending || authKindOf(player.authId) == AuthKind::Pending;
    }
    EXPECT_EQ(counted, killLines) << seed;
    resolved += hadPending && !stillPending;
  }
  EXPECT_GT(renamed, 0u);
  EXPECT_GT(withShots, 100u);
  EXPECT_GT(resolved, 0u);
}

}  // namespace
}  // namespace fragtally

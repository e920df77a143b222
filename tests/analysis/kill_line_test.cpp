#include <gtest/gtest.h>

#include <array>

#include "analysis/parse_kill_line.h"
#include "base/text.h"
#include "stats/match_stats.h"
#include "tests/analysis/kill_line_by_the_steps.h"

namespace fragtally {
namespace {

using Five = std::array<std::string_view, 5>;

Five cut(std::string_view line) {
  const KillLine kill = cutKillLine(line);
  return {kill.killerName, kill.killerTeam, kill.victimName, kill.victimTeam, kill.weapon};
}

constexpr std::string_view kStamp = "L 10/25/2003 - 21:14:02: ";

std::string line(std::string_view event) { return std::string(kStamp) + std::string(event); }

TEST(KillLineTest, EveryTeamTagCombination) {
  EXPECT_EQ(cut(line(R"("Alpha<12><1001><CT>" killed "Bravo<13><1002><TERRORIST>" with "knife")")),
            (Five{"Alpha", "CT", "Bravo", "TERRORIST", "knife"}));
  EXPECT_EQ(cut(line(R"("Bravo<13><1002><TERRORIST>" killed "Alpha<12><1001><CT>" with "usp")")),
            (Five{"Bravo", "TERRORIST", "Alpha", "CT", "usp"}));
  EXPECT_EQ(cut(line(R"("Bravo<13><1002><TERRORIST>" killed "Delta<15><1004><TERRORIST>" with "grenade")")),
            (Five{"Bravo", "TERRORIST", "Delta", "TERRORIST", "grenade"}));
  EXPECT_EQ(cut(line(R"("Alpha<12><1001><CT>" killed "Echo<16><1005><CT>" with "m4a1")")),
            (Five{"Alpha", "CT", "Echo", "CT", "m4a1"}));
  EXPECT_EQ(cut(line(R"("Alpha<12><1001><CT>" killed "Watcher<16><1005><SPECTATOR>" with "m4a1")")),
            (Five{"Alpha", "CT", "Watcher", "CT", "m4a1"}));
  EXPECT_EQ(cut(line(R"("Watcher<16><1005><>" killed "Alpha<12><1001><CT>" with "m4a1")")),
            (Five{"Watcher", "TERRORIST", "Alpha", "CT", "m4a1"}));
  EXPECT_EQ(cut(line(R"("Watcher<16><1005><>" killed "Other<12><1001><>" with "m4a1")")),
            (Five{"Watcher", "TERRORIST", "Other", "TERRORIST", "m4a1"}));
}

TEST(KillLineTest, ALandmarkInsideANameSpoilsWhatFollowsButStillCounts) {
  const std::string withers = line(R"("withers<17><1006><CT>" killed "Bravo<13><1002><TERRORIST>" with "knife")");
  EXPECT_EQ(cut(withers), (Five{"withers", "CT", "Bravo", "TERRORIST", " killed "}));
  EXPECT_TRUE(cutKillLine(withers).isKill);
  MatchStats stats;
  parseKillLine(stats, withers);
  EXPECT_EQ(stats.weapons.nameAt(0), " killed ");
}

TEST(KillLineTest, NamesAreSeenWithin255Characters) {
  const std::string name254(254, 'n');
  // The cuts are views into the line: it has to outlive them.
  const std::string line254 = line("\"" + name254 + "<1><2><CT>\" killed \"B<3><4><TERRORIST>\" with \"awp\"");
  const KillLine whole = cutKillLine(line254);
  EXPECT_EQ(whole.killerName, name254);
  EXPECT_TRUE(whole.isKill);

  const std::string name255(255, 'n');
  const std::string line255 = line("\"" + name255 + "<1><2><CT>\" killed \"B<3><4><TERRORIST>\" with \"awp\"");
  const KillLine cutOff = cutKillLine(line255);
  EXPECT_EQ(cutOff.killerName, "");
  EXPECT_FALSE(cutOff.isKill);
}

TEST(KillLineTest, LinesThatOnlySayKilledAreNoKills) {
  for (const std::string& text : {
           line(R"("Alpha<12><1001><CT>" say "killed him")"),
           line(R"("Alpha<12><1001><CT>" killed "Bravo<13><1002><TERRORIST>")"),
           line(R"("Alpha<12><1001><CT>" killed "Bravo<13><1002><TERRORIST>" with "")"),
           line("Harvey have killed Elmer from a distance of 23 meters"),
           line("Toby killed Ernie with a headshot."),
       }) {
    MatchStats stats;
    parseKillLine(stats, text);
    EXPECT_EQ(stats.players.lastIndex(), -1) << text;
    EXPECT_EQ(stats.ctKilledT + stats.ctKilledCt + stats.tKilledT + stats.tKilledCt, 0) << text;
  }
  // The chat line cuts as the kill rules say; only the empty victim stops it.
  EXPECT_EQ(cut(line(R"("Alpha<12><1001><CT>" say "killed him")")),
            (Five{"Alpha", "CT", "", "CT", "Alpha<12><1001><CT>"}));
}

}  // namespace
}  // namespace fragtally

namespace fragtally {
namespace {

void expectSameCut(std::string_view line, const std::string& label) {
  const KillLine cut = cutKillLine(line);
  const KillLine steps = cutKillLineByTheSteps(line);
  EXPECT_EQ(cut.killerName, steps.killerName) << label;
  EXPECT_EQ(cut.killerTeam, steps.killerTeam) << label;
  EXPECT_EQ(cut.victimName, steps.victimName) << label;
  EXPECT_EQ(cut.victimTeam, steps.victimTeam) << label;
  EXPECT_EQ(cut.weapon, steps.weapon) << label;
  EXPECT_EQ(cut.isKill, steps.isKill) << label;
}

// "killed" is seen behind the first "<CT>" only within 255 characters of it.
TEST(KillLineTest, KilledIsLookedForWithin255CharactersOfTheFirstCtTag) {
  for (std::size_t gap = 230; gap <= 260; ++gap) {
    for (const bool killedBefore : {false, true}) {
      const std::string line = std::string(killedBefore ? "\"x killed y\" " : "") + "\"A<1><2><CT>\"" +
                               std::string(gap, ' ') + "killed \"B<3><4><TERRORIST>\" with \"awp\"";
      expectSameCut(line, std::to_string(gap) + (killedBefore ? " after a killed" : ""));
    }
  }
}

// Every landmark moved across the 255-character edge of the copy it is looked
// for in, doubled, or left out: the cut agrees with the rules step by step.
TEST(KillLineTest, CutsAgreeWithTheStepsWhereverTheLandmarksStand) {
  const std::string pieces[] = {"\"", "<", "killed", "with", "<CT>", "<TERRORIST>", " ", "x"};
  for (std::size_t gap = 0; gap < 270; gap += (gap > 240 && gap < 262) ? 1 : 23) {
    const std::string fill(gap, '.');
    const std::string lines[] = {
        fill + "\"A<1><2><CT>\" killed \"B<3><4><TERRORIST>\" with \"awp\"",
        "\"" + fill + "<1><2><CT>\" killed \"B<3><4><CT>\" with \"awp\"",
        "\"A<1><2><TERRORIST>\" killed \"" + fill + "<3><4><CT>\" with \"awp\"",
        "\"A<1><2><CT>\"" + fill + "killed \"B<3><4>" + fill + "<TERRORIST>\" with \"awp\"",
        "\"A<1><2><TERRORIST>\" killed \"B<3><4><CT>\" with" + fill + "\"awp\"",
        "\"A<1><2><CT>\" killed \"B<3><4><TERRORIST>\" with \"" + fill + "\"",
        "\"A<CT>\" killed \"B<CT>\" killed " + fill + "killed \"C<TERRORIST>\"",
        "with<CT>" + fill + "\"A<1>\" killed \"B<2><TERRORIST>\" with \"awp\"",
    };
    for (const std::string& line : lines) expectSameCut(line, line);
    // Each piece in place of each character of the first line.
    for (const std::string& piece : pieces) {
      for (std::size_t at = 0; at < lines[0].size(); at += 3) {
        std::string changed = lines[0];
        changed.replace(at, 1, piece);
        expectSameCut(changed, changed);
      }
    }
  }
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include "analysis/interpret_line.h"
#include "base/error.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

std::string failureOf(MatchStats& stats, std::string_view line) {
  try {
    interpretLine(stats, line);
  } catch (const Error& error) {
    return error.what();
  }
  return "no failure";
}

TEST(InterpretLineTest, TheThreeExampleLines) {
  MatchStats stats;
  interpretLine(stats, "L 10/25/2003 - 21:13:45: Started map \"testmap\"");
  EXPECT_EQ(stats.date, "10/25/2003");
  EXPECT_EQ(stats.startTime, "21:13:45");
  EXPECT_EQ(stats.mapName, "testmap");

  interpretLine(stats,
                "L 10/25/2003 - 21:14:02: \"Alpha<12><1001><CT>\" killed \"Bravo<13><1002><TERRORIST>\" with "
                "\"knife\"");
  EXPECT_EQ(stats.endTime, "21:14:02");
  EXPECT_EQ(stats.ctKilledT, 1);
  EXPECT_EQ(stats.players.nameAt(0), "Alpha");
  EXPECT_EQ(stats.players.tagAt(0), "CT");
  EXPECT_EQ(stats.players.nameAt(1), "Bravo");
  EXPECT_EQ(stats.players.tagAt(1), "TERRORIST");
  EXPECT_EQ(stats.weapons.nameAt(0), "knife");
  EXPECT_EQ(stats.victimKills[0][1], 1);

  interpretLine(stats, "L 10/25/2003 - 21:16:40: Team \"CT\" triggered \"CTs_Win\" (CT \"1\") (T \"0\")");
  EXPECT_EQ(stats.ctWins, 1);
  EXPECT_EQ(stats.tWins, 0);
  EXPECT_EQ(stats.endTime, "21:16:40");
  EXPECT_EQ(stats.startTime, "21:13:45");
}

TEST(InterpretLineTest, LineWithoutMarkerChangesOnlyTheTimes) {
  MatchStats stats;
  interpretLine(stats, "L 10/25/2003 - 21:13:45: \"Alpha<12><1001><>\" entered the game");
  MatchStats expected;
  expected.date = "10/25/2003";
  expected.startTime = expected.endTime = "21:13:45";
  EXPECT_EQ(stats.date, expected.date);
  EXPECT_EQ(stats.mapName, "");
  EXPECT_EQ(stats.players.lastIndex(), -1);
  EXPECT_EQ(stats.ctWins + stats.tWins + stats.ctKilledT + stats.ctKilledCt + stats.tKilledT + stats.tKilledCt, 0);
}

TEST(InterpretLineTest, MalformedLinesEndWithTheConversionError) {
  MatchStats stats;
  EXPECT_EQ(failureOf(stats, ""), "'' is not a valid integer value");
  EXPECT_EQ(failureOf(stats, "L 10/25/2003 - 9:05:00: Started map \"x\""), "'9:' is not a valid integer value");
  MatchStats fresh;
  EXPECT_EQ(failureOf(fresh, "no stamp at all"), "'' is not a valid integer value");
  MatchStats scores;
  EXPECT_EQ(failureOf(scores, "L 10/25/2003 - 21:16:40: Team \"CT\" triggered \"CTs_Win\""),
            "'CT' is not a valid integer value");
}

TEST(InterpretLineTest, EveryMarkerOfALineIsTreatedInOrder) {
  MatchStats stats;
  interpretLine(stats,
                "L 10/25/2003 - 21:13:45: Started map \"de_x\" \"A<1><2><CT>\" killed \"B<3><4><TERRORIST>\" "
                "with \"awp\"");
  EXPECT_EQ(stats.mapName, "de_x");
  // The line's first double quote is the map's, so the killer's name starts there.
  EXPECT_EQ(stats.ctKilledT, 1);
  EXPECT_EQ(stats.players.nameAt(0), "de_x\" \"A");

  MatchStats both;
  interpretLine(both,
                "L 10/25/2003 - 21:13:45: triggered \"Terrorists_Win\" triggered \"CTs_Win\" (CT \"2\") (T \"7\")");
  EXPECT_EQ(both.ctWins, 2);
  EXPECT_EQ(both.tWins, 7);

  MatchStats maps;
  interpretLine(maps, "L 10/25/2003 - 21:13:45: Started map \"first\"");
  interpretLine(maps, "L 10/25/2003 - 21:20:00: Started map \"second\"");
  EXPECT_EQ(maps.mapName, "first");
}

// The date is cut at 255 characters, like every other piece of a line; the
// time behind it is read as ever.
TEST(InterpretLineTest, ADateIsKeptUpTo255Characters) {
  MatchStats stats;
  interpretLine(stats, "L " + std::string(255, '3') + " - 21:14:04: x");
  EXPECT_EQ(stats.date, std::string(255, '3'));
  interpretLine(stats, "L " + std::string(300, '1') + " - 21:14:02: x");
  EXPECT_EQ(stats.date, std::string(255, '1'));
  EXPECT_EQ(stats.endTime, "21:14:04");
  // A cut that would end in a blank and a dash ends before the dash.
  interpretLine(stats, "L " + std::string(253, '1') + " -" + std::string(10, '2') + " - 21:14:05: x");
  EXPECT_EQ(stats.date, std::string(253, '1') + " ");
  EXPECT_EQ(stats.endTime, "21:14:05");
  EXPECT_EQ(stats.startTime, "21:14:04");
}

}  // namespace
}  // namespace fragtally

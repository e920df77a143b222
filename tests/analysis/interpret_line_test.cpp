#include <gtest/gtest.h>

#include <vector>

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

std::string repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// A cut inside a UTF-8 character would leave a date that is no longer UTF-8,
// shown as other text: the character goes whole. A Windows-1251 date, or one
// that is broken before the cut, keeps its 255 bytes.
TEST(InterpretLineTest, ALongUtf8DateIsCutBetweenCharacters) {
  const std::string cyrillic = "\xD0\x94";    // Д, two bytes
  const std::string fourBytes = "\xF0\x9F\x98\x80";
  struct Case {
    std::string date;
    std::string kept;
  };
  const std::vector<Case> cases = {
      {repeated(cyrillic, 130), repeated(cyrillic, 127)},         // 255 falls in the 128th
      {"1" + repeated(cyrillic, 130), "1" + repeated(cyrillic, 127)},  // 255 falls after the 127th
      {std::string(253, 'a') + fourBytes + "b", std::string(253, 'a')},
      {std::string(254, 'a') + fourBytes + "b", std::string(254, 'a')},
      {std::string(252, 'a') + fourBytes + "b", std::string(252, 'a')},
      {std::string(251, 'a') + fourBytes + "b", std::string(251, 'a') + fourBytes},
      // Windows-1251: Д is 0xC4, a byte of its own.
      {std::string(300, '\xC4'), std::string(255, '\xC4')},
      // Broken before the cut: read byte by byte, so cut where it is.
      {"\xFF" + std::string(253, 'a') + cyrillic + "b", "\xFF" + std::string(253, 'a') + "\xD0"},
      // A character that the cut would split but that is broken behind it.
      {std::string(254, 'a') + "\xD0" + "b" + std::string(10, 'c'), std::string(254, 'a') + "\xD0"},
  };
  for (const Case& c : cases) {
    MatchStats stats;
    interpretLine(stats, "L " + c.date + " - 21:14:04: x");
    EXPECT_EQ(stats.date, c.kept) << c.date.size();
    EXPECT_EQ(stats.endTime, "21:14:04");
  }
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include "base/error.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

TEST(MatchStatsTest, NewRecordIsEmpty) {
  MatchStats stats;
  EXPECT_EQ(stats.date + stats.startTime + stats.endTime + stats.mapName + stats.logName, "");
  EXPECT_EQ(stats.ctKilledT + stats.ctKilledCt + stats.tKilledT + stats.tKilledCt, 0);
  EXPECT_EQ(stats.ctWins + stats.tWins, 0);
  for (int i = 0; i < kTableSlots; ++i) {
    EXPECT_EQ(stats.ranking[i].player, -1);
    EXPECT_EQ(stats.ranking[i].kills, -1);
    EXPECT_EQ(stats.favouriteWeapon[i] + stats.favouriteVictim[i] + stats.nemesis[i], 0);
    for (int j = 0; j < kTableSlots; ++j) EXPECT_EQ(stats.weaponKills[i][j] + stats.victimKills[i][j], 0);
  }
  EXPECT_EQ(stats.players.lastIndex(), -1);
  EXPECT_EQ(stats.weapons.lastIndex(), -1);
}

TEST(MatchStatsTest, TimeWindowKeepsLatestDateFirstTimeAndGreatestTime) {
  MatchStats stats;
  stats.updateTimeWindow("05/30/2003 - 21:14:07");
  EXPECT_EQ(stats.date, "05/30/2003");
  EXPECT_EQ(stats.startTime, "21:14:07");
  EXPECT_EQ(stats.endTime, "21:14:07");
  stats.updateTimeWindow("05/31/2003 - 00:00:05");  // past midnight: the end stays
  EXPECT_EQ(stats.date, "05/31/2003");
  EXPECT_EQ(stats.startTime, "21:14:07");
  EXPECT_EQ(stats.endTime, "21:14:07");
  stats.updateTimeWindow("05/31/2003 - 21:14:08");
  EXPECT_EQ(stats.endTime, "21:14:08");
  stats.updateTimeWindow("05/31/2003 - 21:14:08");
  EXPECT_EQ(stats.endTime, "21:14:08");
}

// A stamp that shares the last one's date, one after a failed stamp, one too
// long to be kept: each is read as if it were the first of its kind.
TEST(MatchStatsTest, TimeWindowReadsEveryStampInFull) {
  MatchStats stats;
  stats.updateTimeWindow("05/30/2003 - 21:14:07");
  stats.updateTimeWindow("05/30/2003 - 21:14:09");
  EXPECT_EQ(stats.date, "05/30/2003");
  EXPECT_EQ(stats.endTime, "21:14:09");

  // The date in front changed by the failed stamp is read again from the next
  // one, even when that one repeats the stamp before the failure.
  EXPECT_THROW(stats.updateTimeWindow("06/01/2003 - xx:00:00"), Error);
  EXPECT_EQ(stats.date, "06/01/2003");
  stats.updateTimeWindow("05/30/2003 - 21:14:09");
  EXPECT_EQ(stats.date, "05/30/2003");

  stats.updateTimeWindow("05/30/2003 - 21:14:10 and a long tail behind the time");
  EXPECT_EQ(stats.endTime, "21:14:10 and a long tail behind the time");
  stats.updateTimeWindow("05/30/2003 - 21:14:11");
  EXPECT_EQ(stats.endTime, "21:14:11");

  // The same date without the blank behind the dash: no " - " at all.
  EXPECT_THROW(stats.updateTimeWindow("05/30/2003 -21:14:12"), Error);
  EXPECT_EQ(stats.date, "");
  EXPECT_EQ(stats.startTime, "21:14:07");
  EXPECT_EQ(stats.endTime, "21:14:11");
}

TEST(MatchStatsTest, TimeWindowFailuresNameThePieceAndKeepWhatWasSet) {
  MatchStats stats;
  try {
    stats.updateTimeWindow("10/25/2003 - 9:05:00");
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'9:' is not a valid integer value");
  }
  EXPECT_EQ(stats.date, "10/25/2003");
  EXPECT_EQ(stats.startTime, "9:05:00");

  // An empty stamp empties the date, then fails on an empty piece.
  MatchStats fresh;
  fresh.updateTimeWindow("10/25/2003 - 10:00:00");
  EXPECT_THROW(fresh.updateTimeWindow(""), Error);
  EXPECT_EQ(fresh.date, "");
  EXPECT_EQ(fresh.startTime, "10:00:00");

  // The end time is read before the new one.
  MatchStats record;
  record.endTime = "ab:00:00";
  try {
    record.updateTimeWindow("10/25/2003 - cd:00:00");
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'ab' is not a valid integer value");
  }
}

TEST(MatchStatsTest, FirstNamedMapWins) {
  MatchStats stats;
  stats.setMapName("no quote here");
  EXPECT_EQ(stats.mapName, "");
  stats.setMapName("\"starts with a quote");
  EXPECT_EQ(stats.mapName, "");
  stats.setMapName("map01\" (CRC \"1\")");
  EXPECT_EQ(stats.mapName, "map01");
  stats.setMapName("map02\"");
  EXPECT_EQ(stats.mapName, "map01");
}

TEST(MatchStatsTest, RoundScoresAreOverwrittenAndKeepTheFirstOnAFailure) {
  MatchStats stats;
  stats.setRoundScores("(CT \"3\") (T \"5\")");
  stats.setRoundScores("(CT \"4\") (T \"5\")");
  EXPECT_EQ(stats.ctWins, 4);
  EXPECT_EQ(stats.tWins, 5);
  try {
    stats.setRoundScores("(CT \"3\") (T \"x\")");
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'x' is not a valid integer value");
  }
  EXPECT_EQ(stats.ctWins, 3);
  EXPECT_EQ(stats.tWins, 5);
}

TEST(MatchStatsTest, LogNameKeepsTheLastPath) {
  MatchStats stats;
  stats.setLogName("C:\\a.log");
  stats.setLogName("C:\\b.log");
  EXPECT_EQ(stats.logName, "C:\\b.log");
}

}  // namespace
}  // namespace fragtally

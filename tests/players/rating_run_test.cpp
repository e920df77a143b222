#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "players/rating_run.h"

namespace fragtally {
namespace {

/// A match of the given day (December 2026) and hour, its players by name with
/// Steam accounts (a name starting "bot" is a bot), and its enemy kills.
struct MatchBuilder {
  RatedMatch match;

  MatchBuilder(int day, int hour, std::string path) {
    match.start = MatchStart{2026, 12, day, hour * 3600};
    match.logPath = std::move(path);
  }

  std::size_t playerNamed(const std::string& name) {
    for (std::size_t at = 0; at < match.players.players.size(); ++at) {
      if (match.players.players[at].names.front().name == name) return at;
    }
    MatchPlayer player;
    player.bot = name.starts_with("bot");
    player.authId = player.bot ? "BOT" : "STEAM_0:0:" + std::to_string(std::hash<std::string>{}(name) % 100000);
    player.names.push_back(NameUse{name, 1});
    match.players.players.push_back(player);
    return match.players.players.size() - 1;
  }

  MatchBuilder& kills(const std::string& killer, const std::string& victim, std::int64_t count) {
    const std::size_t k = playerNamed(killer);
    const std::size_t v = playerNamed(victim);
    match.players.kills.push_back(KillPair{k, v, count});
    return *this;
  }
};

std::string keyOf(const std::string& name) { return "steam:0:" + std::to_string(std::hash<std::string>{}(name) % 100000); }

std::vector<RatedMatch> season() {
  std::vector<RatedMatch> matches;
  matches.push_back(MatchBuilder(1, 20, "a/L1201000.log").kills("ann", "bea", 9).kills("bea", "ann", 3).kills("cid", "ann", 2).match);
  matches.push_back(MatchBuilder(1, 21, "a/L1201001.log").kills("bea", "cid", 5).kills("cid", "bea", 4).kills("ann", "bot Opie", 30).match);
  matches.push_back(MatchBuilder(3, 20, "a/L1203000.log").kills("ann", "cid", 6).kills("cid", "ann", 6).kills("dan", "ann", 1).match);
  matches.push_back(MatchBuilder(3, 20, "b/L1203000.log").kills("bea", "dan", 7).kills("dan", "bea", 2).match);
  matches.push_back(MatchBuilder(9, 19, "a/L1209000.log").kills("ann", "bea", 4).kills("bea", "ann", 4).kills("cid", "bea", 3).match);
  return matches;
}

std::vector<std::string> keysOf(const std::vector<RatedPerson>& people) {
  std::vector<std::string> keys;
  for (const RatedPerson& person : people) keys.push_back(person.key);
  return keys;
}

TEST(MatchStartTest, ReadsTheLogsDateAndTime) {
  const auto start = readMatchStart("02/29/2024", "23:59:58");
  ASSERT_TRUE(start.has_value());
  EXPECT_EQ(*start, (MatchStart{2024, 2, 29, 86398}));
  EXPECT_FALSE(readMatchStart("02/29/2023", "10:00:00"));
  EXPECT_FALSE(readMatchStart("13/01/2024", "10:00:00"));
  EXPECT_FALSE(readMatchStart("1/1/2024", "10:00:00"));
  EXPECT_FALSE(readMatchStart("01/01/2024", "24:00:00"));
  EXPECT_EQ(dayNumberOf(MatchStart{1970, 1, 1, 0}), 0);
  EXPECT_EQ(dayNumberOf(MatchStart{2000, 3, 1, 0}) - dayNumberOf(MatchStart{2000, 2, 28, 0}), 2);
  EXPECT_EQ(dayNumberOf(MatchStart{2027, 1, 1, 0}) - dayNumberOf(MatchStart{2026, 12, 31, 0}), 1);
}

TEST(RatingRunTest, TheSameTableWhateverOrderTheMatchesComeIn) {
  std::vector<RatedMatch> matches = season();
  const RatingTable first = rateMatches(matches, {});
  ASSERT_EQ(first.ranked.size(), 3u);
  std::vector<std::size_t> order{0, 1, 2, 3, 4};
  int permutations = 0;
  while (std::next_permutation(order.begin(), order.end())) {
    std::vector<RatedMatch> shuffled;
    for (const std::size_t at : order) shuffled.push_back(matches[at]);
    const RatingTable table = rateMatches(shuffled, {});
    ASSERT_EQ(keysOf(table.ranked), keysOf(first.ranked));
    ASSERT_EQ(keysOf(table.unranked), keysOf(first.unranked));
    for (std::size_t at = 0; at < table.ranked.size(); ++at) {
      // Exactly: the sums run in key order, not in the order of the input.
      ASSERT_EQ(table.ranked[at].rating.rating, first.ranked[at].rating.rating);
      ASSERT_EQ(table.ranked[at].rating.deviation, first.ranked[at].rating.deviation);
    }
    ++permutations;
  }
  EXPECT_EQ(permutations, 119);
}

TEST(RatingRunTest, RankedByRatingLessTwiceTheDeviationWithEnoughMatches) {
  const RatingTable table = rateMatches(season(), {});
  // ann, bea and cid played 4, 4 and 4 matches; dan 2: listed apart.
  EXPECT_EQ(keysOf(table.unranked), (std::vector<std::string>{keyOf("dan")}));
  for (std::size_t at = 1; at < table.ranked.size(); ++at) {
    EXPECT_GE(table.ranked[at - 1].rankingValue(), table.ranked[at].rankingValue());
  }
  const auto ann = std::find_if(table.ranked.begin(), table.ranked.end(),
                                [](const RatedPerson& person) { return person.key == keyOf("ann"); });
  ASSERT_NE(ann, table.ranked.end());
  EXPECT_EQ(ann->matches, 4);
  EXPECT_EQ(ann->games, 9 + 3 + 2 + 6 + 6 + 1 + 4 + 4);  // the bot's 30 are no games
  EXPECT_EQ(ann->shownName, "ann");
  RatingSettings settings;
  settings.minMatches = 1;
  EXPECT_EQ(rateMatches(season(), {}, settings).ranked.size(), 4u);
}

TEST(RatingRunTest, TeamKillsSuicidesAndBotsAreNoGames) {
  std::vector<RatedMatch> matches;
  MatchBuilder match(5, 20, "L1205000.log");
  match.kills("ann", "bot Opie", 12).kills("bot Opie", "bea", 3);
  match.match.players.players[0].teamKills = 4;  // team kills never reach the pairs
  match.match.players.players[0].suicides = 2;
  matches.push_back(match.match);
  RatingSettings settings;
  settings.minMatches = 1;
  settings.identity.includeBots = true;
  const RatingTable table = rateMatches(matches, {}, settings);
  ASSERT_EQ(table.ranked.size(), 3u);  // the bot is listed when asked for, but unrated
  for (const RatedPerson& person : table.ranked) {
    EXPECT_EQ(person.games, 0) << person.key;
    EXPECT_EQ(person.rating.rating, 1500.0);
    EXPECT_EQ(person.rating.deviation, 350.0);
  }
  EXPECT_EQ(table.ranked[0].key, "bot:bot Opie");  // ties by key
}

TEST(RatingRunTest, OpponentsAreTakenAsTheyStoodBeforeTheDay) {
  // Two equals play one day: whatever order the day's matches are in, each gains what the other loses.
  std::vector<RatedMatch> matches;
  matches.push_back(MatchBuilder(2, 20, "x.log").kills("ann", "bea", 5).match);
  matches.push_back(MatchBuilder(2, 22, "y.log").kills("bea", "ann", 2).match);
  RatingSettings settings;
  settings.minMatches = 1;
  const RatingTable table = rateMatches(matches, {}, settings);
  ASSERT_EQ(table.ranked.size(), 2u);
  EXPECT_NEAR(table.ranked[0].rating.rating - 1500.0, 1500.0 - table.ranked[1].rating.rating, 1e-9);
  EXPECT_EQ(table.ranked[0].rating.deviation, table.ranked[1].rating.deviation);
  EXPECT_EQ(table.ranked[0].key, keyOf("ann"));
}

TEST(RatingRunTest, DaysWithoutPlayWidenTheDeviation) {
  std::vector<RatedMatch> matches;
  matches.push_back(MatchBuilder(1, 20, "1.log").kills("ann", "bea", 5).kills("bea", "ann", 5).match);
  matches.push_back(MatchBuilder(2, 20, "2.log").kills("ann", "cid", 5).kills("cid", "ann", 5).match);
  RatingSettings settings;
  settings.minMatches = 1;
  const RatingTable oneDay = rateMatches(matches, {}, settings);
  matches[1].start.day = 21;  // the same play, nineteen idle days later
  const RatingTable later = rateMatches(matches, {}, settings);
  const auto ratingOf = [](const RatingTable& table, const std::string& name) {
    for (const RatedPerson& person : table.ranked) {
      if (person.key == keyOf(name)) return person.rating;
    }
    ADD_FAILURE() << name;
    return Glicko2Rating{};
  };
  // bea stops after day 1: one period without games to day 2, or twenty to day 21.
  const Glicko2Rating bea = ratingOf(oneDay, "bea");
  EXPECT_EQ(ratingOf(later, "bea").rating, bea.rating);
  EXPECT_NEAR(ratingOf(later, "bea").deviation, idlePeriods(bea, 19).deviation, 1e-9);
  EXPECT_GT(ratingOf(later, "bea").deviation, bea.deviation);
  // ann played both days: in between, eighteen more days widen her before day 21's games.
  EXPECT_GT(ratingOf(later, "ann").deviation, ratingOf(oneDay, "ann").deviation);
}

TEST(RatingRunTest, PlayersFileMergesHidesAndNames) {
  std::vector<RatedMatch> matches = season();
  const PlayersFile file = readPlayersFile("merge " + keyOf("dan") + " " + keyOf("cid") + "\nhide " + keyOf("bea") +
                                           "\nname " + keyOf("ann") + " Ann the First\n");
  const RatingTable table = rateMatches(matches, file);
  EXPECT_EQ(table.unranked.size(), 0u);
  ASSERT_EQ(table.ranked.size(), 2u);  // ann, and dan with cid's matches; bea hidden
  for (const RatedPerson& person : table.ranked) {
    if (person.key == keyOf("ann")) {
      EXPECT_EQ(person.shownName, "Ann the First");
    }
    if (person.key == keyOf("dan")) {
      EXPECT_EQ(person.matches, 5);  // cid's four and dan's two, one of them shared
      EXPECT_EQ(person.shownName, "cid");  // the name of his latest match
    }
  }
}

}  // namespace
}  // namespace fragtally

// The people of a match in its record: written from the log, read back into a
// summary within bounds, and refused when a file holds more than a log can give.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <nlohmann/json.hpp>

#include "analysis/analysis.h"
#include "analysis/log_reader.h"
#include "analysis/match_players.h"
#include "index/index_cache.h"
#include "record/match_record.h"
#include "record/match_summary.h"
#include "record/record_format.h"
#include "report/report_model.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

using Json = nlohmann::ordered_json;

// A Steam player who renames himself, a LAN player who reconnects, a bot named
// in Windows-1251 ("Боб") who kills his team mate and plants the bomb, the
// stats plugin's lines, and the spectator proxy, who is nobody.
constexpr std::string_view kLog =
    "L 12/08/2026 - 20:00:00: Started map \"de_dust2\" (CRC \"1\")\n"
    "L 12/08/2026 - 20:00:01: \"Vasya<11><STEAM_0:1:4242><>\" entered the game\n"
    "L 12/08/2026 - 20:00:02: \"Vasya<11><STEAM_0:1:4242><>\" joined team \"CT\"\n"
    "L 12/08/2026 - 20:00:03: \"lan<12><STEAM_ID_LAN><>\" entered the game\n"
    "L 12/08/2026 - 20:00:04: \"lan<12><STEAM_ID_LAN><>\" joined team \"TERRORIST\"\n"
    "L 12/08/2026 - 20:00:05: \"\xC1\xEE\xE1<13><BOT><>\" entered the game\n"
    "L 12/08/2026 - 20:00:06: \"\xC1\xEE\xE1<13><BOT><>\" joined team \"TERRORIST\"\n"
    "L 12/08/2026 - 20:00:06: \"HLTV<15><HLTV><>\" entered the game\n"
    "L 12/08/2026 - 20:00:07: World triggered \"Round_Start\"\n"
    "L 12/08/2026 - 20:00:10: \"Vasya<11><STEAM_0:1:4242><CT>\" changed name to \"Вася\"\n"
    "L 12/08/2026 - 20:00:20: \"Вася<11><STEAM_0:1:4242><CT>\" killed \"lan<12><STEAM_ID_LAN><TERRORIST>\" with \"m4a1\"\n"
    "L 12/08/2026 - 20:00:30: \"\xC1\xEE\xE1<13><BOT><TERRORIST>\" killed \"lan<12><STEAM_ID_LAN><TERRORIST>\" with \"ak47\"\n"
    "L 12/08/2026 - 20:00:40: \"\xC1\xEE\xE1<13><BOT><TERRORIST>\" triggered \"Planted_The_Bomb\"\n"
    "L 12/08/2026 - 20:00:50: \"Вася<11><STEAM_0:1:4242><CT>\" triggered \"Defused_The_Bomb\"\n"
    "L 12/08/2026 - 20:00:50: Team \"CT\" triggered \"Bomb_Defused\" (CT \"1\") (T \"0\")\n"
    "L 12/08/2026 - 20:00:51: World triggered \"Round_End\"\n"
    "L 12/08/2026 - 20:01:00: \"\xC1\xEE\xE1<13><BOT><TERRORIST>\" killed \"Вася<11><STEAM_0:1:4242><CT>\" with \"ak47\"\n"
    "L 12/08/2026 - 20:01:05: \"lan<12><STEAM_ID_LAN><TERRORIST>\" committed suicide with \"worldspawn\" (world)\n"
    "L 12/08/2026 - 20:01:10: \"Вася<11><STEAM_0:1:4242><CT>\" triggered \"weaponstats\" (weapon \"m4a1\") (shots \"30\") "
    "(hits \"9\") (kills \"1\") (headshots \"2\") (tks \"0\") (damage \"310\") (deaths \"1\")\n"
    "L 12/08/2026 - 20:01:10: \"Вася<11><STEAM_0:1:4242><CT>\" triggered \"weaponstats\" (weapon \"usp\") (shots \"4\") "
    "(hits \"1\") (kills \"0\") (headshots \"0\") (tks \"0\") (damage \"25\") (deaths \"0\")\n"
    "L 12/08/2026 - 20:01:11: \"Вася<11><STEAM_0:1:4242><CT>\" disconnected\n"
    "L 12/08/2026 - 20:01:12: \"lan<12><STEAM_ID_LAN><TERRORIST>\" disconnected\n"
    "L 12/08/2026 - 20:01:20: \"lan<14><STEAM_ID_LAN><>\" entered the game\n"
    "L 12/08/2026 - 20:01:21: \"lan<14><STEAM_ID_LAN><>\" joined team \"TERRORIST\"\n"
    "L 12/08/2026 - 20:02:00: Team \"TERRORIST\" triggered \"Terrorists_Win\" (CT \"1\") (T \"1\")\n";

// Derived by hand from the log above, line by line.
constexpr std::string_view kExpectedPeople = R"({
  "people": [
    {"auth_id": "STEAM_0:1:4242", "bot": false, "shared_auth_id": false,
     "names": [{"name": "Vasya", "lines": 3}, {"name": "Вася", "lines": 6}],
     "kills": 1, "deaths": 1, "suicides": 0, "team_kills": 0,
     "bombs_planted": 0, "bombs_defused": 1, "hostages_rescued": 0, "hostages_killed": 0, "rounds_won": 1,
     "weapons": [{"name": "m4a1", "kills": 1, "shots": 30, "hits": 9, "headshots": 2, "damage": 310},
                 {"name": "usp", "kills": 0, "shots": 4, "hits": 1, "headshots": 0, "damage": 25}]},
    {"auth_id": "STEAM_ID_LAN", "bot": false, "shared_auth_id": false,
     "names": [{"name": "lan", "lines": 8}],
     "kills": 0, "deaths": 3, "suicides": 1, "team_kills": 0,
     "bombs_planted": 0, "bombs_defused": 0, "hostages_rescued": 0, "hostages_killed": 0, "rounds_won": 1,
     "weapons": []},
    {"auth_id": "BOT", "bot": true, "shared_auth_id": false,
     "names": [{"name": "Боб", "lines": 5}],
     "kills": 1, "deaths": 0, "suicides": 0, "team_kills": 1,
     "bombs_planted": 1, "bombs_defused": 0, "hostages_rescued": 0, "hostages_killed": 0, "rounds_won": 1,
     "weapons": [{"name": "ak47", "kills": 1, "shots": 0, "hits": 0, "headshots": 0, "damage": 0}]}
  ],
  "kill_pairs": [{"killer": 0, "victim": 1, "kills": 1}, {"killer": 2, "victim": 0, "kills": 1}],
  "people_left_out": 0
})";

std::string recordOfLog(std::string_view log, std::optional<MatchSummary>* summary = nullptr) {
  auto stats = std::make_unique<MatchStats>();
  MemorySource source(log);
  MatchPlayersCollector people;
  interpretLog(*stats, source, &people);
  return matchRecordJson(buildReportModel(*stats), people.result(), LogFileFacts{"x.log", 1, 0}, summary);
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(PeopleRecordTest, TheRecordHoldsThePeopleAsTheLogTellsThem) {
  std::optional<MatchSummary> summary;
  const Json record = Json::parse(recordOfLog(kLog, &summary));
  EXPECT_EQ(record["version"], 2);
  Json people = Json::object();
  for (const char* field : {"people", "kill_pairs", "people_left_out"}) people[field] = record[field];
  EXPECT_EQ(people, Json::parse(kExpectedPeople)) << people.dump(1);
  // The fields of the first version keep their places in front of the people.
  std::vector<std::string> keys;
  for (const auto& [key, value] : record.items()) keys.push_back(key);
  const std::vector<std::string> expectedKeys{"format", "version", "generator", "log", "date", "start",
                                              "end", "length_seconds", "map", "rounds", "kills", "players",
                                              "weapons", "people", "kill_pairs", "people_left_out"};
  EXPECT_EQ(keys, expectedKeys);

  // What the batch is given is what reading the record back gives.
  ASSERT_TRUE(summary);
  ASSERT_EQ(summary->people.players.size(), 3u);
  EXPECT_EQ(summary->people.players[2].names[0].name, "Боб");
  EXPECT_EQ(summary->people.players[0].weapons[1], (WeaponUse{"usp", 0, 4, 1, 0, 25}));
  EXPECT_EQ(summary->people.kills, (std::vector<KillPair>{{0, 1, 1}, {2, 0, 1}}));
  EXPECT_EQ(readMatchSummary(recordOfLog(kLog)), summary);
}

TEST(PeopleRecordTest, AFirstVersionRecordReadsWithoutPeople) {
  const std::string record = recordOfLog(kLog);
  const std::string firstVersion =
      replaced(replaced(record, "\"version\":2", "\"version\":1"), record.substr(record.find(",\"people\":")), "}\n");
  const std::optional<MatchSummary> read = readMatchSummary(firstVersion);
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->people.players.empty());
  EXPECT_EQ(read->players.size(), 3u);
  // The people belong to the second version only; and it must hold them all.
  EXPECT_FALSE(readMatchSummary(replaced(record, "\"version\":2", "\"version\":1")));
  EXPECT_FALSE(readMatchSummary(replaced(firstVersion, "\"version\":1", "\"version\":2")));
  EXPECT_FALSE(readMatchSummary(replaced(record, "\"version\":2", "\"version\":3")));
}

TEST(PeopleRecordTest, ADamagedPeopleSectionIsNoRecord) {
  const std::string good = recordOfLog(kLog);
  ASSERT_TRUE(readMatchSummary(good));
  // Kill pairs that point past the people, at the same person, out of order or twice.
  EXPECT_FALSE(readMatchSummary(replaced(good, "{\"killer\":2,\"victim\":0", "{\"killer\":3,\"victim\":0")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "{\"killer\":2,\"victim\":0", "{\"killer\":-1,\"victim\":0")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "{\"killer\":2,\"victim\":0", "{\"killer\":0,\"victim\":0")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "{\"killer\":2,\"victim\":0", "{\"killer\":0,\"victim\":1")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "{\"killer\":2,\"victim\":0", "{\"killer\":0,\"victim\":0.5")));
  // A member missing, given twice, or of the wrong kind.
  EXPECT_FALSE(readMatchSummary(replaced(good, "\"suicides\":1,", "")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "\"suicides\":1,", "\"suicides\":1,\"suicides\":1,")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "\"bot\":true", "\"bot\":1")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "\"lines\":8", "\"lines\":\"8\"")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "\"damage\":310", "\"damage\":18446744073709551615")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "\"people_left_out\":0", "\"people_left_out\":-1")));
  EXPECT_FALSE(readMatchSummary(replaced(good, ",\"people_left_out\":0", "")));
  EXPECT_FALSE(readMatchSummary(replaced(good, "\"names\":[{\"name\":\"lan\"", "\"names\":[[],{\"name\":\"lan\"")));
  // Cut off inside the people.
  EXPECT_FALSE(readMatchSummary(good.substr(0, good.find("\"kill_pairs\""))));
  // A member it does not know is passed over, as elsewhere in the record.
  EXPECT_TRUE(readMatchSummary(replaced(good, "\"suicides\":1,", "\"suicides\":1,\"ping\":[1,{\"a\":2}],")));
}

// More than the collector ever keeps is refused, whatever else the file holds.
TEST(PeopleRecordTest, AnOversizedPeopleSectionIsNoRecord) {
  const std::string good = recordOfLog(kLog);
  const std::size_t peopleAt = good.find("\"people\":[") + 10;
  const std::size_t personEnd = good.find(",{\"auth_id\":\"STEAM_ID_LAN\"");
  const std::string person = good.substr(peopleAt, personEnd - peopleAt);
  auto withPeople = [&](std::size_t count) {
    std::string people;
    for (std::size_t n = 0; n < count; ++n) people += (n == 0 ? "" : ",") + person;
    return good.substr(0, peopleAt) + people + "],\"kill_pairs\":[],\"people_left_out\":0}\n";
  };
  EXPECT_TRUE(readMatchSummary(withPeople(kMaxMatchPlayers)));
  EXPECT_FALSE(readMatchSummary(withPeople(kMaxMatchPlayers + 1)));

  auto withNames = [&](std::size_t count) {
    std::string names;
    for (std::size_t n = 0; n < count; ++n) names += (n == 0 ? "" : ",") + std::string("{\"name\":\"a\",\"lines\":1}");
    return replaced(good, "{\"name\":\"lan\",\"lines\":8}", names);
  };
  EXPECT_TRUE(readMatchSummary(withNames(kMaxNamesPerPlayer)));
  EXPECT_FALSE(readMatchSummary(withNames(kMaxNamesPerPlayer + 1)));

  const std::string weapon = "{\"name\":\"w\",\"kills\":0,\"shots\":0,\"hits\":0,\"headshots\":0,\"damage\":0}";
  auto withWeapons = [&](std::size_t count) {
    std::string weapons;
    for (std::size_t n = 0; n < count; ++n) weapons += (n == 0 ? "" : ",") + weapon;
    return replaced(good, "\"rounds_won\":1,\"weapons\":[]", "\"rounds_won\":1,\"weapons\":[" + weapons + "]");
  };
  EXPECT_TRUE(readMatchSummary(withWeapons(kMaxWeaponsPerPlayer)));
  EXPECT_FALSE(readMatchSummary(withWeapons(kMaxWeaponsPerPlayer + 1)));

  EXPECT_TRUE(readMatchSummary(replaced(good, "\"name\":\"lan\"", "\"name\":\"" + std::string(kMaxRecordText, 'n') + "\"")));
  EXPECT_FALSE(
      readMatchSummary(replaced(good, "\"name\":\"lan\"", "\"name\":\"" + std::string(kMaxRecordText + 1, 'n') + "\"")));
  EXPECT_FALSE(readMatchSummary(
      replaced(good, "\"auth_id\":\"BOT\"", "\"auth_id\":\"" + std::string(kMaxRecordText + 1, 'B') + "\"")));
}

// A run where nothing changed takes the people from the index cache: they must
// come back from it as the record gave them, and damaged bytes as nothing.
TEST(PeopleRecordTest, TheCacheGivesBackThePeopleTheRecordGave) {
  const std::optional<MatchSummary> read = readMatchSummary(recordOfLog(kLog));
  ASSERT_TRUE(read && read->people.players.size() == 3);
  MatchSummary extreme = *read;  // figures of any size and sign, every flag
  extreme.people.players[1].sharedAuthId = true;
  extreme.people.players[1].weapons.push_back(WeaponUse{"", INT64_MAX, INT64_MIN, -1, 0, 1});
  extreme.people.playersLeftOut = 70000;
  for (const MatchSummary& summary : {*read, extreme}) {
    const std::string encoded = IndexCache::encode(summary);
    const auto decoded = IndexCache::decode(encoded);
    ASSERT_TRUE(decoded && *decoded);
    EXPECT_TRUE(**decoded == summary);
    for (std::size_t cut = 0; cut < encoded.size(); ++cut) EXPECT_FALSE(IndexCache::decode(encoded.substr(0, cut)));
    EXPECT_FALSE(IndexCache::decode(encoded + "x"));
  }
  // Read into a summary that held a larger match before: nothing of it stays.
  MatchSummary reused = extreme;
  reused.people.players.resize(9);
  reused.people.kills.resize(40);
  ASSERT_EQ(IndexCache::decode(IndexCache::encode(*read), reused), IndexCache::Found::match);
  EXPECT_TRUE(reused == *read);
  // A kill pair that points past the people (the last pair's victim, behind
  // its kills and the left-out count, one byte each).
  std::string pointsPast = IndexCache::encode(*read);
  ASSERT_EQ(pointsPast[pointsPast.size() - 3], '\x00');
  pointsPast[pointsPast.size() - 3] = '\x03';
  EXPECT_FALSE(IndexCache::decode(pointsPast));
}

}  // namespace
}  // namespace fragtally

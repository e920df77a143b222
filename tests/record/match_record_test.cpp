#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <memory>
#include <optional>
#include <vector>
#include <nlohmann/json.hpp>

#include "analysis/analysis.h"
#include "analysis/log_reader.h"
#include "analysis/match_players.h"
#include "base/error.h"
#include "base/file.h"
#include "record/json_text.h"
#include "record/match_record.h"
#include "record/match_summary.h"
#include "report/report_model.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using Json = nlohmann::ordered_json;

Json recordOf(const MatchStats& stats) {
  return Json::parse(matchRecordJson(buildReportModel(stats), MatchPlayers{}, LogFileFacts{stats.logName, 1, 0}));
}

MatchStats& timed(MatchStats& stats) {
  stats.date = "10/25/2003";
  stats.startTime = "21:00:00";
  stats.endTime = "21:30:00";
  return stats;
}

// Log texts arrive as UTF-8 or as the older Windows-1251 bytes; the record
// holds both as UTF-8, read the way the page reads them.
TEST(MatchRecordTest, LogTextsBecomeUtf8FromEitherEncoding) {
  MatchStats stats;
  timed(stats).logName = "C:\\Logs\\\xEB\xEE\xE3.log";                 // лог, Windows-1251
  stats.mapName = "de_\xE4\xF3\xF1\xF2";                                // de_дуст
  stats.registerKill("\xCF\xE5\xF2\xFF", "CT", "\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F", "TERRORIST",
                     "\xED\xEE\xE6");                                   // Петя (1251) kills Вася (UTF-8)
  stats.registerKill("Ken\xE6\x97\xA5", "TERRORIST", "M\x98x", "CT", "knife");  // Ken日; 0x98 has no letter
  const Json record = recordOf(stats);
  EXPECT_EQ(record["log"]["path"], "C:\\Logs\\лог.log");
  EXPECT_EQ(record["map"], "de_дуст");
  EXPECT_EQ(record["players"][0]["name"], "Петя");
  EXPECT_EQ(record["players"][0]["victims"], Json::parse(R"({"Вася": 1})"));
  EXPECT_EQ(record["players"][0]["favourite_weapon"], "нож");
  EXPECT_EQ(record["players"][1]["name"], "Ken日");
  EXPECT_EQ(record["players"][3]["name"], "M\xC2\x98x");
  EXPECT_EQ(record["weapons"][0], Json::parse(R"({"name": "нож", "kills": 1, "picture": null})"));
  EXPECT_EQ(record["weapons"][1], Json::parse(R"({"name": "knife", "kills": 1, "picture": "knife.jpg"})"));
}

// Two names of the log that differ in bytes but read as the same text are two
// rows of the report and one key of a player's victims.
TEST(MatchRecordTest, NamesThatReadAlikeShareAKeyAndAddUp) {
  MatchStats stats;
  timed(stats);
  stats.registerKill("Ann", "CT", "\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F", "TERRORIST", "usp");
  stats.registerKill("Ann", "CT", "\xC2\xE0\xF1\xFF", "TERRORIST", "usp");
  stats.registerKill("Ann", "CT", "\xC2\xE0\xF1\xFF", "TERRORIST", "usp");
  const Json record = recordOf(stats);
  ASSERT_EQ(record["players"].size(), 3u);
  EXPECT_EQ(record["players"][0]["victims"], Json::parse(R"({"Вася": 3})"));
  EXPECT_EQ(record["players"][0]["kills"], 3);
}

TEST(MatchRecordTest, NoMapMeansNullWhereThePageShowsThePlaceholder) {
  MatchStats stats;
  EXPECT_EQ(recordOf(timed(stats))["map"], nullptr);
  EXPECT_EQ(buildReportModel(stats).map, std::nullopt);
}

// The favourite weapon's cell shows a weapon that an empty name keeps out of
// the weapons table; the record says the same.
TEST(MatchRecordTest, FavouriteWeaponBeyondAnEmptyWeaponNameIsStillNamed) {
  MatchStats stats;
  timed(stats);
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "knife");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "awp");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "awp");
  const Json record = recordOf(stats);
  EXPECT_EQ(record["players"][0]["favourite_weapon"], "awp");
  EXPECT_EQ(record["players"][0]["weapons"], Json::parse(R"({"knife": 1})"));
  EXPECT_EQ(record["players"][0]["kills"], 4);
  EXPECT_EQ(record["weapons"], Json::parse(R"([{"name": "knife", "kills": 1, "picture": "knife.jpg"}])"));
}

// The page and the record are made from a const record: building them twice
// gives the same, and the record keeps its own fields as the log left them.
TEST(MatchRecordTest, TheRecordIsLeftAsTheLogMadeIt) {
  MatchStats stats;
  timed(stats);
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "knife");
  stats.registerKill("Bob", "TERRORIST", "Ann", "CT", "knife");
  stats.registerKill("Bob", "TERRORIST", "Ann", "CT", "knife");
  const MatchStats& record = stats;
  const std::string page = buildReport(record);
  EXPECT_EQ(buildReport(record), page);
  EXPECT_EQ(stats.mapName, "");
  EXPECT_EQ(stats.ranking[0].player, -1);
  // rankPlayers stores the very ranking the report used: Bob first.
  const Ranking ranking = rankingOf(stats);
  stats.rankPlayers();
  EXPECT_EQ(stats.ranking[0].player, 1);
  EXPECT_EQ(ranking[0].player, 1);
  EXPECT_EQ(buildReportModel(stats).players[0].name, "Bob");
}

// A batch hands the index what it reads of each record it writes, without
// reading the record back: that must be exactly what reading it back gives.
TEST(MatchRecordTest, TheIndexSummaryIsWhatTheRecordReadsBackAs) {
  std::vector<std::unique_ptr<MatchStats>> matches;
  std::vector<MatchPlayers> people;
  for (const char* name : {"no_kills", "small_match", "unknown_map_escaping"}) {
    auto& stats = *matches.emplace_back(std::make_unique<MatchStats>());
    const std::string log = testing::readFile(testing::sourcePath(std::string("tests/golden/") + name + "/input.log"));
    MemorySource source(log);
    MatchPlayersCollector collector;
    interpretLog(stats, source, &collector);
    people.push_back(collector.result());
  }
  // Names and weapons that read alike in both encodings share keys and add up.
  auto& alike = *matches.emplace_back(std::make_unique<MatchStats>());
  timed(alike).mapName = "de_\xE4\xF3\xF1\xF2";
  alike.registerKill("Ann", "CT", "\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F", "TERRORIST", "\xED\xEE\xE6");
  alike.registerKill("Ann", "CT", "\xC2\xE0\xF1\xFF", "TERRORIST", "\xD0\xBD\xD0\xBE\xD0\xB6");
  alike.registerKill("\xC2\xE0\xF1\xFF", "TERRORIST", "Ann", "CT", "awp");

  people.resize(matches.size());
  for (std::size_t match = 0; match < matches.size(); ++match) {
    std::optional<MatchSummary> summary;
    const std::string record =
        matchRecordJson(buildReportModel(*matches[match]), people[match], LogFileFacts{"x.log", 1, 0}, &summary);
    const std::optional<MatchSummary> readBack = readMatchSummary(record);
    ASSERT_TRUE(readBack.has_value());
    ASSERT_TRUE(summary.has_value());
    EXPECT_TRUE(*summary == *readBack) << record;
  }
  std::optional<MatchSummary> summary;
  (void)matchRecordJson(buildReportModel(alike), MatchPlayers{}, LogFileFacts{"x.log", 1, 0}, &summary);
  ASSERT_TRUE(summary && summary->players.size() == 3);
  using Kills = std::vector<std::pair<std::string, std::int32_t>>;
  EXPECT_EQ(summary->players[0].weaponKills, (Kills{{"нож", 2}}));
  EXPECT_EQ(summary->map, "de_дуст");
}

// The record is written straight as text; what JSON requires is escaped
// (quote, backslash, every control byte) and everything else kept as it is.
TEST(JsonTextTest, EscapesWhatJsonRequiresAndKeepsTheRest) {
  std::string out;
  JsonText json(out);
  json.beginObject().key("a\"").text("x\"\\\n\x01\x1F\x7F/\xD0\xB6").key("n").beginArray();
  json.number(1).number(-2).null().number(INT64_MIN).beginObject().endObject().beginArray().endArray();
  json.endArray().endObject();
  EXPECT_EQ(out, "{\"a\\\"\":\"x\\\"\\\\\\n\\u0001\\u001f\x7F/\xD0\xB6\","
                 "\"n\":[1,-2,null,-9223372036854775808,{},[]]}");

  std::string every;
  for (int byte = 0; byte < 0x80; ++byte) every += static_cast<char>(byte);
  std::string text;
  appendJsonString(text, every);
  EXPECT_EQ(nlohmann::json::parse(text).get<std::string>(), every);
}

TEST(MatchRecordTest, AnEmptyLogHasNoModel) {
  MatchStats stats;
  try {
    (void)buildReportModel(stats);
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid integer value");
  }
}

TEST(MatchRecordTest, TimesAreIsoUtc) {
  EXPECT_EQ(isoUtcTime(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(isoUtcTime(-1), "1969-12-31T23:59:59Z");
  EXPECT_EQ(isoUtcTime(951825599), "2000-02-29T11:59:59Z");
  EXPECT_EQ(isoUtcTime(1607443200), "2020-12-08T16:00:00Z");
}

TEST(MatchRecordTest, LogFileFactsAreTheFilesSizeAndTime) {
  testing::TempFolder folder;
  const std::filesystem::path log = folder / "game.log";
  testing::writeFile(log, "12345");
  const auto when = std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{1607443200}});
  std::filesystem::last_write_time(log, when);
  const LogFileFacts facts = logFileFacts(utf8FromPath(log));
  EXPECT_EQ(facts.path, utf8FromPath(log));
  EXPECT_EQ(facts.bytes, 5u);
  EXPECT_EQ(facts.modifiedUnixSeconds, 1607443200);

  const std::string missing = utf8FromPath(folder / "missing.log");
  try {
    (void)logFileFacts(missing);
    FAIL();
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), "Cannot open file " + missing);
  }
}

// One look tells kind, size and time; a time within a second is its second,
// also before 1970, and a folder has no size of its own.
TEST(MatchRecordTest, OneLookAtAFileTellsItsKindSizeAndTime) {
  testing::TempFolder folder;
  const std::filesystem::path log = folder / "old.log";
  testing::writeFile(log, "1234567");
  using namespace std::chrono;
  std::filesystem::last_write_time(log, file_clock::from_sys(sys_time<milliseconds>{milliseconds{1607443200250}}));
  FileLook look = lookAtFile(log);
  EXPECT_TRUE(look.exists && look.regular);
  EXPECT_EQ(look.bytes, 7u);
  EXPECT_EQ(look.modifiedUnixSeconds, 1607443200);
#ifndef _WIN32
  std::filesystem::last_write_time(log, file_clock::from_sys(sys_time<milliseconds>{milliseconds{-1500}}));
  EXPECT_EQ(lookAtFile(log).modifiedUnixSeconds, -2);
#endif

  look = lookAtFile(folder.path());
  EXPECT_TRUE(look.exists);
  EXPECT_FALSE(look.regular);
  EXPECT_EQ(look.bytes, 0u);
  EXPECT_FALSE(lookAtFile(folder / "missing.log").exists);
}

}  // namespace
}  // namespace fragtally

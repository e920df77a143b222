#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>

#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/url_path.h"
#include "index/index_cache.h"
#include "index/index_html.h"
#include "index/index_page.h"
#include "index/index_records.h"
#include "record/match_summary.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

// A whole record as the program writes it, two players on de_dust2.
constexpr std::string_view kRecord = R"({
  "format": "fragtally-match",
  "version": 1,
  "generator": "fragtally 2.0.0.26",
  "log": {"path": "/srv/logs/L1208003.log", "bytes": 41230, "modified": "2026-12-08T07:14:18Z"},
  "date": "12/08/2026",
  "start": "21:14:02",
  "end": "21:52:40",
  "length_seconds": 2318,
  "map": "de_dust2",
  "rounds": {"ct": 7, "terrorist": 5},
  "kills": {"ct_killed_terrorist": 9, "ct_killed_ct": 1, "terrorist_killed_ct": 4, "terrorist_killed_terrorist": 0},
  "players": [
    {"rank": 1, "name": "Alpha", "team": "CT", "kills": 10, "deaths": 2,
     "victims": {"Bravo": 9, "Alpha": 1}, "weapons": {"ak47": 6, "knife": 4},
     "easy_prey": {"count": 9, "players": ["Bravo"]}, "worst_enemy": {"count": 2, "players": ["Bravo"]},
     "favourite_weapon": "ak47"},
    {"rank": 2, "name": "Bravo", "team": "TERRORIST", "kills": 4, "deaths": 9,
     "victims": {"Alpha": 4}, "weapons": {"awp": 4},
     "easy_prey": {"count": 4, "players": ["Alpha"]}, "worst_enemy": {"count": 9, "players": ["Alpha"]},
     "favourite_weapon": "awp"}
  ],
  "weapons": [{"name": "ak47", "kills": 6, "picture": "ak47.jpg"}, {"name": "galil", "kills": 0, "picture": null}]
}
)";

// A shorter record for the folder tests: players are "name:kills:deaths:weapon".
std::string record(std::string_view date, std::string_view start, std::string_view map,
                   std::initializer_list<std::string_view> players, int ctKilledT) {
  std::string json = R"({"format":"fragtally-match","version":1,"date":")" + std::string(date) + R"(","start":")" +
                     std::string(start) + R"(","length_seconds":600,"map":)" + std::string(map) +
                     R"(,"rounds":{"ct":3,"terrorist":1},"kills":{"ct_killed_terrorist":)" + std::to_string(ctKilledT) +
                     R"(,"ct_killed_ct":0,"terrorist_killed_ct":0,"terrorist_killed_terrorist":0},"players":[)";
  int rank = 0;
  for (const std::string_view player : players) {
    const auto first = player.find(':');
    const auto second = player.find(':', first + 1);
    const auto third = player.find(':', second + 1);
    const std::string kills(player.substr(first + 1, second - first - 1));
    if (rank++ > 0) json += ',';
    json += R"({"rank":)" + std::to_string(rank) + R"(,"name":")" +
            std::string(player.substr(0, first)) + R"(","team":"CT","kills":)" + kills + R"(,"deaths":)" +
            std::string(player.substr(second + 1, third - second - 1)) + R"(,"weapons":{")" +
            std::string(player.substr(third + 1)) + R"(":)" + kills + "}}";
  }
  return json + "]}";
}

TEST(MatchSummaryTest, ReadsWhatTheIndexShowsOfARecord) {
  const auto match = readMatchSummary(kRecord);
  ASSERT_TRUE(match);
  EXPECT_EQ(match->date, "12/08/2026");
  EXPECT_EQ(match->start, "21:14:02");
  EXPECT_EQ(match->lengthSeconds, 2318);
  EXPECT_EQ(match->map, "de_dust2");
  EXPECT_EQ(match->ctRounds, 7);
  EXPECT_EQ(match->terroristRounds, 5);
  EXPECT_EQ(match->kills, 14);
  ASSERT_EQ(match->players.size(), 2u);
  EXPECT_EQ(match->players[0].name, "Alpha");
  EXPECT_EQ(match->players[0].kills, 10);
  EXPECT_EQ(match->players[0].deaths, 2);
  const std::vector<std::pair<std::string, std::int32_t>> alphaWeapons = {{"ak47", 6}, {"knife", 4}};
  EXPECT_EQ(match->players[0].weaponKills, alphaWeapons);
  EXPECT_EQ(match->players[1].name, "Bravo");
  // The weapons table's weapons that have a picture: the files the report shows.
  EXPECT_EQ(match->pictures, std::vector<std::string>{"ak47"});

  const auto unknownMap = readMatchSummary(record("01/02/2026", "10:00:00", "null", {"A:1:0:knife"}, 1));
  ASSERT_TRUE(unknownMap);
  EXPECT_FALSE(unknownMap->map);

  // A round end that wrote "-3" gives the report a negative score: still a match.
  std::string strange(kRecord);
  const std::string_view score = "\"ct\": 7";
  strange.replace(strange.find(score), score.size(), "\"ct\": -3");
  const auto negative = readMatchSummary(strange);
  ASSERT_TRUE(negative);
  EXPECT_EQ(negative->ctRounds, -3);
}

TEST(MatchSummaryTest, RefusesWhatIsNotARecordOfOurs) {
  const std::string good(kRecord);
  const auto changed = [&](std::string_view from, std::string_view to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  EXPECT_FALSE(readMatchSummary(changed("fragtally-match", "other-match")));
  EXPECT_FALSE(readMatchSummary(changed("\"version\": 1", "\"version\": 2")));
  EXPECT_FALSE(readMatchSummary(changed("\"start\": \"21:14:02\",", "")));
  EXPECT_FALSE(readMatchSummary(changed("\"length_seconds\": 2318", "\"length_seconds\": \"2318\"")));
  EXPECT_FALSE(readMatchSummary(changed("\"deaths\": 9", "\"deaths\": 9.5")));
  EXPECT_FALSE(readMatchSummary(changed("\"deaths\": 9", "\"deaths\": 4294967296")));
  EXPECT_FALSE(readMatchSummary(changed("\"name\": \"Bravo\", ", "")));
  EXPECT_FALSE(readMatchSummary(good.substr(0, good.find("\"weapons\": {\"awp\""))));  // cut off
  // Broken behind the players, in the weapons table the index does not show:
  // no whole record either.
  EXPECT_FALSE(readMatchSummary(good.substr(0, good.find("{\"name\": \"galil\""))));
  EXPECT_FALSE(readMatchSummary(good.substr(0, good.size() - 3)));
  EXPECT_FALSE(readMatchSummary(changed("\"kills\": 0, \"picture\"", "\"kills\": NaN, \"picture\"")));
  EXPECT_FALSE(readMatchSummary(good + "{}"));
  EXPECT_FALSE(readMatchSummary("[1, 2, 3]"));
  EXPECT_FALSE(readMatchSummary(""));
  std::string crowd = R"({"format":"fragtally-match","players":[)";
  for (int i = 0; i < 65; ++i) crowd += std::string(i ? "," : "") + R"({"name":"p","kills":0,"deaths":0})";
  EXPECT_FALSE(readMatchSummary(crowd + "]}"));
}

TEST(IndexTest, MatchesNewestFirstByYearThenDayThenStart) {
  EXPECT_LT(matchTimeKey("12/31/2025", "23:59:59"), matchTimeKey("01/02/2026", "00:00:00"));
  EXPECT_LT(matchTimeKey("01/02/2026", "09:00:00"), matchTimeKey("01/02/2026", "10:00:00"));
  EXPECT_EQ(matchTimeKey("1/2/2026", "10:00:00"), 0u);
  EXPECT_EQ(matchTimeKey("01/02/2026", "10:0x:00"), 0u);

  TempFolder folder;
  writeFile(folder / "L1231001.json", record("12/31/2025", "20:00:00", R"("de_nuke")", {"Alpha:3:1:ak47"}, 3));
  writeFile(folder / "L0102001.json", record("01/02/2026", "09:00:00", R"("de_dust2")", {"Alpha:1:0:ak47"}, 1));
  writeFile(folder / "L0102002.json", record("01/02/2026", "10:00:00", R"("de_aztec")", {"Alpha:2:0:ak47"}, 2));
  writeFile(folder / "L0102003.json", record("01/02/2026", "11:00:00", R"("de_train")", {}, 0));
  writeFile(folder / "L0102004.json", record("01/02/2026", "12:00:00", R"("de_train")", {}, 0));
  rebuildIndex(folder.path());
  const std::string page = readFile(folder / "index.htm");

  const auto newest = page.find("href=\"L0102002.htm\"");
  const auto middle = page.find("href=\"L0102001.htm\"");
  const auto oldest = page.find("href=\"L1231001.htm\"");
  ASSERT_NE(oldest, std::string::npos);
  EXPECT_LT(newest, middle);
  EXPECT_LT(middle, oldest);
  EXPECT_EQ(page.find("L0102003.htm"), std::string::npos) << "a log without kills is not listed";
  EXPECT_NE(page.find("Логов без убийств (не показаны): 2</p>"), std::string::npos);
  EXPECT_NE(page.find("<b><time datetime=\"2025-12-31T20:00:00\">31.12.2025</time></b><span>Первый матч</span>"), std::string::npos);
  EXPECT_NE(page.find("<b><time datetime=\"2026-01-02T10:00:00\">02.01.2026</time></b><span>Последний матч</span>"), std::string::npos);
  EXPECT_NE(page.find("<b>6</b><span>Убийств</span>"), std::string::npos);
}

TEST(IndexTest, PlayersAddUpOverTheirMatchesByName) {
  TempFolder folder;
  writeFile(folder / "a.json", record("03/01/2026", "20:00:00", R"("de_nuke")", {"Alpha:5:2:awp", "Bravo:2:5:knife"}, 7));
  writeFile(folder / "b.json", record("03/02/2026", "20:00:00", R"("de_inferno")", {"Bravo:4:1:ak47", "Alpha:3:4:ak47"}, 7));
  writeFile(folder / "c.json", record("03/03/2026", "20:00:00", R"("de_dust")", {"Alpha:5:0:ak47", "alpha:1:1:usp"}, 6));
  const IndexContent index = readIndexContent(folder.path());

  ASSERT_EQ(index.players.size(), 3u);
  const IndexPlayer& alpha = index.players[0];
  EXPECT_EQ(alpha.name, "Alpha");
  EXPECT_EQ(alpha.matches, 3u);
  EXPECT_EQ(alpha.kills, 13);
  EXPECT_EQ(alpha.deaths, 6);
  EXPECT_EQ(alpha.favouriteWeapon, "ak47") << "8 kills over two matches beat 5 in one";
  EXPECT_EQ(index.matches[alpha.bestMatch].report, "a.htm") << "of two equal bests, the first reached";
  EXPECT_EQ(alpha.bestMatchKills, 5);
  EXPECT_EQ(index.players[1].name, "Bravo");
  EXPECT_EQ(index.players[1].kills, 6);
  EXPECT_EQ(index.players[1].favouriteWeapon, "ak47");
  EXPECT_EQ(index.matches[index.players[1].bestMatch].report, "b.htm");
  EXPECT_EQ(index.players[2].name, "alpha") << "names differing in letter case are two players";

  // A site ranks people instead: the same matches, no players by name.
  const IndexContent site = readIndexContent(folder.path(), 0, nullptr, nullptr, {}, false);
  EXPECT_TRUE(site.players.empty());
  ASSERT_EQ(site.matches.size(), 3u);
  EXPECT_EQ(site.matches[0].report, "c.htm");
  EXPECT_EQ(site.matches[0].bestPlayer, "Alpha");
  EXPECT_EQ(site.kills, 20);

  const std::string page = buildIndexPage(index);
  EXPECT_NE(page.find("<td class=\"n\" data-v=\"216\">2,17</td>"), std::string::npos) << "13 kills over 6 deaths";
  EXPECT_NE(page.find("<a href=\"a.htm\"><time datetime=\"2026-03-01T20:00:00\">01.03.2026</time>, <bdi>de_nuke</bdi></a>"),
            std::string::npos);
}

TEST(IndexTest, TheSamePageForAnyOrderOfRecordsAndAnyNumberOfThreads) {
  // More records than one batch of reading, with players and dates that meet
  // again and again: ties of kills, of best matches and of favourite weapons.
  TempFolder folder;
  const std::string_view weapons[] = {"ak47", "awp", "knife"};
  std::vector<std::pair<std::string, std::string>> records;  // report, record
  for (int n = 0; n < 600; ++n) {
    const std::string date = "0" + std::to_string(1 + n % 9) + "/1" + std::to_string(n % 7) + "/2026";
    const std::string one = "P" + std::to_string(n % 11) + ":" + std::to_string(n % 5) + ":1:" + std::string(weapons[n % 3]);
    const std::string two = "P" + std::to_string(n % 7) + ":2:" + std::to_string(n % 3) + ":" + std::string(weapons[n % 2]);
    const std::string name = "r" + std::to_string(n);
    records.emplace_back(name + ".htm", record(date, "20:00:00", R"("de_nuke")", {one, two}, n % 4));
    writeFile(folder / (name + ".json"), records.back().second);
  }
  const std::string alone = buildIndexPage(readIndexContent(folder.path(), 1));
  EXPECT_EQ(testing::firstDifference(alone, buildIndexPage(readIndexContent(folder.path(), 2))), "");
  EXPECT_EQ(testing::firstDifference(alone, buildIndexPage(readIndexContent(folder.path(), 5))), "");

  IndexTally backwards;
  for (auto at = records.rbegin(); at != records.rend(); ++at) backwards.add(*readMatchSummary(at->second), at->first);
  EXPECT_EQ(testing::firstDifference(alone, buildIndexPage(backwards.take())), "");
}

TEST(IndexTest, LogTextsCannotAddMarkupAndLinksStayFileNames) {
  TempFolder folder;
  writeFile(folder / "we'ird #1 %.json",
            record("03/01/2026", "20:00:00", R"("<b>map</b>")", {R"(<script>alert(\"x\")</script>&':1:0:<img src=x>)"}, 1));
  rebuildIndex(folder.path());
  const std::string page = readFile(folder / "index.htm");
  EXPECT_EQ(page.find("<script>alert"), std::string::npos);
  EXPECT_EQ(page.find("<b>map"), std::string::npos);
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;&#39;"), std::string::npos);
  EXPECT_NE(page.find("&lt;b&gt;map&lt;/b&gt;"), std::string::npos);
  EXPECT_NE(page.find("href=\"we%27ird%20%231%20%25.htm\""), std::string::npos);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<html lang=\"ru\">"), std::string::npos);
}

TEST(IndexTest, OtherFilesAndBrokenRecordsArePassedOver) {
  TempFolder folder;
  writeFile(folder / "good.json", record("03/01/2026", "20:00:00", R"("de_nuke")", {"Alpha:1:0:knife"}, 1));
  const std::string broken = record("03/02/2026", "20:00:00", R"("de_dust")", {"Bravo:1:0:knife"}, 1);
  writeFile(folder / "broken.json", broken.substr(0, broken.size() / 2));
  writeFile(folder / "settings.json", R"({"theme": "dark"})");
  writeFile(folder / "notes.txt", record("03/03/2026", "20:00:00", R"("de_train")", {"Carl:1:0:knife"}, 1));
  std::filesystem::create_directory(folder / "folder.json");
  writeFile(folder / "binary.json", std::string("\0\xff\x01{", 4));
  const IndexContent index = readIndexContent(folder.path());
  ASSERT_EQ(index.matches.size(), 1u);
  EXPECT_EQ(index.matches[0].report, "good.htm");
  EXPECT_EQ(index.logsWithoutKills, 0u);

  const IndexContent none = readIndexContent(folder / "missing");
  EXPECT_TRUE(none.matches.empty());
}

TEST(IndexTest, AnIndexThatCannotBeStoredIsAnError) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "index.htm");
  try {
    rebuildIndex(folder.path());
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + utf8FromPath(folder / "index.htm"));
  }
  EXPECT_THROW(rebuildIndex(folder / "missing"), Error);
}

TEST(IndexTest, ARecordLeftAsItWasIsTakenFromTheCache) {
  TempFolder folder;
  const auto nuke = record("03/01/2026", "20:00:00", R"("de_nuke")", {"Alpha:1:0:knife"}, 1);
  writeFile(folder / "a.json", nuke);
  writeFile(folder / "b.json", "not a record");
  rebuildIndex(folder.path());
  const std::string first = readFile(folder / "index.htm");
  ASSERT_NE(first.find("de_nuke"), std::string::npos);

  // Same size and time, other bytes: only the cache can still show de_nuke.
  const auto time = std::filesystem::last_write_time(folder / "a.json");
  writeFile(folder / "a.json", record("03/01/2026", "20:00:00", R"("de_dust")", {"Alpha:1:0:knife"}, 1));
  ASSERT_EQ(std::filesystem::file_size(folder / "a.json"), nuke.size());
  std::filesystem::last_write_time(folder / "a.json", time);
  rebuildIndex(folder.path());
  EXPECT_EQ(testing::firstDifference(first, readFile(folder / "index.htm")), "");

  // A new time is a changed record.
  std::filesystem::last_write_time(folder / "a.json", time + std::chrono::seconds(5));
  rebuildIndex(folder.path());
  const std::string changed = readFile(folder / "index.htm");
  EXPECT_NE(changed.find("de_dust"), std::string::npos);

  // A damaged cache is no cache: the records are read again.
  const std::string cache = readFile(folder / "index.cache");
  ASSERT_GT(cache.size(), 40u);
  for (const std::string& damaged : {cache.substr(0, cache.size() - 3), cache.substr(0, 34) + std::string(500, '\xff'),
                                     std::string("fragtally index cache 0.0\n") + cache}) {
    writeFile(folder / "index.cache", damaged);
    std::filesystem::last_write_time(folder / "a.json", time);
    rebuildIndex(folder.path());
    EXPECT_EQ(testing::firstDifference(changed, readFile(folder / "index.htm")), "");
  }

  // Nothing changed: the cache is left as it is.
  const auto cacheTime = std::filesystem::last_write_time(folder / "index.cache") - std::chrono::hours(1);
  std::filesystem::last_write_time(folder / "index.cache", cacheTime);
  rebuildIndex(folder.path());
  EXPECT_EQ(std::filesystem::last_write_time(folder / "index.cache"), cacheTime);

  // Records taken away and added: the cache follows them.
  std::filesystem::remove(folder / "b.json");
  writeFile(folder / "c.json", record("03/02/2026", "20:00:00", R"("de_train")", {"Bravo:2:0:awp"}, 2));
  rebuildIndex(folder.path());
  const std::string withCache = readFile(folder / "index.htm");
  EXPECT_NE(withCache.find("de_train"), std::string::npos);
  std::filesystem::remove(folder / "index.cache");
  rebuildIndex(folder.path());
  EXPECT_EQ(testing::firstDifference(readFile(folder / "index.htm"), withCache), "");
}

// Any one byte of the cache changed, a figure, a stamp, a length or the
// checksum itself: the cache is not used, the page is the one the records
// give, and the cache is written anew.
TEST(IndexTest, ACacheWithAnyByteChangedIsNotUsed) {
  TempFolder folder;
  writeFile(folder / "a.json", record("03/01/2026", "20:00:00", R"("de_nuke")", {"Alpha:7:1:knife", "Bravo:1:7:awp"}, 8));
  writeFile(folder / "b.json", "not a record");
  rebuildIndex(folder.path());
  const std::string page = readFile(folder / "index.htm");
  const std::string cache = readFile(folder / "index.cache");
  ASSERT_GT(cache.size(), 80u);
  for (std::size_t at = 0; at < cache.size(); ++at) {
    std::string damaged = cache;
    damaged[at] = static_cast<char>(static_cast<unsigned char>(damaged[at]) ^ (1u << (at % 8)));
    writeFile(folder / "index.cache", damaged);
    rebuildIndex(folder.path());
    ASSERT_EQ(testing::firstDifference(page, readFile(folder / "index.htm")), "") << "byte " << at;
    ASSERT_EQ(readFile(folder / "index.cache"), cache) << "byte " << at;
  }
}

// A folder of `count` records with enough players that its cache spans many
// of the pieces a cache is read in; the records are "r0000.json" on.
void writeManyRecords(const TempFolder& folder, int count) {
  for (int i = 0; i < count; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "r%04d.json", i);
    const std::string n = std::to_string(i);
    writeFile(folder / name, record("03/01/2026", "20:" + std::string(i % 60 < 10 ? "0" : "") + std::to_string(i % 60) + ":00",
                                    R"("de_map)" + n + R"(")",
                                    {"Alpha" + n + ":3:1:ak47", "Bravo" + n + ":1:3:awp", "Charlie:2:2:knife",
                                     "Delta" + n + ":0:4:deagle"},
                                    i));
  }
}

// A cache of many entries, read a piece at a time: every record is found in
// it as the record itself reads, from any number of threads, and an entry is
// known without reading its summary.
TEST(IndexCacheTest, ACacheReadInPiecesFindsEveryEntry) {
  TempFolder folder;
  constexpr int kRecords = 1200;
  writeManyRecords(folder, kRecords);
  writeFile(folder / "not.json", "not a record");
  rebuildIndex(folder.path());
  ASSERT_GT(std::filesystem::file_size(folder / "index.cache"), 3u * 64 * 1024);
  const IndexCache cache = IndexCache::load(folder / "index.cache");
  ASSERT_EQ(cache.size(), kRecords + 1u);
  EXPECT_NE(cache.checksum(), 0u);
  EXPECT_EQ(cache.checkedBytes() + 8, std::filesystem::file_size(folder / "index.cache"));
  MatchSummary found;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".json") continue;
    const RecordStamp stamp = *recordStampOf(entry.path());
    const std::optional<MatchSummary> read = readMatchSummary(readFile(entry.path()));
    const IndexCache::Found kind = read ? IndexCache::Found::match : IndexCache::Found::noMatch;
    ASSERT_EQ(cache.knows(name, stamp), kind) << name;
    ASSERT_EQ(cache.find(name, stamp, found), kind) << name;
    if (read) {
      ASSERT_EQ(found, *read) << name;
    }
    RecordStamp other = stamp;
    ++other.modified;
    EXPECT_EQ(cache.knows(name, other), IndexCache::Found::nothing);
    EXPECT_EQ(cache.find(name, other, found), IndexCache::Found::nothing);
  }
  EXPECT_EQ(cache.knows("missing.json", RecordStamp{}), IndexCache::Found::nothing);

  const std::string page = readFile(folder / "index.htm");
  const std::string onFour = buildIndexPage(readIndexContent(folder.path(), 4));
  EXPECT_EQ(testing::firstDifference(page, onFour), "");
  std::filesystem::remove(folder / "index.cache");
  rebuildIndex(folder.path());
  EXPECT_EQ(testing::firstDifference(page, readFile(folder / "index.htm")), "");
}

// The checksum is taken over every piece: a byte changed in a piece other
// than the first, or the last byte of all, and the cache is no cache.
TEST(IndexCacheTest, ACacheWithALaterPieceChangedIsNoCache) {
  TempFolder folder;
  writeManyRecords(folder, 400);
  rebuildIndex(folder.path());
  const std::string cache = readFile(folder / "index.cache");
  ASSERT_GT(cache.size(), 64u * 1024 + 100);
  for (const std::size_t at : {cache.size() / 2, std::size_t{64 * 1024}, cache.size() - 9, cache.size() - 1}) {
    std::string damaged = cache;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
    writeFile(folder / "index.cache", damaged);
    const IndexCache loaded = IndexCache::load(folder / "index.cache");
    EXPECT_EQ(loaded.checksum(), 0u) << at;
    EXPECT_EQ(loaded.size(), 0u) << at;
  }
  writeFile(folder / "index.cache", cache.substr(0, cache.size() - 1));
  EXPECT_EQ(IndexCache::load(folder / "index.cache").size(), 0u);
  writeFile(folder / "index.cache", cache + "x");
  EXPECT_EQ(IndexCache::load(folder / "index.cache").size(), 0u);
}

// A new cache keeps the old one's bytes up to the first record that differs,
// copied over from the old file; records taken away from the end leave the
// old cache's start, sealed anew.
TEST(IndexCacheTest, ANewCacheKeepsTheOldOnesBytesUpToTheFirstDifference) {
  TempFolder folder;
  writeManyRecords(folder, 400);
  rebuildIndex(folder.path());
  const std::string old = readFile(folder / "index.cache");
  const std::string_view oldEntries = std::string_view(old).substr(0, old.size() - 8);

  writeFile(folder / "z.json", record("03/02/2026", "21:00:00", R"("de_last")", {"Zulu:1:0:knife"}, 1));
  rebuildIndex(folder.path());
  const std::string added = readFile(folder / "index.cache");
  EXPECT_EQ(added.substr(0, oldEntries.size()), oldEntries);
  EXPECT_EQ(IndexCache::load(folder / "index.cache").size(), 401u);
  EXPECT_NE(readFile(folder / "index.htm").find("de_last"), std::string::npos);

  std::filesystem::remove(folder / "z.json");
  std::filesystem::remove(folder / "r0399.json");
  rebuildIndex(folder.path());
  const std::string fewer = readFile(folder / "index.cache");
  ASSERT_LT(fewer.size(), old.size());
  EXPECT_EQ(fewer.substr(0, fewer.size() - 8), oldEntries.substr(0, fewer.size() - 8));
  const IndexCache loaded = IndexCache::load(folder / "index.cache");
  EXPECT_EQ(loaded.size(), 399u);
  EXPECT_EQ(loaded.knows("r0399.json", RecordStamp{}), IndexCache::Found::nothing);
  const std::string page = readFile(folder / "index.htm");
  std::filesystem::remove(folder / "index.cache");
  rebuildIndex(folder.path());
  EXPECT_EQ(testing::firstDifference(page, readFile(folder / "index.htm")), "");
  EXPECT_EQ(readFile(folder / "index.cache"), fewer);
}

// The cache keeps a match's weapon names once and points to them by place;
// what goes in comes back whole, and damaged bytes come back as nothing.
TEST(IndexCacheTest, SummariesComeBackWholeAndDamageIsRefused) {
  const std::optional<MatchSummary> match = readMatchSummary(kRecord);
  ASSERT_TRUE(match);
  MatchSummary shared = *match;
  shared.map.reset();
  shared.players[1].weaponKills = {{"knife", 2}, {"awp", -3}};  // a name another player uses too
  shared.players[0].kills = INT32_MIN;  // figures of any size and sign
  shared.players[0].deaths = INT32_MAX;
  shared.lengthSeconds = -1;
  shared.pictures.clear();  // its count, one byte, before the people
  for (const MatchSummary& summary : {*match, shared}) {
    const std::string encoded = IndexCache::encode(summary);
    const auto decoded = IndexCache::decode(encoded);
    ASSERT_TRUE(decoded && *decoded);
    EXPECT_TRUE(**decoded == summary);
    for (std::size_t cut = 0; cut < encoded.size(); ++cut) EXPECT_FALSE(IndexCache::decode(encoded.substr(0, cut)));
    EXPECT_FALSE(IndexCache::decode(encoded + "x"));
  }
  const auto none = IndexCache::decode(IndexCache::encode(std::nullopt));
  ASSERT_TRUE(none);
  EXPECT_FALSE(*none);

  // A record's head goes in front of its summary and comes back with it.
  RecordHead head;
  head.version = 3;
  head.generator = "fragtally 9.9.9";
  head.logPath = "/srv/cstrike/logs/L1208001.log";
  head.logBytes = 5'000'000'000;
  head.logModified = "2026-12-08T21:14:02Z";
  head.logModifiedNanoseconds = 999'999'999;
  const std::string withHead = IndexCache::encode(*match, &head);
  MatchSummary into;
  std::optional<RecordHead> back;
  ASSERT_EQ(IndexCache::decode(withHead, into, &back), IndexCache::Found::match);
  EXPECT_TRUE(into == *match);
  EXPECT_EQ(back, head);
  for (std::size_t cut = 0; cut < withHead.size(); ++cut) EXPECT_FALSE(IndexCache::decode(withHead.substr(0, cut)));
  ASSERT_EQ(IndexCache::decode(IndexCache::encode(*match), into, &back), IndexCache::Found::match);
  EXPECT_FALSE(back);
  // The last player's last weapon (-3 kills, one byte) at a place beyond the
  // match's three names, then at the last of them; behind it the pictures'
  // count and the people of a first-version record, none (seven bytes).
  std::string pointsPast = IndexCache::encode(shared);
  const std::size_t place = pointsPast.size() - 3 - 7;
  ASSERT_EQ(pointsPast[place], '\x02');
  pointsPast[place] = '\x03';
  EXPECT_FALSE(IndexCache::decode(pointsPast));
  pointsPast[place] = '\x01';
  const auto renamed = IndexCache::decode(pointsPast);
  ASSERT_TRUE(renamed && *renamed);
  EXPECT_EQ((*renamed)->players[1].weaponKills[1].first, "knife");
}

// A batch hands the index the records it has just written; one of the size it
// wrote is not read back, one that has changed size since is.
TEST(IndexTest, RecordsJustWrittenAreTakenFromTheBatch) {
  TempFolder folder;
  const auto nuke = record("03/01/2026", "20:00:00", R"("de_nuke")", {"Alpha:1:0:knife"}, 1);
  writeFile(folder / "a.json", nuke);
  writeFile(folder / "b.json", nuke);
  std::optional<MatchSummary> known = readMatchSummary(nuke);
  ASSERT_TRUE(known);
  known->map = "de_known";
  KnownRecords batch(folder.path());
  ASSERT_TRUE(batch.add("a.json", nuke.size(), IndexCache::encode(known)));
  ASSERT_TRUE(batch.add("b.json", nuke.size() + 1, IndexCache::encode(known)));
  const IndexContent index = readIndexContent(folder.path(), 1, nullptr, &batch);
  ASSERT_EQ(index.matches.size(), 2u);
  const bool aFirst = index.matches[0].report == "a.htm";
  EXPECT_EQ(index.matches[aFirst ? 0 : 1].map, "de_known");
  EXPECT_EQ(index.matches[aFirst ? 1 : 0].map, "de_nuke");

  // The cache then holds what the batch gave, under the record's stamp.
  rebuildIndex(folder.path(), &batch);
  EXPECT_NE(readFile(folder / "index.htm").find("de_known"), std::string::npos);
  rebuildIndex(folder.path());
  EXPECT_NE(readFile(folder / "index.htm").find("de_known"), std::string::npos);
}

// The index cache a run checks its records by before the batch is the one the
// index at its end reads them from: loaded and checked once.
TEST(IndexTest, TheCacheCheckedBeforeTheBatchServesTheIndexAtItsEnd) {
  TempFolder folder;
  const auto nuke = record("03/01/2026", "20:00:00", R"("de_nuke")", {"Alpha:1:0:knife"}, 1);
  writeFile(folder / "a.json", nuke);
  rebuildIndex(folder.path());
  KnownRecords known(folder.path());
  EXPECT_TRUE(checkRecords(folder.path(), {"a.json"}, known).broken.empty());
  ASSERT_NE(known.indexCache(), nullptr);

  // Same size and time, other bytes: only a cache can still show de_nuke.
  const auto time = std::filesystem::last_write_time(folder / "a.json");
  writeFile(folder / "a.json", record("03/01/2026", "20:00:00", R"("de_dust")", {"Alpha:1:0:knife"}, 1));
  std::filesystem::last_write_time(folder / "a.json", time);
  EXPECT_EQ(readIndexContent(folder.path(), 1, nullptr, &known).matches.at(0).map, "de_nuke");
  EXPECT_EQ(cachedRecordsChecksum(folder.path(), known.indexCache()), known.indexCache()->checksum());
#ifndef _WIN32
  // The file replaced now by one that is no cache: the cache read is still
  // the one checked before. (Windows keeps a file open from being replaced;
  // a run lets the kept cache go before it stores the next.)
  ASSERT_TRUE(replaceFileContents(folder / "index.cache", "no cache"));
  EXPECT_EQ(readIndexContent(folder.path(), 1, nullptr, &known).matches.at(0).map, "de_nuke");
  EXPECT_EQ(readIndexContent(folder.path(), 1).matches.at(0).map, "de_dust");
  EXPECT_EQ(cachedRecordsChecksum(folder.path()), std::nullopt);
#endif
}

// What a run knows of its records waits on disk in the output folder, and
// goes with it.
TEST(KnownRecordsTest, SummariesComeBackByNameAndSizeAndTheScratchFileGoes) {
  TempFolder folder;
  {
    KnownRecords known(folder.path());
    EXPECT_TRUE(known.add("a.json", 10, "summary of a"));
    EXPECT_TRUE(known.add("b.json", 20, "summary of b"));
    EXPECT_TRUE(known.add("a.json", 11, "a again"));
    EXPECT_EQ(known.size(), 2u);
    std::string into = "reused";
    EXPECT_FALSE(known.find("a.json", 10, into)) << "told anew since";
    ASSERT_TRUE(known.find("a.json", 11, into));
    EXPECT_EQ(into, "a again");
    ASSERT_TRUE(known.find("b.json", 20, into));
    EXPECT_EQ(into, "summary of b");
    EXPECT_FALSE(known.find("c.json", 20, into));
    known.forget("b.json");
    EXPECT_FALSE(known.find("b.json", 20, into));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

    KnownRecords moved = std::move(known);
    ASSERT_TRUE(moved.find("a.json", 11, into));
    KnownRecords().swap(moved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 0);
    EXPECT_FALSE(moved.find("a.json", 11, into));
  }
  KnownRecords none;
  EXPECT_FALSE(none.add("a.json", 1, "x"));
  KnownRecords nowhere(folder / "missing");
  EXPECT_FALSE(nowhere.add("a.json", 1, "x"));
  EXPECT_EQ(nowhere.size(), 0u);
}

TEST(IndexTest, FiguresAsTheIndexWritesThem) {
  const auto written = [](auto append) {
    std::string text;
    append(text);
    return text;
  };
  EXPECT_EQ(written([](std::string& s) { appendGameLength(s, 3903); }), "1:05:03");
  EXPECT_EQ(written([](std::string& s) { appendGameLength(s, 45); }), "0:00:45");
  EXPECT_EQ(written([](std::string& s) { appendGameLength(s, -3605); }), "-1:00:05");
  const SiteTexts& russian = siteTexts(SiteLanguage::Russian);
  const SiteTexts& english = siteTexts(SiteLanguage::English);
  EXPECT_EQ(written([&](std::string& s) { appendKillsPerDeath(s, 2, 3, russian); }), "0,67");
  EXPECT_EQ(written([&](std::string& s) { appendKillsPerDeath(s, 2, 3, english); }), "0.67");
  EXPECT_EQ(written([&](std::string& s) { appendKillsPerDeath(s, 7, 0, english); }), "-");
  EXPECT_EQ(written([](std::string& s) { appendGroupedCount(s, 1234567); }), "1\u00A0234\u00A0567");
  EXPECT_EQ(written([](std::string& s) { appendGroupedCount(s, 999); }), "999");
  EXPECT_EQ(written([](std::string& s) { appendGroupedCount(s, -1234); }), "-1\u00A0234");
  EXPECT_EQ(written([](std::string& s) { appendUrlPath(s, "L1208003-2.htm"); }), "L1208003-2.htm");
  EXPECT_EQ(written([](std::string& s) { appendUrlPath(s, "матч?.htm"); }), "%D0%BC%D0%B0%D1%82%D1%87%3F.htm");
}

}  // namespace
}  // namespace fragtally

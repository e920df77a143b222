#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/output_names.h"
#include "site/player_file_name.h"
#include "site/site_cache.h"
#include "tests/cli_run.h"
#include "tests/log_folders.h"
#include "tests/test_files.h"

// The site of a folder run is built again only where its records, its
// settings or its pages changed since the last build: each change below must
// bring the pages the records give, and a run with nothing changed must leave
// every file as it was.

namespace fragtally {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;

std::string path(const fs::path& p) { return utf8FromPath(p); }

// A match of `day` (December 2026) in which Ann kills Bea `kills` times.
std::string matchLog(int day, int kills) {
  const std::string date = "12/" + std::string(day < 10 ? "0" : "") + std::to_string(day) + "/2026";
  std::string log = "L " + date + " - 20:00:00: Loading map \"de_dust2\"\n";
  for (int i = 0; i < kills; ++i) {
    log += "L " + date + " - 20:0" + std::to_string(i + 1) +
           ":00: \"Ann<2><STEAM_0:1:1><CT>\" killed \"Bea<3><STEAM_0:1:2><TERRORIST>\" with \"ak47\"\n";
  }
  return log;
}

struct SiteFolder {
  TempFolder top;
  fs::path logs = top / "logs";
  fs::path out = top / "out";

  testing::CliRun run(std::vector<std::string> more = {}) const {
    std::vector<std::string> args{path(logs), "-d", path(out)};
    args.insert(args.end(), more.begin(), more.end());
    return testing::cli(args);
  }
  fs::path annPage() const { return out / kPlayersFolderName / playerFileName("steam:1:1"); }
};

fs::file_time_type timeOf(const fs::path& file) { return fs::last_write_time(file); }

// A match of `date` ("12/01/2026") with these kills, each "Killer@ID>Victim@ID"
// with the IDs' last number: CT kills the terrorist with an ak47.
std::string killsLog(const std::string& date, const std::vector<std::string>& kills) {
  std::string log = "L " + date + " - 20:00:00: Loading map \"de_dust2\"\n";
  int minute = 0;
  for (const std::string& kill : kills) {
    const std::size_t at = kill.find('@');
    const std::size_t arrow = kill.find('>');
    const std::size_t second = kill.find('@', arrow);
    log += "L " + date + " - 20:" + (minute < 10 ? "0" : "") + std::to_string(minute) + ":00: \"" +
           kill.substr(0, at) + "<2><STEAM_0:1:" + kill.substr(at + 1, arrow - at - 1) + "><CT>\" killed \"" +
           kill.substr(arrow + 1, second - arrow - 1) + "<3><STEAM_0:1:" + kill.substr(second + 1) +
           "><TERRORIST>\" with \"ak47\"\n";
    ++minute;
  }
  return log;
}

/// Every page of a site (.htm, under any folder) by its path within it.
std::map<std::string, std::string> pagesOf(const fs::path& folder) {
  std::map<std::string, std::string> pages;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".htm") {
      pages[path(fs::relative(entry.path(), folder))] = readFile(entry.path());
    }
  }
  return pages;
}

TEST(SiteRebuildTest, NothingChangedLeavesEveryPageAndEachChangeBringsItsPages) {
  SiteFolder site;
  testing::writeFileMakingFolders(site.logs / "a.log", matchLog(1, 2));
  testing::writeFileMakingFolders(site.logs / "b.log", matchLog(2, 3));
  ASSERT_EQ(site.run().status, 0);
  const std::string index = readFile(site.out / kIndexPageName);
  const std::string ann = readFile(site.annPage());
  ASSERT_TRUE(fs::exists(site.out / kSiteCacheName));

  // Nothing changed: no page touched.
  const fs::file_time_type indexTime = timeOf(site.out / kIndexPageName);
  const fs::file_time_type annTime = timeOf(site.annPage());
  ASSERT_EQ(site.run().status, 0);
  EXPECT_EQ(timeOf(site.out / kIndexPageName), indexTime);
  EXPECT_EQ(timeOf(site.annPage()), annTime);

  // A page deleted, or damaged, since the last run is built again.
  fs::remove(site.annPage());
  testing::writeFile(site.out / kIndexPageName, "damaged");
  ASSERT_EQ(site.run().status, 0);
  EXPECT_EQ(readFile(site.annPage()), ann);
  EXPECT_EQ(readFile(site.out / kIndexPageName), index);

  // Another setting: a minimum of matches that nobody reaches lists both apart.
  ASSERT_EQ(site.run({"--min-matches", "5"}).status, 0);
  EXPECT_NE(readFile(site.out / kIndexPageName), index);
  ASSERT_EQ(site.run().status, 0);
  EXPECT_EQ(readFile(site.out / kIndexPageName), index) << "and back";

  // players.txt hides Ann: her page goes.
  testing::writeFile(site.out / "players.txt", "hide steam:1:1\n");
  ASSERT_EQ(site.run().status, 0);
  EXPECT_FALSE(fs::exists(site.annPage()));
  fs::remove(site.out / "players.txt");
  ASSERT_EQ(site.run().status, 0);
  EXPECT_EQ(readFile(site.annPage()), ann);

  // A record removed by hand: its match leaves the index and Ann's page.
  fs::remove(site.logs / "b.log");
  fs::remove(site.out / "b.json");
  ASSERT_EQ(site.run().status, 0);
  EXPECT_EQ(readFile(site.out / kIndexPageName).find("b.htm"), std::string::npos);
  EXPECT_EQ(readFile(site.annPage()).find("b.htm"), std::string::npos);
  EXPECT_NE(readFile(site.annPage()), ann);
}

// A run that adds a match builds again only the pages whose inputs changed:
// the site must still be, page for page, the one a first run over the same
// logs builds, also where the new match changes the pages of people who are
// not in it.
TEST(SiteRebuildTest, AMatchAddedGivesTheSiteOfAFirstRun) {
  SiteFolder site;
  const auto addLog = [&](const std::string& name, const std::string& log) {
    testing::writeFileMakingFolders(site.logs / name, log);
  };
  // The pages as they are, against those of a first run into the same
  // folder (the reports name their logs' paths), which the next step goes on from.
  const auto expectFirstRunsSite = [&](const std::string& step) {
    const std::map<std::string, std::string> actual = pagesOf(site.out);
    fs::remove_all(site.out);
    ASSERT_EQ(site.run().status, 0);
    const std::map<std::string, std::string> expected = pagesOf(site.out);
    ASSERT_EQ(actual.size(), expected.size()) << step;
    for (const auto& [name, bytes] : expected) {
      const auto found = actual.find(name);
      ASSERT_NE(found, actual.end()) << step << ": " << name;
      EXPECT_EQ(testing::firstDifference(bytes, found->second), "") << step << ": " << name;
    }
  };
  addLog("a.log", killsLog("12/01/2026", {"Ann@1>Bea@2", "Ann@1>Bea@2", "Cid@3>Ann@1"}));
  addLog("b.log", killsLog("12/02/2026", {"Eve@5>Bea@2", "Eve@5>Bea@2", "Eve@5>Bea@2"}));
  addLog("c.log", killsLog("12/03/2026", {"Gus@7>Hal@8"}));
  ASSERT_EQ(site.run().status, 0);
  const fs::path gus = site.out / kPlayersFolderName / playerFileName("steam:1:7");
  const fs::path cid = site.out / kPlayersFolderName / playerFileName("steam:1:3");
  const std::string cidBefore = readFile(cid);
  const fs::file_time_type gusTime = timeOf(gus);

  // Ann plays again as Annie: Cid, who killed her, names her so now.
  addLog("d.log", killsLog("12/20/2026", {"Annie@1>Bea@2", "Annie@1>Bea@2", "Annie@1>Bea@2", "Annie@1>Bea@2"}));
  ASSERT_EQ(site.run().status, 0);
  EXPECT_EQ(timeOf(gus), gusTime) << "a page nothing changed stays as it was";
  EXPECT_NE(readFile(cid).find("Annie"), std::string::npos);
  EXPECT_NE(readFile(cid), cidBefore);
  expectFirstRunsSite("Ann renamed");

  // Months later: the awards page no longer lists the days of December, so
  // the day awards of Eve and Gus lose their links, though neither played.
  const std::string eveBefore = readFile(site.out / kPlayersFolderName / playerFileName("steam:1:5"));
  addLog("e.log", killsLog("03/01/2027", {"Ivy@9>Jon@10"}));
  ASSERT_EQ(site.run().status, 0);
  EXPECT_NE(readFile(site.out / kPlayersFolderName / playerFileName("steam:1:5")), eveBefore);
  expectFirstRunsSite("months later");

  // A match older than all the others: Gus comes to his match with Hal rated
  // otherwise, so Hal's rating after it moves, though he did not play.
  const fs::path hal = site.out / kPlayersFolderName / playerFileName("steam:1:8");
  const std::string halBefore = readFile(hal);
  addLog("f.log", killsLog("11/20/2026", {"Gus@7>Lou@12", "Gus@7>Lou@12"}));
  ASSERT_EQ(site.run().status, 0);
  EXPECT_NE(readFile(hal), halBefore);
  expectFirstRunsSite("an older match");
}

TEST(SiteRebuildTest, ADamagedOrForeignSiteCacheIsNoCache) {
  SiteFolder site;
  testing::writeFileMakingFolders(site.logs / "a.log", matchLog(1, 2));
  ASSERT_EQ(site.run().status, 0);
  const std::string ann = readFile(site.annPage());
  const fs::path cachePath = site.out / kSiteCacheName;
  std::string cache = readFile(cachePath);
  ASSERT_TRUE(SiteCache::load(cachePath).inputs() != 0);

  // The page damaged, and the cache's checksum of it changed to match: the
  // cache no longer adds up, so the page is read and built again.
  testing::writeFile(site.annPage(), std::string(ann.size(), 'x'));
  const std::size_t line = cache.find(" players/");
  ASSERT_NE(line, std::string::npos);
  const std::size_t checksum = line - 18;  // its last digit, before the page's inputs
  cache[checksum] = cache[checksum] == '0' ? '1' : '0';
  testing::writeFile(cachePath, cache);
  EXPECT_EQ(SiteCache::load(cachePath).inputs(), 0u);
  ASSERT_EQ(site.run().status, 0);
  EXPECT_EQ(readFile(site.annPage()), ann);

  // A cache of another kind of file, or cut short.
  for (const std::string& foreign : {std::string("fragtally index cache 6\n"), readFile(cachePath).substr(0, 40)}) {
    testing::writeFile(cachePath, foreign);
    EXPECT_EQ(SiteCache::load(cachePath).inputs(), 0u);
    EXPECT_TRUE(SiteCache::load(cachePath).pages().empty());
  }
}

TEST(SiteRebuildTest, TheCacheKeepsWhatItWasGiven) {
  TempFolder folder;
  const std::vector<StoredPage> pages{{"index.htm", {120, 1765000000123456789}, 0x0123456789abcdefull},
                                      {"players/name with space-0011223344556677.htm", {5, 7}, 42, 0xfedcba9876543210ull}};
  testing::writeFile(folder / "site.cache", SiteCache::bytesOf(0xfeedull, {"ak47", "awp"}, pages));
  const SiteCache cache = SiteCache::load(folder / "site.cache");
  EXPECT_EQ(cache.inputs(), 0xfeedull);
  EXPECT_EQ(cache.pictures(), (std::vector<std::string>{"ak47", "awp"}));
  ASSERT_EQ(cache.pages().size(), 2u);
  const StoredPage* spaced = cache.page("players/name with space-0011223344556677.htm");
  ASSERT_NE(spaced, nullptr);
  EXPECT_EQ(spaced->stamp, (RecordStamp{5, 7}));
  EXPECT_EQ(spaced->checksum, 42u);
  EXPECT_EQ(spaced->inputs, 0xfedcba9876543210ull);
  EXPECT_EQ(cache.page("index.htm")->inputs, 0u);
  EXPECT_EQ(cache.page("index.htm")->stamp.modified, 1765000000123456789);
  EXPECT_EQ(cache.page("rating.htm"), nullptr);
  // Neither page stands in the folder as kept.
  EXPECT_FALSE(cache.pagesStandIn(folder.path()));
}

}  // namespace
}  // namespace fragtally

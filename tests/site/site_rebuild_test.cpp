#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
  cache[line - 1] = cache[line - 1] == '0' ? '1' : '0';
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
                                      {"players/name with space-0011223344556677.htm", {5, 7}, 42}};
  testing::writeFile(folder / "site.cache", SiteCache::bytesOf(0xfeedull, {"ak47", "awp"}, pages));
  const SiteCache cache = SiteCache::load(folder / "site.cache");
  EXPECT_EQ(cache.inputs(), 0xfeedull);
  EXPECT_EQ(cache.pictures(), (std::vector<std::string>{"ak47", "awp"}));
  ASSERT_EQ(cache.pages().size(), 2u);
  const StoredPage* spaced = cache.page("players/name with space-0011223344556677.htm");
  ASSERT_NE(spaced, nullptr);
  EXPECT_EQ(spaced->stamp, (RecordStamp{5, 7}));
  EXPECT_EQ(spaced->checksum, 42u);
  EXPECT_EQ(cache.page("index.htm")->stamp.modified, 1765000000123456789);
  EXPECT_EQ(cache.page("rating.htm"), nullptr);
  // Neither page stands in the folder as kept.
  EXPECT_FALSE(cache.pagesStandIn(folder.path()));
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/output_names.h"
#include "index/index_cache.h"
#include "index/index_page.h"
#include "index/index_tally.h"
#include "site/awards_page.h"
#include "site/maps_page.h"
#include "site/player_file_name.h"
#include "site/player_page.h"
#include "site/site_build.h"
#include "site/tally_cache.h"
#include "tests/cli_run.h"
#include "tests/log_folders.h"
#include "tests/site/site_matches.h"
#include "tests/test_files.h"

// A run that finds only records added since the last goes on from the tallies
// the last one kept: the pages must be those of every record tallied afresh,
// and tallies of any other records, settings or bytes must never be gone on from.

namespace fragtally {
namespace {

namespace fs = std::filesystem;
using testing::MatchMaker;
using testing::readFile;
using testing::TempFolder;

// Matches of several days, maps and weapons, with a bot, a rename, a match
// without a map and one without kills (which the site leaves out).
std::vector<MatchMaker> someMatches() {
  std::vector<MatchMaker> matches;
  {
    MatchMaker& m = matches.emplace_back(1, 20);
    const std::size_t ann = m.player("STEAM_0:0:1", "ann", 5);
    const std::size_t bea = m.player("STEAM_0:0:2", "bea");
    const std::size_t bot = m.player("BOT", "Opie");
    m.kills(ann, bea, 3, "awp").kills(bea, ann, 1, "knife").kills(bot, ann, 2).rounds(4, 2);
  }
  {
    MatchMaker& m = matches.emplace_back(2, 21, "cs_office");
    const std::size_t ann = m.player("STEAM_0:0:1", "annie", 9);
    const std::size_t cid = m.player("STEAM_0:0:3", "cid");
    m.kills(cid, ann, 4, "deagle").kills(ann, cid, 2, "hegrenade").rounds(1, 5);
  }
  matches.emplace_back(2, 22);  // nobody killed anybody
  {
    MatchMaker& m = matches.emplace_back(9, 18);
    m.noMap();
    const std::size_t bea = m.player("STEAM_0:0:2", "bea");
    const std::size_t cid = m.player("STEAM_0:0:3", "cid");
    m.kills(bea, cid, 6, "m4a1").kills(cid, bea, 1);
  }
  {
    MatchMaker& m = matches.emplace_back(31, 23, "de_dust2", 12, 2026);
    const std::size_t dan = m.player("STEAM_0:0:4", "dan");
    const std::size_t ann = m.player("STEAM_0:0:1", "ann");
    m.kills(dan, ann, 2, "usp").kills(ann, dan, 2, "scout");
  }
  {
    MatchMaker& m = matches.emplace_back(1, 19, "de_dust2", 1, 2027);
    const std::size_t dan = m.player("STEAM_0:0:4", "dan");
    const std::size_t bea = m.player("STEAM_0:0:2", "bea");
    m.kills(dan, bea, 7).kills(bea, dan, 3);
  }
  return matches;
}

std::string reportOf(std::size_t at) { return "L" + std::to_string(at) + ".htm"; }

// The site's and the index's tallies of the first `count` matches.
struct Tallies {
  SiteTally site{SiteSettings{}};
  IndexTally index{false};
};
Tallies talliesOf(const std::vector<MatchMaker>& matches, std::size_t count) {
  Tallies tallies;
  for (std::size_t at = 0; at < count; ++at) {
    tallies.site.add(matches[at].summary(), reportOf(at));
    tallies.index.add(matches[at].summary(), reportOf(at));
  }
  return tallies;
}

// Every page the model gives, one after another: two models that give the
// same bytes here give the same site.
std::string pagesOf(const SiteModel& model) {
  std::string pages = buildAwardsPage(model) + buildMapsPage(model, {"ak47"});
  const IndexRanking ranking = rankingOf(model);
  pages += buildIndexPage(IndexContent{}, &ranking, model.language);
  for (const SitePerson& person : model.people) pages += buildPlayerPage(model, person, {"ak47"});
  return pages;
}

TEST(TallyStateTest, GoingOnFromAStateGivesTheTalliesOfEveryRecord) {
  const std::vector<MatchMaker> matches = someMatches();
  const std::string expected = pagesOf(testing::modelOf(matches));
  IndexTally wholeIndex(false);
  for (std::size_t at = 0; at < matches.size(); ++at) wholeIndex.add(matches[at].summary(), reportOf(at));
  const std::string expectedIndex = buildIndexPage(wholeIndex.take());

  // Kept after each number of records, the rest added after: and a state
  // of a state, as one run after another keeps it.
  for (std::size_t kept = 0; kept <= matches.size(); ++kept) {
    const Tallies tallies = talliesOf(matches, kept);
    std::optional<SiteTally> goneOn = SiteTally::fromState(SiteSettings{}, tallies.site.state());
    ASSERT_TRUE(goneOn) << kept;
    goneOn = SiteTally::fromState(SiteSettings{}, goneOn->state());
    ASSERT_TRUE(goneOn) << kept;
    std::optional<IndexTally> indexGoneOn = IndexTally::fromState(tallies.index.state());
    ASSERT_TRUE(indexGoneOn) << kept;
    for (std::size_t at = kept; at < matches.size(); ++at) {
      goneOn->add(matches[at].summary(), reportOf(at));
      indexGoneOn->add(matches[at].summary(), reportOf(at));
    }
    EXPECT_EQ(testing::firstDifference(expected, pagesOf(goneOn->take())), "") << "kept after " << kept;
    EXPECT_EQ(testing::firstDifference(expectedIndex, buildIndexPage(indexGoneOn->take())), "") << kept;
  }
}

TEST(TallyStateTest, AStateCutShortOrRunningOnIsRefusedAndDamageStaysInBounds) {
  const std::vector<MatchMaker> matches = someMatches();
  const Tallies tallies = talliesOf(matches, matches.size());
  const std::string siteState = tallies.site.state();
  const std::string indexState = tallies.index.state();
  for (std::size_t size = 0; size < siteState.size(); ++size) {
    EXPECT_FALSE(SiteTally::fromState(SiteSettings{}, siteState.substr(0, size))) << size;
  }
  for (std::size_t size = 0; size < indexState.size(); ++size) {
    EXPECT_FALSE(IndexTally::fromState(indexState.substr(0, size))) << size;
  }
  EXPECT_FALSE(SiteTally::fromState(SiteSettings{}, siteState + '\0'));
  EXPECT_FALSE(IndexTally::fromState(indexState + '\0'));
  // Any byte changed: refused, or a tally whose model can be taken (the
  // cache's checksum tells such damage; what is read must stay in bounds).
  for (std::size_t at = 0; at < siteState.size(); ++at) {
    std::string damaged = siteState;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x41);
    if (std::optional<SiteTally> read = SiteTally::fromState(SiteSettings{}, damaged)) read->take();
  }
  // A tally of players by name is not kept.
  EXPECT_EQ(IndexTally(true).state(), "");
}

TEST(TallyStateTest, PeopleOfSeveralPartsComeBackInTheirPlaces) {
  // Enough people for three parts of the state, each killing the next one
  // along (a bot now and then): a person read into the wrong place, or a
  // part read twice, shows in who killed whom, the ratings and the ranking.
  const std::size_t people = 2 * SiteTally::kPeoplePerPart + 300;
  std::vector<MatchMaker> matches;
  for (std::size_t first = 0; first < people; first += 10) {
    MatchMaker& m = matches.emplace_back(static_cast<int>(1 + first / 10 % 28), static_cast<int>(first % 24));
    std::vector<std::size_t> players;
    for (std::size_t at = first; at < first + 11 && at < people; ++at) {
      const bool bot = at % 97 == 0;
      players.push_back(m.player(bot ? "BOT" : "STEAM_0:1:" + std::to_string(at), "p" + std::to_string(at)));
    }
    for (std::size_t at = 0; at + 1 < players.size(); ++at) {
      m.kills(players[at], players[at + 1], static_cast<std::int64_t>(1 + at % 3), at % 2 == 0 ? "awp" : "knife");
    }
  }
  // The ranking, the awards and a few players' pages show every person's
  // place, figures and opponents; all players' pages would take long.
  const auto shown = [](const SiteModel& model) {
    const IndexRanking ranking = rankingOf(model);
    std::string pages = buildIndexPage(IndexContent{}, &ranking, model.language) + buildAwardsPage(model);
    for (const std::size_t at : {std::size_t{0}, SiteTally::kPeoplePerPart - 1, SiteTally::kPeoplePerPart,
                                 2 * SiteTally::kPeoplePerPart + 1, model.people.size() - 1}) {
      pages += buildPlayerPage(model, model.people.at(at), {});
    }
    return pages;
  };
  const std::string expected = shown(testing::modelOf(matches));
  const Tallies most = talliesOf(matches, matches.size() - 1);
  const std::string state = most.site.state();
  std::optional<SiteTally> goneOn = SiteTally::fromState(SiteSettings{}, state);
  ASSERT_TRUE(goneOn);
  EXPECT_EQ(goneOn->state(), state) << "a state read back gives the same state";
  goneOn->add(matches.back().summary(), reportOf(matches.size() - 1));
  EXPECT_EQ(testing::firstDifference(expected, shown(goneOn->take())), "");

  // Cut short, one more byte, or damaged anywhere: refused or in bounds.
  for (std::size_t size = 0; size < state.size(); size += 4999) {
    EXPECT_FALSE(SiteTally::fromState(SiteSettings{}, std::string_view(state).substr(0, size))) << size;
  }
  EXPECT_FALSE(SiteTally::fromState(SiteSettings{}, state + '\x01'));
  for (std::size_t at = 0; at < state.size(); at += 997) {
    std::string damaged = state;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x41);
    if (std::optional<SiteTally> read = SiteTally::fromState(SiteSettings{}, damaged)) read->take();
  }
}

TEST(TallyCacheTest, TalliesComeBackOnlyForTheirIndexCacheSettingsAndBytes) {
  TempFolder folder;
  const fs::path path = folder / kTallyCacheName;
  const std::vector<MatchMaker> matches = someMatches();
  const Tallies tallies = talliesOf(matches, matches.size());
  const std::string bytes = tallyCacheBytes(0x1234, tallies.index.state(), tallies.site.state(), SiteSettings{});
  testing::writeFile(path, bytes);
  std::optional<KeptTallies> kept = loadTallyCache(path, SiteSettings{}, 0x1234);
  ASSERT_TRUE(kept);
  EXPECT_EQ(kept->cacheChecksum, 0x1234u);
  EXPECT_EQ(pagesOf(kept->site.take()), pagesOf(testing::modelOf(matches)));

  EXPECT_FALSE(loadTallyCache(path, SiteSettings{}, 0x1235)) << "the records of another index cache";
  SiteSettings otherSettings;
  otherSettings.activeDays = 7;
  EXPECT_FALSE(loadTallyCache(path, otherSettings, 0x1234)) << "other settings";
  EXPECT_FALSE(loadTallyCache(folder / "none", SiteSettings{}, 0x1234));
  for (const std::size_t at : {std::size_t{0}, std::size_t{30}, bytes.size() / 2, bytes.size() - 1}) {
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 1);
    testing::writeFile(path, damaged);
    EXPECT_FALSE(loadTallyCache(path, SiteSettings{}, 0x1234)) << "byte " << at << " changed";
  }
  testing::writeFile(path, bytes.substr(0, bytes.size() - 1));
  EXPECT_FALSE(loadTallyCache(path, SiteSettings{}, 0x1234)) << "cut short";
}

// A log of `date` in which the player with ID `killer` kills `victim` twice.
std::string killLog(const std::string& date, int killer, int victim) {
  std::string log = "L " + date + " - 20:00:00: Loading map \"de_dust2\"\n";
  for (int minute = 1; minute <= 2; ++minute) {
    log += "L " + date + " - 20:0" + std::to_string(minute) + ":00: \"P" + std::to_string(killer) + "<2><STEAM_0:1:" +
           std::to_string(killer) + "><CT>\" killed \"P" + std::to_string(victim) + "<3><STEAM_0:1:" +
           std::to_string(victim) + "><TERRORIST>\" with \"ak47\"\n";
  }
  return log;
}

TEST(TallyCacheTest, ARunGoesOnFromTheKeptTalliesOnlyWhileEveryRecordOfThemStands) {
  TempFolder top;
  const fs::path logs = top / "logs";
  const fs::path out = top / "out";
  const auto run = [&] { return testing::cli({utf8FromPath(logs), "-d", utf8FromPath(out)}).status; };
  testing::writeFileMakingFolders(logs / "a.log", killLog("12/01/2026", 1, 2));
  testing::writeFileMakingFolders(logs / "b.log", killLog("12/02/2026", 2, 3));
  ASSERT_EQ(run(), 0);
  ASSERT_TRUE(fs::exists(out / kTallyCacheName));

  // A person only the kept tallies know of, put there as a later run would
  // find them: his page is only built where the run goes on from them.
  const auto plantStranger = [&] {
    const std::uint64_t cacheChecksum = IndexCache::load(out / kIndexCacheName).checksum();
    std::optional<KeptTallies> kept = loadTallyCache(out / kTallyCacheName, SiteSettings{}, cacheChecksum);
    ASSERT_TRUE(kept);
    MatchMaker stranger(3, 20);
    stranger.kills(stranger.player("STEAM_0:1:77", "Stranger"), stranger.player("STEAM_0:1:78", "Other"), 1);
    kept->site.add(stranger.summary(), "a.htm");
    testing::writeFile(out / kTallyCacheName,
                       tallyCacheBytes(cacheChecksum, kept->index.state(), kept->site.state(), SiteSettings{}));
  };
  const fs::path strangerPage = out / kPlayersFolderName / playerFileName("steam:1:77");

  plantStranger();
  testing::writeFile(logs / "c.log", killLog("12/03/2026", 3, 1));
  ASSERT_EQ(run(), 0);
  EXPECT_TRUE(fs::exists(strangerPage)) << "a record added: the run goes on from the kept tallies";
  EXPECT_TRUE(fs::exists(out / kPlayersFolderName / playerFileName("steam:1:3")));

  // A record gone, or changed: what the tallies hold of it cannot be taken
  // back out, so every record is tallied afresh.
  plantStranger();
  fs::remove(logs / "b.log");
  fs::remove(out / "b.json");
  ASSERT_EQ(run(), 0);
  EXPECT_FALSE(fs::exists(strangerPage)) << "a record gone";

  // Of another size: a log rewritten at its size within the same second may
  // read as up to date where the file system keeps times to the second.
  plantStranger();
  testing::writeFile(logs / "a.log", killLog("12/01/2026", 1, 40));
  ASSERT_EQ(run(), 0);
  EXPECT_FALSE(fs::exists(strangerPage)) << "a record changed";
  EXPECT_TRUE(fs::exists(out / kPlayersFolderName / playerFileName("steam:1:40")));
}

// A record added between others: the old cache's entries around it are
// copied, and the cache must come out as a pass over every record writes it.
TEST(TallyCacheTest, GoingOnWritesTheIndexCacheAPassOverEveryRecordWrites) {
  TempFolder top;
  const fs::path logs = top / "logs";
  const fs::path out = top / "out";
  const auto run = [&] { return testing::cli({utf8FromPath(logs), "-d", utf8FromPath(out)}).status; };
  for (const char* name : {"a", "b", "d", "e"}) {
    testing::writeFileMakingFolders(logs / (std::string(name) + ".log"), killLog("12/01/2026", name[0], 'z'));
  }
  ASSERT_EQ(run(), 0);
  testing::writeFile(logs / "c.log", killLog("12/02/2026", 3, 4));
  ASSERT_EQ(run(), 0);
  ASSERT_TRUE(fs::exists(out / kPlayersFolderName / playerFileName("steam:1:3")));
  const std::string goneOn = readFile(out / kIndexCacheName);

  // Without the caches, every record is read and the cache written anew.
  fs::remove(out / kIndexCacheName);
  fs::remove(out / kTallyCacheName);
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(testing::firstDifference(readFile(out / kIndexCacheName), goneOn), "");
}

}  // namespace
}  // namespace fragtally

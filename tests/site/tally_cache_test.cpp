#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/index_page.h"
#include "index/index_tally.h"
#include "site/awards_page.h"
#include "site/maps_page.h"
#include "site/player_page.h"
#include "site/site_build.h"
#include "tests/site/site_matches.h"
#include "tests/test_files.h"

// A run that finds only records added since the last goes on from the tallies
// the last one kept: the pages must be those of every record tallied afresh.

namespace fragtally {
namespace {

using testing::MatchMaker;

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
    SiteTally site{SiteSettings{}};
    IndexTally index(false);
    for (std::size_t at = 0; at < kept; ++at) {
      site.add(matches[at].summary(), reportOf(at));
      index.add(matches[at].summary(), reportOf(at));
    }
    std::optional<SiteTally> goneOn = SiteTally::fromState(SiteSettings{}, site.state());
    ASSERT_TRUE(goneOn) << kept;
    goneOn = SiteTally::fromState(SiteSettings{}, goneOn->state());
    ASSERT_TRUE(goneOn) << kept;
    std::optional<IndexTally> indexGoneOn = IndexTally::fromState(index.state());
    ASSERT_TRUE(indexGoneOn) << kept;
    for (std::size_t at = kept; at < matches.size(); ++at) {
      goneOn->add(matches[at].summary(), reportOf(at));
      indexGoneOn->add(matches[at].summary(), reportOf(at));
    }
    EXPECT_EQ(testing::firstDifference(expected, pagesOf(goneOn->take())), "") << "kept after " << kept;
    EXPECT_EQ(testing::firstDifference(expectedIndex, buildIndexPage(indexGoneOn->take())), "") << kept;
  }
}

TEST(TallyStateTest, AStateCutShortOrPointingOutsideItselfIsRefused) {
  SiteTally site{SiteSettings{}};
  IndexTally index(false);
  const std::vector<MatchMaker> matches = someMatches();
  for (std::size_t at = 0; at < matches.size(); ++at) {
    site.add(matches[at].summary(), reportOf(at));
    index.add(matches[at].summary(), reportOf(at));
  }
  const std::string siteState = site.state();
  const std::string indexState = index.state();
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

}  // namespace
}  // namespace fragtally

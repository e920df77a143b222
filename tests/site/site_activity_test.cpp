#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/index_tally.h"
#include "site/player_file_name.h"
#include "site/player_page.h"
#include "site/site_build.h"
#include "site/site_model.h"
#include "tests/site/site_matches.h"

namespace fragtally {
namespace {

using testing::MatchMaker;

/// ann and bea last played on September 1st, 95 days before cid and dan's
/// match of December 5th; on the 5th cid kills dan 12 times with the knife.
std::vector<MatchMaker> autumn() {
  MatchMaker old(1, 20, "de_dust2", 9);
  const std::size_t ann = old.player("STEAM_0:0:1", "ann");
  const std::size_t bea = old.player("STEAM_0:0:2", "bea");
  old.kills(ann, bea, 15).kills(bea, ann, 5);
  MatchMaker recent(5, 20);
  const std::size_t cid = recent.player("STEAM_0:0:3", "cid");
  const std::size_t dan = recent.player("STEAM_0:0:4", "dan");
  recent.kills(cid, dan, 12, "knife").kills(dan, cid, 4);
  return {old, recent};
}

struct Site {
  IndexContent content;
  SiteModel model;
};

Site siteOf(const std::vector<MatchMaker>& matches, SiteSettings settings) {
  IndexTally index;
  SiteTally people(std::move(settings));
  for (std::size_t at = 0; at < matches.size(); ++at) {
    index.add(matches[at].summary(), "L" + std::to_string(at) + ".htm");
    people.add(matches[at].summary(), "L" + std::to_string(at) + ".htm");
  }
  return Site{index.take(), people.take()};
}

SiteSettings rankingEveryone(std::int64_t activeDays = kActiveDays) {
  SiteSettings settings;
  settings.minMatches = 1;
  settings.activeDays = activeDays;
  return settings;
}

std::vector<std::string> namesOf(const std::vector<RankingRow>& rows) {
  std::vector<std::string> names;
  for (const RankingRow& row : rows) names.push_back(row.name);
  return names;
}

TEST(SiteActivityTest, TheRankingListsTheActiveAndTheInactiveApartNeverDropped) {
  const Site site = siteOf(autumn(), rankingEveryone());
  EXPECT_EQ(site.model.newestDay - site.model.people[0].rating.course.back().day, 95);
  const IndexRanking ranking = rankingOf(site.model);
  EXPECT_EQ(namesOf(ranking.ranked), (std::vector<std::string>{"cid", "dan"}));
  EXPECT_TRUE(ranking.unranked.empty());
  EXPECT_EQ(namesOf(ranking.inactive), (std::vector<std::string>{"ann", "bea"})) << "ann rated higher";
  const SitePerson* ann = site.model.personByKey("steam:0:1");
  ASSERT_NE(ann, nullptr);
  EXPECT_FALSE(ann->active);
  EXPECT_EQ(ann->place, 0u) << "the places are those of the active";
  EXPECT_EQ(site.model.personByKey("steam:0:3")->place, 1u);

  const std::string index = buildIndexPage(site.content, &ranking);
  EXPECT_NE(index.find("<li><b>4</b><span>Игроков</span></li>\n<li><b>2</b><span>Активных игроков</span></li>"),
            std::string::npos);
  const std::size_t inactive = index.find("<section id=\"inactive\">");
  ASSERT_NE(inactive, std::string::npos);
  const std::string annLink = "href=\"players/" + playerFileName("steam:0:1") + "\"";
  EXPECT_GT(index.find(annLink, index.find("<section id=\"ranking\">")), inactive) << "ann only among the inactive";
  EXPECT_LT(index.find("href=\"players/" + playerFileName("steam:0:3") + "\""), inactive);

  // Counted over 100 days, everyone is active again.
  const IndexRanking longer = rankingOf(siteOf(autumn(), rankingEveryone(100)).model);
  EXPECT_EQ(namesOf(longer.ranked).size(), 4u);
  EXPECT_TRUE(longer.inactive.empty());
  EXPECT_EQ(buildIndexPage(site.content, &longer).find("id=\"inactive\""), std::string::npos);
}

TEST(SiteActivityTest, TheIndexShowsTheLatestPeriodsWinners) {
  const Site site = siteOf(autumn(), rankingEveryone());
  const IndexRanking ranking = rankingOf(site.model);
  ASSERT_EQ(ranking.latestAwards.size(), 3u);
  EXPECT_EQ(ranking.latestAwards[0].title, "Декабрь 2026");
  EXPECT_EQ(ranking.latestAwards[1].anchor, "2026-W49");
  EXPECT_EQ(ranking.latestAwards[2].title, "День 05.12.2026");

  const std::string index = buildIndexPage(site.content, &ranking);
  const std::size_t block = index.find("<section id=\"awards\">");
  ASSERT_NE(block, std::string::npos);
  EXPECT_LT(block, index.find("<section id=\"matches\">")) << "under the totals, above the matches";
  const std::string cid = "<a href=\"players/" + playerFileName("steam:0:3") + "\"><bdi>cid</bdi></a>";
  EXPECT_NE(index.find("<a href=\"awards.htm#2026-12-05\">День 05.12.2026</a>", block), std::string::npos);
  EXPECT_NE(index.find("<th scope=\"row\">Мастер ножа</th><td class=\"name\">" + cid + "</td><td class=\"n\">12</td>",
                       block),
            std::string::npos);
  const std::string shown = index.substr(block, index.find("</section>", block) - block);
  EXPECT_EQ(shown.find("2026-09"), std::string::npos) << "only the latest periods";
  EXPECT_EQ(shown.find("Сентябрь"), std::string::npos);
}

TEST(SiteActivityTest, APlayersPageListsHisAwardsLinkingThoseTheAwardsPageShows) {
  const Site site = siteOf(autumn(), rankingEveryone());
  const SitePerson* ann = site.model.personByKey("steam:0:1");
  ASSERT_NE(ann, nullptr);
  const std::string page = buildPlayerPage(site.model, *ann, {});
  const std::size_t awards = page.find("<section id=\"awards\">");
  ASSERT_NE(awards, std::string::npos);
  // September's month and week are linked; its day is too old for the awards page.
  EXPECT_NE(page.find("<tr><td><a href=\"../awards.htm#2026-09\">Сентябрь 2026</a></td><td>Больше всех убийств</td>"
                      "<td class=\"n\">15</td></tr>",
                      awards),
            std::string::npos);
  EXPECT_NE(page.find("<tr><td>01.09.2026</td><td>Больше всех убийств</td><td class=\"n\">15</td></tr>", awards),
            std::string::npos);
  EXPECT_EQ(page.find("Мастер ножа", awards), std::string::npos) << "cid's, not hers";

  // A tie is marked shared on each winner's page.
  MatchMaker even(7, 20);
  const std::size_t eve = even.player("STEAM_0:0:5", "eve");
  const std::size_t fay = even.player("STEAM_0:0:6", "fay");
  even.kills(eve, fay, 10).kills(fay, eve, 10);
  const Site tied = siteOf({even}, rankingEveryone());
  const std::string fayPage = buildPlayerPage(tied.model, *tied.model.personByKey("steam:0:6"), {});
  EXPECT_NE(fayPage.find("<td>Больше всех убийств <span class=\"muted\">(поровну)</span></td><td class=\"n\">10</td>"),
            std::string::npos);
}

}  // namespace
}  // namespace fragtally

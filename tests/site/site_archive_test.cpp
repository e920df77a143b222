// The site's pages beside a large index: the months' matches, the whole
// ranking, and the names they go by.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "base/site_page_names.h"
#include "index/index_page.h"
#include "index/index_tally.h"
#include "site/month_pages.h"
#include "site/player_file_name.h"
#include "site/player_page.h"
#include "site/ranking_pages.h"
#include "site/site_build.h"
#include "tests/site/site_matches.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::MatchMaker;
using testing::readFile;
using testing::TempFolder;
namespace fs = std::filesystem;

bool holds(const std::string& page, const std::string& text) { return page.find(text) != std::string::npos; }

std::size_t occurrences(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
  return count;
}

TEST(SitePageNamesTest, NamesComeFromNumbersAloneAndOnlyThoseAreTheSites) {
  EXPECT_EQ(monthOfMatch(20261231235959u), 202612u);
  EXPECT_EQ(monthOfMatch(20270101000000u), 202701u);
  EXPECT_EQ(monthOfMatch(0), 0u);
  EXPECT_EQ(monthPageName(202612), "matches-2026-12.htm");
  EXPECT_EQ(monthPageName(202701, 1), "matches-2027-01.htm");
  EXPECT_EQ(monthPageName(202612, 3), "matches-2026-12-p3.htm");
  EXPECT_EQ(monthPageName(0), "matches-undated.htm");
  EXPECT_EQ(rankingPageName(1), "ranking.htm");
  EXPECT_EQ(rankingPageName(12), "ranking-p12.htm");

  for (const std::string name : {"ranking.htm", "ranking-p2.htm", "ranking-p40.htm", "matches-2026-12.htm",
                                 "matches-1999-01-p2.htm", "matches-undated.htm", "matches-undated-p3.htm"}) {
    EXPECT_TRUE(isSitePageName(name)) << name;
  }
  for (const std::string name :
       {"index.htm", "ranking.json", "ranking-2.htm", "ranking-p1.htm", "ranking-p02.htm", "ranking-p.htm",
        "Ranking.htm", "rankings.htm", "matches-2026-13.htm", "matches-2026-00.htm", "matches-2026-1.htm",
        "matches-2026-12-2.htm", "matches-2026-12-p1.htm", "matches-2026-12x.htm", "matches-.htm", "matches-undated-2.htm",
        "matches-2026-12.htm.tmp", "x-matches-2026-12.htm", "matches-2026-12"}) {
    EXPECT_FALSE(isSitePageName(name)) << name;
  }
  // A taken name with a number added, as a folder run frees a report's name,
  // is no site page's, so that way out ends.
  for (const std::string stem : {"ranking", "ranking-p2", "matches-2026-12", "matches-undated", "matches-2026-12-p2"}) {
    EXPECT_TRUE(isSitePageStem(stem)) << stem;
    EXPECT_FALSE(isSitePageStem(stem + "-2")) << stem;
  }
}

IndexMatch matchOn(const std::string& date, const std::string& report) {
  IndexMatch match;
  match.report = report;
  match.date = date;
  match.start = "20:00:00";
  match.when = matchTimeKey(match.date, match.start);
  return match;
}

TEST(MonthPagesTest, AMonthPerPageNewestFirstABusyMonthInPartsTheUndatedLast) {
  // As the index orders them: newest first, those without a readable date last.
  const std::vector<IndexMatch> matches = {
      matchOn("01/01/2027", "a.htm"), matchOn("12/31/2026", "b.htm"), matchOn("12/30/2026", "c.htm"),
      matchOn("12/01/2026", "d.htm"), matchOn("11/30/2026", "e.htm"), matchOn("someday", "f.htm")};
  ASSERT_EQ(matches.back().when, 0u);
  const std::vector<MonthPage> pages = monthPagesOf(matches, 2);
  ASSERT_EQ(pages.size(), 5u);
  const auto at = [&](std::size_t page) {
    return std::make_tuple(pages[page].name, pages[page].part, pages[page].first, pages[page].count);
  };
  EXPECT_EQ(at(0), std::make_tuple(std::string("matches-2027-01.htm"), 1u, 0u, 1u));
  EXPECT_EQ(at(1), std::make_tuple(std::string("matches-2026-12.htm"), 1u, 1u, 2u));
  EXPECT_EQ(at(2), std::make_tuple(std::string("matches-2026-12-p2.htm"), 2u, 3u, 1u));
  EXPECT_EQ(at(3), std::make_tuple(std::string("matches-2026-11.htm"), 1u, 4u, 1u));
  EXPECT_EQ(at(4), std::make_tuple(std::string("matches-undated.htm"), 1u, 5u, 1u));

  const std::vector<IndexMonth> months = indexMonthsOf(pages);
  ASSERT_EQ(months.size(), 4u);
  EXPECT_EQ(months[1].page, "matches-2026-12.htm");
  EXPECT_EQ(months[1].title, "Декабрь 2026");
  EXPECT_EQ(months[1].matches, 3u) << "both parts counted";
  EXPECT_EQ(months[3].title, "без даты");

  // Each page lists its own matches only and leads to its neighbours.
  const std::string december = buildMonthPage(matches, pages, 1);
  EXPECT_TRUE(holds(december, "href=\"b.htm\""));
  EXPECT_TRUE(holds(december, "href=\"c.htm\""));
  EXPECT_FALSE(holds(december, "href=\"d.htm\"")) << "on the second part";
  EXPECT_FALSE(holds(december, "href=\"a.htm\""));
  EXPECT_TRUE(holds(december, "<a rel=\"prev\" href=\"matches-2027-01.htm\">"));
  EXPECT_TRUE(holds(december, "<a rel=\"next\" href=\"matches-2026-12-p2.htm\">"));
  EXPECT_TRUE(holds(december, "<a href=\"index.htm#months\">"));
  EXPECT_TRUE(holds(december, "<a href=\"index.htm\" aria-current=\"true\">")) << "within the matches";
  const std::string newest = buildMonthPage(matches, pages, 0);
  EXPECT_FALSE(holds(newest, "rel=\"prev\""));
  EXPECT_FALSE(holds(buildMonthPage(matches, pages, 4), "rel=\"next\""));
}

RankingRow rowOf(const std::string& name) {
  RankingRow row;
  row.name = name;
  row.page = name + ".htm";
  row.lastReport = "L.htm";
  return row;
}

IndexRanking rankingOfCounts(std::size_t ranked, std::size_t unranked, std::size_t inactive) {
  IndexRanking ranking;
  for (std::size_t at = 0; at < ranked; ++at) ranking.ranked.push_back(rowOf("r" + std::to_string(at + 1)));
  for (std::size_t at = 0; at < unranked; ++at) ranking.unranked.push_back(rowOf("u" + std::to_string(at + 1)));
  for (std::size_t at = 0; at < inactive; ++at) ranking.inactive.push_back(rowOf("i" + std::to_string(at + 1)));
  ranking.minMatches = 3;
  ranking.activeDays = 90;
  return ranking;
}

std::string linkTo(const std::string& name) { return "href=\"players/" + name + ".htm\""; }

TEST(RankingPagesTest, OneSequenceSplitAtTheBorderWithThePartsHeadedWhereTheyStart) {
  const IndexRanking whole = rankingOfCounts(3, 2, 1);
  const RankingPages pages(whole, 2);
  ASSERT_EQ(pages.count(), 3u);
  EXPECT_EQ(pages.unrankedPage(), 2u);
  EXPECT_EQ(pages.inactivePage(), 3u);

  const std::string first = pages.build(1);
  EXPECT_TRUE(holds(first, linkTo("r1")));
  EXPECT_TRUE(holds(first, linkTo("r2")));
  EXPECT_FALSE(holds(first, linkTo("r3")));
  EXPECT_FALSE(holds(first, "<section id=\"unranked\">"));
  EXPECT_FALSE(holds(first, "rel=\"prev\""));
  EXPECT_TRUE(holds(first, "<a rel=\"next\" href=\"ranking-p2.htm\">"));
  EXPECT_TRUE(holds(first, "<a href=\"ranking.htm\" aria-current=\"page\">1</a>"));
  EXPECT_TRUE(holds(first, "<a href=\"ranking.htm\" aria-current=\"page\">")) << "the header marks the players";

  // The third ranked keeps his place; the unranked start under their heading.
  const std::string second = pages.build(2);
  EXPECT_TRUE(holds(second, "<td class=\"n muted\" data-v=\"3\">3</td><td class=\"name\" title=\"r3\">"));
  EXPECT_LT(second.find("<section id=\"ranking\">"), second.find("<section id=\"unranked\">"));
  EXPECT_TRUE(holds(second, linkTo("u1")));
  EXPECT_FALSE(holds(second, linkTo("u2")));
  EXPECT_TRUE(holds(second, "<a rel=\"prev\" href=\"ranking.htm\">"));
  EXPECT_TRUE(holds(second, "<a rel=\"next\" href=\"ranking-p3.htm\">"));

  const std::string third = pages.build(3);
  EXPECT_FALSE(holds(third, "<section id=\"ranking\">"));
  EXPECT_LT(third.find(linkTo("u2")), third.find("<section id=\"inactive\">"));
  EXPECT_TRUE(holds(third, linkTo("i1")));
  EXPECT_FALSE(holds(third, "rel=\"next\""));

  // The ranked exactly filling pages: the next page starts with those listed apart.
  const IndexRanking even = rankingOfCounts(2, 1, 0);
  const RankingPages evenPages(even, 2);
  EXPECT_EQ(evenPages.count(), 2u);
  EXPECT_FALSE(holds(evenPages.build(2), "<section id=\"ranking\">"));
  EXPECT_TRUE(holds(evenPages.build(2), "<section id=\"unranked\">"));

  // Nobody yet: one page, still headed.
  const IndexRanking nobody = rankingOfCounts(0, 0, 0);
  const RankingPages none(nobody, 2);
  EXPECT_EQ(none.count(), 1u);
  EXPECT_TRUE(holds(none.build(1), "<section id=\"ranking\">"));
  EXPECT_FALSE(holds(none.build(1), "<nav class=\"pager\">"));
}

TEST(RankingPagesTest, TheIndexShowsTheTopAndCountsTheRestWithLinks) {
  const IndexRanking whole = rankingOfCounts(kIndexTopRanked + 1, 2, 0);
  const RankingPages pages(whole, 50);
  const IndexRanking top = indexRankingOf(whole, pages, {});
  EXPECT_EQ(top.ranked.size(), kIndexTopRanked);
  EXPECT_TRUE(top.unranked.empty());
  const std::string index = buildIndexPage(IndexContent{}, &top);
  EXPECT_TRUE(holds(index, linkTo("r" + std::to_string(kIndexTopRanked))));
  EXPECT_FALSE(holds(index, linkTo("r" + std::to_string(kIndexTopRanked + 1))));
  EXPECT_FALSE(holds(index, linkTo("u1")));
  EXPECT_TRUE(holds(index, "из 101. <a href=\"ranking.htm\">"));
  // The unranked start on the third page of 50: there the index leads.
  EXPECT_TRUE(holds(index, "<section id=\"unranked\">"));
  EXPECT_TRUE(holds(index, "Игроков: 2. <a href=\"ranking-p3.htm#unranked\">"));
  EXPECT_FALSE(holds(index, "<section id=\"inactive\">")) << "nobody to count";
  EXPECT_TRUE(holds(index, "<li><b>103</b><span>Игроков</span></li>"));
}

struct Site {
  IndexContent content;
  SiteModel model;
};

Site siteOf(const std::vector<MatchMaker>& matches) {
  IndexTally index;
  SiteTally people({});
  for (std::size_t at = 0; at < matches.size(); ++at) {
    const std::string report = "L" + std::to_string(at) + ".htm";
    index.add(matches[at].summary(), report);
    people.add(matches[at].summary(), report);
  }
  return Site{index.take(), people.take()};
}

MatchMaker duel(int day, int hour, int month = 12, int year = 2026) {
  MatchMaker match(day, hour, "de_dust2", month, year);
  const std::size_t ann = match.player("STEAM_0:0:1", "ann");
  const std::size_t bea = match.player("STEAM_0:0:2", "bea");
  match.kills(ann, bea, 2).kills(bea, ann, 1);
  return match;
}

TEST(SiteArchiveTest, TheIndexAndAPlayersPageListTheLatestTheOldestIsOnItsMonthsPage) {
  // One match more than the index and a player's page list, a day of hours apart.
  std::vector<MatchMaker> matches;
  for (int at = 0; at <= static_cast<int>(kIndexLatestMatches); ++at) matches.push_back(duel(1 + at / 24, at % 24));
  static_assert(kPlayerPageMatches == kIndexLatestMatches);
  const Site site = siteOf(matches);
  TempFolder folder;
  storeSite(folder.path(), site.content, site.model);

  const std::string newest = "href=\"L" + std::to_string(kIndexLatestMatches) + ".htm\"";
  const std::string index = readFile(folder / "index.htm");
  EXPECT_TRUE(holds(index, newest));
  EXPECT_TRUE(holds(index, "href=\"L1.htm\""));
  EXPECT_FALSE(holds(index, "href=\"L0.htm\"")) << "the oldest only on its month's page";
  EXPECT_EQ(occurrences(index, "<tr><td data-v=\""), kIndexLatestMatches);
  EXPECT_TRUE(holds(index, "<a href=\"matches-2026-12.htm\">Декабрь 2026</a> <span class=\"muted\">101</span>"));
  EXPECT_TRUE(holds(index, "<a href=\"index.htm\" aria-current=\"page\">"));

  const std::string month = readFile(folder / "matches-2026-12.htm");
  EXPECT_TRUE(holds(month, "href=\"L0.htm\""));
  EXPECT_TRUE(holds(month, newest));
  EXPECT_LT(month.find(newest), month.find("href=\"L0.htm\"")) << "newest first";

  const std::string ann = readFile(folder / "players" / playerFileName("steam:0:1"));
  EXPECT_TRUE(holds(ann, "href=\"../L1.htm\""));
  EXPECT_FALSE(holds(ann, "href=\"../L0.htm\""));
  EXPECT_TRUE(holds(ann, "<a href=\"../matches-2026-12.htm\">Декабрь 2026</a> <span class=\"muted\">(1)</span>"));
  EXPECT_TRUE(holds(ann, "<a href=\"../ranking.htm\" aria-current=\"true\">"));

  // A match of January: a page of its own, the two linked in order.
  matches.push_back(duel(1, 10, 1, 2027));
  const Site later = siteOf(matches);
  storeSite(folder.path(), later.content, later.model);
  const std::string january = readFile(folder / "matches-2027-01.htm");
  EXPECT_TRUE(holds(january, "href=\"L101.htm\""));
  EXPECT_FALSE(holds(january, newest));
  EXPECT_TRUE(holds(january, "<a rel=\"next\" href=\"matches-2026-12.htm\">"));
  EXPECT_TRUE(holds(readFile(folder / "matches-2026-12.htm"), "<a rel=\"prev\" href=\"matches-2027-01.htm\">"));
  EXPECT_FALSE(holds(readFile(folder / "matches-2026-12.htm"), "href=\"L101.htm\""));
}

TEST(SiteArchiveTest, StalePagesOfTheSitesNamesGoOthersStayUnchangedPagesAreNotWritten) {
  std::vector<MatchMaker> matches = {duel(30, 20, 11), duel(1, 20), duel(2, 20)};
  TempFolder folder;
  const Site both = siteOf(matches);
  storeSite(folder.path(), both.content, both.model);
  ASSERT_TRUE(fs::exists(folder / "matches-2026-11.htm"));

  // A new match in December leaves November's page as it was.
  const fs::file_time_type old = fs::last_write_time(folder / "matches-2026-11.htm") - std::chrono::hours(48);
  fs::last_write_time(folder / "matches-2026-11.htm", old);
  matches.push_back(duel(3, 20));
  const Site more = siteOf(matches);
  const SiteBuild grown = storeSite(folder.path(), more.content, more.model);
  EXPECT_EQ(fs::last_write_time(folder / "matches-2026-11.htm"), old);
  EXPECT_TRUE(holds(readFile(folder / "matches-2026-12.htm"), "href=\"L3.htm\""));
  EXPECT_EQ(grown.pagesRemoved, 0u);

  // Without November's match its page goes, as does a ranking page past the
  // last; files the rule does not name stay, and so does a report of a log
  // that took a month's name before the site did (its record beside it).
  for (const std::string name : {"matches-2026-13.htm", "ranking-2.htm", "matches-notes.htm", "notes.txt"}) {
    testing::writeFile(folder / name, "mine");
  }
  testing::writeFile(folder / "ranking-p7.htm", "stale");
  testing::writeFile(folder / "matches-2026-10.htm", "a report");
  testing::writeFile(folder / "matches-2026-10.json", "its record");
  matches.erase(matches.begin());
  const Site december = siteOf(matches);
  const SiteBuild shrunk = storeSite(folder.path(), december.content, december.model);
  EXPECT_FALSE(fs::exists(folder / "matches-2026-11.htm"));
  EXPECT_FALSE(fs::exists(folder / "ranking-p7.htm"));
  EXPECT_EQ(shrunk.pagesRemoved, 2u);
  for (const std::string name : {"matches-2026-13.htm", "ranking-2.htm", "matches-notes.htm", "notes.txt"}) {
    EXPECT_EQ(readFile(folder / name), "mine") << name;
  }
  EXPECT_EQ(readFile(folder / "matches-2026-10.htm"), "a report");
  EXPECT_TRUE(fs::exists(folder / "ranking.htm"));

  const SiteBuild again = storeSite(folder.path(), december.content, december.model);
  EXPECT_EQ(again.pagesWritten, 0u);
  EXPECT_EQ(again.pagesRemoved, 0u);
}

}  // namespace
}  // namespace fragtally

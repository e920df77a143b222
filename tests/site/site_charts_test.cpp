#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "index/index_page.h"
#include "index/index_tally.h"
#include "site/calendar.h"
#include "site/player_page.h"
#include "site/site_build.h"
#include "tests/site/site_matches.h"

namespace fragtally {
namespace {

using testing::MatchMaker;
using testing::modelOf;

/// A match on a December day with `kills` kills of bea by ann.
MatchMaker killsOn(int day, int hour, std::int64_t kills, std::string map = "de_dust2", int month = 12) {
  MatchMaker match(day, hour, std::move(map), month);
  const std::size_t ann = match.player("STEAM_0:0:1", "ann");
  const std::size_t bea = match.player("STEAM_0:0:2", "bea");
  match.kills(ann, bea, kills);
  return match;
}

std::int64_t december(int day) { return dayOfDate(CalendarDate{2026, 12, day}); }

std::string indexOf(const std::vector<MatchMaker>& matches) {
  IndexTally index;
  for (std::size_t at = 0; at < matches.size(); ++at) {
    index.add(matches[at].summary(), "L" + std::to_string(at) + ".htm");
  }
  const SiteModel model = modelOf(matches);
  const IndexRanking ranking = rankingOf(model);
  return buildIndexPage(index.take(), &ranking);
}

TEST(SiteChartsTest, KillsAddUpByDayAndDaysWithoutPlayCountZero) {
  // Three matches on two days: 2 and 3 kills on the 1st, 7 on the 3rd.
  const SiteModel model = modelOf({killsOn(1, 20, 2), killsOn(3, 21, 7), killsOn(1, 22, 3)});
  ASSERT_EQ(model.killsByDay.size(), 2u);
  EXPECT_EQ(model.killsByDay[0].day, december(1));
  EXPECT_EQ(model.killsByDay[0].kills, 5);
  EXPECT_EQ(model.killsByDay[1].day, december(3));
  EXPECT_EQ(model.killsByDay[1].kills, 7);
  EXPECT_EQ(killsOfDays(model.killsByDay, december(3), 4), (std::vector<std::int64_t>{0, 5, 0, 7}));
  EXPECT_EQ(killsOfDays(model.killsByDay, december(2), 2), (std::vector<std::int64_t>{5, 0}))
      << "days after the window's last are left out";

  // His own days: ann made every kill, bea none.
  const SitePerson& ann = *model.personByKey("steam:0:1");
  const std::vector<DayKills> his = killsByDayOf(model, ann);
  ASSERT_EQ(his.size(), 2u);
  EXPECT_EQ(his[0].day, december(1));
  EXPECT_EQ(his[0].kills, 5);
  EXPECT_EQ(his[1].kills, 7);
  EXPECT_EQ(killsByDayOf(model, *model.personByKey("steam:0:2"))[1].kills, 0);
}

TEST(SiteChartsTest, TheIndexChartCoversNinetyDaysEndingWithTheNewestMatch) {
  // 31 December is the newest day; its 90 days begin on 3 October. A match of
  // 2 October falls out, one of 3 October is the first column.
  const std::vector<MatchMaker> matches = {killsOn(31, 20, 4), killsOn(3, 20, 3, "de_dust2", 10),
                                           killsOn(2, 20, 9, "de_dust2", 10), killsOn(30, 20, 21)};
  const IndexRanking ranking = rankingOf(modelOf(matches));
  ASSERT_EQ(ranking.charts.kills.size(), 90u);
  ASSERT_EQ(ranking.charts.days.size(), 90u);
  EXPECT_EQ(ranking.charts.days.front(), "03.10.2026");
  EXPECT_EQ(ranking.charts.days.back(), "31.12.2026");
  EXPECT_EQ(ranking.charts.kills.front(), 3);
  EXPECT_EQ(ranking.charts.kills[88], 21);
  EXPECT_EQ(ranking.charts.kills.back(), 4);
  std::int64_t total = 0;
  for (const std::int64_t kills : ranking.charts.kills) total += kills;
  EXPECT_EQ(total, 3 + 21 + 4);

  const std::string page = indexOf(matches);
  EXPECT_NE(page.find("<title>03.10.2026: 3 убийства</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>30.12.2026: 21 убийство</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>31.12.2026: 4 убийства</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>04.10.2026: 0 убийств</title>"), std::string::npos) << "a day without play";
  EXPECT_EQ(page.find("02.10.2026: "), std::string::npos);
}

TEST(SiteChartsTest, TheGridCountsMatchesByTheWeekdayAndHourOfTheirStart) {
  // 6 December 2026 is a Sunday, the 7th a Monday.
  ASSERT_EQ(weekdayOf(december(6)), 7);
  std::vector<MatchMaker> matches = {killsOn(6, 0, 1), killsOn(7, 0, 1), killsOn(7, 0, 1), killsOn(9, 14, 1)};
  matches[0].startAt("23:59:59");
  matches[3].startAt("14:30:00");
  const SiteModel model = modelOf(matches);
  std::int64_t total = 0;
  for (const std::int64_t count : model.matchesByHour) total += count;
  EXPECT_EQ(total, 4);
  EXPECT_EQ(model.matchesByHour[6 * 24 + 23], 1) << "Sunday, the hour before midnight";
  EXPECT_EQ(model.matchesByHour[0], 2) << "Monday, the first hour";
  EXPECT_EQ(model.matchesByHour[2 * 24 + 14], 1) << "Wednesday at half past two";

  const std::string page = indexOf(matches);
  EXPECT_NE(page.find("<title>Вс 23:00: 1 матч</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>Пн 00:00: 2 матча</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>Ср 14:00: 1 матч</title>"), std::string::npos);
  EXPECT_NE(page.find("<title>Ср 13:00: 0 матчей</title>"), std::string::npos);
  // One chart of 90 columns and one grid of 7 x 24 cells, each with its title.
  std::size_t rects = 0;
  for (std::size_t at = page.find("<rect "); at != std::string::npos; at = page.find("<rect ", at + 1)) ++rects;
  EXPECT_EQ(rects, 90u + 7u * 24u);
}

TEST(SiteChartsTest, APlayersChartCoversNinetyDaysEndingWithHisLastMatch) {
  std::vector<MatchMaker> matches = {killsOn(1, 20, 2), killsOn(3, 21, 7), killsOn(1, 22, 3),
                                     killsOn(4, 20, 4, "de_dust2", 9)};
  // Others play on later; his chart still ends with his own last day.
  MatchMaker later(20, 20);
  later.kills(later.player("STEAM_0:0:3", "cid"), later.player("STEAM_0:0:4", "dan"), 6);
  matches.push_back(later);
  const SiteModel model = modelOf(matches);
  const std::string ann = buildPlayerPage(model, *model.personByKey("steam:0:1"), {});
  // A column for each of his days of play in the window, the other days gaps.
  std::size_t columns = 0;
  for (std::size_t at = ann.find("<rect "); at != std::string::npos; at = ann.find("<rect ", at + 1)) ++columns;
  EXPECT_EQ(columns, 2u);
  EXPECT_NE(ann.find("<title>01.12.2026: 5 убийств</title>"), std::string::npos) << "two matches of a day added";
  EXPECT_EQ(ann.find("02.12.2026: "), std::string::npos) << "a day without play";
  EXPECT_NE(ann.find("<title>03.12.2026: 7 убийств</title>"), std::string::npos);
  EXPECT_EQ(ann.find("04.12.2026: "), std::string::npos) << "nothing after his last day";
  // 3 December less 89 days is 5 September: the 4th is out of the window.
  // Labels go every 15th day back from the newest (03.12, 18.11, 03.11,
  // 19.10, 04.10, 19.09): the oldest, 19.09, is the window's fifteenth day.
  EXPECT_NE(ann.find(">19.09</text>"), std::string::npos);
  EXPECT_EQ(ann.find(">04.09</text>"), std::string::npos);
  EXPECT_EQ(ann.find("04.09.2026: 4"), std::string::npos);
  EXPECT_LT(ann.find("<section id=\"course\">"), ann.find("<section id=\"kills\">"));

  const std::string bea = buildPlayerPage(model, *model.personByKey("steam:0:2"), {});
  EXPECT_NE(bea.find("<title>03.12.2026: 0 убийств</title>"), std::string::npos) << "she played, killing nobody";
}

TEST(SiteChartsTest, AnIndexWithoutMatchesHasNoCharts) {
  const std::string page = indexOf({});
  EXPECT_EQ(page.find("<svg"), std::string::npos);
  EXPECT_EQ(page.find("id=\"activity\""), std::string::npos);
}

}  // namespace
}  // namespace fragtally

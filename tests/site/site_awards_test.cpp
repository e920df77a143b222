#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "players/players_file.h"
#include "players/rating_run.h"
#include "site/awards_page.h"
#include "site/player_file_name.h"
#include "site/site_model.h"
#include "tests/site/site_matches.h"

namespace fragtally {
namespace {

using testing::MatchMaker;
using testing::modelOf;

std::int64_t december(int day) { return dayNumberOf(MatchStart{.year = 2026, .month = 12, .day = day}); }

const Award* awardOf(const PeriodAwards& period, AwardId id) {
  for (const Award& award : period.awards) {
    if (award.id == id) return &award;
  }
  return nullptr;
}

/// Two days of December 2026 in one week: ann's kills of the first day come
/// in two matches; a bot and a hidden player kill more than anyone.
std::vector<MatchMaker> twoDays() {
  MatchMaker early(1, 18);
  const std::size_t ann = early.player("STEAM_0:0:1", "ann");
  const std::size_t bea = early.player("STEAM_0:0:2", "bea");
  const std::size_t bob = early.player("BOT", "Bob");
  early.kills(ann, bea, 8).kills(bea, ann, 3).kills(bob, ann, 20);
  MatchMaker late(1, 22);
  const std::size_t lateAnn = late.player("STEAM_0:0:1", "ann");
  const std::size_t lateBea = late.player("STEAM_0:0:2", "bea");
  const std::size_t hid = late.player("STEAM_0:0:9", "hid");
  late.kills(lateAnn, lateBea, 6).kills(lateBea, lateAnn, 5, "knife").kills(hid, lateBea, 30);
  MatchMaker next(2, 20);
  const std::size_t nextAnn = next.player("STEAM_0:0:1", "ann");
  const std::size_t nextBea = next.player("STEAM_0:0:2", "bea");
  next.kills(nextAnn, nextBea, 10).kills(nextBea, nextAnn, 10);
  return {early, late, next};
}

SiteSettings hidingHid() {
  SiteSettings settings;
  settings.playersFile = readPlayersFile("hide steam:0:9\n");
  return settings;
}

TEST(SiteAwardsTest, ThePeoplesDaysGiveTheAwardsWithoutBotsOrTheHidden) {
  const SiteModel model = modelOf(twoDays(), hidingHid());
  const AwardTable& table = model.awards;
  ASSERT_EQ(table.days.size(), 2u);
  ASSERT_EQ(table.weeks.size(), 1u) << "Tuesday and Wednesday of one ISO week";
  ASSERT_EQ(table.months.size(), 1u);

  // Newest first: the 2nd, where ann and bea killed 10 each and share it.
  EXPECT_EQ(table.days[0].period.firstDay, december(2));
  const Award* tied = awardOf(table.days[0], AwardId::kills);
  ASSERT_NE(tied, nullptr);
  EXPECT_EQ(tied->winners, (std::vector<std::string>{"steam:0:1", "steam:0:2"}));
  EXPECT_EQ(tied->figure, 10.0);

  // The 1st: ann's 8 + 6 over two matches beat bea's 3 + 5; the bot's 20 and
  // the hidden player's 30 are nobody's.
  const Award* first = awardOf(table.days[1], AwardId::kills);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->winners, std::vector<std::string>{"steam:0:1"});
  EXPECT_EQ(first->figure, 14.0);
  const Award* knife = awardOf(table.days[1], AwardId::knifeKills);
  ASSERT_NE(knife, nullptr);
  EXPECT_EQ(knife->winners, std::vector<std::string>{"steam:0:2"});
  EXPECT_EQ(knife->figure, 5.0);
  EXPECT_EQ(awardOf(table.days[1], AwardId::grenadeKills), nullptr) << "no grenade kill, no award";
  EXPECT_EQ(awardOf(table.days[1], AwardId::sniperKills), nullptr);

  // The week and the month sum both days: ann 24, bea 18.
  for (const PeriodAwards* period : {&table.weeks[0], &table.months[0]}) {
    const Award* kills = awardOf(*period, AwardId::kills);
    ASSERT_NE(kills, nullptr);
    EXPECT_EQ(kills->winners, std::vector<std::string>{"steam:0:1"});
    EXPECT_EQ(kills->figure, 24.0);
  }

  // The rating's course reaches the awards: someone gained on the 1st.
  EXPECT_NE(awardOf(table.days[1], AwardId::ratingGain), nullptr);

  // Each winner's page model lists what he won, the month's first.
  const SitePerson* ann = model.personByKey("steam:0:1");
  ASSERT_NE(ann, nullptr);
  ASSERT_FALSE(ann->awards.empty());
  EXPECT_EQ(ann->awards.front().period.kind, PeriodKind::month);
  EXPECT_EQ(model.personByKey("steam:0:9"), nullptr);
  for (const std::vector<PeriodAwards>* kind : {&table.days, &table.weeks, &table.months}) {
    for (const PeriodAwards& period : *kind) {
      for (const Award& award : period.awards) {
        for (const std::string& winner : award.winners) {
          EXPECT_NE(model.personByKey(winner), nullptr) << winner << " is on no list";
        }
      }
    }
  }
}

TEST(SiteAwardsTest, BotsWinOnlyWhenTheyAreCountedAsPeople) {
  SiteSettings withBots = hidingHid();
  withBots.identity.includeBots = true;
  const SiteModel model = modelOf(twoDays(), withBots);
  ASSERT_EQ(model.awards.days.size(), 2u);
  const Award* kills = awardOf(model.awards.days[1], AwardId::kills);
  ASSERT_NE(kills, nullptr);
  EXPECT_EQ(kills->winners, std::vector<std::string>{"bot:Bob"});
  EXPECT_EQ(kills->figure, 20.0);
}

TEST(SiteAwardsTest, ThePageLinksEveryWinnerAndLeavesOutAwardsNobodyWon) {
  const SiteModel model = modelOf(twoDays(), hidingHid());
  const std::string page = buildAwardsPage(model);
  const std::string ann = "<a href=\"players/" + playerFileName("steam:0:1") + "\"><bdi>ann</bdi></a>";
  const std::string bea = "<a href=\"players/" + playerFileName("steam:0:2") + "\"><bdi>bea</bdi></a>";

  // The tie of the 2nd names both, in key order, with the figure.
  const std::size_t second = page.find("<h3 id=\"2026-12-02\">02.12.2026</h3>");
  ASSERT_NE(second, std::string::npos);
  EXPECT_NE(page.find("<tr><th scope=\"row\">Больше всех убийств</th><td class=\"name\">" + ann + ", " + bea +
                          "</td><td class=\"n\">10</td></tr>",
                      second),
            std::string::npos);
  EXPECT_NE(page.find("<th scope=\"row\">Мастер ножа</th><td class=\"name\">" + bea + "</td><td class=\"n\">5</td>"),
            std::string::npos);
  EXPECT_EQ(page.find("Гранатомётчик"), std::string::npos) << "nobody threw a grenade";
  EXPECT_EQ(page.find("Больше всех заложенных бомб"), std::string::npos);
  EXPECT_EQ(page.find("<bdi>hid</bdi>"), std::string::npos) << "the hidden win nothing";

  // Months, then weeks, then days, each headed; the header links the page itself.
  const std::size_t month = page.find("<h3 id=\"2026-12\">Декабрь 2026</h3>");
  const std::size_t week = page.find("<h3 id=\"2026-W49\">Неделя 49 (30.11–06.12.2026)</h3>");
  const std::size_t first = page.find("<h3 id=\"2026-12-01\">01.12.2026</h3>");
  ASSERT_NE(month, std::string::npos);
  ASSERT_NE(week, std::string::npos);
  ASSERT_NE(first, std::string::npos);
  EXPECT_LT(month, week);
  EXPECT_LT(week, second);
  EXPECT_LT(second, first) << "newest day first";
  EXPECT_NE(page.find("<a href=\"awards.htm\" aria-current=\"page\">Награды</a>"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
}

TEST(SiteAwardsTest, ThePageListsDaysOfTheLastSixtyDaysOnlyButEveryWeekAndMonth) {
  // September 1st is more than 60 days before December 5th (95 days).
  MatchMaker old(1, 20, "de_dust2", 9);
  old.kills(old.player("STEAM_0:0:1", "ann"), old.player("STEAM_0:0:2", "bea"), 4);
  MatchMaker recent(5, 20);
  recent.kills(recent.player("STEAM_0:0:1", "ann"), recent.player("STEAM_0:0:2", "bea"), 3);
  const SiteModel model = modelOf({old, recent});
  ASSERT_EQ(model.awards.days.size(), 2u);
  const std::string page = buildAwardsPage(model);
  EXPECT_NE(page.find("<h3 id=\"2026-12-05\">"), std::string::npos);
  EXPECT_EQ(page.find("<h3 id=\"2026-09-01\">"), std::string::npos);
  EXPECT_NE(page.find("<h3 id=\"2026-09\">Сентябрь 2026</h3>"), std::string::npos);
  EXPECT_NE(page.find("<h3 id=\"2026-W36\">"), std::string::npos);
}

TEST(SiteAwardsTest, ThePageListsTheWeeksOfTheLastYearOnly) {
  // The week of January 1st (2026-W01, from December 29th, 2025) begins 52
  // weeks before that of December 31st (2026-W53): one week too many.
  MatchMaker first(1, 20, "de_dust2", 1);
  first.kills(first.player("STEAM_0:0:1", "ann"), first.player("STEAM_0:0:2", "bea"), 4);
  MatchMaker second(5, 20, "de_dust2", 1);
  second.kills(second.player("STEAM_0:0:1", "ann"), second.player("STEAM_0:0:2", "bea"), 4);
  MatchMaker last(31, 20);
  last.kills(last.player("STEAM_0:0:1", "ann"), last.player("STEAM_0:0:2", "bea"), 3);
  const std::string page = buildAwardsPage(modelOf({first, second, last}));
  EXPECT_NE(page.find("<h3 id=\"2026-W53\">"), std::string::npos);
  EXPECT_NE(page.find("<h3 id=\"2026-W02\">"), std::string::npos) << "January 5th: 51 weeks before";
  EXPECT_EQ(page.find("<h3 id=\"2026-W01\">"), std::string::npos);
  EXPECT_NE(page.find("<h3 id=\"2026-01\">"), std::string::npos) << "its month stays";
}

TEST(SiteAwardsTest, WithoutPlayThePageSaysThereAreNoAwards) {
  const std::string page = buildAwardsPage(SiteModel{});
  EXPECT_NE(page.find("Наград пока нет."), std::string::npos);
  EXPECT_EQ(page.find("<h3"), std::string::npos);
}

}  // namespace
}  // namespace fragtally

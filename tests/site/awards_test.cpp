#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "analysis/match_players.h"
#include "site/awards.h"

namespace fragtally {
namespace {

std::int64_t on(int year, int month, int day) { return dayOfDate(CalendarDate{year, month, day}); }

AwardFigures kd(std::int64_t kills, std::int64_t deaths) {
  AwardFigures figures;
  figures.kills = kills;
  figures.deaths = deaths;
  return figures;
}

AwardFigures aim(std::int64_t shots, std::int64_t hits, std::int64_t headshots) {
  AwardFigures figures;
  figures.shots = shots;
  figures.hits = hits;
  figures.headshots = headshots;
  return figures;
}

/// People and their matches, in the order a test adds them.
struct Season {
  std::vector<AwardPerson> people;

  AwardPerson& person(const std::string& key) {
    for (AwardPerson& person : people) {
      if (person.key == key) return person;
    }
    people.push_back(AwardPerson{key, {}, {}});
    return people.back();
  }
  Season& play(const std::string& key, std::int64_t day, const AwardFigures& figures) {
    person(key).matches.push_back(AwardPlay{day, figures});
    return *this;
  }
  Season& rating(const std::string& key, std::int64_t day, double rating) {
    person(key).ratings.push_back(RatingAfterDay{day, rating});
    return *this;
  }
};

const Award* find(const PeriodAwards& period, AwardId id) {
  for (const Award& award : period.awards) {
    if (award.id == id) return &award;
  }
  return nullptr;
}

std::vector<std::string> labels(const std::vector<PeriodAwards>& periods) {
  std::vector<std::string> result;
  for (const PeriodAwards& period : periods) result.push_back(periodLabel(period.period));
  return result;
}

std::vector<AwardId> ids(const PeriodAwards& period) {
  std::vector<AwardId> result;
  for (const Award& award : period.awards) result.push_back(award.id);
  return result;
}

using Keys = std::vector<std::string>;

TEST(AwardsTest, KeysAreDistinct) {
  std::set<std::string_view> keys;
  for (std::size_t id = 0; id < kAwardKinds; ++id) keys.insert(awardKey(static_cast<AwardId>(id)));
  EXPECT_EQ(keys.size(), kAwardKinds);
  EXPECT_EQ(awardKey(AwardId::killsPerDeath), "kills-per-death");
  EXPECT_EQ(awardKey(AwardId::teamKills), "team-kills");
  EXPECT_EQ(awardFigureOf(AwardId::accuracy), AwardFigure::share);
  EXPECT_EQ(awardFigureOf(AwardId::ratingGain), AwardFigure::ratingPoints);
}

TEST(AwardsTest, ADaysWinnersWithATieInKeyOrder) {
  Season season;
  const std::int64_t day = on(2026, 12, 1);
  season.play("steam:0:7", day, kd(5, 0));  // 5 per death, but under 10 kills
  season.play("name:bea", day, kd(12, 6));
  season.play("name:ann", day, kd(6, 2)).play("name:ann", day, kd(6, 2));
  const AwardTable table = computeAwards(season.people);

  ASSERT_EQ(labels(table.days), Keys{"2026-12-01"});
  const PeriodAwards& awards = table.days[0];
  // Nothing else has a figure above 0: no other award is listed.
  EXPECT_EQ(ids(awards), (std::vector<AwardId>{AwardId::kills, AwardId::killsPerDeath}));
  EXPECT_EQ(awards.awards[0], (Award{AwardId::kills, 12.0, Keys{"name:ann", "name:bea"}}));
  EXPECT_EQ(awards.awards[1], (Award{AwardId::killsPerDeath, 3.0, Keys{"name:ann"}}));  // 12 / 4 against 12 / 6
}

TEST(AwardsTest, KillsPerDeathNeedsItsMinimum) {
  Season season;
  const std::int64_t day = on(2026, 12, 1);
  season.play("name:ann", day, kd(9, 0));   // 9, one kill short
  season.play("name:bea", day, kd(10, 0));  // no deaths: the kills themselves
  season.play("name:cid", day, kd(30, 4));  // 7.5
  EXPECT_EQ(*find(computeAwards(season.people).days[0], AwardId::killsPerDeath),
            (Award{AwardId::killsPerDeath, 10.0, Keys{"name:bea"}}));

  AwardSettings stricter;
  stricter.day.killsForKillsPerDeath = 11;
  EXPECT_EQ(*find(computeAwards(season.people, stricter).days[0], AwardId::killsPerDeath),
            (Award{AwardId::killsPerDeath, 7.5, Keys{"name:cid"}}));

  stricter.day.killsForKillsPerDeath = 31;
  EXPECT_EQ(find(computeAwards(season.people, stricter).days[0], AwardId::killsPerDeath), nullptr);
}

TEST(AwardsTest, EqualRatiosTie) {
  Season season;
  season.play("name:bea", on(2026, 12, 1), kd(20, 10));
  season.play("name:ann", on(2026, 12, 1), kd(10, 5));
  EXPECT_EQ(*find(computeAwards(season.people).days[0], AwardId::killsPerDeath),
            (Award{AwardId::killsPerDeath, 2.0, Keys{"name:ann", "name:bea"}}));
}

TEST(AwardsTest, AccuracyAndHeadshotsComeFromWeaponStatistics) {
  Season season;
  season.play("name:ann", on(2026, 12, 1), aim(100, 30, 7));
  season.play("name:bea", on(2026, 12, 1), aim(99, 90, 9));  // too few shots for accuracy
  season.play("name:cid", on(2026, 12, 1), kd(20, 2));       // no statistics
  season.play("name:ann", on(2026, 12, 2), aim(100, 20, 0));
  const AwardTable table = computeAwards(season.people);

  ASSERT_EQ(labels(table.days), (Keys{"2026-12-02", "2026-12-01"}));
  EXPECT_EQ(*find(table.days[1], AwardId::accuracy), (Award{AwardId::accuracy, 0.3, Keys{"name:ann"}}));
  EXPECT_EQ(*find(table.days[1], AwardId::headshots), (Award{AwardId::headshots, 9.0, Keys{"name:bea"}}));
  EXPECT_EQ(*find(table.days[0], AwardId::accuracy), (Award{AwardId::accuracy, 0.2, Keys{"name:ann"}}));
  EXPECT_EQ(find(table.days[0], AwardId::headshots), nullptr);  // ann's 0 is no figure

  // The week asks 200 shots: ann's 50 hits of 200; the month asks 400.
  ASSERT_EQ(labels(table.weeks), Keys{"2026-W49"});
  EXPECT_EQ(*find(table.weeks[0], AwardId::accuracy), (Award{AwardId::accuracy, 0.25, Keys{"name:ann"}}));
  ASSERT_EQ(labels(table.months), Keys{"2026-12"});
  EXPECT_EQ(find(table.months[0], AwardId::accuracy), nullptr);
  EXPECT_EQ(*find(table.months[0], AwardId::headshots), (Award{AwardId::headshots, 9.0, Keys{"name:bea"}}));
}

TEST(AwardsTest, WeaponGroupsAndObjectivesEachHaveTheirAward) {
  const auto player = [](const char* weapon, std::int64_t kills) {
    MatchPlayer match;
    match.kills = kills;
    match.weapons.push_back(WeaponUse{weapon, kills, 0, 0, 0, 0});
    return match;
  };
  MatchPlayer planter;
  planter.bombsPlanted = 2;
  MatchPlayer defuser;
  defuser.bombsDefused = 1;
  MatchPlayer rescuer;
  rescuer.hostagesRescued = 4;
  MatchPlayer traitor;
  traitor.teamKills = 3;

  Season season;
  const std::int64_t day = on(2026, 12, 1);
  season.play("a", day, awardFiguresOf(player("scout", 3)));
  season.play("b", day, awardFiguresOf(player("knife", 1)));
  season.play("c", day, awardFiguresOf(player("hegrenade", 2)));
  season.play("d", day, awardFiguresOf(player("usp", 4)));
  season.play("e", day, awardFiguresOf(player("ak47", 9)));
  season.play("f", day, awardFiguresOf(planter));
  season.play("g", day, awardFiguresOf(defuser));
  season.play("h", day, awardFiguresOf(rescuer));
  season.play("i", day, awardFiguresOf(traitor));
  const std::vector<Award> expected{
      {AwardId::kills, 9.0, Keys{"e"}},           {AwardId::sniperKills, 3.0, Keys{"a"}},
      {AwardId::knifeKills, 1.0, Keys{"b"}},      {AwardId::grenadeKills, 2.0, Keys{"c"}},
      {AwardId::pistolKills, 4.0, Keys{"d"}},     {AwardId::bombsPlanted, 2.0, Keys{"f"}},
      {AwardId::bombsDefused, 1.0, Keys{"g"}},    {AwardId::hostagesRescued, 4.0, Keys{"h"}},
      {AwardId::teamKills, 3.0, Keys{"i"}},
  };
  EXPECT_EQ(computeAwards(season.people).days.at(0).awards, expected);
}

TEST(AwardsTest, APeriodWithoutCandidatesIsLeftOut) {
  Season season;
  season.play("name:ann", on(2026, 12, 1), kd(0, 3));
  season.rating("name:ann", on(2026, 12, 1), 1480.0);
  const AwardTable table = computeAwards(season.people);
  EXPECT_TRUE(table.days.empty());
  EXPECT_TRUE(table.weeks.empty());
  EXPECT_TRUE(table.months.empty());
}

TEST(AwardsTest, WeeksAndMonthsAcrossAYearsEnd) {
  Season season;
  season.play("name:ann", on(2026, 12, 27), kd(5, 0));  // Sunday: week 52
  season.play("name:bea", on(2026, 12, 28), kd(3, 0));  // Monday: week 53
  season.play("name:bea", on(2026, 12, 31), kd(4, 0));
  season.play("name:ann", on(2027, 1, 2), kd(6, 0));    // Saturday, still 2026's week 53
  season.play("name:bea", on(2027, 1, 4), kd(1, 0));    // Monday: 2027's week 1
  const AwardTable table = computeAwards(season.people);

  EXPECT_EQ(labels(table.days), (Keys{"2027-01-04", "2027-01-02", "2026-12-31", "2026-12-28", "2026-12-27"}));
  ASSERT_EQ(labels(table.weeks), (Keys{"2027-W01", "2026-W53", "2026-W52"}));
  EXPECT_EQ(table.weeks[0].awards, (std::vector<Award>{{AwardId::kills, 1.0, Keys{"name:bea"}}}));
  EXPECT_EQ(table.weeks[1].awards, (std::vector<Award>{{AwardId::kills, 7.0, Keys{"name:bea"}}}));  // ann 6
  EXPECT_EQ(table.weeks[2].awards, (std::vector<Award>{{AwardId::kills, 5.0, Keys{"name:ann"}}}));
  EXPECT_EQ(table.weeks[1].period, (Period{PeriodKind::week, on(2026, 12, 28), on(2027, 1, 3)}));
  ASSERT_EQ(labels(table.months), (Keys{"2027-01", "2026-12"}));
  EXPECT_EQ(table.months[0].awards, (std::vector<Award>{{AwardId::kills, 6.0, Keys{"name:ann"}}}));  // bea 1
  EXPECT_EQ(table.months[1].awards, (std::vector<Award>{{AwardId::kills, 7.0, Keys{"name:bea"}}}));  // ann 5
}

TEST(AwardsTest, AMonthsEndWithinAWeek) {
  Season season;
  season.play("name:ann", on(2026, 11, 30), kd(8, 0));  // Monday of week 49
  season.play("name:bea", on(2026, 12, 1), kd(5, 0));
  season.play("name:ann", on(2026, 12, 1), kd(2, 0));
  const AwardTable table = computeAwards(season.people);

  ASSERT_EQ(labels(table.weeks), Keys{"2026-W49"});
  EXPECT_EQ(*find(table.weeks[0], AwardId::kills), (Award{AwardId::kills, 10.0, Keys{"name:ann"}}));
  ASSERT_EQ(labels(table.months), (Keys{"2026-12", "2026-11"}));
  EXPECT_EQ(*find(table.months[0], AwardId::kills), (Award{AwardId::kills, 5.0, Keys{"name:bea"}}));
  EXPECT_EQ(*find(table.months[1], AwardId::kills), (Award{AwardId::kills, 8.0, Keys{"name:ann"}}));
}

TEST(AwardsTest, RatingGainFromTheLastRatingBeforeThePeriod) {
  Season season;  // ratings given newest first: the order must not matter
  season.rating("name:ann", on(2026, 12, 31), 1550.0).rating("name:ann", on(2026, 12, 28), 1510.0);
  season.rating("name:ann", on(2026, 12, 27), 1520.0);  // his first day: from 1500
  season.rating("name:bea", on(2027, 1, 2), 1530.0).rating("name:bea", on(2026, 12, 28), 1490.0);
  const AwardTable table = computeAwards(season.people);

  // Both lost on Dec 28: no gain above 0, and the day has no other award.
  ASSERT_EQ(labels(table.days), (Keys{"2027-01-02", "2026-12-31", "2026-12-27"}));
  EXPECT_EQ(table.days[0].awards, (std::vector<Award>{{AwardId::ratingGain, 40.0, Keys{"name:bea"}}}));
  EXPECT_EQ(table.days[1].awards, (std::vector<Award>{{AwardId::ratingGain, 40.0, Keys{"name:ann"}}}));
  EXPECT_EQ(table.days[2].awards, (std::vector<Award>{{AwardId::ratingGain, 20.0, Keys{"name:ann"}}}));
  // Week 53: ann 1520 to 1550, bea 1500 to 1530.
  ASSERT_EQ(labels(table.weeks), (Keys{"2026-W53", "2026-W52"}));
  EXPECT_EQ(table.weeks[0].awards, (std::vector<Award>{{AwardId::ratingGain, 30.0, Keys{"name:ann", "name:bea"}}}));
  EXPECT_EQ(table.weeks[1].awards, (std::vector<Award>{{AwardId::ratingGain, 20.0, Keys{"name:ann"}}}));
  // December: ann 1500 to 1550, bea down; January: bea 1490 to 1530.
  ASSERT_EQ(labels(table.months), (Keys{"2027-01", "2026-12"}));
  EXPECT_EQ(table.months[0].awards, (std::vector<Award>{{AwardId::ratingGain, 40.0, Keys{"name:bea"}}}));
  EXPECT_EQ(table.months[1].awards, (std::vector<Award>{{AwardId::ratingGain, 50.0, Keys{"name:ann"}}}));
}

TEST(AwardsTest, APersonsAwardsMonthsFirstThenNewestFirst) {
  Season season;
  season.play("name:ann", on(2026, 12, 1), kd(5, 0)).play("name:bea", on(2026, 12, 1), kd(5, 0));
  season.play("name:ann", on(2026, 12, 2), kd(3, 0));
  season.play("name:cid", on(2026, 12, 2), kd(0, 1));
  const auto won = awardsByPerson(computeAwards(season.people));

  ASSERT_EQ(won.size(), 2u);  // cid won nothing
  const std::vector<WonAward>& ann = won.at("name:ann");
  ASSERT_EQ(ann.size(), 4u);
  EXPECT_EQ(periodLabel(ann[0].period), "2026-12");
  EXPECT_EQ(ann[0].figure, 8.0);
  EXPECT_FALSE(ann[0].shared);
  EXPECT_EQ(periodLabel(ann[1].period), "2026-W49");
  EXPECT_EQ(periodLabel(ann[2].period), "2026-12-02");
  EXPECT_EQ(ann[2].figure, 3.0);
  EXPECT_EQ(periodLabel(ann[3].period), "2026-12-01");
  EXPECT_TRUE(ann[3].shared);
  const std::vector<WonAward>& bea = won.at("name:bea");
  ASSERT_EQ(bea.size(), 1u);
  EXPECT_EQ(periodLabel(bea[0].period), "2026-12-01");
  EXPECT_EQ(bea[0].id, AwardId::kills);
  EXPECT_TRUE(bea[0].shared);
}

}  // namespace
}  // namespace fragtally

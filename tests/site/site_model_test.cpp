#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "players/players_file.h"
#include "players/rating_run.h"
#include "tests/site/site_matches.h"
#include "site/site_model.h"

namespace fragtally {
namespace {

using testing::MatchMaker;
using testing::modelOf;

const SitePerson* personKeyed(const SiteModel& model, const std::string& key) {
  for (const SitePerson& person : model.people) {
    if (person.key == key) return &person;
  }
  return nullptr;
}

std::vector<std::string> keysOf(const SiteModel& model, const std::vector<std::uint32_t>& list) {
  std::vector<std::string> keys;
  for (const std::uint32_t at : list) keys.push_back(model.people[at].key);
  return keys;
}

TEST(SiteModelTest, APersonIsShownByHisLatestMatchsMainNameAndKeepsEveryName) {
  MatchMaker first(1, 20);
  const std::size_t fox = first.player("STEAM_0:0:101", "Fox", 9);
  first.kills(fox, first.player("STEAM_0:1:202", "Hare"), 2);
  MatchMaker renamed(2, 20);
  const std::size_t newFox = renamed.player("STEAM_0:0:101", "Old Fox", 2);
  renamed.at(newFox).names.push_back(NameUse{"Silver Fox", 5});  // renamed in the match, then most lines
  renamed.kills(newFox, renamed.player("STEAM_0:1:202", "Hare"), 1);
  // Given in the other order: the later match still names him.
  const SiteModel model = modelOf({renamed, first});
  const SitePerson* person = personKeyed(model, "steam:0:101");
  ASSERT_NE(person, nullptr);
  EXPECT_EQ(person->shownName, "Silver Fox");
  EXPECT_EQ(person->names, (std::vector<std::string>{"Fox", "Old Fox", "Silver Fox"}));
  ASSERT_EQ(person->matches.size(), 2u);
  EXPECT_EQ(model.matches[person->matches[0].match].date, "12/02/2026") << "newest first";
  EXPECT_EQ(person->matches[0].kills, 1);
  EXPECT_EQ(person->matches[1].kills, 2);
  EXPECT_EQ(person->kills, 3);
  ASSERT_EQ(person->rating.course.size(), 2u) << "one point per day of play";
  EXPECT_EQ(person->rating.course[1].day - person->rating.course[0].day, 1);
}

TEST(SiteModelTest, AccountsTellPeopleApartAndLanPlayersGoByName) {
  MatchMaker match(3, 21);
  const std::size_t steamFox = match.player("STEAM_0:0:1", "Fox");
  const std::size_t otherFox = match.player("STEAM_0:0:2", "Fox");
  const std::size_t lanFox = match.player("STEAM_ID_LAN", "Fox");
  const std::size_t lanWolf = match.player("STEAM_ID_LAN", "Wolf");
  match.kills(steamFox, otherFox, 3).kills(lanFox, lanWolf, 1).kills(lanWolf, steamFox, 2);
  const SiteModel model = modelOf({match});
  std::vector<std::string> keys;
  for (const SitePerson& person : model.people) keys.push_back(person.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"name:Fox", "name:Wolf", "steam:0:1", "steam:0:2"}));
  EXPECT_EQ(personKeyed(model, "steam:0:1")->shownName, "Fox");
  EXPECT_EQ(personKeyed(model, "steam:0:2")->shownName, "Fox");
  EXPECT_EQ(personKeyed(model, "steam:0:1")->kills, 3);
  EXPECT_EQ(personKeyed(model, "steam:0:2")->deaths, 3);
  EXPECT_EQ(personKeyed(model, "name:Fox")->kills, 1);
  EXPECT_NE(personKeyed(model, "steam:0:1")->file, personKeyed(model, "steam:0:2")->file);

  SiteSettings byName;
  byName.identity.mode = IdentityMode::Name;
  const SiteModel named = modelOf({match}, byName);
  ASSERT_EQ(named.people.size(), 2u) << "by name, the three Foxes are one";
  EXPECT_EQ(personKeyed(named, "name:Fox")->kills, 3 + 1);
  EXPECT_EQ(personKeyed(named, "name:Fox")->deaths, 3 + 2) << "his own kills of himself are no deaths by another";
  EXPECT_TRUE(personKeyed(named, "name:Fox")->victims.size() == 1) << "only Wolf: a kill of oneself is no opponent";
}

TEST(SiteModelTest, PlayersFileMergesHidesAndNames) {
  MatchMaker lan(1, 20);
  const std::size_t lanAnn = lan.player("STEAM_ID_LAN", "ann");
  const std::size_t bea = lan.player("STEAM_0:0:7", "bea");
  lan.kills(lanAnn, bea, 4).kills(bea, lanAnn, 1);
  MatchMaker steam(2, 20);
  const std::size_t steamAnn = steam.player("STEAM_0:1:5", "annie");
  const std::size_t cid = steam.player("STEAM_0:0:9", "cid");
  steam.kills(steamAnn, cid, 2).kills(cid, steamAnn, 6);
  SiteSettings settings;
  settings.playersFile = readPlayersFile("merge steam:1:5 name:ann\nhide steam:0:9\nname name:ann Ann the First\n");
  const SiteModel model = modelOf({lan, steam}, settings);
  ASSERT_EQ(model.people.size(), 2u) << "cid hidden, ann's two keys one person";
  const SitePerson* ann = personKeyed(model, "steam:1:5");
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(ann->shownName, "Ann the First");
  EXPECT_EQ(ann->names, (std::vector<std::string>{"ann", "annie"}));
  EXPECT_EQ(ann->matches.size(), 2u);
  EXPECT_EQ(ann->kills, 4 + 2);
  EXPECT_EQ(ann->deaths, 1 + 6);
  // The hidden one is on no list, not even as an opponent, but his games rate ann.
  ASSERT_EQ(ann->killers.size(), 1u);
  EXPECT_EQ(model.people[ann->killers[0].person].key, "steam:0:7");
  EXPECT_EQ(personKeyed(model, "steam:0:9"), nullptr);
  EXPECT_EQ(ann->rating.games, 4 + 1 + 2 + 6);
}

// The site rates its people day by day as the rating run does, whatever
// order its records come in: each kill in its match's day, two matches of a
// day in one period, a day of play between two others, bots never rated.
TEST(SiteModelTest, RatingsAreTheRatingRunsWhateverTheOrderOfTheRecords) {
  std::vector<MatchMaker> matches;
  const auto add = [&](int day, int hour) -> MatchMaker& { return matches.emplace_back(day, hour); };
  {
    MatchMaker& m = add(3, 20);
    const std::size_t ann = m.player("STEAM_0:0:1", "ann");
    const std::size_t bea = m.player("STEAM_0:0:2", "bea");
    const std::size_t cid = m.player("STEAM_0:0:3", "cid");
    m.kills(ann, bea, 5).kills(bea, ann, 2).kills(cid, ann, 3).kills(bea, cid, 1);
  }
  {
    MatchMaker& m = add(1, 21);
    const std::size_t bea = m.player("STEAM_0:0:2", "bea");
    const std::size_t dan = m.player("STEAM_0:0:4", "dan");
    const std::size_t bot = m.player("BOT", "Opie");
    m.kills(dan, bea, 4).kills(bea, dan, 4).kills(bot, dan, 9).kills(dan, bot, 1);
  }
  {
    MatchMaker& m = add(3, 18);
    const std::size_t cid = m.player("STEAM_0:0:3", "cid");
    const std::size_t dan = m.player("STEAM_0:0:4", "dan");
    m.kills(cid, dan, 7).kills(dan, cid, 1);
  }
  {
    MatchMaker& m = add(2, 22);
    const std::size_t ann = m.player("STEAM_0:0:1", "ann");
    const std::size_t bot = m.player("BOT", "Opie");
    m.kills(ann, bot, 12);
  }
  {
    MatchMaker& m = add(5, 19);
    const std::size_t ann = m.player("STEAM_0:0:1", "ann");
    const std::size_t dan = m.player("STEAM_0:0:4", "dan");
    m.kills(dan, ann, 2).kills(ann, dan, 6);
  }

  std::vector<RatedMatch> rated;
  for (std::size_t at = 0; at < matches.size(); ++at) {
    const MatchSummary& summary = matches[at].summary();
    rated.push_back(RatedMatch{*readMatchStart(summary.date, summary.start), "L" + std::to_string(at) + ".log",
                               summary.people});
  }
  const RatingTable table = rateMatches(rated, PlayersFile{});
  std::vector<RatedPerson> expected = table.ranked;
  expected.insert(expected.end(), table.unranked.begin(), table.unranked.end());
  ASSERT_EQ(expected.size(), 4u);

  for (const bool reversed : {false, true}) {
    std::vector<MatchMaker> given = matches;
    if (reversed) std::reverse(given.begin(), given.end());
    const SiteModel model = modelOf(given);
    ASSERT_EQ(model.people.size(), expected.size());
    for (const RatedPerson& person : expected) {
      const SitePerson* site = personKeyed(model, person.key);
      ASSERT_NE(site, nullptr) << person.key;
      EXPECT_NEAR(site->rating.rating.rating, person.rating.rating, 1e-9) << person.key;
      EXPECT_NEAR(site->rating.rating.deviation, person.rating.deviation, 1e-9) << person.key;
      EXPECT_EQ(site->rating.games, person.games) << person.key;
    }
  }
}

TEST(SiteModelTest, BotsAreApartUnlessIncludedAndNeverRated) {
  MatchMaker match(4, 20);
  const std::size_t ann = match.player("STEAM_0:0:1", "ann");
  const std::size_t bot = match.player("BOT", "Opie");
  const std::size_t bea = match.player("STEAM_0:0:2", "bea");
  match.kills(ann, bot, 30).kills(bot, ann, 2).kills(ann, bea, 1);
  const SiteModel without = modelOf({match});
  EXPECT_EQ(without.people.size(), 2u);
  EXPECT_EQ(personKeyed(without, "steam:0:1")->kills, 31) << "his own figures count his bot kills";
  EXPECT_EQ(personKeyed(without, "steam:0:1")->rating.games, 1) << "the rating does not";
  EXPECT_TRUE(personKeyed(without, "steam:0:1")->killers.empty());

  SiteSettings withBots;
  withBots.identity.includeBots = true;
  const SiteModel with = modelOf({match}, withBots);
  const SitePerson* opie = personKeyed(with, "bot:Opie");
  ASSERT_NE(opie, nullptr);
  EXPECT_EQ(opie->rating.games, 0);
  EXPECT_EQ(opie->rating.rating.rating, 1500.0);
  const SitePerson* annWith = personKeyed(with, "steam:0:1");
  ASSERT_EQ(annWith->victims.size(), 2u) << "a bot included is an opponent like any";
  EXPECT_EQ(with.people[annWith->victims[0].person].key, "bot:Opie");
  EXPECT_EQ(annWith->victims[0].count, 30);
  EXPECT_EQ(annWith->rating.games, 1);
}

TEST(SiteModelTest, TheRankedHaveEnoughMatchesAndGoByRatingLessTwoDeviations) {
  std::vector<MatchMaker> matches;
  for (int day = 1; day <= 3; ++day) {
    MatchMaker match(day, 20);
    const std::size_t ann = match.player("STEAM_0:0:1", "ann");
    const std::size_t bea = match.player("STEAM_0:0:2", "bea");
    match.kills(ann, bea, 8).kills(bea, ann, 2);
    if (day == 3) match.kills(match.player("STEAM_0:0:3", "cid"), ann, 5);
    matches.push_back(match);
  }
  const SiteModel model = modelOf(matches);
  EXPECT_EQ(keysOf(model, model.ranked), (std::vector<std::string>{"steam:0:1", "steam:0:2"}));
  EXPECT_EQ(keysOf(model, model.unranked), (std::vector<std::string>{"steam:0:3"}));
  EXPECT_GT(model.people[model.ranked[0]].rankingValue(), model.people[model.ranked[1]].rankingValue());
  EXPECT_EQ(model.people[model.ranked[1]].place, 2u);
  EXPECT_EQ(model.people[model.unranked[0]].place, 0u);

  SiteSettings fewer;
  fewer.minMatches = 1;
  const SiteModel all = modelOf(matches, fewer);
  EXPECT_EQ(all.ranked.size(), 3u);
  EXPECT_TRUE(all.unranked.empty());
}

TEST(SiteModelTest, WhoKilledWhomOverAllMatchesMostFirst) {
  MatchMaker first(5, 20, "de_nuke");
  const std::size_t ann = first.player("STEAM_0:0:1", "ann");
  const std::size_t bea = first.player("STEAM_0:0:2", "bea");
  const std::size_t cid = first.player("STEAM_0:0:3", "cid");
  first.kills(ann, bea, 2).kills(ann, cid, 3).kills(bea, ann, 1);
  MatchMaker second(6, 20, "de_nuke");
  const std::size_t ann2 = second.player("STEAM_0:0:1", "ann");
  const std::size_t bea2 = second.player("STEAM_0:0:2", "bea");
  second.kills(ann2, bea2, 2, "awp").kills(bea2, ann2, 4);
  MatchMaker third(6, 22, "de_dust2");
  third.kills(third.player("STEAM_0:0:1", "ann"), third.player("STEAM_0:0:3", "cid"), 1, "awp");
  const SiteModel model = modelOf({first, second, third});
  const SitePerson* annPerson = personKeyed(model, "steam:0:1");
  ASSERT_EQ(annPerson->victims.size(), 2u);
  // bea and cid four each: ties go by key.
  EXPECT_EQ(model.people[annPerson->victims[0].person].key, "steam:0:2");
  EXPECT_EQ(annPerson->victims[0].count, 4);
  EXPECT_EQ(model.people[annPerson->victims[1].person].key, "steam:0:3");
  EXPECT_EQ(annPerson->victims[1].count, 4);
  ASSERT_EQ(annPerson->killers.size(), 1u);
  EXPECT_EQ(annPerson->killers[0].count, 5);
  // His weapons and maps over all matches.
  ASSERT_EQ(annPerson->weapons.size(), 2u);
  EXPECT_EQ(model.weapons[annPerson->weapons[0].weapon], "ak47");
  EXPECT_EQ(annPerson->weapons[0].kills, 5);
  EXPECT_EQ(annPerson->weapons[1].kills, 3);
  ASSERT_EQ(annPerson->maps.size(), 2u);
  EXPECT_EQ(model.maps[static_cast<std::size_t>(annPerson->maps[0].map)], "de_nuke");
  EXPECT_EQ(annPerson->maps[0].matches, 2);
  EXPECT_EQ(annPerson->rating.course.size(), 2u) << "two days, three matches";
}

TEST(SiteModelTest, AccuracyAndObjectivesAddUpAcrossMatches) {
  MatchMaker first(7, 20);
  const std::size_t ann = first.player("STEAM_0:0:1", "ann");
  first.kills(ann, first.player("STEAM_0:0:2", "bea"), 2);
  first.at(ann).weapons[0].shots = 40;
  first.at(ann).weapons[0].hits = 10;
  first.at(ann).weapons[0].headshots = 3;
  first.at(ann).weapons[0].damage = 900;
  first.at(ann).bombsPlanted = 2;
  first.at(ann).roundsWon = 5;
  first.at(ann).suicides = 1;
  first.at(ann).deaths += 1;
  MatchMaker second(8, 20);
  const std::size_t ann2 = second.player("STEAM_0:0:1", "ann");
  second.kills(ann2, second.player("STEAM_0:0:2", "bea"), 1, "deagle");
  second.at(ann2).weapons[0].shots = 10;
  second.at(ann2).weapons[0].hits = 5;
  second.at(ann2).bombsDefused = 1;
  second.at(ann2).hostagesRescued = 4;
  second.at(ann2).teamKills = 2;
  second.at(ann2).roundsWon = 3;
  const SiteModel model = modelOf({first, second});
  const SitePerson* person = personKeyed(model, "steam:0:1");
  ASSERT_NE(person, nullptr);
  EXPECT_EQ(person->shots, 50);
  EXPECT_EQ(person->hits, 15);
  EXPECT_EQ(person->headshots, 3);
  EXPECT_EQ(person->damage, 900);
  EXPECT_EQ(person->bombsPlanted, 2);
  EXPECT_EQ(person->bombsDefused, 1);
  EXPECT_EQ(person->hostagesRescued, 4);
  EXPECT_EQ(person->teamKills, 2);
  EXPECT_EQ(person->suicides, 1);
  EXPECT_EQ(person->deaths, 1);
  EXPECT_EQ(person->roundsWon, 8);
}

// Each player's weapons are his own, wherever he stands in the match and
// whoever before him is left out (a bot) or used other weapons.
TEST(SiteModelTest, EachPlayersWeaponsAreHisOwnInAMatchOfMany) {
  MatchMaker match(9, 20);
  const std::size_t bot = match.player("BOT", "Opie");
  const std::size_t ann = match.player("STEAM_0:0:1", "ann");
  const std::size_t bea = match.player("STEAM_0:0:2", "bea");
  match.kills(bot, ann, 4, "m249").kills(bot, bea, 1, "deagle");
  match.kills(ann, bea, 2, "awp").kills(ann, bot, 1, "knife");
  match.kills(bea, ann, 3, "knife");
  const SiteModel model = modelOf({match});
  const auto weaponsOf = [&](const std::string& key) {
    std::vector<std::pair<std::string, std::int64_t>> weapons;
    for (const PersonWeapon& weapon : personKeyed(model, key)->weapons) {
      weapons.emplace_back(model.weapons[weapon.weapon], weapon.kills);
    }
    return weapons;
  };
  using Kills = std::vector<std::pair<std::string, std::int64_t>>;
  EXPECT_EQ(weaponsOf("steam:0:1"), (Kills{{"awp", 2}, {"knife", 1}}));
  EXPECT_EQ(weaponsOf("steam:0:2"), (Kills{{"knife", 3}}));
}

TEST(SiteModelTest, MatchesWithoutKillsOrAReadableDateAreLeftOut) {
  MatchMaker quiet(9, 20);
  quiet.player("STEAM_0:0:1", "ann");
  MatchMaker strange(9, 21);
  strange.kills(strange.player("STEAM_0:0:1", "ann"), strange.player("STEAM_0:0:2", "bea"), 1);
  MatchSummary broken = strange.summary();
  broken.date = "13/45/2026";
  SiteTally tally({});
  tally.add(quiet.summary(), "quiet.htm");
  tally.add(broken, "broken.htm");
  const SiteModel model = tally.take();
  EXPECT_TRUE(model.people.empty());
  EXPECT_TRUE(model.matches.empty());
}

}  // namespace
}  // namespace fragtally

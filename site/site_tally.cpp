#include <algorithm>
#include <future>
#include <numeric>
#include <optional>
#include <span>
#include <utility>

#include "index/index_tally.h"
#include "players/rating_run.h"
#include "record/match_summary.h"
#include "site/award_figures.h"
#include "site/calendar.h"
#include "site/player_file_name.h"
#include "site/site_model.h"

namespace fragtally {
namespace {

/// Ids given in the order names were met, renumbered in name order.
std::vector<std::uint32_t> nameOrder(std::vector<std::string>& names) {
  std::vector<std::uint32_t> order(names.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return names[a] < names[b]; });
  std::vector<std::uint32_t> renumbered(names.size());
  std::vector<std::string> sorted;
  sorted.reserve(names.size());
  for (const std::uint32_t id : order) {
    renumbered[id] = static_cast<std::uint32_t>(sorted.size());
    sorted.push_back(std::move(names[id]));
  }
  names = std::move(sorted);
  return renumbered;
}

/// Items laid out by key in one counting pass, for millions of items among
/// far fewer keys where a sort would cost much more: group(k) holds, in the
/// items' order, the values of those whose key is k. An item whose key is
/// none is left out.
template <typename Value>
class GroupedByKey {
 public:
  template <typename Items, typename KeyOf, typename ValueOf>
  GroupedByKey(const Items& items, std::size_t keys, KeyOf keyOf, ValueOf valueOf) : starts_(keys + 1, 0) {
    for (const auto& item : items) {
      if (const std::optional<std::size_t> key = keyOf(item)) ++starts_[*key + 1];
    }
    for (std::size_t key = 0; key < keys; ++key) starts_[key + 1] += starts_[key];
    values_.resize(starts_.back());
    std::vector<std::size_t> next(starts_.begin(), starts_.end() - 1);
    for (const auto& item : items) {
      if (const std::optional<std::size_t> key = keyOf(item)) values_[next[*key]++] = valueOf(item);
    }
  }

  std::span<Value> group(std::size_t key) {
    return std::span<Value>(values_).subspan(starts_[key], starts_[key + 1] - starts_[key]);
  }

 private:
  std::vector<std::size_t> starts_;
  std::vector<Value> values_;
};

/// The first `kTopOpponents` of a person's opponents, most kills first, ties by key.
void keepTop(std::vector<PersonCount>& list) {
  std::sort(list.begin(), list.end(), [](const PersonCount& a, const PersonCount& b) {
    return a.count != b.count ? a.count > b.count : a.person < b.person;
  });
  if (list.size() > kTopOpponents) list.resize(kTopOpponents);
}

/// A person as the awards take him: his days' figures, equal days merged, and
/// his rating at the end of each of his days.
AwardPerson awardPersonOf(const std::string& key, std::vector<AwardPlay> days, const PersonRating& rating) {
  AwardPerson person;
  person.key = key;
  std::sort(days.begin(), days.end(), [](const AwardPlay& a, const AwardPlay& b) { return a.day < b.day; });
  for (AwardPlay& day : days) {
    if (!person.matches.empty() && person.matches.back().day == day.day) {
      person.matches.back().figures += day.figures;
    } else {
      person.matches.push_back(day);
    }
  }
  person.ratings.reserve(rating.course.size());
  for (const RatingPoint& point : rating.course) person.ratings.push_back(RatingAfterDay{point.day, point.rating.rating});
  return person;
}

}  // namespace

std::vector<std::int64_t> killsOfDays(const std::vector<DayKills>& killsByDay, std::int64_t lastDay,
                                      std::int64_t days) {
  std::vector<std::int64_t> kills(static_cast<std::size_t>(std::max<std::int64_t>(days, 0)), 0);
  const std::int64_t firstDay = lastDay - days + 1;
  for (const DayKills& day : killsByDay) {
    if (day.day >= firstDay && day.day <= lastDay) kills[static_cast<std::size_t>(day.day - firstDay)] += day.kills;
  }
  return kills;
}

std::vector<DayKills> killsByDayOf(const SiteModel& model, const SitePerson& person) {
  std::vector<DayKills> days;
  // His matches are newest first: the days come out newest first, then turn.
  for (const PersonMatch& own : person.matches) {
    const std::int64_t day = model.matches[own.match].day;
    if (days.empty() || days.back().day != day) days.push_back(DayKills{day, 0});
    days.back().kills += own.kills;
  }
  std::reverse(days.begin(), days.end());
  return days;
}

const SitePerson* SiteModel::personByKey(std::string_view key) const {
  const auto found = std::lower_bound(people.begin(), people.end(), key,
                                      [](const SitePerson& person, std::string_view wanted) { return person.key < wanted; });
  return found != people.end() && found->key == key ? &*found : nullptr;
}

SiteTally::SiteTally(SiteSettings settings) : settings_(std::move(settings)) {}

bool SiteTally::later(std::uint32_t a, std::uint32_t b) const {
  const SiteMatch& x = matches_[a];
  const SiteMatch& y = matches_[b];
  return x.when != y.when ? x.when > y.when : x.report > y.report;
}

std::uint32_t SiteTally::personNumber(const std::string& key) {
  const auto [found, added] = personNumbers_.try_emplace(key, static_cast<std::uint32_t>(people_.size()));
  if (added) people_.emplace_back().key = key;
  return found->second;
}

std::uint32_t SiteTally::idOf(NameIds& ids, std::vector<std::string>& names, std::string_view name) {
  if (const auto found = ids.find(name); found != ids.end()) return found->second;
  const auto id = static_cast<std::uint32_t>(names.size());
  ids.emplace(std::string(name), id);
  names.emplace_back(name);
  return id;
}

void SiteTally::addToCharts(const MatchSummary& summary, std::uint32_t matchAt, int secondOfDay) {
  const SiteMatch& match = matches_[matchAt];
  days_.push_back(DayKills{match.day, summary.kills});
  const int hour = std::clamp(secondOfDay / 3600, 0, 23);
  ++matchesByHour_[static_cast<std::size_t>((weekdayOf(match.day) - 1) * 24 + hour)];
  if (match.map >= 0 && static_cast<std::size_t>(match.map) >= maps_.size()) {
    maps_.resize(static_cast<std::size_t>(match.map) + 1);
  }
  MapTally& map = match.map >= 0 ? maps_[static_cast<std::size_t>(match.map)] : unknownMap_;
  SiteMap& figures = map.figures;
  if (figures.matches == 0 || later(matchAt, figures.lastMatch)) figures.lastMatch = matchAt;
  ++figures.matches;
  figures.ctRounds += summary.ctRounds;
  figures.terroristRounds += summary.terroristRounds;
  figures.kills += summary.kills;
  figures.players += static_cast<std::int64_t>(summary.players.size());
  std::size_t use = 0;
  for (const MatchPlayer& player : summary.people.players) {
    for (const WeaponUse& weaponUse : player.weapons) {
      const std::uint32_t weapon = matchWeapons_[use++];
      if (weaponUse.kills <= 0) continue;
      auto counted = std::find_if(map.weapons.begin(), map.weapons.end(),
                                  [&](const WeaponCount& entry) { return entry.weapon == weapon; });
      if (counted == map.weapons.end()) counted = map.weapons.insert(map.weapons.end(), WeaponCount{weapon, 0});
      counted->kills += weaponUse.kills;
    }
  }
}

void SiteTally::add(const MatchSummary& summary, std::string_view reportName) {
  if (summary.kills == 0 || summary.people.players.empty()) return;
  const std::optional<MatchStart> start = readMatchStart(summary.date, summary.start);
  if (!start) return;
  const auto matchAt = static_cast<std::uint32_t>(matches_.size());
  SiteMatch& match = matches_.emplace_back();
  match.report = reportName;
  match.date = summary.date;
  match.start = summary.start;
  match.when = matchTimeKey(summary.date, summary.start);
  match.day = dayNumberOf(*start);
  if (summary.map) match.map = static_cast<std::int32_t>(idOf(mapIds_, mapNames_, *summary.map));
  // Looked up once for the map's figures and the players' both.
  matchWeapons_.clear();
  for (const MatchPlayer& player : summary.people.players) {
    for (const WeaponUse& use : player.weapons) matchWeapons_.push_back(idOf(weaponIds_, weaponNames_, use.weapon));
  }
  addToCharts(summary, matchAt, start->secondOfDay);

  const MatchPlayers& players = summary.people;
  const std::vector<std::string> keys = personKeysOf(players, settings_.identity, settings_.playersFile);
  std::vector<std::uint32_t> numbers(keys.size());
  for (std::size_t at = 0, firstUse = 0; at < keys.size(); firstUse += players.players[at].weapons.size(), ++at) {
    if (keys[at].empty()) continue;
    const std::uint32_t number = numbers[at] = personNumber(keys[at]);
    PersonTally& person = people_[number];
    const MatchPlayer& player = players.players[at];
    // Several players of one match may be one person (a players.txt merge).
    if (person.matches.empty() || person.matches.back().match != matchAt) {
      person.matches.push_back(PersonMatch{matchAt, 0, 0});
      if (person.matches.size() == 1 || later(matchAt, person.latestMatch)) {
        person.latestMatch = matchAt;
        person.latestName.newMatch();
      }
    }
    PersonMatch& own = person.matches.back();
    own.kills = static_cast<std::int32_t>(std::clamp<std::int64_t>(own.kills + player.kills, INT32_MIN, INT32_MAX));
    own.deaths = static_cast<std::int32_t>(std::clamp<std::int64_t>(own.deaths + player.deaths, INT32_MIN, INT32_MAX));
    if (person.latestMatch == matchAt) person.latestName.add(player);
    for (const NameUse& use : player.names) {
      if (std::find(person.names.begin(), person.names.end(), use.name) == person.names.end()) {
        person.names.push_back(use.name);
      }
    }
    if (person.days.empty() || person.days.back().day != match.day) person.days.push_back(AwardPlay{match.day, {}});
    person.days.back().figures += awardFiguresOf(player);
    PersonSums& sums = person.sums;
    sums.kills += player.kills;
    sums.deaths += player.deaths;
    sums.suicides += player.suicides;
    sums.teamKills += player.teamKills;
    sums.bombsPlanted += player.bombsPlanted;
    sums.bombsDefused += player.bombsDefused;
    sums.hostagesRescued += player.hostagesRescued;
    sums.hostagesKilled += player.hostagesKilled;
    sums.roundsWon += player.roundsWon;
    for (std::size_t use = 0; use < player.weapons.size(); ++use) {
      const std::uint32_t weapon = matchWeapons_[firstUse + use];
      const WeaponUse& figures = player.weapons[use];
      auto tally = std::find_if(person.weapons.begin(), person.weapons.end(),
                                [&](const WeaponTally& counted) { return counted.weapon == weapon; });
      if (tally == person.weapons.end()) tally = person.weapons.insert(person.weapons.end(), WeaponTally{weapon});
      tally->kills += figures.kills;
      tally->shots += figures.shots;
      tally->hits += figures.hits;
      tally->headshots += figures.headshots;
      tally->damage += figures.damage;
    }
  }
  for (const KillPair& pair : players.kills) {
    if (pair.killer >= keys.size() || pair.victim >= keys.size()) continue;
    if (keys[pair.killer].empty() || keys[pair.victim].empty()) continue;
    if (numbers[pair.killer] == numbers[pair.victim]) continue;
    const bool rated = !players.players[pair.killer].bot && !players.players[pair.victim].bot;
    const auto kills = static_cast<std::int32_t>(std::clamp<std::int64_t>(pair.kills, 0, INT32_MAX));
    kills_.push_back(KillTally{matchAt, numbers[pair.killer], numbers[pair.victim], kills, rated});
  }
}

void SiteTally::takeCharts(SiteModel& model, const std::vector<std::uint32_t>& matchAt,
                           const std::vector<std::uint32_t>& mapAt, const std::vector<std::uint32_t>& weaponAt) {
  std::sort(days_.begin(), days_.end(), [](const DayKills& a, const DayKills& b) { return a.day < b.day; });
  for (const DayKills& day : days_) {
    if (!model.killsByDay.empty() && model.killsByDay.back().day == day.day) {
      model.killsByDay.back().kills += day.kills;
    } else {
      model.killsByDay.push_back(day);
    }
  }
  model.matchesByHour = matchesByHour_;
  const auto figuresOf = [&](MapTally& tally, std::int32_t map) {
    SiteMap figures = std::move(tally.figures);
    figures.map = map;
    figures.lastMatch = matchAt[figures.lastMatch];
    for (WeaponCount& weapon : tally.weapons) weapon.weapon = weaponAt[weapon.weapon];
    std::sort(tally.weapons.begin(), tally.weapons.end(), [](const WeaponCount& a, const WeaponCount& b) {
      return a.kills != b.kills ? a.kills > b.kills : a.weapon < b.weapon;
    });
    if (tally.weapons.size() > kTopMapWeapons) tally.weapons.resize(kTopMapWeapons);
    figures.weapons = std::move(tally.weapons);
    return figures;
  };
  for (std::size_t id = 0; id < maps_.size(); ++id) {
    if (maps_[id].figures.matches == 0) continue;
    model.mapFigures.push_back(figuresOf(maps_[id], static_cast<std::int32_t>(mapAt[id])));
  }
  std::sort(model.mapFigures.begin(), model.mapFigures.end(), [](const SiteMap& a, const SiteMap& b) {
    return a.matches != b.matches ? a.matches > b.matches : a.map < b.map;
  });
  if (unknownMap_.figures.matches > 0) model.mapFigures.push_back(figuresOf(unknownMap_, -1));
  std::vector<DayKills>().swap(days_);
  std::vector<MapTally>().swap(maps_);
  unknownMap_ = MapTally();
  matchesByHour_ = {};
}

std::vector<SiteTally::DayPlayed> SiteTally::daysPlayed(const SiteModel& model, const std::vector<std::uint32_t>& matchAt,
                                                        const std::vector<std::uint32_t>& number) const {
  std::vector<DayPlayed> played;
  for (std::uint32_t person = 0; person < people_.size(); ++person) {
    for (const PersonMatch& own : people_[person].matches) {
      played.emplace_back(model.matches[matchAt[own.match]].day, number[person]);
    }
  }
  std::sort(played.begin(), played.end());
  played.erase(std::unique(played.begin(), played.end()), played.end());
  return played;
}

std::vector<PersonRating> SiteTally::rateDays(const SiteModel& model, const std::vector<std::uint32_t>& matchAt,
                                              const std::vector<std::uint32_t>& number,
                                              const std::vector<DayPlayed>& played) const {
  // The rating, day after day: who played each day and the day's wins. The
  // wins are grouped by day in one counting pass over the days of play (a
  // kill between people makes its match's day one), then each day's are
  // sorted by their pair.
  std::vector<std::int64_t> days;
  for (const auto& [day, person] : played) {
    if (days.empty() || days.back() != day) days.push_back(day);
  }
  std::vector<std::uint32_t> dayOfMatch(model.matches.size());  // into days
  for (std::size_t at = 0; at < model.matches.size(); ++at) {
    const std::int64_t day = model.matches[at].day;
    dayOfMatch[at] = static_cast<std::uint32_t>(std::lower_bound(days.begin(), days.end(), day) - days.begin());
  }
  GroupedByKey<DayWin> wins(
      kills_, days.size(),
      [&](const KillTally& kill) {
        return kill.rated ? std::optional<std::size_t>(dayOfMatch[matchAt[kill.match]]) : std::nullopt;
      },
      [&](const KillTally& kill) { return DayWin{number[kill.killer], number[kill.victim], kill.kills}; });
  std::vector<PersonRating> ratings;
  {
    DailyRating rating(number.size(), kRatingTau);
    std::vector<std::uint32_t> dayPlayed;
    std::vector<DayWin> dayWins;
    for (std::size_t at = 0, dayAt = 0; at < played.size(); ++dayAt) {
      const std::int64_t day = played[at].first;
      dayPlayed.clear();
      for (; at < played.size() && played[at].first == day; ++at) dayPlayed.push_back(played[at].second);
      const std::span<DayWin> dayAll = wins.group(dayAt);
      std::sort(dayAll.begin(), dayAll.end(), [](const DayWin& a, const DayWin& b) {
        return a.winner != b.winner ? a.winner < b.winner : a.loser < b.loser;
      });
      dayWins.clear();
      for (const DayWin& win : dayAll) {
        if (!dayWins.empty() && dayWins.back().winner == win.winner && dayWins.back().loser == win.loser) {
          dayWins.back().count += win.count;
        } else {
          dayWins.push_back(win);
        }
      }
      rating.rateDay(day, dayPlayed, dayWins);
    }
    ratings = rating.finish();
  }
  return ratings;
}

std::vector<SiteTally::Opponents> SiteTally::opponentsOf(const std::vector<std::uint32_t>& number,
                                                        const std::vector<std::int64_t>& listedAt,
                                                        std::size_t listed) const {
  // Who killed whom over all matches, among the listed: each killer's kills
  // summed by victim. Millions of kills among thousands of people: grouped by
  // killer in one counting pass, then each killer's few sorted by victim.
  // keepTop orders the lists, so the order they are filled in is free.
  std::vector<Opponents> opponents(listed);
  GroupedByKey<std::pair<std::uint32_t, std::int32_t>> victimKills(
      kills_, number.size(), [](const KillTally& kill) { return std::optional<std::size_t>(kill.killer); },
      [](const KillTally& kill) { return std::pair<std::uint32_t, std::int32_t>(kill.victim, kill.kills); });
  for (std::uint32_t tallied = 0; tallied < number.size(); ++tallied) {
    const std::int64_t killer = listedAt[number[tallied]];
    if (killer < 0) continue;
    const std::span<std::pair<std::uint32_t, std::int32_t>> victims = victimKills.group(tallied);
    std::sort(victims.begin(), victims.end());
    auto at = victims.begin();
    const auto end = victims.end();
    while (at != end) {
      const std::uint32_t victimTallied = at->first;
      std::int64_t count = 0;
      for (; at != end && at->first == victimTallied; ++at) count += at->second;
      const std::int64_t victim = listedAt[number[victimTallied]];
      if (victim < 0 || count <= 0) continue;
      opponents[static_cast<std::size_t>(killer)].victims.push_back(
          PersonCount{static_cast<std::uint32_t>(victim), count});
      opponents[static_cast<std::size_t>(victim)].killers.push_back(
          PersonCount{static_cast<std::uint32_t>(killer), count});
    }
  }
  for (Opponents& person : opponents) {
    keepTop(person.victims);
    keepTop(person.killers);
  }
  return opponents;
}

SiteModel SiteTally::take() {
  SiteModel model;
  model.minMatches = settings_.minMatches;
  model.activeDays = settings_.activeDays;
  model.language = settings_.language;

  // Matches newest first, maps and weapons by name, people by key: orders of
  // their own, so that the model is the same for any order of the records.
  std::vector<std::uint32_t> matchOrder(matches_.size());
  std::iota(matchOrder.begin(), matchOrder.end(), 0u);
  std::sort(matchOrder.begin(), matchOrder.end(), [&](std::uint32_t a, std::uint32_t b) { return later(a, b); });
  std::vector<std::uint32_t> matchAt(matches_.size());
  for (std::uint32_t at = 0; at < matchOrder.size(); ++at) matchAt[matchOrder[at]] = at;
  const std::vector<std::uint32_t> mapAt = nameOrder(mapNames_);
  const std::vector<std::uint32_t> weaponAt = nameOrder(weaponNames_);
  model.matches.reserve(matches_.size());
  for (const std::uint32_t at : matchOrder) {
    SiteMatch& match = model.matches.emplace_back(std::move(matches_[at]));
    if (match.map >= 0) match.map = static_cast<std::int32_t>(mapAt[static_cast<std::size_t>(match.map)]);
  }
  model.maps = std::move(mapNames_);
  model.weapons = std::move(weaponNames_);
  takeCharts(model, matchAt, mapAt, weaponAt);

  std::vector<std::uint32_t> personOrder(people_.size());
  std::iota(personOrder.begin(), personOrder.end(), 0u);
  std::sort(personOrder.begin(), personOrder.end(),
            [&](std::uint32_t a, std::uint32_t b) { return people_[a].key < people_[b].key; });
  std::vector<std::uint32_t> number(people_.size());  // tally's number to key order
  for (std::uint32_t at = 0; at < personOrder.size(); ++at) number[personOrder[at]] = at;

  // The listed people: everyone but the hidden, by key.
  const PlayersFile& file = settings_.playersFile;
  std::vector<std::int64_t> listedAt(people_.size(), -1);  // key order to model.people
  std::size_t listed = 0;
  for (const std::uint32_t tallied : personOrder) {
    if (!file.isHidden(people_[tallied].key)) listedAt[number[tallied]] = static_cast<std::int64_t>(listed++);
  }

  // The rating is worked out on another core while the people are made here:
  // it reads only the tally's kills and the matches, which the people leave be.
  const std::vector<DayPlayed> played = daysPlayed(model, matchAt, number);
  std::future<std::vector<PersonRating>> rating =
      std::async(std::launch::async, [&] { return rateDays(model, matchAt, number, played); });
  std::vector<std::vector<AwardPlay>> daysOfPlay(listed);  // the listed people's, for the awards
  model.people.reserve(listed);
  for (const std::uint32_t tallied : personOrder) {
    PersonTally& tally = people_[tallied];
    if (listedAt[number[tallied]] < 0) continue;
    daysOfPlay[model.people.size()] = std::move(tally.days);
    SitePerson& person = model.people.emplace_back();
    person.kills = tally.sums.kills;
    person.deaths = tally.sums.deaths;
    person.suicides = tally.sums.suicides;
    person.teamKills = tally.sums.teamKills;
    person.bombsPlanted = tally.sums.bombsPlanted;
    person.bombsDefused = tally.sums.bombsDefused;
    person.hostagesRescued = tally.sums.hostagesRescued;
    person.hostagesKilled = tally.sums.hostagesKilled;
    person.roundsWon = tally.sums.roundsWon;
    person.key = std::move(tally.key);
    person.file = playerFileName(person.key);
    const std::string* shown = file.shownNameOf(person.key);
    person.shownName = shown != nullptr ? *shown : tally.latestName.take();
    person.names = std::move(tally.names);
    std::sort(person.names.begin(), person.names.end());
    person.matches = std::move(tally.matches);
    for (PersonMatch& own : person.matches) own.match = matchAt[own.match];
    std::sort(person.matches.begin(), person.matches.end(),
              [](const PersonMatch& a, const PersonMatch& b) { return a.match < b.match; });
    person.ranked = static_cast<std::int64_t>(person.matches.size()) >= settings_.minMatches;
    for (const WeaponTally& weapon : tally.weapons) {
      person.weapons.push_back(PersonWeapon{weaponAt[weapon.weapon], weapon.kills, weapon.shots, weapon.hits,
                                            weapon.headshots, weapon.damage});
      person.shots += weapon.shots;
      person.hits += weapon.hits;
      person.headshots += weapon.headshots;
      person.damage += weapon.damage;
    }
    std::sort(person.weapons.begin(), person.weapons.end(), [](const PersonWeapon& a, const PersonWeapon& b) {
      return a.kills != b.kills ? a.kills > b.kills : a.weapon < b.weapon;
    });
    for (const PersonMatch& own : person.matches) {
      const std::int32_t map = model.matches[own.match].map;
      auto counted = std::find_if(person.maps.begin(), person.maps.end(),
                                  [&](const MapCount& entry) { return entry.map == map; });
      if (counted == person.maps.end()) counted = person.maps.insert(person.maps.end(), MapCount{map, 0});
      ++counted->matches;
    }
    std::sort(person.maps.begin(), person.maps.end(), [](const MapCount& a, const MapCount& b) {
      return a.matches != b.matches ? a.matches > b.matches : a.map < b.map;
    });
    tally = PersonTally();
  }
  std::deque<PersonTally>().swap(people_);
  std::vector<PersonRating> ratings = rating.get();

  // The awards here, while who killed whom is summed on another core: the
  // awards' passing tallies, tens of megabytes, then take memory the people
  // gave back instead of a thread's own.
  std::vector<AwardPerson> awardPeople;  // the listed, by key
  awardPeople.reserve(listed);
  for (const std::uint32_t tallied : personOrder) {
    const std::int64_t at = listedAt[number[tallied]];
    if (at < 0) continue;
    SitePerson& person = model.people[static_cast<std::size_t>(at)];
    person.rating = std::move(ratings[number[tallied]]);
    awardPeople.push_back(awardPersonOf(person.key, std::move(daysOfPlay[static_cast<std::size_t>(at)]), person.rating));
  }
  std::vector<PersonRating>().swap(ratings);
  std::vector<std::vector<AwardPlay>>().swap(daysOfPlay);
  std::future<std::vector<Opponents>> opponentsSummed =
      std::async(std::launch::async, [&] { return opponentsOf(number, listedAt, listed); });
  model.awards = computeAwards(awardPeople);
  std::vector<Opponents> opponents = opponentsSummed.get();
  std::deque<KillTally>().swap(kills_);
  for (std::size_t at = 0; at < opponents.size(); ++at) {
    model.people[at].victims = std::move(opponents[at].victims);
    model.people[at].killers = std::move(opponents[at].killers);
  }
  std::vector<Opponents>().swap(opponents);
  std::vector<AwardPerson>().swap(awardPeople);
  for (auto& [key, won] : awardsByPerson(model.awards)) {
    // personByKey's answer, made writable: the model is still being built.
    if (const SitePerson* person = model.personByKey(key)) {
      model.people[static_cast<std::size_t>(person - model.people.data())].awards = std::move(won);
    }
  }
  // Who is active counts from the newest match, not from the day of the run:
  // the same records give the same pages whenever they are built.
  if (!model.matches.empty()) model.newestDay = model.matches.front().day;
  for (std::uint32_t at = 0; at < model.people.size(); ++at) {
    SitePerson& person = model.people[at];
    const std::int64_t lastDay = person.matches.empty() ? 0 : model.matches[person.matches.front().match].day;
    person.active = !person.matches.empty() && isActive(lastDay, model.newestDay, model.activeDays);
    (!person.active ? model.inactive : person.ranked ? model.ranked : model.unranked).push_back(at);
  }
  const auto ranking = [&](std::uint32_t a, std::uint32_t b) {
    const double valueA = model.people[a].rankingValue();
    const double valueB = model.people[b].rankingValue();
    return valueA != valueB ? valueA > valueB : a < b;
  };
  std::sort(model.ranked.begin(), model.ranked.end(), ranking);
  std::sort(model.unranked.begin(), model.unranked.end(), ranking);
  std::sort(model.inactive.begin(), model.inactive.end(), ranking);
  for (std::uint32_t at = 0; at < model.ranked.size(); ++at) model.people[model.ranked[at]].place = at + 1;

  matches_.clear();
  personNumbers_.clear();
  mapIds_.clear();
  weaponIds_.clear();
  return model;
}

}  // namespace fragtally

#include "players/rating_run.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <numeric>
#include <utility>

#include "players/daily_rating.h"
#include "players/glicko2.h"

namespace fragtally {
namespace {

bool readNumber(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

/// A person while the run goes on, beside his rating.
struct Person {
  std::uint32_t number = 0;  ///< in the order of keys, for the rating
  std::int64_t matches = 0;
  LatestName latestName;
  std::size_t latestMatch = 0;
};

using Wins = std::map<std::pair<std::uint32_t, std::uint32_t>, std::int64_t>;  // (winner, loser) to games

void rateDay(DailyRating& rating, std::int64_t day, std::vector<std::uint32_t>& played, Wins& wins) {
  std::vector<DayWin> list;
  list.reserve(wins.size());
  for (const auto& [pair, count] : wins) list.push_back(DayWin{pair.first, pair.second, count});
  rating.rateDay(day, played, list);
  played.clear();
  wins.clear();
}

bool rankedBefore(const RatedPerson& a, const RatedPerson& b) {
  const double valueA = a.rankingValue();
  const double valueB = b.rankingValue();
  if (valueA != valueB) return valueA > valueB;
  return a.key < b.key;
}

}  // namespace

std::optional<MatchStart> readMatchStart(std::string_view date, std::string_view time) {
  MatchStart start;
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  if (date.size() != 10 || date[2] != '/' || date[5] != '/' || !readNumber(date.substr(0, 2), start.month) ||
      !readNumber(date.substr(3, 2), start.day) || !readNumber(date.substr(6, 4), start.year)) {
    return std::nullopt;
  }
  if (time.size() != 8 || time[2] != ':' || time[5] != ':' || !readNumber(time.substr(0, 2), hours) ||
      !readNumber(time.substr(3, 2), minutes) || !readNumber(time.substr(6, 2), seconds)) {
    return std::nullopt;
  }
  if (start.month < 1 || start.month > 12 || start.day < 1 || start.day > daysInMonth(start.year, start.month) ||
      hours > 23 || minutes > 59 || seconds > 59) {
    return std::nullopt;
  }
  start.secondOfDay = hours * 3600 + minutes * 60 + seconds;
  return start;
}

std::int64_t dayNumberOf(const MatchStart& start) {
  // Days from the civil date: March-based years, so the leap day ends a year.
  const std::int64_t year = start.year - (start.month <= 2 ? 1 : 0);
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t monthFromMarch = start.month > 2 ? start.month - 3 : start.month + 9;
  const std::int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + start.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::vector<std::string> personKeysOf(const MatchPlayers& match, const IdentityRules& rules,
                                      const PlayersFile& file) {
  std::vector<std::string> keys;
  keys.reserve(match.players.size());
  for (const MatchPlayer& player : match.players) {
    std::string key = playerKeyOf(rules, player);
    // Most keys are their own person's: taken as they are, not copied.
    if (const std::string& person = key.empty() ? key : file.personOf(key); &person != &key) key = person;
    keys.push_back(std::move(key));
  }
  return keys;
}

RatingTable rateMatches(std::span<const RatedMatch> matches, const PlayersFile& file,
                        const RatingSettings& settings) {
  std::vector<std::size_t> order(matches.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (matches[a].start != matches[b].start) return matches[a].start < matches[b].start;
    return matches[a].logPath < matches[b].logPath;
  });

  // Everyone's keys first: people are numbered in key order, which fixes the
  // order of the rating's sums whatever the order of the matches.
  std::vector<std::vector<std::string>> keys(order.size());
  std::map<std::string, Person> people;
  for (std::size_t place = 0; place < order.size(); ++place) {
    keys[place] = personKeysOf(matches[order[place]].players, settings.identity, file);
    for (const std::string& key : keys[place]) {
      if (!key.empty()) people.try_emplace(key);
    }
  }
  std::vector<Person*> byNumber;
  for (auto& [key, person] : people) {
    person.number = static_cast<std::uint32_t>(byNumber.size());
    byNumber.push_back(&person);
  }

  DailyRating rating(people.size(), settings.tau);
  std::vector<std::uint32_t> played;
  Wins wins;
  std::int64_t periodDay = 0;
  for (std::size_t place = 0; place < order.size(); ++place) {
    const RatedMatch& match = matches[order[place]];
    const std::int64_t day = dayNumberOf(match.start);
    if (!played.empty() && day != periodDay) rateDay(rating, periodDay, played, wins);
    periodDay = day;
    const std::vector<std::string>& matchKeys = keys[place];
    std::vector<std::uint32_t> numbers(matchKeys.size());
    for (std::size_t at = 0; at < matchKeys.size(); ++at) {
      if (matchKeys[at].empty()) continue;
      Person& person = people.at(matchKeys[at]);
      numbers[at] = person.number;
      played.push_back(person.number);
      if (person.matches == 0 || person.latestMatch != place) {
        ++person.matches;
        person.latestMatch = place;
        person.latestName.newMatch();
      }
      person.latestName.add(match.players.players[at]);
    }
    for (const KillPair& pair : match.players.kills) {
      if (pair.killer >= matchKeys.size() || pair.victim >= matchKeys.size()) continue;
      if (match.players.players[pair.killer].bot || match.players.players[pair.victim].bot) continue;
      const std::string& killer = matchKeys[pair.killer];
      const std::string& victim = matchKeys[pair.victim];
      if (killer.empty() || victim.empty() || killer == victim) continue;
      wins[{numbers[pair.killer], numbers[pair.victim]}] += pair.kills;
    }
  }
  if (!played.empty()) rateDay(rating, periodDay, played, wins);
  const std::vector<PersonRating> rated = rating.finish();

  RatingTable table;
  for (auto& [key, person] : people) {
    if (file.isHidden(key)) continue;
    const std::string* shown = file.shownNameOf(key);
    const PersonRating& his = rated[person.number];
    RatedPerson one{key, shown != nullptr ? *shown : person.latestName.name(), his.rating, person.matches, his.games};
    (person.matches >= settings.minMatches ? table.ranked : table.unranked).push_back(std::move(one));
  }
  std::sort(table.ranked.begin(), table.ranked.end(), rankedBefore);
  std::sort(table.unranked.begin(), table.unranked.end(), rankedBefore);
  return table;
}

}  // namespace fragtally

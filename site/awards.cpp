#include "site/awards.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <optional>
#include <utility>
#include <vector>

#include "players/glicko2.h"

namespace fragtally {
namespace {

struct AwardInfo {
  std::string_view key;
  AwardFigure figure;
};

constexpr std::array<AwardInfo, kAwardKinds> kAwards{{
    {"kills", AwardFigure::count},
    {"kills-per-death", AwardFigure::ratio},
    {"rating-gain", AwardFigure::ratingPoints},
    {"sniper-kills", AwardFigure::count},
    {"knife-kills", AwardFigure::count},
    {"grenade-kills", AwardFigure::count},
    {"pistol-kills", AwardFigure::count},
    {"headshots", AwardFigure::count},
    {"accuracy", AwardFigure::share},
    {"bombs-planted", AwardFigure::count},
    {"bombs-defused", AwardFigure::count},
    {"hostages-rescued", AwardFigure::count},
    {"team-kills", AwardFigure::count},
}};

/// A person's sums over one period.
struct Tally {
  AwardFigures figures;
  std::optional<double> ratingGain;  ///< none without a rating point in the period
};

/// Per period (by its first day), per person (by his place in key order):
/// people are tallied one after the other in that order, so each period's
/// list stays in it, and a person's entry, if any, is the period's last.
using PeriodTallies = std::map<std::int64_t, std::vector<std::pair<std::size_t, Tally>>>;

/// The person's entry in a period's list, made where there is none.
Tally& tallyOf(PeriodTallies& tallies, std::int64_t periodStart, std::size_t person) {
  std::vector<std::pair<std::size_t, Tally>>& period = tallies[periodStart];
  if (period.empty() || period.back().first != person) period.emplace_back(person, Tally{});
  return period.back().second;
}

/// A person's figure for an award; none when he is no candidate for it.
std::optional<double> figureOf(AwardId id, const Tally& tally, const RatioMinimums& minimums) {
  const AwardFigures& f = tally.figures;
  const auto count = [](std::int64_t value) { return std::optional<double>(static_cast<double>(value)); };
  switch (id) {
    case AwardId::kills: return count(f.kills);
    case AwardId::killsPerDeath:
      // No deaths counts as one: the kills themselves, not an endless ratio.
      if (f.kills < minimums.killsForKillsPerDeath) return std::nullopt;
      return static_cast<double>(f.kills) / static_cast<double>(std::max<std::int64_t>(f.deaths, 1));
    case AwardId::ratingGain: return tally.ratingGain;
    case AwardId::sniperKills: return count(f.sniperKills);
    case AwardId::knifeKills: return count(f.knifeKills);
    case AwardId::grenadeKills: return count(f.grenadeKills);
    case AwardId::pistolKills: return count(f.pistolKills);
    case AwardId::headshots: return count(f.headshots);
    case AwardId::accuracy:
      // Only people with weapon statistics have shots; a minimum of 0 still needs one.
      if (f.shots < std::max<std::int64_t>(minimums.shotsForAccuracy, 1)) return std::nullopt;
      return static_cast<double>(f.hits) / static_cast<double>(f.shots);
    case AwardId::bombsPlanted: return count(f.bombsPlanted);
    case AwardId::bombsDefused: return count(f.bombsDefused);
    case AwardId::hostagesRescued: return count(f.hostagesRescued);
    case AwardId::teamKills: return count(f.teamKills);
  }
  return std::nullopt;
}

/// Adds the gain of every period of `kind` in which the person has rating points.
void addRatingGains(PeriodKind kind, const std::vector<RatingAfterDay>& course, PeriodTallies& tallies,
                    std::size_t person) {
  const auto byDay = [](const RatingAfterDay& a, const RatingAfterDay& b) { return a.day < b.day; };
  // A rating's course comes in day order: only another order is copied to be sorted.
  std::vector<RatingAfterDay> sorted;
  if (!std::is_sorted(course.begin(), course.end(), byDay)) {
    sorted = course;
    std::stable_sort(sorted.begin(), sorted.end(), byDay);
  }
  const std::vector<RatingAfterDay>& ratings = sorted.empty() ? course : sorted;
  double before = kStartRating;
  for (std::size_t at = 0; at < ratings.size();) {
    const Period period = periodOf(kind, ratings[at].day);
    std::size_t last = at;
    while (last + 1 < ratings.size() && ratings[last + 1].day <= period.lastDay) ++last;
    tallyOf(tallies, period.firstDay, person).ratingGain = ratings[last].rating - before;
    before = ratings[last].rating;
    at = last + 1;
  }
}

/// The periods of one kind, newest first, with their awards.
std::vector<PeriodAwards> awardsOfKind(PeriodKind kind, std::span<const AwardPerson> people,
                                       std::span<const std::size_t> byKey, const RatioMinimums& minimums) {
  PeriodTallies tallies;
  for (std::size_t place = 0; place < byKey.size(); ++place) {
    const AwardPerson& person = people[byKey[place]];
    // His days come in order: most fall in the period of the one before.
    std::optional<Period> period;
    Tally* tally = nullptr;
    for (const AwardPlay& play : person.matches) {
      if (!period || play.day < period->firstDay || play.day > period->lastDay) {
        period = periodOf(kind, play.day);
        tally = &tallyOf(tallies, period->firstDay, place);
      }
      tally->figures += play.figures;
    }
    addRatingGains(kind, person.ratings, tallies, place);
  }

  std::vector<PeriodAwards> periods;
  for (auto period = tallies.rbegin(); period != tallies.rend(); ++period) {
    PeriodAwards awards{periodOf(kind, period->first), {}};
    for (std::size_t award = 0; award < kAwardKinds; ++award) {
      const auto id = static_cast<AwardId>(award);
      Award best{id, 0.0, {}};
      for (const auto& [place, tally] : period->second) {
        const std::optional<double> figure = figureOf(id, tally, minimums);
        if (!figure || !(*figure > 0.0) || *figure < best.figure) continue;
        if (*figure > best.figure) {
          best.figure = *figure;
          best.winners.clear();
        }
        best.winners.push_back(people[byKey[place]].key);
      }
      if (!best.winners.empty()) awards.awards.push_back(std::move(best));
    }
    if (!awards.awards.empty()) periods.push_back(std::move(awards));
  }
  return periods;
}

}  // namespace

std::string_view awardKey(AwardId id) { return kAwards.at(static_cast<std::size_t>(id)).key; }

AwardFigure awardFigureOf(AwardId id) { return kAwards.at(static_cast<std::size_t>(id)).figure; }

const RatioMinimums& AwardSettings::minimumsOf(PeriodKind kind) const {
  switch (kind) {
    case PeriodKind::day: return day;
    case PeriodKind::week: return week;
    case PeriodKind::month: return month;
  }
  return day;
}

AwardTable computeAwards(std::span<const AwardPerson> people, const AwardSettings& settings) {
  // People in key order, so that tallies list them so and ties name them so.
  std::vector<std::size_t> byKey(people.size());
  std::iota(byKey.begin(), byKey.end(), std::size_t{0});
  std::sort(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) { return people[a].key < people[b].key; });

  AwardTable table;
  table.days = awardsOfKind(PeriodKind::day, people, byKey, settings.minimumsOf(PeriodKind::day));
  table.weeks = awardsOfKind(PeriodKind::week, people, byKey, settings.minimumsOf(PeriodKind::week));
  table.months = awardsOfKind(PeriodKind::month, people, byKey, settings.minimumsOf(PeriodKind::month));
  return table;
}

std::map<std::string, std::vector<WonAward>, std::less<>> awardsByPerson(const AwardTable& table) {
  std::map<std::string, std::vector<WonAward>, std::less<>> won;
  for (const std::vector<PeriodAwards>* kind : {&table.months, &table.weeks, &table.days}) {
    for (const PeriodAwards& period : *kind) {
      for (const Award& award : period.awards) {
        for (const std::string& winner : award.winners) {
          won[winner].push_back(WonAward{period.period, award.id, award.figure, award.winners.size() > 1});
        }
      }
    }
  }
  return won;
}

}  // namespace fragtally

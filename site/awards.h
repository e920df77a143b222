#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "site/award_figures.h"
#include "site/calendar.h"

namespace fragtally {

/// The awards of a period, in the order the pages list them. The values are
/// stable: the pages caption each award by it, in either language.
enum class AwardId : std::uint8_t {
  kills,            ///< most enemy kills
  killsPerDeath,    ///< best kills per death
  ratingGain,       ///< highest rating gain over the period
  sniperKills,      ///< most kills with a sniper rifle
  knifeKills,       ///< most kills with the knife
  grenadeKills,     ///< most kills with grenades
  pistolKills,      ///< most kills with pistols
  headshots,        ///< most headshots (weapon statistics)
  accuracy,         ///< best share of shots that hit (weapon statistics)
  bombsPlanted,     ///< most bombs planted
  bombsDefused,     ///< most bombs defused
  hostagesRescued,  ///< most hostages rescued
  teamKills,        ///< most team kills: the worst team mate
};
inline constexpr std::size_t kAwardKinds = 13;

/// The award's name in the site's files and anchors: "kills", "kills-per-death", ...
std::string_view awardKey(AwardId id);

/// What an award's figure is, so that a page can write it.
enum class AwardFigure : std::uint8_t {
  count,         ///< a whole number
  ratio,         ///< kills per death
  share,         ///< 0 to 1 (hits per shot)
  ratingPoints,  ///< a difference of ratings
};
AwardFigure awardFigureOf(AwardId id);

/// One match of a person: its day (dayNumberOf its start) and his figures.
struct AwardPlay {
  std::int64_t day = 0;
  AwardFigures figures;
};

/// A person's rating at the end of one of his days of play, as the rating run
/// leaves it. The rating only moves on days he plays (days without games
/// widen its deviation, never move it), so his gain over a period is his last
/// rating in it less his last rating before it, kStartRating before his first.
struct RatingAfterDay {
  std::int64_t day = 0;
  double rating = 0.0;
};

/// A person as the awards take him: only people (no bots), one entry each.
struct AwardPerson {
  std::string key;                      ///< his person key
  std::vector<AwardPlay> matches;       ///< any order
  std::vector<RatingAfterDay> ratings;  ///< his days of play, any order, one point per day
};

/// The least a person needs in a period to be a candidate for the two ratio
/// awards. Below them a ratio is luck: a drop-in who kills 3 and dies once, or
/// a sniper who fires 5 shots and hits 4, would lead the regulars.
struct RatioMinimums {
  std::int64_t killsForKillsPerDeath = 0;
  std::int64_t shotsForAccuracy = 0;
};

/// 10 kills are a few rounds of real play; 100 shots a few rounds of fighting
/// (a rifle fires about ten a second). A week and a month ask more, so that
/// one lucky evening does not outrank those who played all along, yet little
/// enough that two or three evenings of play reach it.
struct AwardSettings {
  RatioMinimums day{10, 100};
  RatioMinimums week{20, 200};
  RatioMinimums month{40, 400};

  [[nodiscard]] const RatioMinimums& minimumsOf(PeriodKind kind) const;
};

/// One award of a period: its highest figure and everyone who reached it.
struct Award {
  AwardId id = AwardId::kills;
  double figure = 0.0;
  std::vector<std::string> winners;  ///< person keys, in byte order of the keys

  friend bool operator==(const Award&, const Award&) = default;
};

/// The awards of one period with play, in AwardId order. An award nobody is a
/// candidate for (no figure above 0, or nobody reaching its minimum) is not
/// among them.
struct PeriodAwards {
  Period period;
  std::vector<Award> awards;
};

/// Every period's awards, each kind newest first. A period is listed when it
/// has at least one award.
struct AwardTable {
  std::vector<PeriodAwards> days;
  std::vector<PeriodAwards> weeks;
  std::vector<PeriodAwards> months;
};

/// The awards of every day, ISO week and month in which the people played.
/// Ratios are compared as doubles: a quotient of whole numbers is rounded
/// correctly, so equal ratios (2/1 and 20/10) are equal and tie.
AwardTable computeAwards(std::span<const AwardPerson> people, const AwardSettings& settings = {});

/// An award a person won (alone or shared).
struct WonAward {
  Period period;
  AwardId id = AwardId::kills;
  double figure = 0.0;
  bool shared = false;  ///< others won it too
};

/// Every person's awards, by key: months, then weeks, then days, each newest
/// first, a period's awards in AwardId order. People without awards are absent.
std::map<std::string, std::vector<WonAward>, std::less<>> awardsByPerson(const AwardTable& table);

}  // namespace fragtally

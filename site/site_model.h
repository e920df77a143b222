#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "players/daily_rating.h"
#include "site/awards.h"
#include "site/site_settings.h"

namespace fragtally {

class ByteReader;
struct MatchSummary;

/// A match as the players' pages link it.
struct SiteMatch {
  std::string report;  ///< file name of its report in the output folder
  std::string date;    ///< the log's "MM/DD/YYYY"
  std::string start;   ///< the log's "HH:MM:SS"
  std::uint64_t when = 0;  ///< matchTimeKey
  std::int64_t day = 0;    ///< dayNumberOf its start
  std::int32_t map = -1;   ///< into SiteModel::maps; -1 the unknown map
};

/// A person's own figures in one match.
struct PersonMatch {
  std::uint32_t match = 0;  ///< into SiteModel::matches
  std::int32_t kills = 0;
  std::int32_t deaths = 0;
};

/// A person's figures with one weapon over all his matches.
struct PersonWeapon {
  std::uint32_t weapon = 0;  ///< into SiteModel::weapons
  std::int64_t kills = 0;
  std::int64_t shots = 0;
  std::int64_t hits = 0;
  std::int64_t headshots = 0;
  std::int64_t damage = 0;
};

/// Another person and a count: how often one killed the other.
struct PersonCount {
  std::uint32_t person = 0;  ///< into SiteModel::people
  std::int64_t count = 0;
};

/// How many matches a person played on one map.
struct MapCount {
  std::int32_t map = -1;  ///< into SiteModel::maps; -1 the unknown map
  std::int64_t matches = 0;
};

/// The kills of one day of play, over every match of the day.
struct DayKills {
  std::int64_t day = 0;  ///< dayNumberOf
  std::int64_t kills = 0;
};

/// A weapon's kills on a map, over all its matches.
struct WeaponCount {
  std::uint32_t weapon = 0;  ///< into SiteModel::weapons
  std::int64_t kills = 0;
};

/// What the maps page shows of one map, over every match played on it.
struct SiteMap {
  std::int32_t map = -1;  ///< into SiteModel::maps; -1 the unknown map
  std::int64_t matches = 0;
  std::int64_t ctRounds = 0;  ///< rounds won by each side
  std::int64_t terroristRounds = 0;
  std::int64_t kills = 0;
  std::int64_t players = 0;  ///< players of its matches added up: the average is players / matches
  std::vector<WeaponCount> weapons;  ///< its most used weapons (at most kTopMapWeapons), most kills first
  std::uint32_t lastMatch = 0;       ///< into SiteModel::matches: the newest match on the map
};

/// Weapons the maps page names for a map.
inline constexpr std::size_t kTopMapWeapons = 3;

/// Days the charts of kills per day cover, ending with the newest day they show.
inline constexpr std::int64_t kChartDays = 90;

/// One person over every match: what his page and his row in the ranking show.
struct SitePerson {
  std::string key;        ///< his person key ("steam:0:123", "name:Fox", "bot:Bob")
  std::string file;       ///< his page's file name in DIR/players/ (playerFileName)
  std::string shownName;  ///< players.txt's, else the name he used most in his latest match
  std::vector<std::string> names;  ///< every name he used, in byte order
  bool ranked = false;             ///< enough matches to be ranked
  bool active = false;             ///< played within SiteModel::activeDays of the newest match
  std::uint32_t place = 0;         ///< in the ranking of the active, from 1; 0 when not there
  PersonRating rating;             ///< now, and at the end of each of his days of play
  std::vector<PersonMatch> matches;  ///< newest first
  std::int64_t kills = 0;
  std::int64_t deaths = 0;
  std::int64_t suicides = 0;
  std::int64_t teamKills = 0;
  std::int64_t shots = 0;  ///< from the server's weapon statistics, where it writes them
  std::int64_t hits = 0;
  std::int64_t headshots = 0;
  std::int64_t damage = 0;
  std::int64_t bombsPlanted = 0;
  std::int64_t bombsDefused = 0;
  std::int64_t hostagesRescued = 0;
  std::int64_t hostagesKilled = 0;
  std::int64_t roundsWon = 0;
  std::vector<PersonWeapon> weapons;  ///< most kills first, then by name
  std::vector<MapCount> maps;         ///< most matches first, then by name
  std::vector<PersonCount> victims;   ///< those he killed most (at most kTopOpponents), most first
  std::vector<PersonCount> killers;   ///< those who killed him most, likewise
  std::vector<WonAward> awards;       ///< as awardsByPerson lists them

  /// What the ranking orders by: the rating less twice its deviation.
  [[nodiscard]] double rankingValue() const { return rating.rating.rating - 2.0 * rating.rating.deviation; }
};

/// Opponents listed on a person's page each way.
inline constexpr std::size_t kTopOpponents = 5;

/// Everything the site's pages about people show: one model for all of them.
struct SiteModel {
  std::vector<SiteMatch> matches;   ///< newest first
  std::vector<std::string> maps;    ///< by name
  std::vector<std::string> weapons;  ///< by name
  std::vector<SitePerson> people;   ///< everyone listed (not hidden), by key
  std::vector<std::uint32_t> ranked;    ///< into people: the active ranked, by rankingValue, highest first, ties by key
  std::vector<std::uint32_t> unranked;  ///< the active with fewer than minMatches matches, in the same order
  std::vector<std::uint32_t> inactive;  ///< everyone else, ranked or not, in the same order
  std::int64_t minMatches = kMinRankedMatches;
  std::int64_t activeDays = kActiveDays;
  std::int64_t newestDay = 0;  ///< the newest match's day; 0 without matches
  std::vector<DayKills> killsByDay;  ///< every day of play, oldest first
  /// Matches by the weekday and hour of their start as the log gives it:
  /// [(weekday - 1) * 24 + hour], Monday 0 to Sunday 6.
  std::array<std::int64_t, 7 * 24> matchesByHour{};
  /// Every map played, most matches first, ties by name; the unknown map last.
  std::vector<SiteMap> mapFigures;
  SiteLanguage language = SiteLanguage::Russian;  ///< the pages' language
  /// Every period's awards among the listed people. Winners are person keys,
  /// each of them in `people` (personByKey finds him).
  AwardTable awards;

  /// The listed person of `key`, or nullptr.
  [[nodiscard]] const SitePerson* personByKey(std::string_view key) const;
};

/// The kills of each of the `days` days that end with `lastDay`, oldest
/// first, from a person's or the site's days of play (`killsByDay`, oldest
/// first, or any order); days without play count zero.
std::vector<std::int64_t> killsOfDays(const std::vector<DayKills>& killsByDay, std::int64_t lastDay,
                                      std::int64_t days = kChartDays);

/// A person's kills per day of play, oldest first.
std::vector<DayKills> killsByDayOf(const SiteModel& model, const SitePerson& person);

/// Gathers match records one by one into the site's model, keeping of each
/// match only its people's numbers and figures, never the summary itself. The
/// model does not depend on the order the records are added in. Records
/// without a kill, or whose date or start cannot be read, are left out (the
/// index only counts them).
class SiteTally {
 public:
  explicit SiteTally(SiteSettings settings);

  void add(const MatchSummary& match, std::string_view reportName);
  /// The model; the tally is left empty.
  SiteModel take();

  /// What the tally holds so far, in the folder caches' byte form, to go on
  /// from in a later run with the same settings; empty where that form cannot
  /// hold it (a text over its bounds).
  [[nodiscard]] std::string state() const;
  /// A tally with these settings that goes on from state(); nothing when
  /// `bytes` (read up to their end) are not such a state.
  static std::optional<SiteTally> fromState(SiteSettings settings, std::string_view bytes);
  /// state() holds the people in parts of this many, read on several cores.
  static constexpr std::size_t kPeoplePerPart = 4096;

 private:
  struct WeaponTally {
    std::uint32_t weapon = 0;
    std::int64_t kills = 0;
    std::int64_t shots = 0;
    std::int64_t hits = 0;
    std::int64_t headshots = 0;
    std::int64_t damage = 0;
  };
  struct MapTally {
    SiteMap figures;
    std::vector<WeaponCount> weapons;  // every weapon used on the map, any order
  };
  /// A person's counts over his matches, as SitePerson keeps them.
  struct PersonSums {
    std::int64_t kills = 0;
    std::int64_t deaths = 0;
    std::int64_t suicides = 0;
    std::int64_t teamKills = 0;
    std::int64_t bombsPlanted = 0;
    std::int64_t bombsDefused = 0;
    std::int64_t hostagesRescued = 0;
    std::int64_t hostagesKilled = 0;
    std::int64_t roundsWon = 0;
  };
  struct PersonTally {
    std::string key;
    std::vector<std::string> names;
    std::uint32_t latestMatch = 0;  ///< into matches_
    LatestName latestName;
    std::vector<PersonMatch> matches;  // into matches_
    PersonSums sums;
    std::vector<WeaponTally> weapons;
    /// The awards' figures summed per day of play: the awards' periods are
    /// unions of days, so a day's sum is all they need, and it takes far less
    /// room than a figure per match. Any order; equal days merged at the end.
    std::vector<AwardPlay> days;
  };
  /// An enemy kill between two people of one match.
  struct KillTally {
    std::uint32_t match = 0;
    std::uint32_t killer = 0;  // into people_
    std::uint32_t victim = 0;
    std::int32_t kills = 0;
    bool rated = false;  // neither side a bot
  };

  /// One person in state()'s form; false where a text is over its bounds.
  static bool putPerson(std::string& out, const PersonTally& person);
  /// One person read back; `in` fails where the bytes are not one.
  static void readPerson(ByteReader& in, PersonTally& person, std::size_t matchCount, std::size_t weaponCount);

  bool later(std::uint32_t a, std::uint32_t b) const;
  /// Adds a match to the figures of the charts and of its map, the ids of
  /// its weapon uses already in matchWeapons_.
  void addToCharts(const MatchSummary& summary, std::uint32_t matchAt, int secondOfDay);
  /// Moves those figures into the model, renumbered as the model numbers
  /// matches, maps and weapons.
  void takeCharts(SiteModel& model, const std::vector<std::uint32_t>& matchAt, const std::vector<std::uint32_t>& mapAt,
                  const std::vector<std::uint32_t>& weaponAt);
  /// Names looked up as they stand in the summary, without a copy.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
  };
  using NameIds = std::unordered_map<std::string, std::uint32_t, NameHash, std::equal_to<>>;

  /// Who killed whom among the listed people, each list kept to its top.
  struct Opponents {
    std::vector<PersonCount> victims;
    std::vector<PersonCount> killers;
  };
  /// A day of play and a person (in key order) who played on it.
  using DayPlayed = std::pair<std::int64_t, std::uint32_t>;
  /// Who played on each day, by day and person, each once (`number`: a
  /// tally's person to key order; `matchAt`: a tally's match to the model's).
  std::vector<DayPlayed> daysPlayed(const SiteModel& model, const std::vector<std::uint32_t>& matchAt,
                                    const std::vector<std::uint32_t>& number) const;
  /// Everyone's rating, day after day of play: reads only the tally's kills
  /// and the model's matches.
  std::vector<PersonRating> rateDays(const SiteModel& model, const std::vector<std::uint32_t>& matchAt,
                                     const std::vector<std::uint32_t>& number,
                                     const std::vector<DayPlayed>& played) const;
  /// The opponents of the `listed` people (`listedAt`: key order to their
  /// place, -1 for the hidden). Only reads the tally.
  std::vector<Opponents> opponentsOf(const std::vector<std::uint32_t>& number, const std::vector<std::int64_t>& listedAt,
                                     std::size_t listed) const;
  std::uint32_t personNumber(const std::string& key);
  std::uint32_t idOf(NameIds& ids, std::vector<std::string>& names, std::string_view name);

  SiteSettings settings_;
  std::vector<SiteMatch> matches_;
  // Deques: tens of megabytes that grow by blocks, never held twice while
  // they move to a larger place.
  std::deque<PersonTally> people_;
  NameIds personNumbers_;
  std::deque<KillTally> kills_;
  std::vector<DayKills> days_;         // a match's kills each, merged by day in take()
  std::array<std::int64_t, 7 * 24> matchesByHour_{};
  std::vector<MapTally> maps_;        // by the map's id in mapIds_
  MapTally unknownMap_;               // the matches whose log never named the map
  std::vector<std::string> mapNames_;
  NameIds mapIds_;
  std::vector<std::string> weaponNames_;
  NameIds weaponIds_;
  std::vector<std::uint32_t> matchWeapons_;  // the ids of a match's weapon uses, player after player
};

}  // namespace fragtally

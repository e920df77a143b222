#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fragtally {

struct MatchSummary;

/// A match as the index lists it.
struct IndexMatch {
  std::string report;  ///< file name of its report, beside the index
  std::string date;    ///< the log's "MM/DD/YYYY"
  std::string start;   ///< the log's "HH:MM:SS"
  std::int32_t lengthSeconds = 0;
  std::optional<std::string> map;
  std::int32_t ctRounds = 0;
  std::int32_t terroristRounds = 0;
  std::uint32_t players = 0;
  std::int64_t kills = 0;
  std::string bestPlayer;  ///< the report's first-ranked player ("" when none)
  std::int32_t bestPlayerKills = 0;
  std::uint64_t when = 0;  ///< date and start as YYYYMMDDhhmmss, 0 when unreadable
};

/// A player over every listed match, by name as the reports write it.
struct IndexPlayer {
  std::string name;
  std::uint32_t matches = 0;
  std::int64_t kills = 0;
  std::int64_t deaths = 0;
  std::string favouriteWeapon;  ///< most kills over his matches; "" when none
  std::size_t bestMatch = 0;    ///< position in IndexContent::matches
  std::int32_t bestMatchKills = 0;
};

/// Everything the index page shows, in the order it shows it.
struct IndexContent {
  std::vector<IndexMatch> matches;  ///< newest first
  std::vector<IndexPlayer> players;  ///< most kills first
  std::int64_t kills = 0;            ///< over the listed matches
  std::size_t logsWithoutKills = 0;  ///< records counted but not listed
  /// The weapon pictures the reports of all records show, each once, in name
  /// order: what the folder must hold beside them (not shown by the index).
  std::vector<std::string> pictures;
};

/// "MM/DD/YYYY" and "HH:MM:SS" as one number that orders by time; 0 when
/// either text is not of that form.
std::uint64_t matchTimeKey(std::string_view date, std::string_view start);

/// Gathers match records one by one into what the index shows. The result does
/// not depend on the order in which the records are added.
class IndexTally {
 public:
  /// With `playersByName` false the players are not tallied and the content
  /// lists none: a site ranks people in their place.
  explicit IndexTally(bool playersByName = true) : playersByName_(playersByName) {}

  /// Counts one record whose report is `reportName`. A record without any kill
  /// is only counted; its players are left out.
  void add(const MatchSummary& match, std::string_view reportName);
  /// The matches and players in the page's order; the tally is left empty.
  IndexContent take();

  /// What the tally holds so far, in the folder caches' byte form, to go on
  /// from in a later run; empty where that form cannot hold it (a tally of
  /// players by name, a text over its bounds).
  [[nodiscard]] std::string state() const;
  /// A tally without players by name that goes on from state(); nothing when
  /// `bytes` (read up to their end) are not such a state.
  static std::optional<IndexTally> fromState(std::string_view bytes);

 private:
  struct PlayerTally {
    IndexPlayer shown;
    std::size_t bestMatch = 0;  // in matches_, the order of adding
    std::vector<std::pair<std::uint32_t, std::int64_t>> weaponKills;  // weapon id, kills
  };

  bool earlier(std::size_t a, std::size_t b) const;
  std::uint32_t weaponId(const std::string& name);

  std::vector<IndexMatch> matches_;
  std::vector<PlayerTally> players_;
  std::unordered_map<std::string, std::uint32_t> playerIds_;
  std::vector<std::string> weaponNames_;
  std::unordered_map<std::string, std::uint32_t> weaponIds_;
  bool playersByName_ = true;
  std::size_t logsWithoutKills_ = 0;
  std::set<std::string> pictures_;
};

}  // namespace fragtally

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/match_players.h"

namespace fragtally {

/// What the index needs of one player of a match record.
struct PlayerSummary {
  std::string name;
  std::int32_t kills = 0;
  std::int32_t deaths = 0;
  std::vector<std::pair<std::string, std::int32_t>> weaponKills;  ///< as the record lists them
  bool operator==(const PlayerSummary&) const = default;
};

/// What the index needs of one JSON match record: its texts as the record holds
/// them (UTF-8), its figures, and its players in the report's order. Figures
/// are the report's 32-bit signed numbers: a strange log can make a score or a
/// time negative, and its record still belongs in the index.
struct MatchSummary {
  std::string date;   ///< the log's "MM/DD/YYYY"
  std::string start;  ///< the log's "HH:MM:SS"
  std::int32_t lengthSeconds = 0;
  std::optional<std::string> map;  ///< none where the report shows the unknown map
  std::int32_t ctRounds = 0;
  std::int32_t terroristRounds = 0;
  std::int64_t kills = 0;  ///< the four team counters together
  std::vector<PlayerSummary> players;
  /// The weapons of the weapons table that have a picture, as the log names
  /// them: the pictures "<name>.jpg" the report shows beside itself.
  std::vector<std::string> pictures;
  /// Its people as the log tells them (auth IDs, names, objectives, who killed
  /// whom): what the players' pages and ratings are made of. Empty for a record
  /// of a format that does not hold them.
  MatchPlayers people;
  bool operator==(const MatchSummary&) const = default;
};

/// Reads a match record (record_format.h: its format and version). Nothing when
/// the text is no such record, or is broken: not JSON, a field missing or of the
/// wrong kind, more players or weapons than a log can hold, an overlong text.
/// Only the fields the index shows, the pictures and the people are kept; the
/// rest is passed over, but the whole text must read as JSON. A record of the
/// first version reads with no people; a later one must hold them whole and
/// within the collector's bounds (kMaxMatchPlayers people, kMaxNamesPerPlayer
/// names and kMaxWeaponsPerPlayer weapons each, kill pairs by index into its
/// people, each pair once), so that no file can make the reader hold much.
std::optional<MatchSummary> readMatchSummary(std::string_view json);

}  // namespace fragtally

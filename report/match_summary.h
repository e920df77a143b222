#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fragtally {

/// What the index needs of one player of a match record.
struct PlayerSummary {
  std::string name;
  std::uint32_t kills = 0;
  std::uint32_t deaths = 0;
  std::vector<std::pair<std::string, std::uint32_t>> weaponKills;  ///< as the record lists them
};

/// What the index needs of one JSON match record: its texts as the record holds
/// them (UTF-8), its figures, and its players in the report's order.
struct MatchSummary {
  std::string date;   ///< the log's "MM/DD/YYYY"
  std::string start;  ///< the log's "HH:MM:SS"
  std::uint32_t lengthSeconds = 0;
  std::optional<std::string> map;  ///< none where the report shows the unknown map
  std::uint32_t ctRounds = 0;
  std::uint32_t terroristRounds = 0;
  std::uint64_t kills = 0;  ///< the four team counters together
  std::vector<PlayerSummary> players;
};

/// Reads a match record ("format": "fragtally-match", version 1). Nothing when
/// the text is no such record, or is broken: not JSON, a field missing or of the
/// wrong kind, more players or weapons than a log can hold, an overlong text.
/// Only the fields the index shows are kept; the rest is passed over unread.
std::optional<MatchSummary> readMatchSummary(std::string_view json);

}  // namespace fragtally

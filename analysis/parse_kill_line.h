#pragma once

#include <cstddef>
#include <string_view>

namespace fragtally {

class MatchStats;

/// The five texts cut out of a kill line.
struct KillLine {
  std::string_view killerName;
  std::string_view killerTeam;  ///< "CT" or "TERRORIST"
  std::string_view victimName;
  std::string_view victimTeam;  ///< "CT" or "TERRORIST"
  std::string_view weapon;
  /// A real kill: both names and the weapon found, and "with" in the line. Chat
  /// and plugin lines that merely say "killed" are not.
  bool isKill = false;
};

/// Cuts a line that contains "killed" into its five texts, by position only.
/// The views point into `line`. `killedAt` is the offset of the line's first
/// "killed" when the caller knows it already.
KillLine cutKillLine(std::string_view line, std::size_t killedAt);
KillLine cutKillLine(std::string_view line);

/// Cuts the line and, when it is a real kill, accounts it in the match statistics.
void parseKillLine(MatchStats& stats, std::string_view line, std::size_t killedAt);
void parseKillLine(MatchStats& stats, std::string_view line);

}  // namespace fragtally

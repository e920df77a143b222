#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fragtally {

class MatchStats;

/// The players that share a player's best count of kills (easy prey) or of
/// deaths (worst enemy), as the report lists them. A count of 0 is shown as
/// "-" and lists nobody.
struct TieList {
  std::int32_t count = 0;
  std::vector<std::size_t> players;  ///< positions in ReportModel::players, in table order
};

/// One row of the player kill table, and one column of the weapons table.
struct ReportPlayer {
  std::int32_t slot = 0;  ///< the player's index in the match statistics
  std::string name;       ///< as the log writes it
  std::string tag;        ///< "CT", "TERRORIST", "MANIAC" or the log's own team text
  std::vector<std::int32_t> victims;  ///< his kills of each listed player, in table order
  std::int32_t kills = 0;             ///< summed over the listed players, himself included
  std::int32_t deaths = 0;            ///< by the listed players, himself included
  TieList easyPrey;
  TieList worstEnemy;
  /// The weapon of his favourite-weapon cell; none for a player without kills.
  std::optional<std::string> favouriteWeapon;
  std::int32_t weaponTotal = 0;  ///< his cell of the weapons table's totals row
};

/// One row of the weapons table.
struct ReportWeapon {
  std::string name;  ///< as the log writes it
  std::vector<std::int32_t> kills;  ///< by each listed player, in table order
  std::vector<bool> favourite;      ///< the green cells: a player's best count, never 0
  std::int32_t total = 0;           ///< kills summed over the listed players
  bool hasPicture = false;          ///< the program carries a picture of it
};

/// Everything the report shows, computed once from the match statistics: the HTML page,
/// the JSON record and the index read their figures from here, so no rule of
/// the report is written twice.
struct ReportModel {
  std::string logName;
  std::string date;
  std::string startTime;
  std::string endTime;
  std::optional<std::string> map;  ///< none: the report shows the unknown-map placeholder
  std::string gameTime;            ///< "H:M:S" without leading zeros
  std::int32_t gameSeconds = 0;    ///< end minus start
  std::int32_t ctWins = 0;
  std::int32_t tWins = 0;
  std::int32_t ctKilledCt = 0;
  std::int32_t ctKilledT = 0;
  std::int32_t tKilledCt = 0;
  std::int32_t tKilledT = 0;
  std::vector<ReportPlayer> players;  ///< ranked, best first, up to the first empty name
  /// The deaths row: for each listed player, the kills of him by every slot of
  /// the match statistics, listed or not.
  std::vector<std::int32_t> deathsRow;
  std::vector<ReportWeapon> weapons;  ///< in order of registration, up to the first empty name
};

/// The model of the match's report. Throws notAnInteger where the report
/// cannot be written: a time that does not read (only an empty log has one).
ReportModel buildReportModel(const MatchStats& stats);

}  // namespace fragtally

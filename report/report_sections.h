#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace fragtally {

class MatchStats;
class ReportLines;

/// The map cell's text when no map was seen; a fixed text, not converted.
std::string_view unknownMapText();

/// Page header, summary table and battle table. Throws notAnInteger when a time
/// of the record does not read (only an empty log leaves them empty).
void appendSummarySections(ReportLines& out, MatchStats& stats);
/// The ranked table of kills between players, with its colour legend.
void appendPlayerKillTable(ReportLines& out, const MatchStats& stats);
/// The table of kills by weapon and player, the version line and the page end.
void appendWeaponsTableAndFooter(ReportLines& out, const MatchStats& stats);

/// Player indexes of the ranking, best first, up to the first empty name.
std::vector<std::int32_t> listedPlayers(const MatchStats& stats);
/// Weapon indexes in order of registration, up to the first empty name.
std::vector<std::int32_t> listedWeapons(const MatchStats& stats);

/// The img tag of a weapon picture, shown at 128 by 32, as both tables write it.
void appendWeaponImage(ReportLines& out, std::string_view weaponName);

}  // namespace fragtally

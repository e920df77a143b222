#pragma once

#include <string_view>

namespace fragtally {

struct ReportModel;
class ReportLines;

/// The map cell's text when no map was seen; a fixed text, not converted.
std::string_view unknownMapText();

/// Page header, summary table and battle table.
void appendSummarySections(ReportLines& out, const ReportModel& model);
/// The ranked table of kills between players, with its colour legend.
void appendPlayerKillTable(ReportLines& out, const ReportModel& model);
/// The table of kills by weapon and player, the version line and the page end.
void appendWeaponsTableAndFooter(ReportLines& out, const ReportModel& model);

/// The img tag of a weapon picture, shown at 128 by 32, as both tables write it.
void appendWeaponImage(ReportLines& out, std::string_view weaponName);

}  // namespace fragtally

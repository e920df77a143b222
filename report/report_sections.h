#pragma once

#include <cstddef>
#include <string_view>

namespace fragtally {

struct ReportModel;
struct ReportTexts;
class ReportLines;

// The sections of a match's page, in page order. Each lays out its rows once
// for every language: the fixed texts come from the table, the log's texts go
// through the page's encoding (ReportLines::text).

/// The line that names the log the page was made from.
void appendLogNameLine(ReportLines& out, const ReportModel& model, const ReportTexts& texts);
/// Summary table and battle table.
void appendSummarySections(ReportLines& out, const ReportModel& model, const ReportTexts& texts);
/// The ranked table of kills between players, with its colour legend.
void appendPlayerKillTable(ReportLines& out, const ReportModel& model, const ReportTexts& texts);
/// The table of kills by weapon and player.
void appendWeaponsTable(ReportLines& out, const ReportModel& model, const ReportTexts& texts);
/// The version line and the page's end.
void appendFooter(ReportLines& out);

/// Everything after the page's opening: the sections above, in order.
void appendReportBody(ReportLines& out, const ReportModel& model, const ReportTexts& texts);

/// About the bytes the page of `model` takes, reserved before it is built so
/// that it is not copied over as it grows.
std::size_t reportPageBytes(const ReportModel& model);

/// The img tag of a weapon picture, shown at 128 by 32, as both tables write it.
void appendWeaponImage(ReportLines& out, std::string_view weaponName);

}  // namespace fragtally

#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace fragtally {

class MatchStats;

/// The whole report page for the record: Windows-1251 bytes, CR LF after every
/// line. Ranks the players first and puts the map placeholder into the record
/// when no map is known. Throws notAnInteger when the record has no times.
std::string buildReport(MatchStats& stats);

/// Builds the page, stores it under `reportPath` (UTF-8) as a whole, then writes
/// the weapon pictures into the same folder. Throws cannotCreateFile(reportPath)
/// when the report cannot be stored; an older file is then left untouched and
/// no picture is written. Before anything is written, refuses (see
/// refuseOutputsOverLog) a report or picture that would be the log itself or
/// one another, or one of `alsoWritten`, the caller's further outputs.
void writeReport(MatchStats& stats, std::string_view reportPath,
                 std::span<const std::filesystem::path> alsoWritten = {});

}  // namespace fragtally

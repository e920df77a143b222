#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace fragtally {

class MatchStats;
struct ReportModel;

/// The whole report page of a model: Windows-1251 bytes, CR LF after every line.
std::string buildReport(const ReportModel& model);
/// buildReport of the statistics' model. Throws notAnInteger when the match has
/// no times.
std::string buildReport(const MatchStats& stats);

/// Stores the page of `model` (the model of `stats`) under `reportPath` (UTF-8)
/// as a whole, then writes the weapon pictures of `stats` into the same folder.
/// Throws cannotCreateFile(reportPath) when the report cannot be stored; an
/// older file is then left untouched and no picture is written. Before anything
/// is written, refuses (see refuseOutputsOverLog) a report or picture that
/// would be the log itself or one another, or one of `alsoWritten`, the
/// caller's further outputs.
void writeReport(const MatchStats& stats, const ReportModel& model, std::string_view reportPath,
                 std::span<const std::filesystem::path> alsoWritten = {});
/// writeReport with the statistics' model; throws notAnInteger, before anything is
/// written, when the match has no times.
void writeReport(const MatchStats& stats, std::string_view reportPath,
                 std::span<const std::filesystem::path> alsoWritten = {});

}  // namespace fragtally

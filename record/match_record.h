#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace fragtally {

struct MatchPlayers;
struct MatchSummary;
struct ReportModel;

/// What the record tells about the log file itself.
struct LogFileFacts {
  std::string path;                      ///< as the report shows it (the record's log name)
  std::uint64_t bytes = 0;               ///< its size; for a log without one (a pipe), the bytes read
  std::int64_t modifiedUnixSeconds = 0;  ///< its last change, seconds since 1970-01-01 UTC
  std::uint32_t modifiedNanoseconds = 0;  ///< and its part below the second, as the file system keeps it
  bool sized = true;                     ///< false for a pipe or a device: `bytes` is set once it is read
};

/// The JSON record of a report: UTF-8 without BOM, ending with "\n". Its
/// figures are the report's own, read from the model; every text from the log
/// is kept where it is valid UTF-8 and read as Windows-1251 otherwise. The
/// text is compact: one line. With `summary`, it also receives what the index
/// reads of this record, made from the same texts, so that a batch need not
/// read its fresh records back (nothing where the index would pass it over).
/// `people` is what the log says about each person of the match; the record
/// holds them behind the report's figures, and so does the summary.
std::string matchRecordJson(const ReportModel& model, const MatchPlayers& people, const LogFileFacts& log,
                            std::optional<MatchSummary>* summary = nullptr);

/// Size and modification time of the file at `utf8Path`, with `path` set to
/// `utf8Path`. Throws cannotOpenFile(utf8Path) when the file cannot be looked at.
LogFileFacts logFileFacts(const std::string& utf8Path);

/// "2026-12-08T07:14:18Z": seconds since 1970-01-01 as ISO 8601 UTC.
std::string isoUtcTime(std::int64_t unixSeconds);

}  // namespace fragtally

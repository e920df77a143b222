#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "index/index_cache.h"
#include "record/record_head.h"

namespace fragtally {

/// Gives every log of a folder run the name of its report in the output
/// folder, so that a report is only ever replaced by a report of the same log.
///
/// A log keeps the name its match record already has in the folder, unless
/// a page of the site (base/site_page_names.h) takes it now. Otherwise it gets
/// its file name's stem, or "<stem>-2", "<stem>-3" ... when that name is
/// another log's (by the log path in its record, or where a report has no
/// record, by the log its header names), the index page, a page of the site,
/// a file given as an input of the run, or an earlier log's of the same run.
/// The same inputs in the same order over the same folder always get the
/// same names.
class ReportNames {
 public:
  /// Reads the heads of every match record in `folder` and notes its reports.
  /// A record that the folder's index cache `cache` knows as it stands is
  /// only looked at: its head is the one the cache kept.
  explicit ReportNames(const std::filesystem::path& folder, const IndexCache* cache = nullptr);

  /// Keeps the names of `inputs` (UTF-8 paths) that lie in the folder from
  /// becoming outputs.
  void reserveInputs(const std::vector<std::string>& inputs);

  /// The report name (without ".htm") for the log at `absoluteLog`; the name
  /// is taken from then on.
  std::string claim(const std::string& absoluteLog);

  /// The head of the record the folder held under `name` before the run.
  const RecordHead* recordBefore(const std::string& name) const;

  /// Whether the folder held a file of this name (with its extension) when
  /// it was listed: a file that was not there has no permissions to keep.
  bool wasListed(const std::string& fileName) const;
  /// The same, where that file was a regular file or a link to one: a report
  /// there, without a look at the folder for each of thousands of logs.
  bool wasListedAsFile(const std::string& fileName) const;

  /// The stamps of the records looked at for the cache's heads, by file name
  /// ("X.json"), as they stood when listed; left empty.
  std::unordered_map<std::string, RecordStamp> takeStamps() { return std::move(stamps_); }

 private:
  bool isFree(const std::string& name, const std::string& absoluteLog) const;

  std::filesystem::path folder_;
  std::map<std::string, RecordHead> records_;      // by name key
  std::map<std::string, std::string> nameOfLog_;   // log path -> name, from the records
  std::map<std::string, std::string> reportsWithoutRecord_;  // name key -> log name as shown
  std::set<std::string> reserved_;                 // name keys of inputs and of names claimed
  std::unordered_map<std::string, bool> listed_;   // name keys of every file listed: a regular file (or a link to one)
  std::unordered_map<std::string, RecordStamp> stamps_;  // by file name, as takeStamps gives them
};

}  // namespace fragtally

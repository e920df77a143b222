#include "batch/report_names.h"

#include <atomic>
#include <optional>
#include <system_error>
#include <vector>

#include "base/ascii.h"
#include "base/file.h"
#include "base/file_threads.h"
#include "base/output_names.h"
#include "base/same_file.h"
#include "base/site_page_names.h"
#include "index/index_cache.h"
#include "report/report_header.h"

namespace fragtally {
namespace {

// Names compared as the file system compares them: without letter case on
// Windows.
std::string nameKey(std::string name) {
#ifdef _WIN32
  return asciiLower(name);
#else
  return name;
#endif
}

std::string stemOf(const std::filesystem::path& file) { return utf8FromPath(file.stem()); }

}  // namespace

ReportNames::ReportNames(const std::filesystem::path& folder, const IndexCache* cache) : folder_(folder) {
  std::error_code error;
  std::map<std::string, std::filesystem::path> reports;
  std::vector<std::filesystem::path> records;
  for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
       entries.increment(error)) {
    const std::filesystem::path& file = entries->path();
    std::error_code typeError;
    listed_.emplace(nameKey(utf8FromPath(file.filename())), entries->is_regular_file(typeError));
    const std::string extension = nameKey(utf8FromPath(file.extension()));
    if (extension == kReportExtension) {
      reports.emplace(nameKey(stemOf(file)), file);
    } else if (extension == kRecordExtension) {
      records.push_back(file);
    }
  }
  // A folder of years of matches holds thousands of records: their heads are
  // taken on every hardware thread, then kept in the order listed. Most are
  // the cache's: a look at each of those files instead of a read.
  std::vector<std::optional<RecordHead>> heads(records.size());
  std::vector<std::optional<RecordStamp>> stamps(records.size());
  std::atomic<std::size_t> next{0};
  const auto readSome = [&] {
    for (std::size_t at; (at = next.fetch_add(1)) < records.size();) {
      if (cache != nullptr && cache->size() > 0) {
        if (const std::optional<RecordStamp> stamp = stamps[at] = recordStampOf(records[at])) {
          if (const RecordHead* known = cache->headOf(utf8FromPath(records[at].filename()), *stamp)) {
            heads[at] = *known;
            continue;
          }
        }
      }
      heads[at] = readRecordHead(records[at]);
    }
  };
  onThreads(fileReadingThreads(), records.size(), readSome);
  stamps_.reserve(records.size());
  for (std::size_t at = 0; at < records.size(); ++at) {
    if (stamps[at]) stamps_.emplace(utf8FromPath(records[at].filename()), *stamps[at]);
    if (!heads[at]) continue;
    nameOfLog_.emplace(heads[at]->logPath, stemOf(records[at]));
    records_.emplace(nameKey(stemOf(records[at])), std::move(*heads[at]));
  }
  for (const auto& [key, file] : reports) {
    // Read only where no record says whose the report is.
    if (records_.find(key) == records_.end()) reportsWithoutRecord_.emplace(key, readLogNameInHeader(file).value_or(""));
  }
  reserved_.insert(nameKey(kIndexName));
  reserved_.insert(nameKey(kRatingName));
  reserved_.insert(nameKey(kAwardsName));
  reserved_.insert(nameKey(kMapsName));
}

void ReportNames::reserveInputs(const std::vector<std::string>& inputs) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::weakly_canonical(folder_, error);
  if (error) return;
  for (const std::string& input : inputs) {
    const std::filesystem::path path = pathFromUtf8(input);
    // Only a log named like a report or a record could be replaced by one.
    const std::string extension = nameKey(utf8FromPath(path.extension()));
    if (extension != nameKey(kReportExtension) && extension != nameKey(kRecordExtension)) continue;
    if (!isSameFile(path.parent_path().empty() ? "." : path.parent_path(), folder)) continue;
    // The input's own name stands for its report's and record's names alike.
    reserved_.insert(nameKey(stemOf(path)));
  }
}

bool ReportNames::wasListed(const std::string& fileName) const { return listed_.count(nameKey(fileName)) != 0; }

bool ReportNames::wasListedAsFile(const std::string& fileName) const {
  const auto listed = listed_.find(nameKey(fileName));
  return listed != listed_.end() && listed->second;
}

bool ReportNames::isFree(const std::string& name, const std::string& absoluteLog) const {
  const std::string key = nameKey(name);
  // The site's archive pages take their names by a rule, not one by one.
  if (reserved_.count(key) != 0 || isSitePageStem(key)) return false;
  const auto record = records_.find(key);
  if (record != records_.end()) return record->second.logPath == absoluteLog;
  const auto report = reportsWithoutRecord_.find(key);
  // The page may be the fixed report or a match page of another language.
  return report == reportsWithoutRecord_.end() || report->second == logNameInHeader(absoluteLog) ||
         report->second == logNameInHeader(absoluteLog, PageEncoding::Utf8);
}

std::string ReportNames::claim(const std::string& absoluteLog) {
  std::string name;
  const auto known = nameOfLog_.find(absoluteLog);
  if (known != nameOfLog_.end() && reserved_.count(nameKey(known->second)) == 0 &&
      !isSitePageStem(nameKey(known->second))) {
    name = known->second;
  } else {
    const std::string stem = stemOf(pathFromUtf8(absoluteLog));
    name = stem;
    for (int n = 2; !isFree(name, absoluteLog); ++n) name = stem + "-" + std::to_string(n);
  }
  reserved_.insert(nameKey(name));
  return name;
}

const RecordHead* ReportNames::recordBefore(const std::string& name) const {
  const auto record = records_.find(nameKey(name));
  return record == records_.end() ? nullptr : &record->second;
}

}  // namespace fragtally

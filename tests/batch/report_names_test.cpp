#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/file.h"
#include "batch/folder_run.h"
#include "batch/report_names.h"
#include "index/index_cache.h"
#include "record/record_head.h"
#include "tests/log_folders.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::oneKillLog;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;
using testing::writeFileMakingFolders;
namespace fs = std::filesystem;

class QuietEvents : public FolderRunEvents {
 public:
  void waitingForFolder(const std::string&) override {}
  void inputProblem(const std::string&) override {}
  void done(const LogOutcome&) override {}
  void progress(const BatchCounts&) override {}
};

void runInto(const fs::path& logs, const fs::path& out) {
  FolderRun run;
  run.paths = {utf8FromPath(logs)};
  run.folder = utf8FromPath(out);
  QuietEvents events;
  ASSERT_FALSE(runFolder(run, events).failed);
}

// The head the cache holds for `record` as it stands, as the record itself reads.
void expectCachedHead(const IndexCache& cache, const fs::path& record) {
  const std::optional<RecordStamp> stamp = recordStampOf(record);
  ASSERT_TRUE(stamp);
  const RecordHead* cached = cache.headOf(utf8FromPath(record.filename()), *stamp);
  ASSERT_NE(cached, nullptr) << record;
  EXPECT_EQ(*cached, readRecordHead(record).value());
}

// A run keeps each record's head in the index cache: from the batch that wrote
// it, and through a later run that writes the cache anew from an earlier
// record on. The next run's names take a head from there where the cache
// knows the record as it stands, with a look at the file and no read of it.
TEST(ReportNamesTest, ARecordTheCacheKnowsIsNotReadForItsHead) {
  TempFolder top;
  const fs::path logs = top / "logs";
  const fs::path out = top / "out";
  writeFileMakingFolders(logs / "b.log", oneKillLog("Bravo"));
  runInto(logs, out);
  expectCachedHead(IndexCache::load(out / "index.cache"), out / "b.json");
  writeFileMakingFolders(logs / "a.log", oneKillLog("Alpha"));
  runInto(logs, out);
  const IndexCache cache = IndexCache::load(out / "index.cache");
  expectCachedHead(cache, out / "a.json");
  expectCachedHead(cache, out / "b.json");

  // Same size and time, another log in its head: only the cache still names b.log.
  const std::string original = ReportNames(out).recordBefore("b")->logPath;
  ASSERT_EQ(fs::path(original).filename(), "b.log");
  std::string changed = readFile(out / "b.json");
  changed.replace(changed.find("b.log"), 5, "x.log");
  const fs::file_time_type time = fs::last_write_time(out / "b.json");
  writeFile(out / "b.json", changed);
  fs::last_write_time(out / "b.json", time);
  EXPECT_EQ(ReportNames(out, &cache).recordBefore("b")->logPath, original);
  EXPECT_EQ(fs::path(ReportNames(out).recordBefore("b")->logPath).filename(), "x.log");
  // Touched since: the record is read.
  fs::last_write_time(out / "b.json", time + std::chrono::seconds(1));
  EXPECT_EQ(fs::path(ReportNames(out, &cache).recordBefore("b")->logPath).filename(), "x.log");
  EXPECT_EQ(ReportNames(out, &cache).recordBefore("a")->logPath, ReportNames(out).recordBefore("a")->logPath);
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "batch/output_storer.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;

// Many small batches through a short queue: every log comes back once, a
// failed one with its first failed file, and a record is never stored
// without its report.
TEST(OutputStorerTest, EveryLogIsCommittedOnceWithTheFirstFileThatFailed) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "out" / "5.htm");  // a folder stands where a report goes
  std::mutex mutex;
  std::map<std::size_t, std::filesystem::path> outcomes;
  std::size_t calls = 0;
  {
    OutputStorer storer(1, [&](const std::vector<OutputStorer::Outcome>& committed) {
      std::lock_guard<std::mutex> lock(mutex);
      for (const OutputStorer::Outcome& outcome : committed) {
        EXPECT_TRUE(outcomes.emplace(outcome.log, outcome.failed).second) << outcome.log;
      }
      ++calls;
    });
    std::vector<BuiltOutputs> batch;
    for (std::size_t log = 0; log < 300; ++log) {
      // Log 9's report goes to a folder that is not there.
      const std::filesystem::path reports = folder / (log == 9 ? "missing" : "out");
      BuiltOutputs& built = batch.emplace_back();
      built.log = log;
      built.files.push_back(BuiltFile{reports / (std::to_string(log) + ".htm"), "report " + std::to_string(log), true});
      built.files.push_back(
          BuiltFile{folder / "out" / (std::to_string(log) + ".json"), "record " + std::to_string(log), true});
      if (batch.size() == 7) storer.handOver(std::exchange(batch, {}));
    }
    storer.handOver(std::move(batch));
    storer.finish();
  }
  ASSERT_EQ(outcomes.size(), 300u);
  EXPECT_GT(calls, 1u);  // more than one commit for 600 files
  for (const auto& [log, failed] : outcomes) {
    if (log == 5) {
      EXPECT_EQ(failed, folder / "out" / "5.htm");
    } else if (log == 9) {
      EXPECT_EQ(failed, folder / "missing" / "9.htm");
    } else {
      EXPECT_TRUE(failed.empty()) << log;
      EXPECT_EQ(readFile(folder / "out" / (std::to_string(log) + ".json")), "record " + std::to_string(log));
    }
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "out" / "9.json"));  // its report could not even be written
  EXPECT_TRUE(std::filesystem::is_directory(folder / "out" / "5.htm"));
  // The report of 5 could be written, only not put in place: its record was stored.
  EXPECT_EQ(readFile(folder / "out" / "5.json"), "record 5");
  for (const auto& entry : std::filesystem::directory_iterator(folder / "out")) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

// A log handed over alone is committed without waiting for more logs or for
// the end, so that a slow run still shows its progress.
TEST(OutputStorerTest, ALogHandedOverAloneIsCommittedBeforeTheEnd) {
  TempFolder folder;
  std::mutex mutex;
  std::condition_variable changed;
  bool committed = false;
  OutputStorer storer(2, [&](const std::vector<OutputStorer::Outcome>& outcomes) {
    std::lock_guard<std::mutex> lock(mutex);
    committed = outcomes.size() == 1 && outcomes[0].failed.empty();
    changed.notify_all();
  });
  std::vector<BuiltOutputs> batch(1);
  batch[0].files.push_back(BuiltFile{folder / "a.htm", "report", true});
  storer.handOver(std::move(batch));
  std::unique_lock<std::mutex> lock(mutex);
  EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return committed; }));
  EXPECT_EQ(readFile(folder / "a.htm"), "report");
}

// The end of the batches commits what was handed over at once: the last log
// of a run is not kept waiting for batches that cannot come.
TEST(OutputStorerTest, TheLastBatchIsCommittedOnceNoMoreCome) {
  TempFolder folder;
  std::mutex mutex;
  std::condition_variable changed;
  bool committed = false;
  OutputStorer storer(
      2,
      [&](const std::vector<OutputStorer::Outcome>& outcomes) {
        std::lock_guard<std::mutex> lock(mutex);
        committed = outcomes.size() == 1 && outcomes[0].failed.empty();
        changed.notify_all();
      },
      std::chrono::hours(1));
  std::vector<BuiltOutputs> batch(1);
  batch[0].files.push_back(BuiltFile{folder / "a.htm", "report", true});
  storer.handOver(std::move(batch));
  storer.endOfBatches();
  std::unique_lock<std::mutex> lock(mutex);
  EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return committed; }));
  EXPECT_EQ(readFile(folder / "a.htm"), "report");
}

}  // namespace
}  // namespace fragtally

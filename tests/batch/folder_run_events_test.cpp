#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <vector>

#include "base/file.h"
#include "base/site_page_names.h"
#include "batch/folder_run.h"
#include "tests/log_folders.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::oneKillLog;
using testing::writeFileMakingFolders;
namespace fs = std::filesystem;

std::string path(const fs::path& p) { return utf8FromPath(p); }

// Keeps everything a run tells, and checks that the counts only ever grow.
class CollectedEvents : public FolderRunEvents {
 public:
  void waitingForFolder(const std::string& folder) override { waitedFor.push_back(folder); }
  void inputProblem(const std::string& message) override { problems.push_back(message); }
  void done(const LogOutcome& outcome) override { outcomes.push_back(outcome); }
  void progress(const BatchCounts& counts) override {
    EXPECT_LE(counts.done(), counts.logs);
    EXPECT_GE(counts.done(), lastDone);
    EXPECT_LE(counts.bytesRead, counts.bytesToRead);
    lastDone = counts.done();
  }

  std::vector<std::string> waitedFor;
  std::vector<std::string> problems;
  std::vector<LogOutcome> outcomes;
  std::size_t lastDone = 0;
};

FolderRun runOf(std::vector<std::string> paths, const fs::path& folder, unsigned jobs = 2) {
  FolderRun run;
  run.paths = std::move(paths);
  run.folder = path(folder);
  run.jobs = jobs;
  return run;
}

TEST(FolderRunEventsTest, OutcomesComeInInputOrderWithTheirReportsMessagesAndCounts) {
  TempFolder top;
  writeFileMakingFolders(top / "a.log", oneKillLog("Alpha"));
  writeFileMakingFolders(top / "c.log", oneKillLog("Charlie"));
  const fs::path out = top / "out";
  const std::vector<std::string> logs = {path(top / "a.log"), path(top / "b.log"), path(top / "c.log")};
  const std::uint64_t logBytes = oneKillLog("Alpha").size() + oneKillLog("Charlie").size();

  CollectedEvents first;
  const FolderRunResult written = runFolder(runOf(logs, out), first);
  EXPECT_TRUE(written.failed);
  EXPECT_TRUE(written.indexFailures.empty());
  EXPECT_TRUE(first.problems.empty());
  EXPECT_TRUE(first.waitedFor.empty());
  ASSERT_EQ(first.outcomes.size(), 3u);
  EXPECT_EQ(first.outcomes[0].kind, LogOutcomeKind::written);
  EXPECT_EQ(first.outcomes[0].log, logs[0]);
  EXPECT_EQ(first.outcomes[0].name, "a");
  EXPECT_EQ(first.outcomes[0].report, path(out / "a.htm"));
  EXPECT_EQ(first.outcomes[1].kind, LogOutcomeKind::failed);
  EXPECT_EQ(first.outcomes[1].log, logs[1]);
  EXPECT_EQ(first.outcomes[1].report, std::nullopt);
  EXPECT_EQ(first.outcomes[1].message, "Cannot open file " + logs[1] + ".");
  EXPECT_EQ(first.outcomes[2].report, path(out / "c.htm"));
  EXPECT_EQ(written.counts.logs, 3u);
  EXPECT_EQ(written.counts.written, 2u);
  EXPECT_EQ(written.counts.upToDate, 0u);
  EXPECT_EQ(written.counts.failed, 1u);
  EXPECT_EQ(written.counts.bytesToRead, logBytes);
  EXPECT_EQ(written.counts.bytesRead, logBytes);

  // Nothing changed: the two logs are up to date, nothing is read, no report is told.
  CollectedEvents second;
  const FolderRunResult again = runFolder(runOf(logs, out, 1), second);
  ASSERT_EQ(second.outcomes.size(), 3u);
  EXPECT_EQ(second.outcomes[0].kind, LogOutcomeKind::upToDate);
  EXPECT_EQ(second.outcomes[0].name, "a");
  EXPECT_EQ(second.outcomes[0].report, std::nullopt);
  EXPECT_EQ(second.outcomes[1].kind, LogOutcomeKind::failed);
  EXPECT_EQ(second.outcomes[2].kind, LogOutcomeKind::upToDate);
  EXPECT_EQ(again.counts.upToDate, 2u);
  EXPECT_EQ(again.counts.failed, 1u);
  EXPECT_EQ(again.counts.bytesToRead, 0u);
  EXPECT_EQ(again.counts.bytesRead, 0u);
}

TEST(FolderRunEventsTest, AnIndexThatCannotBeStoredIsTheRunsFailureNotALogs) {
  TempFolder top;
  writeFileMakingFolders(top / "a.log", oneKillLog("Alpha"));
  fs::create_directories(top / "out" / "index.htm" / "inside");  // a folder where the page goes
  CollectedEvents events;
  const FolderRunResult result = runFolder(runOf({path(top / "a.log")}, top / "out"), events);
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.counts.failed, 0u);
  ASSERT_EQ(result.indexFailures.size(), 1u);
  EXPECT_NE(result.indexFailures[0].find("index.htm"), std::string::npos) << result.indexFailures[0];
}

TEST(FolderRunEventsTest, AKnownNameIsKeptOnlyWhileItsRecordShowsTheLog) {
  TempFolder top;
  writeFileMakingFolders(top / "x" / "game.log", oneKillLog("Xavier"));
  writeFileMakingFolders(top / "y" / "game.log", oneKillLog("Yankee"));
  const fs::path out = top / "out";
  const std::string x = path(top / "x" / "game.log");
  const std::string y = path(top / "y" / "game.log");

  CollectedEvents first;
  runFolder(runOf({x}, out), first);
  ASSERT_EQ(first.outcomes.at(0).name, "game");

  // Its name known, the log goes there again.
  FolderRun known = runOf({x}, out);
  known.force = true;
  known.knownNames.emplace(x, "game");
  CollectedEvents kept;
  EXPECT_FALSE(runFolder(known, kept).failed);
  EXPECT_EQ(kept.outcomes.at(0).report, path(out / "game.htm"));

  // Once another log's record stands at that name, the name is looked up
  // again and that log's report is left alone.
  fs::rename(out / "game.json", out / "game-2.json");
  fs::rename(out / "game.htm", out / "game-2.htm");
  CollectedEvents other;
  runFolder(runOf({y}, out), other);
  ASSERT_NE(readFile(out / "game.htm").find("Yankee"), std::string::npos);
  CollectedEvents lookedUp;
  EXPECT_FALSE(runFolder(known, lookedUp).failed);
  EXPECT_EQ(lookedUp.outcomes.at(0).report, path(out / "game-2.htm"));
  EXPECT_NE(readFile(out / "game.htm").find("Yankee"), std::string::npos);
  EXPECT_NE(readFile(out / "game-2.htm").find("Xavier"), std::string::npos);
}

TEST(FolderRunEventsTest, ACancelledRunBeginsNoLogButTellsTheUpToDateOnes) {
  TempFolder top;
  writeFileMakingFolders(top / "a.log", oneKillLog("Alpha"));
  writeFileMakingFolders(top / "b.log", oneKillLog("Bravo"));
  const fs::path out = top / "out";
  CollectedEvents first;
  runFolder(runOf({path(top / "a.log")}, out), first);

  std::atomic<bool> cancel{true};
  FolderRun run = runOf({path(top / "a.log"), path(top / "b.log")}, out);
  run.cancel = &cancel;
  CollectedEvents events;
  const FolderRunResult result = runFolder(run, events);
  EXPECT_TRUE(result.cancelled);
  EXPECT_FALSE(result.failed);
  ASSERT_EQ(events.outcomes.size(), 1u);
  EXPECT_EQ(events.outcomes[0].kind, LogOutcomeKind::upToDate);
  EXPECT_EQ(result.counts.logs, 2u);
  EXPECT_EQ(result.counts.done(), 1u);
  EXPECT_FALSE(fs::exists(out / "b.htm"));
  EXPECT_FALSE(fs::exists(out / "b.json"));
  EXPECT_TRUE(fs::exists(out / "index.htm"));
}

// Cancelled after its first outcome, a run leaves in the folder exactly the
// reports and records of the logs it told as written, each whole, and no
// temporary file, however far its worker had gone.
TEST(FolderRunEventsTest, ACancelledRunLeavesOnlyTheLogsItToldWhole) {
  TempFolder top;
  std::vector<std::string> logs;
  for (int i = 0; i < 120; ++i) {
    const fs::path log = top / "logs" / ("game" + std::to_string(1000 + i) + ".log");
    writeFileMakingFolders(log, oneKillLog("Player" + std::to_string(i)));
    logs.push_back(path(log));
  }
  const fs::path out = top / "out";
  std::atomic<bool> cancel{false};
  class CancelAfterFirst : public CollectedEvents {
   public:
    explicit CancelAfterFirst(std::atomic<bool>& cancel) : cancel_(cancel) {}
    void done(const LogOutcome& outcome) override {
      CollectedEvents::done(outcome);
      cancel_ = true;
    }

   private:
    std::atomic<bool>& cancel_;
  } events(cancel);
  FolderRun run = runOf(logs, out, 1);
  run.cancel = &cancel;
  const FolderRunResult result = runFolder(run, events);

  EXPECT_FALSE(result.failed);
  EXPECT_EQ(result.cancelled, events.outcomes.size() < logs.size());
  EXPECT_EQ(result.counts.done(), events.outcomes.size());
  std::set<std::string> expected = {"index.htm", kRankingPageName, "rating.htm", "awards.htm", "maps.htm", "ak47.jpg"};
  for (const LogOutcome& outcome : events.outcomes) {
    ASSERT_EQ(outcome.kind, LogOutcomeKind::written) << outcome.message;
    expected.insert(outcome.name + ".htm");
    expected.insert(outcome.name + ".json");
    EXPECT_NE(readFile(out / (outcome.name + ".htm")).find("</html>"), std::string::npos) << outcome.name;
  }
  std::set<std::string> found;
  for (const auto& entry : fs::directory_iterator(out)) found.insert(path(entry.path().filename()));
  // The folder's own files, kept by every run.
  found.erase("index.cache");
  found.erase("site.cache");
  found.erase("tally.cache");
  found.erase(".fragtally.lock");
  found.erase("players");  // the players' pages, where the records tell people
  // The pages of the months the logs written are of.
  for (const std::string& name : found) {
    if (name.starts_with("matches-") && isSitePageName(name)) expected.insert(name);
  }
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace fragtally

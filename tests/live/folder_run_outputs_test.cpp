#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "base/file.h"
#include "live/folder_run_outputs.h"
#include "tests/log_folders.h"
#include "tests/test_files.h"

namespace fragtally::live {
namespace {

using fragtally::testing::readFile;
using fragtally::testing::TempFolder;
using fragtally::testing::oneKillLog;
using fragtally::testing::writeFileMakingFolders;
namespace fs = std::filesystem;

std::string path(const fs::path& p) { return utf8FromPath(p); }

// A temporary file of this program, two days old: a run's first look at the
// folder removes it.
fs::path staleTemporary(const fs::path& folder) {
  const fs::path file = folder / ".fragtally-0123456789abcdef.tmp";
  writeFileMakingFolders(file, "left by a run that was killed");
  fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(48));
  return file;
}

TEST(FolderRunOutputsTest, StaleTemporariesAreRemovedOnceAndNotAtEveryRefresh) {
  TempFolder top;
  const fs::path out = top / "out";
  fs::create_directories(out);
  const fs::path before = staleTemporary(out);
  writeFileMakingFolders(top / "game.log", oneKillLog("Alpha"));
  const std::string log = path(top / "game.log");
  std::ostringstream messages;
  ActivityLog activity(messages);
  FolderRunOutputs outputs(path(out), {}, activity);

  outputs.refresh(log);
  EXPECT_FALSE(fs::exists(before));
  const fs::path during = staleTemporary(out);
  outputs.refresh(log);
  outputs.finish(log, FinishReason::closed);
  EXPECT_TRUE(fs::exists(during));
  EXPECT_FALSE(outputs.failed());
  EXPECT_NE(messages.str().find("finished " + log + " (closed): " + path(out / "game.htm") + "\n"), std::string::npos)
      << messages.str();
  EXPECT_TRUE(fs::exists(out / "index.htm"));
}

// A refresh keeps the name of the log's first report without looking at the
// folder; yet where another log's record has come to stand under that name,
// the name is looked up again, and the other log's report stays.
TEST(FolderRunOutputsTest, ARefreshNeverReplacesAnotherLogsReport) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFileMakingFolders(top / "a" / "game.log", oneKillLog("Alpha"));
  writeFileMakingFolders(top / "b" / "game.log", oneKillLog("Bravo"));
  const std::string a = path(top / "a" / "game.log");
  const std::string b = path(top / "b" / "game.log");
  std::ostringstream messages;
  ActivityLog activity(messages);
  FolderRunOutputs outputs(path(out), {}, activity);

  outputs.refresh(a);
  ASSERT_NE(readFile(out / "game.htm").find("Alpha"), std::string::npos);
  // Another program's run moves a's outputs away and writes b's in their place.
  fs::rename(out / "game.htm", out / "game-2.htm");
  fs::rename(out / "game.json", out / "game-2.json");
  FolderRunOutputs other(path(out), {}, activity);
  other.finish(b, FinishReason::closed);
  ASSERT_NE(readFile(out / "game.htm").find("Bravo"), std::string::npos);

  outputs.refresh(a);
  outputs.finish(a, FinishReason::idle);
  EXPECT_FALSE(outputs.failed()) << messages.str();
  EXPECT_NE(readFile(out / "game.htm").find("Bravo"), std::string::npos);
  EXPECT_NE(readFile(out / "game-2.htm").find("Alpha"), std::string::npos);
  EXPECT_NE(messages.str().find("finished " + a + " (silent): " + path(out / "game-2.htm")), std::string::npos)
      << messages.str();
}

TEST(FolderRunOutputsTest, AFailureIsWrittenToTheActivityLogAndRemembered) {
  TempFolder top;
  std::ostringstream messages;
  ActivityLog activity(messages);
  FolderRunOutputs outputs(path(top / "out"), {}, activity);
  const std::string missing = path(top / "missing.log");
  outputs.refresh(missing);
  EXPECT_TRUE(outputs.failed());
  EXPECT_NE(messages.str().find(missing + ": Cannot open file " + missing + ".\n"), std::string::npos)
      << messages.str();
  outputs.finish(missing, FinishReason::stopped);
  EXPECT_NE(messages.str().find("finished " + missing + " (stopped): no report\n"), std::string::npos)
      << messages.str();
}

// Logs that end together (a server's logs cut off one after another) are
// written in one run: each gets its report and its line, and the index
// counts them all.
TEST(FolderRunOutputsTest, LogsFinishedTogetherEachGetTheirReportAndOneIndex) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFileMakingFolders(top / "a" / "game.log", oneKillLog("Alpha"));
  writeFileMakingFolders(top / "b" / "game.log", oneKillLog("Bravo"));
  writeFileMakingFolders(top / "c.log", oneKillLog("Charlie"));
  const std::string a = path(top / "a" / "game.log");
  const std::string b = path(top / "b" / "game.log");
  const std::string c = path(top / "c.log");
  std::ostringstream messages;
  ActivityLog activity(messages);
  FolderRunOutputs outputs(path(out), {}, activity);

  outputs.refresh(a);
  outputs.finishAll({{a, FinishReason::newLog}, {b, FinishReason::newLog}, {c, FinishReason::stopped}});
  EXPECT_FALSE(outputs.failed());
  EXPECT_NE(readFile(out / "game.htm").find("Alpha"), std::string::npos);
  EXPECT_NE(readFile(out / "game-2.htm").find("Bravo"), std::string::npos);
  EXPECT_NE(readFile(out / "c.htm").find("Charlie"), std::string::npos);
  const std::string said = messages.str();
  EXPECT_NE(said.find("finished " + a + " (cut off by a new log): " + path(out / "game.htm") + "\n"), std::string::npos) << said;
  EXPECT_NE(said.find("finished " + b + " (cut off by a new log): " + path(out / "game-2.htm") + "\n"), std::string::npos) << said;
  EXPECT_NE(said.find("finished " + c + " (stopped): " + path(out / "c.htm") + "\n"), std::string::npos) << said;
  const std::string index = readFile(out / "index.htm");
  for (const char* report : {"game.htm", "game-2.htm", "c.htm"}) {
    EXPECT_NE(index.find(report), std::string::npos) << report;
  }
}

// A log of the batch that cannot be read fails alone.
TEST(FolderRunOutputsTest, ALogOfABatchThatCannotBeReadFailsAlone) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFileMakingFolders(top / "a.log", oneKillLog("Alpha"));
  const std::string a = path(top / "a.log");
  const std::string gone = path(top / "gone.log");
  std::ostringstream messages;
  ActivityLog activity(messages);
  FolderRunOutputs outputs(path(out), {}, activity);

  outputs.finishAll({{gone, FinishReason::idle}, {a, FinishReason::closed}});
  EXPECT_TRUE(outputs.failed());
  const std::string said = messages.str();
  EXPECT_NE(said.find("finished " + gone + " (silent): no report\n"), std::string::npos) << said;
  EXPECT_NE(said.find("finished " + a + " (closed): " + path(out / "a.htm") + "\n"), std::string::npos) << said;
}

// The live modes take the site's settings as the folder run does: with
// English, the match being played and the one finished are English pages,
// the site's too, and the folder remembers the language.
TEST(FolderRunOutputsTest, AnEnglishSiteGetsEnglishMatchPagesWhilePlayedAndFinished) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFileMakingFolders(top / "game.log", oneKillLog("Alpha"));
  const std::string log = path(top / "game.log");
  std::ostringstream messages;
  ActivityLog activity(messages);
  SiteSettings english;
  english.language = SiteLanguage::English;
  FolderRunOutputs outputs(path(out), english, activity);

  outputs.refresh(log);
  EXPECT_NE(readFile(out / "game.htm").find("<html lang=\"en\">"), std::string::npos);
  outputs.finish(log, FinishReason::closed);
  EXPECT_FALSE(outputs.failed()) << messages.str();
  EXPECT_NE(readFile(out / "game.htm").find("Analysis of the file"), std::string::npos);
  EXPECT_NE(readFile(out / "index.htm").find("<html lang=\"en\">"), std::string::npos);
  EXPECT_EQ(readFile(out / ".fragtally.lang"), "en\n");
}

}  // namespace
}  // namespace fragtally::live

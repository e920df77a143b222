#include <gtest/gtest.h>

#include <sstream>

#include "live/folder_run_outputs.h"
#include "live/played_reports.h"
#include "tests/test_files.h"

namespace fragtally::live {
namespace {

TEST(PlayedReportsTest, AReportIsPlayedFromItsFirstRefreshToItsFinish) {
  testing::TempFolder folder;
  testing::writeFile(folder / "L1.htm", "<html>");
  PlayedReports played;
  // Told by the path the folder run printed; asked by the real path.
  played.playing("/srv/logs/L1.log", folder / "." / "L1.htm");
  const std::filesystem::path real = std::filesystem::canonical(folder / "L1.htm");
  EXPECT_TRUE(played.isPlayed(real));
  EXPECT_FALSE(played.isPlayed(std::filesystem::canonical(folder.path()) / "L2.htm"));
  played.playing("/srv/logs/L2.log", folder / "L2.htm");
  played.finished("/srv/logs/L1.log");
  EXPECT_FALSE(played.isPlayed(real));
  EXPECT_TRUE(played.isPlayed(std::filesystem::weakly_canonical(folder / "L2.htm")));
}

TEST(PlayedReportsTest, TheLiveOutputsTellWhichReportALogHasUntilItEnds) {
  testing::TempFolder folder;
  const std::filesystem::path log = folder / "L1208001.log";
  testing::writeFile(log, testing::readFile(testing::sourcePath("tests/live/stream_match.log")));
  std::ostringstream messages;
  ActivityLog activity(messages);
  PlayedReports played;
  FolderRunOutputs outputs((folder / "site").string(), {}, activity, &played);
  outputs.refresh(log.string());
  const std::filesystem::path report = std::filesystem::canonical(folder / "site" / "L1208001.htm");
  EXPECT_TRUE(played.isPlayed(report)) << messages.str();
  outputs.finish(log.string(), FinishReason::closed);
  EXPECT_FALSE(played.isPlayed(report));
}

}  // namespace
}  // namespace fragtally::live

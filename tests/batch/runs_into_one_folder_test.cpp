// Folder runs that meet in one output folder: at once, in one process or in
// two, and a run stopped by a signal while its files are in flight.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "base/file.h"
#include "base/folder_lock.h"
#include "base/site_page_names.h"
#include "tests/cli_process.h"
#include "tests/cli_run.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

std::string path(const fs::path& p) { return utf8FromPath(p); }

// A one-kill log whose killer names the log, so every record shows whose it is.
std::string logOf(const std::string& killer) {
  return "L 12/08/2026 - 20:00:00: Started map \"de_dust2\"\n"
         "L 12/08/2026 - 20:01:00: \"" + killer + "<2><STEAM_0:1:1><CT>\" killed \"Victim<3><STEAM_0:1:2><TERRORIST>\" with \"ak47\"\n";
}

// `count` logs L0000.log, L0001.log, ... in `folder`, their killers named `killer` and the number.
void writeLogs(const fs::path& folder, const std::string& killer, int count) {
  fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    std::string number = std::to_string(i);
    number.insert(0, 4 - number.size(), '0');
    testing::writeFile(folder / ("L" + number + ".log"), logOf(killer + number));
  }
}

// The folder's files whose names end with `extension`, their contents told apart.
std::set<std::string> contentsOf(const fs::path& folder, const std::string& extension) {
  std::set<std::string> contents;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    // The site's pages beside the reports are not the runs' own.
    const std::string name = entry.path().filename().string();
    const bool sitePage = name == "index.htm" || name == "rating.htm" || name == "awards.htm" || name == "maps.htm" ||
                          isSitePageName(name);
    if (entry.path().extension() == extension && !sitePage) contents.insert(testing::readFile(entry.path()));
  }
  return contents;
}

TEST(RunsIntoOneFolderTest, ARunWaitsForAnotherAndSaysSo) {
  TempFolder top;
  testing::writeFile(top / "a.log", logOf("Alpha"));
  std::optional<FolderLock> other(FolderLock::take(top / "out", {}));
  testing::CliRun result;
  std::thread run([&] { result = testing::cli({path(top / "a.log"), "-d", path(top / "out")}); });
  // However long the other run holds the folder, this one writes nothing meanwhile.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(top / "out" / "a.htm"));
  other.reset();
  run.join();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, path(top / "out" / "a.htm") + "\n");
  EXPECT_EQ(result.err, "waiting for another run writing to " + path(top / "out") +
                            "\n1 log: 1 written, 0 up to date, 0 failed\n");
}

// Two folders of logs with the same names, imported into one folder at once:
// every log gets a report and a record of its own.
TEST(RunsIntoOneFolderTest, TwoProgramsImportingAtOnceLoseNoLog) {
  TempFolder top;
  writeLogs(top / "first", "First", 300);
  writeLogs(top / "second", "Second", 300);
  testing::CliProcess first({path(top / "first"), "-d", path(top / "out")});
  testing::CliProcess second({path(top / "second"), "-d", path(top / "out")});
  EXPECT_EQ(first.wait(), 0);
  EXPECT_EQ(second.wait(), 0);
  EXPECT_EQ(contentsOf(top / "out", ".json").size(), 600u);
  EXPECT_EQ(contentsOf(top / "out", ".htm").size(), 600u);
}

#ifndef _WIN32
// Runs stopped at moments ever later, from before the first file to the
// stores of the last: no temporary file is left, however many were in flight.
TEST(RunsIntoOneFolderTest, ARunStoppedBySigtermLeavesNoTemporaryFile) {
  TempFolder top;
  writeLogs(top / "logs", "Player", 400);
  for (int run = 0; run < 10; ++run) {
    const fs::path out = top / ("out" + std::to_string(run));
    {
      testing::CliProcess cli({path(top / "logs"), "-d", path(out)});
      std::this_thread::sleep_for(std::chrono::milliseconds(20 + 30 * run));
      cli.terminate();
    }
    if (!fs::exists(out)) continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(out)) {
      EXPECT_FALSE(entry.path().extension() == ".tmp") << entry.path() << " after " << run;
    }
  }
}
#endif

}  // namespace
}  // namespace fragtally

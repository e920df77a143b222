#include <gtest/gtest.h>

#include <map>

#include "base/log_files.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::TempFolder;
using testing::writeFile;

std::map<std::string, LogEntryKind> kindsIn(const std::filesystem::path& folder) {
  std::map<std::string, LogEntryKind> kinds;
  for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder)) {
    kinds[entry.path().filename().string()] = logEntryKind(entry);
  }
  return kinds;
}

TEST(LogFilesTest, AnEntryIsALogByItsNameAndWhatItLeadsTo) {
  TempFolder folder;
  writeFile(folder / "L0101000.log", "L 1\n");
  writeFile(folder / "UPPER.LOG", "L 1\n");
  writeFile(folder / "notes.txt", "L 1\n");
  std::filesystem::create_directory(folder / "old.log");
  std::map<std::string, LogEntryKind> expected{{"L0101000.log", LogEntryKind::log},
                                               {"UPPER.LOG", LogEntryKind::log},
                                               {"notes.txt", LogEntryKind::other},
                                               {"old.log", LogEntryKind::other}};
#ifndef _WIN32
  std::filesystem::create_symlink("L0101000.log", folder / "linked.log");
  std::filesystem::create_symlink("gone.log", folder / "broken.log");
  std::filesystem::create_symlink("old.log", folder / "folder.log");
  expected.emplace("linked.log", LogEntryKind::log);
  expected.emplace("broken.log", LogEntryKind::brokenLink);
  expected.emplace("folder.log", LogEntryKind::other);
#endif
  EXPECT_EQ(kindsIn(folder.path()), expected);
}

}  // namespace
}  // namespace fragtally

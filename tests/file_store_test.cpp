#include <gtest/gtest.h>

#include "base/error.h"
#include "base/file.h"
#include "report/file_store.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;

std::size_t entriesIn(const std::filesystem::path& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(FileStoreTest, ReplacesAWholeFile) {
  TempFolder folder;
  testing::writeFile(folder / "r.htm", "old");
  EXPECT_TRUE(replaceFileContents(folder / "r.htm", "new content"));
  EXPECT_EQ(readFile(folder / "r.htm"), "new content");
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(FileStoreTest, AWriteThatFailsPartWayLeavesTheOlderFileAndNoTemporary) {
  TempFolder folder;
  testing::writeFile(folder / "r.htm", "older report");
  const auto halfThenFail = [](File& file, std::string_view bytes) {
    file.write(bytes.substr(0, bytes.size() / 2));
    return false;
  };
  EXPECT_FALSE(replaceFileContents(folder / "r.htm", "a new report that will not be complete", halfThenFail));
  EXPECT_EQ(readFile(folder / "r.htm"), "older report");
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(FileStoreTest, MissingFolderOrAFolderInTheWayFails) {
  TempFolder folder;
  EXPECT_FALSE(replaceFileContents(folder / "missing" / "r.htm", "x"));
  std::filesystem::create_directory(folder / "taken.htm");
  EXPECT_FALSE(replaceFileContents(folder / "taken.htm", "x"));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.htm"));
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

}  // namespace
}  // namespace fragtally

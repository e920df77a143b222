#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/file_store.h"
#include "site/page_store.h"
#include "site/site_cache.h"
#include "tests/test_files.h"

// Pages are stored in batches, each committed on a thread of its own while the
// next is written: every page must still end up whole with its own stamp, and a
// batch that fails must fail the build, whichever batch it is.

namespace fragtally {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;

// More pages than two batches hold, so that one commit runs while the next
// batch is written and one is left for the last commit.
const std::size_t kPages = 2 * PendingStores::kMaxPending + 7;

std::string pageName(std::size_t at) { return "players/p" + std::to_string(at) + ".htm"; }
std::string pageBytes(std::size_t at) { return "<p>page " + std::to_string(at) + "</p>\n"; }

bool holdsTemporaries(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().front() == '.') return true;
  }
  return false;
}

TEST(PageStoreTest, PagesOfManyBatchesAreStoredWholeEachWithItsOwnStamp) {
  TempFolder folder;
  fs::create_directory(folder / "players");
  const SiteCache none;
  PageStore pages(folder.path(), none);
  for (std::size_t at = 0; at < kPages; ++at) pages.store(pageName(at), pageBytes(at));
  pages.commit();

  EXPECT_EQ(pages.written(), kPages);
  ASSERT_EQ(pages.pages().size(), kPages);
  for (std::size_t at = 0; at < kPages; ++at) {
    const StoredPage& page = pages.pages()[at];
    ASSERT_EQ(page.name, pageName(at));
    const fs::path file = pagePathIn(folder.path(), page.name);
    EXPECT_EQ(readFile(file), pageBytes(at));
    // Each page's stamp is its own file's: a stamp taken for another page
    // (the bytes differ in length from page 10 on) would not match.
    EXPECT_EQ(page.stamp, recordStampOf(file)) << page.name;
  }
  EXPECT_FALSE(holdsTemporaries(folder / "players"));
}

TEST(PageStoreTest, AFailedStoreInAnyBatchFailsTheBuildAndLeavesNoTemporary) {
  // A folder standing where a page goes cannot be replaced by it, whoever runs.
  for (const std::size_t blocked : {std::size_t{3}, PendingStores::kMaxPending + 3, kPages - 1}) {
    TempFolder folder;
    fs::create_directories(folder / "players" / ("p" + std::to_string(blocked) + ".htm") / "inside");
    const SiteCache none;
    std::string message;
    try {
      PageStore pages(folder.path(), none);
      for (std::size_t at = 0; at < kPages; ++at) pages.store(pageName(at), pageBytes(at));
      pages.commit();
    } catch (const std::runtime_error& error) {
      message = error.what();
    }
    EXPECT_EQ(message, "Cannot create file " + utf8FromPath(pagePathIn(folder.path(), pageName(blocked))))
        << "page " << blocked;
    EXPECT_FALSE(holdsTemporaries(folder / "players")) << "page " << blocked;
  }
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <chrono>
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

// A page is built only where the cache does not vouch for the one there:
// same inputs, and the file as the cache saw it.
TEST(PageStoreTest, APageIsBuiltAgainOnlyWhereItsInputsOrItsFileChanged) {
  TempFolder folder;
  fs::create_directory(folder / "players");
  const std::vector<std::string> names{"players/kept.htm", "players/new-inputs.htm", "players/touched.htm",
                                       "players/removed.htm", "players/no-inputs.htm"};
  std::vector<StoredPage> stored;
  {
    const SiteCache none;
    PageStore pages(folder.path(), none);
    for (const std::string& name : names) {
      const std::uint64_t inputs = name == "players/no-inputs.htm" ? 0 : 7;
      pages.store(pages.ready(name, inputs, [&] { return "<p>" + name + "</p>\n"; }));
    }
    pages.commit();
    stored = pages.pages();
  }
  for (const StoredPage& page : stored) EXPECT_EQ(page.inputs, page.name == "players/no-inputs.htm" ? 0u : 7u);
  testing::writeFile(folder / "site.cache", SiteCache::bytesOf(1, {}, stored));
  // Touched: the same length, another time, so only the stamp tells.
  const fs::path touched = pagePathIn(folder.path(), "players/touched.htm");
  testing::writeFile(touched, std::string(readFile(touched).size(), 'x'));
  fs::last_write_time(touched, fs::last_write_time(touched) + std::chrono::seconds(5));
  fs::remove(pagePathIn(folder.path(), "players/removed.htm"));

  const SiteCache before = SiteCache::load(folder / "site.cache");
  PageStore pages(folder.path(), before);
  std::vector<std::string> built;
  for (const std::string& name : names) {
    const std::uint64_t inputs = name == "players/new-inputs.htm" ? 8 : 7;
    pages.store(pages.ready(name, inputs, [&] {
      built.push_back(name);
      return "<p>" + name + "</p>\n";
    }));
  }
  pages.commit();
  EXPECT_EQ(built, (std::vector<std::string>{"players/new-inputs.htm", "players/touched.htm", "players/removed.htm",
                                             "players/no-inputs.htm"}));
  // Only the touched and the removed page differed from their new bytes.
  EXPECT_EQ(pages.written(), 2u);
  for (const std::string& name : names) EXPECT_EQ(readFile(pagePathIn(folder.path(), name)), "<p>" + name + "</p>\n");
  ASSERT_EQ(pages.pages().size(), names.size());
  EXPECT_EQ(pages.pages()[0].checksum, stored[0].checksum);
  EXPECT_EQ(pages.pages()[0].stamp, stored[0].stamp);
  EXPECT_EQ(pages.pages()[1].inputs, 8u);
}

}  // namespace
}  // namespace fragtally

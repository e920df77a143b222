// The files the server keeps in memory: found only while the path still opens
// the same unchanged file, and never more than the cap.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "serve/whole_file_cache.h"

namespace fragtally::serve {
namespace {

constexpr std::size_t kOverhead = WholeFileCache::kEntryOverhead;

OpenFileFacts factsOf(std::uint64_t fileNumber, std::size_t bytes, std::int64_t modified = 1'000) {
  OpenFileFacts facts;
  facts.regular = true;
  facts.bytes = bytes;
  facts.modifiedNanoseconds = modified;
  facts.device = 7;
  facts.fileNumber = fileNumber;
  return facts;
}

std::shared_ptr<const WholeFile> wholeFile(const std::string& path, const std::string& bytes, std::uint64_t fileNumber) {
  auto file = std::make_shared<WholeFile>();
  file->realPath = path;
  file->facts = factsOf(fileNumber, bytes.size());
  file->bytes.reset(new char[bytes.size() + 1]);
  std::memcpy(file->bytes.get(), bytes.data(), bytes.size());
  file->size = bytes.size();
  return file;
}

TEST(WholeFileCacheTest, FindsAFileOnlyWhileItsPathOpensThatSameFile) {
  WholeFileCache cache(1 << 20);
  cache.keep(wholeFile("/site/a.htm", "first", 11));
  const auto found = cache.find("/site/a.htm", factsOf(11, 5));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->view(), "first");
  EXPECT_FALSE(cache.find("/site/b.htm", factsOf(11, 5)));

  // Written in place: the same file, another time.
  EXPECT_FALSE(cache.find("/site/a.htm", factsOf(11, 5, 2'000)));
  // The stale bytes went with the miss.
  EXPECT_EQ(cache.filesHeld(), 0u);
  EXPECT_EQ(cache.bytesHeld(), 0u);

  // Replaced by a rename: another file, of the same size and time.
  cache.keep(wholeFile("/site/a.htm", "first", 11));
  EXPECT_FALSE(cache.find("/site/a.htm", factsOf(12, 5)));
  cache.keep(wholeFile("/site/a.htm", "newer", 12));
  const auto replaced = cache.find("/site/a.htm", factsOf(12, 5));
  ASSERT_TRUE(replaced);
  EXPECT_EQ(replaced->view(), "newer");
  // An answer still sending the earlier bytes keeps them whole.
  EXPECT_EQ(found->view(), "first");
}

TEST(WholeFileCacheTest, KeepsWithinItsCapDroppingTheFileAskedForLeastLately) {
  const std::string hundred(100, 'x');
  WholeFileCache cache(3 * (100 + kOverhead));
  cache.keep(wholeFile("/site/a.htm", hundred, 1));
  cache.keep(wholeFile("/site/b.htm", hundred, 2));
  cache.keep(wholeFile("/site/c.htm", hundred, 3));
  EXPECT_EQ(cache.filesHeld(), 3u);
  EXPECT_EQ(cache.bytesHeld(), 3 * (100 + kOverhead));
  // a is asked for again, so b is now the one asked for least lately.
  ASSERT_TRUE(cache.find("/site/a.htm", factsOf(1, 100)));
  cache.keep(wholeFile("/site/d.htm", hundred, 4));
  EXPECT_EQ(cache.filesHeld(), 3u);
  EXPECT_LE(cache.bytesHeld(), 3 * (100 + kOverhead));
  EXPECT_TRUE(cache.find("/site/a.htm", factsOf(1, 100)));
  EXPECT_FALSE(cache.find("/site/b.htm", factsOf(2, 100)));
  EXPECT_TRUE(cache.find("/site/c.htm", factsOf(3, 100)));
  EXPECT_TRUE(cache.find("/site/d.htm", factsOf(4, 100)));

  // A bigger file pushes out as many as it needs.
  cache.keep(wholeFile("/site/big.htm", std::string(2 * 100 + kOverhead, 'y'), 5));
  EXPECT_EQ(cache.filesHeld(), 2u);
  EXPECT_LE(cache.bytesHeld(), 3 * (100 + kOverhead));
  EXPECT_TRUE(cache.find("/site/big.htm", factsOf(5, 2 * 100 + kOverhead)));

  // Keeping a path again counts it once.
  cache.keep(wholeFile("/site/big.htm", std::string(2 * 100 + kOverhead, 'y'), 5));
  EXPECT_EQ(cache.filesHeld(), 2u);
}

TEST(WholeFileCacheTest, KeepsNoFileLargerThanItsCap) {
  WholeFileCache cache(1000);
  cache.keep(wholeFile("/site/a.htm", "small", 1));
  cache.keep(wholeFile("/site/huge.htm", std::string(1000, 'z'), 2));
  EXPECT_FALSE(cache.find("/site/huge.htm", factsOf(2, 1000)));
  // Nothing was dropped to make room for it.
  EXPECT_TRUE(cache.find("/site/a.htm", factsOf(1, 5)));
  EXPECT_EQ(cache.bytesHeld(), 5 + kOverhead);
}

TEST(WholeFileCacheTest, StaysWholeAndWithinItsCapUnderThreadsAtOnce) {
  // Two pages, each in two versions told apart by their file numbers; the
  // threads keep and find them at once, as the server's threads do.
  const std::size_t cap = 2 * (1000 + kOverhead);  // fewer than the pages: files are dropped too
  WholeFileCache cache(cap);
  const auto versionOf = [](int page, int version) {
    return std::string(1000, static_cast<char>('a' + page * 2 + version));
  };
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 2000; ++round) {
        const int page = (round + t) % 3;
        const int version = (round / 3 + t) % 2;
        const std::string path = "/site/" + std::to_string(page) + ".htm";
        const auto number = static_cast<std::uint64_t>(page * 2 + version);
        if (const auto found = cache.find(path, factsOf(number, 1000))) {
          if (found->view() != versionOf(page, version)) ++wrong[static_cast<std::size_t>(t)];
        } else {
          cache.keep(wholeFile(path, versionOf(page, version), number));
        }
        if (cache.bytesHeld() > cap) ++wrong[static_cast<std::size_t>(t)];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
  EXPECT_LE(cache.bytesHeld(), cap);
}

}  // namespace
}  // namespace fragtally::serve

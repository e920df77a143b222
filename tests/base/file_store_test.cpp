#include <gtest/gtest.h>

#include <chrono>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/fnv1a.h"
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

// Each step that reaches the disk failing in turn: up to the rename the older
// report stays whole and no temporary is left.
TEST(FileStoreTest, AFailedFlushOrRenameLeavesTheOlderFileAndNoTemporary) {
  TempFolder folder;
  testing::writeFile(folder / "r.htm", "older report");
  StoreSteps flushFails;
  flushFails.flush = [](File&) { return false; };
  EXPECT_FALSE(replaceFileContents(folder / "r.htm", "new report", flushFails));
  StoreSteps renameFails;
  renameFails.rename = [](const std::filesystem::path&, const std::filesystem::path&) { return false; };
  EXPECT_FALSE(replaceFileContents(folder / "r.htm", "new report", renameFails));
  EXPECT_EQ(readFile(folder / "r.htm"), "older report");
  EXPECT_EQ(entriesIn(folder.path()), 1u);

  // Past the rename there is nothing to undo, but an unflushed folder is no success.
  StoreSteps folderFlushFails;
  folderFlushFails.flushFolder = [](const std::filesystem::path&) { return false; };
  EXPECT_FALSE(replaceFileContents(folder / "r.htm", "new report", folderFlushFails));
  EXPECT_EQ(readFile(folder / "r.htm"), "new report");
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

// The real steps, each noted in `noted` as it is taken; renames over `refused` fail.
StoreSteps notingSteps(std::vector<std::string>& noted, const std::string& refused = "") {
  StoreSteps steps;
  steps.flush = [&noted](File& file) {
    noted.push_back("flush");
    return file.flushToDisk();
  };
  steps.rename = [&noted, refused](const std::filesystem::path& from, const std::filesystem::path& to) {
    noted.push_back("rename");
    return utf8FromPath(to.filename()) != refused && renameReplacing(from, to);
  };
  steps.flushFolder = [&noted](const std::filesystem::path& folder) {
    noted.push_back("folder");
    return flushFolder(folder);
  };
  return steps;
}

#ifndef _WIN32
TEST(FileStoreTest, AReplacedFileKeepsItsPermissionsANewOneGetsTheUsualOnes) {
  TempFolder folder;
  testing::writeFile(folder / "private.htm", "old");
  ASSERT_EQ(chmod((folder / "private.htm").c_str(), 0600), 0);
  EXPECT_TRUE(replaceFileContents(folder / "private.htm", "new"));
  struct stat facts {};
  ASSERT_EQ(stat((folder / "private.htm").c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 07777, 0600u);

  const mode_t mask = umask(022);
  umask(mask);
  EXPECT_TRUE(replaceFileContents(folder / "new.htm", "new"));
  ASSERT_EQ(stat((folder / "new.htm").c_str(), &facts), 0);
  EXPECT_EQ(facts.st_mode & 07777, 0666u & ~mask);
}
#endif

TEST(FileStoreTest, ABatchStoresEveryGoodTargetAndNamesTheFailedOnes) {
  TempFolder folder;
  testing::writeFile(folder / "b.htm", "older b");
  testing::writeFile(folder / "c.htm", "older c");
  std::vector<std::string> noted;
  {
    PendingStores stores(notingSteps(noted, "c.htm"));
    EXPECT_TRUE(stores.add(folder / "a.htm", "new a"));
    EXPECT_TRUE(stores.add(folder / "b.htm", "new b"));
    EXPECT_TRUE(stores.add(folder / "c.htm", "new c"));
    EXPECT_FALSE(stores.add(folder / "missing" / "d.htm", "new d"));
    EXPECT_EQ(readFile(folder / "b.htm"), "older b");  // nothing in place before the commit
    EXPECT_EQ(stores.commit(), (std::vector<std::filesystem::path>{folder / "missing" / "d.htm", folder / "c.htm"}));
    // The folder's files flushed (where they wait closed, the first stands
    // for its file system), then the renames, then the folder once.
    const std::vector<std::string> flushes(PendingStores::kFilesWaitClosed ? 1 : 3, "flush");
    std::vector<std::string> expected = flushes;
    expected.insert(expected.end(), {"rename", "rename", "rename", "folder"});
    EXPECT_EQ(noted, expected);
    EXPECT_TRUE(stores.add(folder / "e.htm", "never committed"));
  }
  EXPECT_EQ(readFile(folder / "a.htm"), "new a");
  EXPECT_EQ(readFile(folder / "b.htm"), "new b");
  EXPECT_EQ(readFile(folder / "c.htm"), "older c");
  EXPECT_EQ(entriesIn(folder.path()), 3u);
}

#ifdef __linux__
std::size_t openFiles() { return entriesIn("/proc/self/fd"); }

// Where one flush of the file system makes a batch durable, many files wait
// with only the first of each folder open, and all still land whole.
TEST(FileStoreTest, WaitingFilesHoldOneOpenFilePerFolder) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "a");
  std::filesystem::create_directory(folder / "b");
  const std::size_t before = openFiles();
  {
    PendingStores stores;
    const int count = static_cast<int>(PendingStores::kMaxPending);
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(stores.add(folder / (i % 2 == 0 ? "a" : "b") / (std::to_string(i) + ".htm"), std::to_string(i)));
    }
    EXPECT_EQ(stores.waiting(), PendingStores::kMaxPending);
    EXPECT_EQ(openFiles(), before + 2);
    EXPECT_TRUE(stores.commit().empty());
  }
  EXPECT_EQ(openFiles(), before);
  EXPECT_EQ(entriesIn(folder / "a") + entriesIn(folder / "b"), PendingStores::kMaxPending);
  EXPECT_EQ(readFile(folder / "b" / "1.htm"), "1");
}
#endif

TEST(FileStoreTest, OnlyOurTemporariesOlderThanADayAreRemoved) {
  TempFolder folder;
  const auto twoDaysAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  for (const char* name : {".fragtally-0123456789abcdef.tmp", ".fragtally-fedcba9876543210.tmp",
                           ".fragtally-notours.tmp", "report.tmp"}) {
    testing::writeFile(folder / name, "x");
    if (std::string_view(name) != ".fragtally-fedcba9876543210.tmp") {
      std::filesystem::last_write_time(folder / name, twoDaysAgo);
    }
  }
  removeStaleTemporaries(folder.path());
  EXPECT_FALSE(std::filesystem::exists(folder / ".fragtally-0123456789abcdef.tmp"));
  EXPECT_TRUE(std::filesystem::exists(folder / ".fragtally-fedcba9876543210.tmp"));  // may be a run going on
  EXPECT_TRUE(std::filesystem::exists(folder / ".fragtally-notours.tmp"));
  EXPECT_TRUE(std::filesystem::exists(folder / "report.tmp"));
}

// The bytes a sealed store leaves: what was written, then its checksum as
// eight little-endian bytes.
std::string sealedWith(std::string_view bytes, std::uint64_t checksum) {
  std::string sealed(bytes);
  for (int i = 0; i < 8; ++i) sealed += static_cast<char>(static_cast<unsigned char>(checksum >> (8 * i)));
  return sealed;
}

TEST(StreamedStoreTest, AnEmptyStoreSealsWithTheChecksumOfNothing) {
  TempFolder folder;
  StreamedStore store(folder / "c.bin");
  EXPECT_TRUE(store.seal());
  // FNV-1a's offset basis, little-endian.
  EXPECT_EQ(readFile(folder / "c.bin"), std::string("\x25\x23\x22\x84\xe4\x9c\xf2\xcb", 8));
  EXPECT_FALSE(store.write("late")) << "a sealed store takes nothing more";
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

// However the bytes come, in pieces shorter or longer than the checksum's
// eight-byte step, through a buffer of any size: the checksum is the one the
// whole bytes give, and the file holds them and it.
TEST(StreamedStoreTest, TheChecksumIsTheWholeBytesOneForPiecesOfAnyLength) {
  TempFolder folder;
  const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz!?\xff\x80";
  ASSERT_EQ(text.size(), 40u);
  for (const std::size_t buffer : {std::size_t{1}, std::size_t{8}, std::size_t{13}, StreamedStore::kBufferBytes}) {
    for (std::size_t length = 0; length <= 17; ++length) {
      const std::string bytes = text.substr(0, length);
      for (std::size_t piece = 1; piece <= 17; ++piece) {
        StreamedStore store(folder / "c.bin", {}, buffer);
        for (std::size_t at = 0; at < length; at += piece) {
          ASSERT_TRUE(store.write(std::string_view(bytes).substr(at, piece)));
          ASSERT_TRUE(store.write(""));
        }
        EXPECT_EQ(store.size(), length);
        ASSERT_EQ(store.checksum(), fnv1a64Words(bytes)) << buffer << " " << length << " " << piece;
      }
    }
    for (std::size_t split = 0; split <= text.size(); ++split) {
      StreamedStore store(folder / "c.bin", {}, buffer);
      ASSERT_TRUE(store.write(text.substr(0, split)));
      ASSERT_TRUE(store.write(text.substr(split)));
      ASSERT_TRUE(store.seal());
      EXPECT_EQ(store.checksum(), fnv1a64Words(text)) << "sealed: the checksum of the bytes, not of itself";
      ASSERT_EQ(readFile(folder / "c.bin"), sealedWith(text, fnv1a64Words(text))) << buffer << " " << split;
    }
  }
  EXPECT_EQ(entriesIn(folder.path()), 1u);
}

TEST(StreamedStoreTest, AStoreNotSealedLeavesTheTargetAsItWasAndNoTemporary) {
  TempFolder folder;
  testing::writeFile(folder / "c.bin", "older cache");
  {
    StreamedStore store(folder / "c.bin", {}, 8);
    EXPECT_TRUE(store.write("more than one buffer of bytes"));
    EXPECT_EQ(entriesIn(folder.path()), 2u) << "the temporary, written as the bytes come";
  }
  EXPECT_EQ(readFile(folder / "c.bin"), "older cache");
  EXPECT_EQ(entriesIn(folder.path()), 1u);

  StreamedStore dropped(folder / "c.bin", {}, 8);
  EXPECT_TRUE(dropped.write("more than one buffer of bytes"));
  dropped.drop();
  EXPECT_EQ(entriesIn(folder.path()), 1u);
  EXPECT_FALSE(dropped.write("x"));
  EXPECT_FALSE(dropped.seal());
  EXPECT_EQ(readFile(folder / "c.bin"), "older cache");
}

// A write that fails, as the bytes go or with the last of them at the seal,
// and a failed rename: each is reported, and the older file stays whole.
TEST(StreamedStoreTest, AFailedWriteOrRenameIsReportedAndLeavesTheOlderFile) {
  TempFolder folder;
  testing::writeFile(folder / "c.bin", "older cache");
  int writes = 0;
  StoreSteps secondWriteFails;
  secondWriteFails.write = [&writes](File& file, std::string_view bytes) { return ++writes < 2 && file.write(bytes); };
  {
    StreamedStore store(folder / "c.bin", secondWriteFails, 8);
    EXPECT_TRUE(store.write("12345678"));
    EXPECT_FALSE(store.write("abcdefgh"));
    EXPECT_EQ(entriesIn(folder.path()), 1u);
    EXPECT_FALSE(store.write("12345678")) << "failed for good";
    EXPECT_FALSE(store.seal());
  }
  StoreSteps writesFail;
  writesFail.write = [](File&, std::string_view) { return false; };
  {
    StreamedStore store(folder / "c.bin", writesFail);
    EXPECT_TRUE(store.write("kept in the buffer"));
    EXPECT_FALSE(store.seal());
  }
  StoreSteps renameFails;
  renameFails.rename = [](const std::filesystem::path&, const std::filesystem::path&) { return false; };
  {
    StreamedStore store(folder / "c.bin", renameFails);
    EXPECT_TRUE(store.write("new cache"));
    EXPECT_FALSE(store.seal());
  }
  EXPECT_EQ(readFile(folder / "c.bin"), "older cache");
  EXPECT_EQ(entriesIn(folder.path()), 1u);
  StreamedStore missing(folder / "missing" / "c.bin");
  EXPECT_TRUE(missing.write("held in the buffer until the seal"));
  EXPECT_FALSE(missing.seal());
}

TEST(ScratchFileTest, KeepsBytesAsideUntilItGoes) {
  TempFolder folder;
  {
    ScratchFile scratch(folder.path());
    ASSERT_TRUE(scratch.isOpen());
    EXPECT_EQ(entriesIn(folder.path()), 1u);
    EXPECT_EQ(scratch.append("first"), std::optional<std::uint64_t>(0));
    EXPECT_EQ(scratch.append(""), std::optional<std::uint64_t>(5));
    EXPECT_EQ(scratch.append("second"), std::optional<std::uint64_t>(5));
    char read[6];
    ASSERT_TRUE(scratch.read(5, read, 6));
    EXPECT_EQ(std::string(read, 6), "second");
    ASSERT_TRUE(scratch.read(0, read, 5));
    EXPECT_EQ(std::string(read, 5), "first");
    EXPECT_FALSE(scratch.read(8, read, 6)) << "past its end";
  }
  EXPECT_EQ(entriesIn(folder.path()), 0u);

  ScratchFile nowhere(folder / "missing");
  EXPECT_FALSE(nowhere.isOpen());
  EXPECT_FALSE(nowhere.append("x"));
}

}  // namespace
}  // namespace fragtally

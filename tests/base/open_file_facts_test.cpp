// Opening a file shared, with or without passing links, and what its handle
// tells of it.
#include <gtest/gtest.h>

#include <optional>

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <unistd.h>
#endif

#include "base/file_store.h"
#include "base/open_file_facts.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::TempFolder;
using testing::writeFile;

// The handle closed at the end of the scope.
class Handle {
 public:
  explicit Handle(std::optional<NativeFileHandle> handle) : handle_(handle) {}
  ~Handle() {
    if (!handle_) return;
#ifdef _WIN32
    CloseHandle(*handle_);
#else
    ::close(*handle_);
#endif
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  explicit operator bool() const { return handle_.has_value(); }
  std::optional<OpenFileFacts> facts() const { return handle_ ? factsOfOpenFile(*handle_) : std::nullopt; }

 private:
  std::optional<NativeFileHandle> handle_;
};

TEST(OpenFileFactsTest, TellsOneFileFromTheFileThatReplacedIt) {
  TempFolder folder;
  writeFile(folder / "a.htm", "first");
  std::optional<Handle> first;
  first.emplace(openSharedForReading(folder / "a.htm"));
  const auto facts = first->facts();
  {
    const Handle again(openSharedForReading(folder / "a.htm"));
    ASSERT_TRUE(facts);
    EXPECT_TRUE(facts->regular);
    EXPECT_EQ(facts->bytes, 5u);
    EXPECT_EQ(again.facts(), facts);
  }
#ifdef _WIN32
  // Windows keeps the name of a file that is still open, even one opened
  // for deleting, so a store cannot replace it meanwhile.
  first.reset();
#endif

  // The same size, replaced as every store replaces a file.
  ASSERT_TRUE(replaceFileContents(folder / "a.htm", "newer"));
  const Handle replaced(openSharedForReading(folder / "a.htm"));
  const auto newer = replaced.facts();
  ASSERT_TRUE(newer);
  EXPECT_EQ(newer->bytes, 5u);
  EXPECT_FALSE(newer->device == facts->device && newer->fileNumber == facts->fileNumber);
  // The handle opened first still tells of the file it holds.
  if (first) {
    EXPECT_EQ(first->facts(), facts);
  }
}

TEST(OpenFileFactsTest, OpensWithoutLinksOnlyAPathThatPassesNone) {
  TempFolder temporary;
  // The temporary folder's own path may pass a link (/tmp on some systems).
  const std::filesystem::path folder = std::filesystem::canonical(temporary.path());
  std::filesystem::create_directories(folder / "site" / "maps");
  writeFile(folder / "site" / "maps" / "a.svg", "<svg/>");
  const Handle plain(openSharedForReadingWithoutLinks(folder / "site" / "maps" / "a.svg"));
  if (!plain) GTEST_SKIP() << "this system has no open that refuses links";
  EXPECT_EQ(plain.facts()->bytes, 6u);
  EXPECT_FALSE(Handle(openSharedForReadingWithoutLinks(folder / "site" / "missing.svg")));

  std::error_code error;
  std::filesystem::create_symlink(folder / "site" / "maps" / "a.svg", folder / "site" / "link.svg", error);
  if (!error) std::filesystem::create_directory_symlink(folder / "site" / "maps", folder / "site" / "pictures", error);
  if (error) GTEST_SKIP() << "links cannot be made here";
  // A link as the file itself, and as a folder on the way.
  EXPECT_FALSE(Handle(openSharedForReadingWithoutLinks(folder / "site" / "link.svg")));
  EXPECT_FALSE(Handle(openSharedForReadingWithoutLinks(folder / "site" / "pictures" / "a.svg")));
  // The ordinary open follows them.
  EXPECT_TRUE(Handle(openSharedForReading(folder / "site" / "pictures" / "a.svg")));
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "base/error.h"
#include "base/file.h"
#include "base/folder_lock.h"
#include "tests/test_files.h"

#ifndef _WIN32
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fragtally {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

TEST(FolderLockTest, ASecondTakerSaysItWaitsAndGetsTheLockOnlyOnceTheFirstLetsGo) {
  TempFolder folder;
  std::optional<FolderLock> first(FolderLock::take(folder.path(), [] { FAIL() << "the folder was free"; }));
  std::atomic<bool> firstLetGo{false};
  std::atomic<bool> secondSaidWaiting{false};
  std::atomic<bool> secondHeldItEarly{false};
  std::thread second([&] {
    const FolderLock lock = FolderLock::take(folder.path(), [&] { secondSaidWaiting = true; });
    if (!firstLetGo) secondHeldItEarly = true;
  });
  // The second taker is given time to find the lock taken; it must wait however long this is.
  for (int i = 0; i < 400 && !secondSaidWaiting; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  firstLetGo = true;
  first.reset();
  second.join();
  EXPECT_TRUE(secondSaidWaiting);
  EXPECT_FALSE(secondHeldItEarly);
  EXPECT_TRUE(fs::exists(folder / FolderLock::kFileName));
}

TEST(FolderLockTest, AFolderMadeForTheLockGoesAgainWhenNothingCameIntoIt) {
  TempFolder top;
  { const FolderLock lock = FolderLock::take(top / "new" / "sub", {}); }
  EXPECT_FALSE(fs::exists(top / "new"));

  {
    const FolderLock lock = FolderLock::take(top / "made" / "sub", {});
    testing::writeFile(top / "made" / "sub" / "r.htm", "a report");
  }
  EXPECT_TRUE(fs::exists(top / "made" / "sub" / "r.htm"));

  // A folder that stood before stays, empty or not.
  fs::create_directory(top / "empty");
  { const FolderLock lock = FolderLock::take(top / "empty", {}); }
  EXPECT_TRUE(fs::exists(top / "empty"));
}

TEST(FolderLockTest, AFolderUnderAFileCannotBeLocked) {
  TempFolder top;
  testing::writeFile(top / "file", "not a folder");
  try {
    const FolderLock lock = FolderLock::take(top / "file" / "sub", {});
    FAIL() << "locked a folder under a file";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + utf8FromPath(top / "file" / "sub" / ".fragtally.lock"));
  }
}

#ifndef _WIN32
TEST(FolderLockTest, AKilledHolderLeavesTheLockFree) {
  TempFolder folder;
  int held[2];
  ASSERT_EQ(pipe(held), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    const FolderLock lock = FolderLock::take(folder.path(), {});
    const char byte = 'x';
    if (write(held[1], &byte, 1) != 1) _exit(1);
    for (;;) pause();
  }
  char byte = 0;
  ASSERT_EQ(read(held[0], &byte, 1), 1);
  close(held[0]);
  close(held[1]);
  kill(holder, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  ASSERT_TRUE(WIFSIGNALED(status));

  bool waited = false;
  const FolderLock lock = FolderLock::take(folder.path(), [&] { waited = true; });
  EXPECT_FALSE(waited);
}
#endif

}  // namespace
}  // namespace fragtally

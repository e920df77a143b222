#include <gtest/gtest.h>

#ifndef _WIN32

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "base/interrupt.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::TempFolder;

// Runs `child` in a forked copy of this process, which ends with its result
// unless a signal ends it first; returns the wait status.
template <typename Child>
int statusOfChild(Child child) {
  const pid_t pid = fork();
  if (pid == 0) _exit(child());
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, 0), pid);
  return status;
}

TEST(InterruptTest, AnInterruptRemovesHeldTemporariesAndEndsWithTheSignal) {
  TempFolder folder;
  for (const int signal : {SIGTERM, SIGINT}) {
    testing::writeFile(folder / "held.tmp", "being written");
    testing::writeFile(folder / "released.tmp", "renamed already");
    const int status = statusOfChild([&] {
      installInterruptHandlers();
      HeldTemporary held(folder / "held.tmp");
      HeldTemporary released(folder / "released.tmp");
      released.release();
      if (!held.guarded()) return 1;
      raise(signal);
      return 2;  // not reached when the signal ends the program
    });
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << "status " << status;
    EXPECT_FALSE(std::filesystem::exists(folder / "held.tmp"));
    EXPECT_TRUE(std::filesystem::exists(folder / "released.tmp"));
  }
}

TEST(InterruptTest, InServiceModeTheFirstInterruptIsOnlyNotedTheSecondEnds) {
  TempFolder folder;
  testing::writeFile(folder / "held.tmp", "being written");
  const int status = statusOfChild([&] {
    installInterruptHandlers();
    setServiceMode(true);
    HeldTemporary held(folder / "held.tmp");
    if (interruptRequested()) return 1;
    raise(SIGTERM);
    if (!interruptRequested() || !std::filesystem::exists(folder / "held.tmp")) return 1;
    raise(SIGINT);
    return 2;
  });
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << "status " << status;
  EXPECT_FALSE(std::filesystem::exists(folder / "held.tmp"));
}

}  // namespace
}  // namespace fragtally

#endif

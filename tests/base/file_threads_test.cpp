#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <stdexcept>
#include <string>

#include "base/file_threads.h"

namespace fragtally {
namespace {

TEST(OnThreadsTest, EveryItemIsTakenOnceWhateverTheNumberOfThreads) {
  for (const unsigned threads : {1u, 2u, 7u}) {
    std::atomic<std::size_t> next{0};
    std::atomic<int> taken[50] = {};
    onThreads(threads, 50, [&] {
      for (std::size_t at; (at = next.fetch_add(1)) < 50;) ++taken[at];
    });
    for (const auto& count : taken) EXPECT_EQ(count.load(), 1) << threads << " threads";
  }
}

TEST(OnThreadsTest, AnExceptionOnAnyThreadReachesTheCallerAfterTheOthersFinish) {
  // The third item throws, on whichever thread takes it; the others are all
  // still done, and the program goes on.
  std::atomic<std::size_t> next{0};
  std::atomic<int> done{0};
  const auto work = [&] {
    for (std::size_t at; (at = next.fetch_add(1)) < 40;) {
      if (at == 2) throw std::runtime_error("item 2 failed");
      ++done;
    }
  };
  try {
    onThreads(4, 40, work);
    FAIL() << "no exception";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "item 2 failed");
  }
  EXPECT_EQ(done.load(), 39);

  // Every thread failing: one exception, not the end of the program.
  EXPECT_THROW(onThreads(4, 4, [] { throw std::logic_error("all"); }), std::logic_error);
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "base/serial_worker.h"

namespace fragtally {
namespace {

// Tasks run one at a time on the worker's own thread, in the queue's order,
// and what is queued when the worker ends is still run.
TEST(SerialWorkerTest, RunsTasksInOrderOnItsOwnThreadAndFinishesTheQueue) {
  std::vector<int> done;
  std::vector<std::thread::id> threads;
  {
    SerialWorker<int> worker([&](int& task) {
      done.push_back(task);
      threads.push_back(std::this_thread::get_id());
    });
    for (int task = 0; task < 100; ++task) worker.withQueue([&](std::deque<int>& queue) { queue.push_back(task); });
  }
  std::vector<int> expected(100);
  for (int task = 0; task < 100; ++task) expected[static_cast<std::size_t>(task)] = task;
  EXPECT_EQ(done, expected);
  ASSERT_EQ(threads.size(), 100u);
  for (const std::thread::id thread : threads) {
    EXPECT_NE(thread, std::this_thread::get_id());
    EXPECT_EQ(thread, threads.front());
  }
}

// A full queue holds the caller back until the worker has taken a task.
TEST(SerialWorkerTest, WhenFewerThanWaitsForRoom) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> done{0};
  SerialWorker<int> worker([&](int&) {
    released.wait();
    ++done;
  });
  worker.withQueue([](std::deque<int>& queue) { queue.push_back(1); });  // taken at once, then held
  worker.whenFewerThan(1, [](std::deque<int>& queue) { queue.push_back(2); });  // room once the first is taken
  std::future<std::size_t> third = std::async(std::launch::async, [&] {
    return worker.whenFewerThan(1, [](std::deque<int>& queue) {
      queue.push_back(3);
      return queue.size();
    });
  });
  // Bounded: the third waits while the second is queued behind the held task.
  EXPECT_EQ(third.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  release.set_value();
  EXPECT_EQ(third.get(), 1u);
}

}  // namespace
}  // namespace fragtally

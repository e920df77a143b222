#include "base/file_threads.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace fragtally {

unsigned fileReadingThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

void onThreads(unsigned threads, std::size_t items, const std::function<void()>& work) {
  // An exception left on a helper thread would end the program: the first
  // one is carried to the caller instead, once every thread has returned.
  std::exception_ptr failure;
  std::mutex failureGuard;
  const auto guarded = [&] {
    try {
      work();
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failureGuard);
      if (!failure) failure = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < threads && t < items; ++t) helpers.emplace_back(guarded);
    guarded();
  }  // the helpers are joined here
  if (failure) std::rethrow_exception(failure);
}

}  // namespace fragtally

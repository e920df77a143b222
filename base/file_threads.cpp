#include "base/file_threads.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace fragtally {

unsigned fileReadingThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

void onThreads(unsigned threads, std::size_t items, const std::function<void()>& work) {
  std::vector<std::jthread> helpers;
  for (unsigned t = 1; t < threads && t < items; ++t) helpers.emplace_back(work);
  work();
}  // the helpers are joined here

}  // namespace fragtally

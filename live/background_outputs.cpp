#include "live/background_outputs.h"

#include <algorithm>
#include <vector>

namespace fragtally::live {
namespace {

// Finished logs waiting for their outputs, at most.
constexpr std::size_t kMostQueued = 256;

}  // namespace

BackgroundOutputs::BackgroundOutputs(MatchOutputs& target)
    : target_(target), worker_([this](Task& task) { run(task); }) {}

void BackgroundOutputs::refresh(const std::string& log) {
  worker_.withQueue([&](SerialWorker<Task>::Queue& queue) {
    const bool queued = std::any_of(queue.begin(), queue.end(), [&](const Task& task) { return task.log == log; });
    if (!queued) queue.push_back({log, false, FinishReason::closed});
  });
}

void BackgroundOutputs::finish(const std::string& log, FinishReason reason) {
  worker_.whenFewerThan(kMostQueued, [&](SerialWorker<Task>::Queue& queue) {
    std::erase_if(queue, [&](const Task& task) { return task.log == log && !task.finish; });
    queue.push_back({log, true, reason});
  });
}

void BackgroundOutputs::run(Task& task) {
  try {
    if (task.finish) {
      // Every finish waiting now goes with this one; refreshes of other logs
      // keep their place, as a finish never waits on a refresh.
      std::vector<MatchOutputs::Finished> finished{{task.log, task.reason}};
      worker_.withQueue([&](SerialWorker<Task>::Queue& queue) {
        for (const Task& waiting : queue) {
          if (waiting.finish) finished.push_back({waiting.log, waiting.reason});
        }
        std::erase_if(queue, [](const Task& waiting) { return waiting.finish; });
      });
      target_.finishAll(finished);
    } else {
      target_.refresh(task.log);
    }
  } catch (...) {
    // The target reports its own failures; nothing may end this thread.
  }
}

}  // namespace fragtally::live

#include "live/background_outputs.h"

#include <algorithm>

namespace fragtally::live {
namespace {

// Finished logs waiting for their outputs, at most.
constexpr std::size_t kMostQueued = 256;

}  // namespace

BackgroundOutputs::BackgroundOutputs(MatchOutputs& target) : target_(target), worker_([this] { work(); }) {}

BackgroundOutputs::~BackgroundOutputs() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void BackgroundOutputs::refresh(const std::string& log) {
  {
    const std::lock_guard lock(mutex_);
    const bool queued = std::any_of(queue_.begin(), queue_.end(), [&](const Task& task) { return task.log == log; });
    if (queued) return;
    queue_.push_back({log, false, FinishReason::closed});
  }
  changed_.notify_all();
}

void BackgroundOutputs::finish(const std::string& log, FinishReason reason) {
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kMostQueued; });
    std::erase_if(queue_, [&](const Task& task) { return task.log == log && !task.finish; });
    queue_.push_back({log, true, reason});
  }
  changed_.notify_all();
}

void BackgroundOutputs::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) return;
    Task task = std::move(queue_.front());
    queue_.pop_front();
    changed_.notify_all();
    lock.unlock();
    try {
      if (task.finish) {
        target_.finish(task.log, task.reason);
      } else {
        target_.refresh(task.log);
      }
    } catch (...) {
      // The target reports its own failures; nothing may end this thread.
    }
    lock.lock();
  }
}

}  // namespace fragtally::live

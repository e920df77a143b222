#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace fragtally {

/// A thread of its own that runs queued tasks one at a time, in the order of
/// the queue, so that whoever queues them never waits for their work. The
/// owner shapes the queue as it queues (merging a task into one waiting,
/// bounding the queue) through withQueue and whenFewerThan, both under the
/// queue's lock. The destructor runs what is still queued, then ends the
/// thread. `run` is called on the worker's thread without the lock held; it
/// must not throw, for nothing on that thread could take the exception.
template <typename Task>
class SerialWorker {
 public:
  using Queue = std::deque<Task>;

  explicit SerialWorker(std::function<void(Task&)> run) : run_(std::move(run)), thread_([this] { work(); }) {}
  ~SerialWorker() {
    {
      const std::lock_guard lock(mutex_);
      ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  SerialWorker(const SerialWorker&) = delete;
  SerialWorker& operator=(const SerialWorker&) = delete;

  /// Calls `change(queue)` under the lock, wakes the worker, and returns what
  /// `change` returned.
  template <typename Change>
  decltype(auto) withQueue(Change&& change) {
    const Notifier notifier{changed_};
    const std::lock_guard lock(mutex_);
    return std::forward<Change>(change)(queue_);
  }

  /// The same, once fewer than `most` tasks wait: the caller waits until the
  /// worker has taken enough of them, so that the queue stays bounded.
  template <typename Change>
  decltype(auto) whenFewerThan(std::size_t most, Change&& change) {
    const Notifier notifier{changed_};
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return queue_.size() < most; });
    return std::forward<Change>(change)(queue_);
  }

 private:
  // Wakes the waiting threads once the lock taken after it is released.
  struct Notifier {
    std::condition_variable& changed;
    ~Notifier() { changed.notify_all(); }
  };

  void work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return ending_ || !queue_.empty(); });
      if (queue_.empty()) return;
      Task task = std::move(queue_.front());
      queue_.pop_front();
      changed_.notify_all();  // a caller waiting for room
      lock.unlock();
      run_(task);
      lock.lock();
    }
  }

  std::function<void(Task&)> run_;
  std::mutex mutex_;
  std::condition_variable changed_;
  Queue queue_;
  bool ending_ = false;
  std::thread thread_;  // last: it starts once everything it uses is there
};

}  // namespace fragtally

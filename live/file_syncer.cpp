#include "live/file_syncer.h"

#include "base/error.h"

namespace fragtally::live {
namespace {

// More waiting syncs than sources only happen when the disk is far behind;
// a file's later sync covers an earlier one.
constexpr std::size_t kMostQueued = 128;

}  // namespace

FileSyncer::FileSyncer(ActivityLog& activity) : activity_(activity), worker_([this] { work(); }) {}

FileSyncer::~FileSyncer() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void FileSyncer::sync(const RawLogFile& file) {
  const int handle = file.duplicateHandle();
  if (handle == -1) return;
  {
    const std::lock_guard lock(mutex_);
    if (queue_.size() < kMostQueued) {
      queue_.push_back({handle, file.path()});
      changed_.notify_all();
      return;
    }
  }
  RawLogFile::syncAndCloseHandle(handle);
}

void FileSyncer::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !queue_.empty(); });
    if (queue_.empty()) return;
    const Pending pending = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    if (!RawLogFile::syncAndCloseHandle(pending.handle)) {
      activity_.write(userMessage(cannotCreateFile(pending.path).what()));
    }
    lock.lock();
  }
}

}  // namespace fragtally::live

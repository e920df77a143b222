#include "live/file_syncer.h"

#include "base/error.h"

namespace fragtally::live {
namespace {

// More waiting syncs than sources only happen when the disk is far behind;
// a file's later sync covers an earlier one.
constexpr std::size_t kMostQueued = 128;

}  // namespace

FileSyncer::FileSyncer(ActivityLog& activity) : activity_(activity), worker_([this](Pending& p) { run(p); }) {}

void FileSyncer::sync(const RawLogFile& file) {
  const int handle = file.duplicateHandle();
  if (handle == -1) return;
  const bool queued = worker_.withQueue([&](SerialWorker<Pending>::Queue& queue) {
    if (queue.size() >= kMostQueued) return false;
    queue.push_back({handle, file.path()});
    return true;
  });
  if (!queued) RawLogFile::syncAndCloseHandle(handle);
}

void FileSyncer::run(Pending& pending) {
  if (!RawLogFile::syncAndCloseHandle(pending.handle)) {
    activity_.write(userMessage(cannotCreateFile(pending.path).what()));
  }
}

}  // namespace fragtally::live

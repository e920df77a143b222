#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "live/activity_log.h"
#include "live/raw_log_file.h"

namespace fragtally::live {

/// Puts raw logs on the disk from a thread of its own: waiting for the disk
/// would stop the receiving, and the system drops what arrives meanwhile.
class FileSyncer {
 public:
  explicit FileSyncer(ActivityLog& activity);
  /// Syncs what is queued, then ends the thread.
  ~FileSyncer();
  FileSyncer(const FileSyncer&) = delete;
  FileSyncer& operator=(const FileSyncer&) = delete;

  /// Syncs the file as it is now (its kept lines must have been flushed).
  /// Works on a handle of its own, so the file may be closed meanwhile.
  void sync(const RawLogFile& file);

 private:
  struct Pending {
    int handle;
    std::string path;
  };
  void work();

  ActivityLog& activity_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Pending> queue_;
  bool ending_ = false;
  std::thread worker_;
};

}  // namespace fragtally::live

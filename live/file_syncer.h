#pragma once

#include <string>

#include "base/serial_worker.h"
#include "live/activity_log.h"
#include "live/raw_log_file.h"

namespace fragtally::live {

/// Puts raw logs on the disk from a thread of its own: waiting for the disk
/// would stop the receiving, and the system drops what arrives meanwhile. Its
/// destructor syncs what is queued, then ends the thread.
class FileSyncer {
 public:
  explicit FileSyncer(ActivityLog& activity);

  /// Syncs the file as it is now (its kept lines must have been flushed).
  /// Works on a handle of its own, so the file may be closed meanwhile.
  void sync(const RawLogFile& file);

 private:
  struct Pending {
    int handle;
    std::string path;
  };
  void run(Pending& pending);

  ActivityLog& activity_;
  SerialWorker<Pending> worker_;  // last: its thread writes to the activity log
};

}  // namespace fragtally::live

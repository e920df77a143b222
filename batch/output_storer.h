#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/file_store.h"

namespace fragtally {

/// One output file of a log, built and waiting to be stored.
struct BuiltFile {
  std::filesystem::path target;
  std::string bytes;
  bool targetIsNew = false;  ///< no file stood at the target when the run began
};

/// A log's outputs, stored in their order: a file is stored only when the one
/// before it could be written, so the last one (the record) never stands
/// without the others.
struct BuiltOutputs {
  std::size_t log = 0;  ///< the caller's number for the log
  std::vector<BuiltFile> files;
};

/// Stores the outputs of many logs durably, on two threads of its own, while
/// the caller's threads go on building: one writes each file to its temporary
/// as soon as it is handed over, and frees its bytes; the other commits what
/// was written, a few hundred files at a time, for each commit waits for the
/// disk. While one group of files waits for the disk the next is written.
/// Reports and records go through it alone; the weapon pictures do not: a
/// worker stores the pictures a log needs itself, once per run, and waits for
/// the disk while it does. The folder run holds the output folder's lock
/// (FolderLock) meanwhile, so no other run of this program writes there.
class OutputStorer {
 public:
  /// A log whose outputs are all in place (`failed` empty), or the target of
  /// the first of them that could not be stored.
  struct Outcome {
    std::size_t log = 0;
    std::filesystem::path failed;
  };
  /// Called on the committing thread with the logs of each commit.
  using Committed = std::function<void(const std::vector<Outcome>& outcomes)>;

  /// At most `queuedBatches` handed-over batches wait to be written. A group
  /// of written files waits at most `longestWait` for more batches before it
  /// is committed.
  OutputStorer(std::size_t queuedBatches, Committed committed,
               std::chrono::milliseconds longestWait = std::chrono::milliseconds(250));
  /// Waits until everything handed over is committed.
  ~OutputStorer();
  OutputStorer(const OutputStorer&) = delete;
  OutputStorer& operator=(const OutputStorer&) = delete;

  /// Takes a batch of logs' outputs; waits while too many batches wait.
  void handOver(std::vector<BuiltOutputs> batch);
  /// No batch comes any more: what was handed over is committed without
  /// waiting for more. Returns at once.
  void endOfBatches();
  /// Everything has been handed over: waits until it is all committed.
  void finish();

 private:
  // Files written to their temporaries and the logs they belong to, committed together.
  struct Group {
    std::unique_ptr<PendingStores> stores = std::make_unique<PendingStores>();
    std::vector<BuiltOutputs> logs;  // their bytes already freed
  };

  void writeBatches();
  void commitGroups();
  void write(std::vector<BuiltOutputs>& batch, Group& group);
  void commit(Group& group);
  void handOverGroup(Group group);

  std::size_t queuedBatches_;
  Committed committed_;
  std::chrono::milliseconds longestWait_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<BuiltOutputs>> toWrite_;
  std::optional<Group> toCommit_;
  bool allHandedOver_ = false;
  bool committing_ = false;
  bool allWritten_ = false;
  std::thread writer_;
  std::thread committer_;
};

}  // namespace fragtally

#include "batch/output_storer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace fragtally {
namespace {

// Two groups are in flight at most, one written while the other is committed,
// and each of their temporaries is held for the interrupt handlers.
static_assert(2 * PendingStores::kMaxPending + 64 <= HeldTemporary::kPlaces);

}  // namespace

// A group is committed when one more batch might not fit in it, when no more
// batches come, or when its first file has waited longestWait with no more
// coming, so that outcomes keep coming when logs are slow to build.
OutputStorer::OutputStorer(std::size_t queuedBatches, Committed committed, std::chrono::milliseconds longestWait)
    : queuedBatches_(std::max<std::size_t>(queuedBatches, 1)),
      committed_(std::move(committed)),
      longestWait_(longestWait) {
  writer_ = std::thread([this] { writeBatches(); });
  committer_ = std::thread([this] { commitGroups(); });
}

OutputStorer::~OutputStorer() { finish(); }

void OutputStorer::handOver(std::vector<BuiltOutputs> batch) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return toWrite_.size() < queuedBatches_; });
  toWrite_.push_back(std::move(batch));
  changed_.notify_all();
}

void OutputStorer::endOfBatches() {
  std::lock_guard<std::mutex> lock(mutex_);
  allHandedOver_ = true;
  changed_.notify_all();
}

void OutputStorer::finish() {
  endOfBatches();
  if (writer_.joinable()) writer_.join();
  if (committer_.joinable()) committer_.join();
}

void OutputStorer::write(std::vector<BuiltOutputs>& batch, Group& group) {
  for (BuiltOutputs& outputs : batch) {
    for (BuiltFile& file : outputs.files) {
      const bool written = group.stores->add(file.target, file.bytes, file.targetIsNew);
      std::string().swap(file.bytes);
      if (!written) break;
    }
    group.logs.push_back(std::move(outputs));
  }
}

// Hands a written group to the committing thread, once it has committed the
// last: one group is written while the other is committed, never more.
void OutputStorer::handOverGroup(Group group) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !toCommit_ && !committing_; });
  toCommit_ = std::move(group);
  changed_.notify_all();
}

void OutputStorer::writeBatches() {
  using Clock = std::chrono::steady_clock;
  Group group;
  Clock::time_point firstWritten;
  std::size_t largestBatch = 0;
  for (;;) {
    std::optional<std::vector<BuiltOutputs>> batch;
    bool finished = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      const auto ready = [&] { return !toWrite_.empty() || allHandedOver_; };
      if (group.logs.empty()) {
        changed_.wait(lock, ready);
      } else {
        changed_.wait_until(lock, firstWritten + longestWait_, ready);
      }
      if (!toWrite_.empty()) {
        batch = std::move(toWrite_.front());
        toWrite_.pop_front();
        changed_.notify_all();
      }
      finished = toWrite_.empty() && allHandedOver_;
    }
    if (batch) {
      if (group.logs.empty()) firstWritten = Clock::now();
      std::size_t files = 0;
      for (const BuiltOutputs& outputs : *batch) files += outputs.files.size();
      largestBatch = std::max(largestBatch, files);
      write(*batch, group);
    }
    const bool full = group.stores->waiting() + largestBatch > PendingStores::kMaxPending;
    if (!group.logs.empty() && (full || finished || Clock::now() - firstWritten >= longestWait_)) {
      handOverGroup(std::exchange(group, Group{}));
    }
    if (finished) break;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  allWritten_ = true;
  changed_.notify_all();
}

void OutputStorer::commit(Group& group) {
  const std::vector<std::filesystem::path> failed = group.stores->commit();
  std::vector<Outcome> outcomes;
  outcomes.reserve(group.logs.size());
  for (const BuiltOutputs& outputs : group.logs) {
    Outcome& outcome = outcomes.emplace_back(Outcome{outputs.log, {}});
    for (auto file = outputs.files.begin(); file != outputs.files.end() && outcome.failed.empty(); ++file) {
      if (std::find(failed.begin(), failed.end(), file->target) != failed.end()) outcome.failed = file->target;
    }
  }
  committed_(outcomes);
}

void OutputStorer::commitGroups() {
  for (;;) {
    Group group;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return toCommit_ || allWritten_; });
      if (!toCommit_) return;
      group = std::move(*toCommit_);
      toCommit_.reset();
      committing_ = true;
    }
    commit(group);
    std::lock_guard<std::mutex> lock(mutex_);
    committing_ = false;
    changed_.notify_all();
  }
}

}  // namespace fragtally

#pragma once

#include <string>

#include "base/serial_worker.h"
#include "live/match_outputs.h"

namespace fragtally::live {

/// Hands the outputs' work to a thread of its own, so that receiving never
/// waits for a report being written. A refresh already waiting is not queued
/// twice, and a finish replaces it. Finishes waiting together are handed on
/// together (finishAll), so a flood of logs that end at once costs one run
/// and one index, not one each. A stream that starts logs faster than they
/// are written waits for the queue to shrink, so memory stays bounded.
/// Its destructor does what is queued, then ends the thread.
class BackgroundOutputs : public MatchOutputs {
 public:
  explicit BackgroundOutputs(MatchOutputs& target);

  void refresh(const std::string& log) override;
  void finish(const std::string& log, FinishReason reason) override;

 private:
  struct Task {
    std::string log;
    bool finish = false;
    FinishReason reason = FinishReason::closed;
  };
  void run(Task& task);

  MatchOutputs& target_;
  SerialWorker<Task> worker_;  // last: its thread uses the target
};

}  // namespace fragtally::live

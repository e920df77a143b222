#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "live/match_outputs.h"

namespace fragtally::live {

/// Hands the outputs' work to a thread of its own, so that receiving never
/// waits for a report being written. A refresh already waiting is not queued
/// twice, and a finish replaces it. A stream that starts logs faster than
/// they are written waits for the queue to shrink, so memory stays bounded.
class BackgroundOutputs : public MatchOutputs {
 public:
  explicit BackgroundOutputs(MatchOutputs& target);
  /// Does what is queued, then ends the thread.
  ~BackgroundOutputs() override;
  BackgroundOutputs(const BackgroundOutputs&) = delete;
  BackgroundOutputs& operator=(const BackgroundOutputs&) = delete;

  void refresh(const std::string& log) override;
  void finish(const std::string& log, FinishReason reason) override;

 private:
  struct Task {
    std::string log;
    bool finish = false;
    FinishReason reason = FinishReason::closed;
  };
  void work();

  MatchOutputs& target_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Task> queue_;
  bool ending_ = false;
  std::thread worker_;
};

}  // namespace fragtally::live

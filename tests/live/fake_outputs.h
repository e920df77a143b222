#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "live/match_outputs.h"

namespace fragtally::testing {

/// Outputs that only note what they were asked: "refresh <log>", "finish <log> (<reason>)".
class FakeOutputs : public live::MatchOutputs {
 public:
  void refresh(const std::string& log) override { note("refresh " + log); }
  void finish(const std::string& log, live::FinishReason reason) override {
    note("finish " + log + " (" + live::finishReasonText(reason) + ")");
  }
  std::vector<std::string> calls() const {
    const std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  void note(std::string call) {
    const std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
  }
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

}  // namespace fragtally::testing

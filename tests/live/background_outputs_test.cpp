#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "live/background_outputs.h"

namespace fragtally::live {
namespace {

// Outputs whose first call waits until the test lets it go, so that the test
// can queue more behind it; every call is noted.
class GatedOutputs : public MatchOutputs {
 public:
  void refresh(const std::string& log) override { note("refresh " + log); }
  void finish(const std::string& log, FinishReason) override { note("finish " + log); }
  void finishAll(const std::vector<Finished>& logs) override {
    std::string call = "finishAll";
    for (const Finished& finished : logs) call += " " + finished.log;
    note(call);
  }

  void waitUntilHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return held_; });
  }
  void letGo() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  std::vector<std::string> calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  void note(std::string call) {
    std::unique_lock lock(mutex_);
    calls_.push_back(std::move(call));
    held_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool held_ = false;
  bool open_ = false;
  std::vector<std::string> calls_;
};

// A flood of logs that end while one is being written costs one more run,
// not one each: the finishes waiting then go on together, and a refresh of
// another log keeps its turn after them.
TEST(BackgroundOutputsTest, FinishesWaitingTogetherGoOnInOneCall) {
  GatedOutputs target;
  {
    BackgroundOutputs outputs(target);
    outputs.finish("a", FinishReason::newLog);
    target.waitUntilHeld();
    outputs.finish("b", FinishReason::newLog);
    outputs.refresh("x");
    outputs.finish("c", FinishReason::newLog);
    outputs.refresh("c");  // the finish waiting writes it whole anyway
    target.letGo();
  }
  EXPECT_EQ(target.calls(), (std::vector<std::string>{"finishAll a", "finishAll b c", "refresh x"}));
}

// A finish still replaces a refresh of its log that waits.
TEST(BackgroundOutputsTest, AFinishReplacesAWaitingRefreshOfItsLog) {
  GatedOutputs target;
  {
    BackgroundOutputs outputs(target);
    outputs.refresh("x");
    target.waitUntilHeld();
    outputs.refresh("a");
    outputs.finish("a", FinishReason::closed);
    target.letGo();
  }
  EXPECT_EQ(target.calls(), (std::vector<std::string>{"refresh x", "finishAll a"}));
}

}  // namespace
}  // namespace fragtally::live

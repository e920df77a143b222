#pragma once

#include <string>
#include <vector>

namespace fragtally::live {

/// Why a log being played is finished.
enum class FinishReason {
  closed,   // its "Log file closed" line
  idle,     // its source was silent too long
  newLog,   // the server started another log without closing this one
  stopped,  // the program is ending
};

const char* finishReasonText(FinishReason reason);

/// Where the live modes send a log being played: a report refreshed while it
/// grows, and its final outputs when it ends. Paths are UTF-8. An output
/// reports its own failures.
class MatchOutputs {
 public:
  virtual ~MatchOutputs() = default;
  /// The log has new lines: its report is written again.
  virtual void refresh(const std::string& log) = 0;
  /// The log has ended: final report, its record, and the index.
  virtual void finish(const std::string& log, FinishReason reason) = 0;

  struct Finished {
    std::string log;
    FinishReason reason = FinishReason::closed;
  };
  /// Several logs have ended: the same as finishing each in turn, except that
  /// an output may do them in one go, with one index at the end.
  virtual void finishAll(const std::vector<Finished>& logs) {
    for (const Finished& finished : logs) finish(finished.log, finished.reason);
  }
};

}  // namespace fragtally::live

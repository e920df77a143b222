#include "live/match_outputs.h"

namespace fragtally::live {

const char* finishReasonText(FinishReason reason) {
  switch (reason) {
    case FinishReason::closed: return "closed";
    case FinishReason::idle: return "silent";
    case FinishReason::newLog: return "cut off by a new log";
    case FinishReason::stopped: return "stopped";
  }
  return "";
}

}  // namespace fragtally::live

#include "batch/batch_counts.h"

namespace fragtally {

void BatchCounts::count(LogOutcomeKind kind, std::uint64_t bytes) {
  switch (kind) {
    case LogOutcomeKind::written: ++written; break;
    case LogOutcomeKind::upToDate: ++upToDate; break;
    case LogOutcomeKind::failed: ++failed; break;
  }
  if (kind != LogOutcomeKind::upToDate) bytesRead += bytes;
}

}  // namespace fragtally

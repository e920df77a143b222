#include "site/activity.h"

#include <algorithm>

namespace fragtally {

bool isActive(std::int64_t lastDay, std::int64_t newestDay, std::int64_t days) {
  return lastDay > newestDay - std::max<std::int64_t>(days, 1);
}

ActivitySplit splitByActivity(std::span<const std::int64_t> lastDays, std::int64_t newestDay, std::int64_t days) {
  ActivitySplit split;
  for (std::size_t at = 0; at < lastDays.size(); ++at) {
    (isActive(lastDays[at], newestDay, days) ? split.active : split.inactive).push_back(at);
  }
  return split;
}

}  // namespace fragtally

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fragtally {

/// Days a person stays active after he last played: the pages list active
/// people apart from those who have not been seen for about two months, long
/// enough for a holiday or a busy month, short enough that the list shows who
/// plays on the server now.
inline constexpr std::int64_t kActiveDays = 60;

/// Whether a person last seen on `lastDay` is active when the newest match is
/// on `newestDay` (day numbers): he played within the `days` days that end
/// with the newest day, that day included, i.e. lastDay > newestDay - days.
/// With 60 days and the newest day 2026-12-31, 2026-11-02 is the first day
/// that counts. `days` below 1 counts as 1 (the newest day alone).
bool isActive(std::int64_t lastDay, std::int64_t newestDay, std::int64_t days = kActiveDays);

/// People split by isActive, each list the indices into `lastDays` in their
/// order there, so that a ranking splits into two rankings.
struct ActivitySplit {
  std::vector<std::size_t> active;
  std::vector<std::size_t> inactive;
};

ActivitySplit splitByActivity(std::span<const std::int64_t> lastDays, std::int64_t newestDay,
                              std::int64_t days = kActiveDays);

}  // namespace fragtally

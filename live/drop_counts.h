#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "live/datagram.h"

namespace fragtally::live {

/// Datagrams not taken, by reason.
class DropCounts {
 public:
  void add(DropReason reason) { ++counts_[static_cast<std::size_t>(reason)]; }
  std::uint64_t count(DropReason reason) const { return counts_[static_cast<std::size_t>(reason)]; }
  std::uint64_t total() const;
  /// "dropped 3 datagrams: 2 from an address not allowed, 1 without the log header";
  /// "" when nothing was dropped.
  std::string text() const;

 private:
  std::array<std::uint64_t, kDropReasonCount> counts_{};
};

}  // namespace fragtally::live

#include "live/drop_counts.h"

namespace fragtally::live {

std::uint64_t DropCounts::total() const {
  std::uint64_t sum = 0;
  for (const std::uint64_t count : counts_) sum += count;
  return sum;
}

std::string DropCounts::text() const {
  static constexpr std::array<const char*, kDropReasonCount> kReasons = {
      "from an address not allowed", "without the log header", "without the right secret",
      "over 2048 bytes", "from a source over the limit of sources",
      "without a time stamp", "with a line break inside the line", "closing no open log"};
  const std::uint64_t sum = total();
  if (sum == 0) return "";
  std::string text = "dropped " + std::to_string(sum) + (sum == 1 ? " datagram:" : " datagrams:");
  bool first = true;
  for (std::size_t i = 0; i < kDropReasonCount; ++i) {
    if (counts_[i] == 0) continue;
    text += first ? " " : ", ";
    text += std::to_string(counts_[i]) + " " + kReasons[i];
    first = false;
  }
  return text;
}

}  // namespace fragtally::live

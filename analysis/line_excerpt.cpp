#include "analysis/line_excerpt.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "base/text_search.h"

namespace fragtally {
namespace {

struct Landmark {
  MarkerText text;
  std::uint64_t from;  // the first offset of the line where it counts
};

// Every marker, and what the cuts search the whole line for: the first double
// quote and "(", the stamp's ": " and, from the stamp's start on, its " - ",
// "with" and "<CT>".
constexpr std::array<Landmark, kMarkerKinds + 6> kLandmarkTexts = [] {
  std::array<Landmark, kMarkerKinds + 6> landmarks{};
  for (std::size_t kind = 0; kind < kMarkerKinds; ++kind) landmarks[kind] = {kMarkerTexts[kind], 0};
  const Landmark cuts[] = {{markerText("\""), 0}, {markerText("("), 0}, {kStampEnd, 0},
                           {kDateEnd, 2},          {kWith, 0},          {kCtTag, 0}};
  for (std::size_t i = 0; i < std::size(cuts); ++i) landmarks[kMarkerKinds + i] = cuts[i];
  return landmarks;
}();

}  // namespace

void LineExcerpt::start() {
  kept_.clear();
  found_.fill(kNone);
  seen_ = 0;
  decided_ = 0;
  keptEnd_ = 0;
}

void LineExcerpt::add(std::string_view bytes) {
  const std::uint64_t bytesAt = seen_;
  const std::size_t pendingSize = static_cast<std::size_t>(seen_ - decided_);
  if (pendingSize > 0) {
    // Matches that start in the pending bytes and end in these.
    std::array<char, 2 * kPending> joint;
    const std::size_t more = std::min(bytes.size(), kPending);
    std::memcpy(joint.data(), pending_.data(), pendingSize);
    std::memcpy(joint.data() + pendingSize, bytes.data(), more);
    search(std::string_view(joint.data(), pendingSize + more), decided_);
  }
  search(bytes, bytesAt);
  seen_ += bytes.size();

  // Every match that starts kPending bytes before the end of what was seen is
  // known: up to there, what to keep is settled.
  const std::uint64_t settled = seen_ > kPending ? seen_ - kPending : 0;
  if (settled > decided_) decide(settled, bytes, bytesAt);

  // The rest waits, copied out of `bytes`, which go away.
  const std::size_t stillPending = static_cast<std::size_t>(seen_ - decided_);
  std::array<char, kPending> next;
  for (std::size_t i = 0; i < stillPending; ++i) {
    const std::uint64_t at = decided_ + i;
    next[i] = at >= bytesAt ? bytes[static_cast<std::size_t>(at - bytesAt)]
                            : pending_[static_cast<std::size_t>(at - (bytesAt - pendingSize))];
  }
  pending_ = next;
}

std::string_view LineExcerpt::finish() {
  if (seen_ > decided_) decide(seen_, {}, seen_);
  return kept_;
}

void LineExcerpt::search(std::string_view text, std::uint64_t offset) {
  for (std::size_t i = 0; i < kLandmarks; ++i) {
    if (found_[i] != kNone) continue;
    const Landmark& landmark = kLandmarkTexts[i];
    const std::size_t from = offset < landmark.from ? static_cast<std::size_t>(landmark.from - offset) : 0;
    if (from >= text.size()) continue;
    const std::size_t at = findText(text.substr(from), std::string_view(landmark.text.bytes, landmark.text.size));
    if (at != std::string_view::npos) found_[i] = offset + from + at;
  }
}

void LineExcerpt::decide(std::uint64_t to, std::string_view bytes, std::uint64_t bytesAt) {
  std::uint64_t at = decided_;
  while (at < to) {
    // The end of the kept part that holds `at`, or where the next one starts.
    std::uint64_t keptUpTo = at < kHead ? kHead : 0;
    std::uint64_t nextStart = to;
    for (const std::uint64_t landmark : found_) {
      if (landmark == kNone) continue;
      if (landmark <= at) {
        if (at < landmark + kReach) keptUpTo = std::max(keptUpTo, landmark + kReach);
      } else {
        nextStart = std::min(nextStart, landmark);
      }
    }
    if (keptUpTo > at) {
      const std::uint64_t end = std::min(keptUpTo, to);
      keep(at, end, bytes, bytesAt);
      at = end;
    } else {
      at = nextStart;
    }
  }
  decided_ = to;
}

// The pending bytes stand from decided_ up to `bytesAt`, `bytes` from there on.
void LineExcerpt::keep(std::uint64_t from, std::uint64_t to, std::string_view bytes, std::uint64_t bytesAt) {
  if (from != keptEnd_) kept_ += '\n';  // a join: the bytes between are dropped
  for (std::uint64_t at = from; at < to && at < bytesAt; ++at) {
    kept_ += pending_[static_cast<std::size_t>(at - decided_)];
  }
  if (to > bytesAt) {
    const std::uint64_t start = std::max(from, bytesAt);
    kept_.append(bytes.data() + (start - bytesAt), static_cast<std::size_t>(to - start));
  }
  keptEnd_ = to;
}

}  // namespace fragtally

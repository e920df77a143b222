#pragma once

#include <cstdint>

namespace fragtally {

/// The splitmix64 generator. The generated logs must be the same bytes for a
/// seed on every compiler and standard library, which the <random>
/// distributions do not promise; this one is fully defined here.
class SplitMix64 {
 public:
  explicit SplitMix64(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  }

  /// A number in 0..bound-1 (bound >= 1), from the top 32 bits by
  /// multiplication; the bias is far below anything a benchmark log could show.
  std::uint32_t below(std::uint32_t bound) {
    return static_cast<std::uint32_t>(((next() >> 32) * bound) >> 32);
  }

  /// A number in low..high, both included.
  std::uint32_t between(std::uint32_t low, std::uint32_t high) { return low + below(high - low + 1); }

  /// True `perMille` times in a thousand.
  bool chance(std::uint32_t perMille) { return below(1000) < perMille; }

 private:
  std::uint64_t state_;
};

}  // namespace fragtally

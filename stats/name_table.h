#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fragtally {

/// Number of slots of a name table, and so the size of every per-player and
/// per-weapon array of the match statistics.
inline constexpr int kTableSlots = 64;

/// Gives each distinct name a fixed slot (0..63) in order of first appearance,
/// with one tag text per slot.
class NameTable {
 public:
  NameTable() { buckets_.fill(-1); }

  /// The slot of `name`, adding it when new; -1 when it is new and the table is
  /// full. A known name seen with another (normalised) tag is tagged "MANIAC".
  std::int32_t findOrAdd(std::string_view name, std::string_view tag);

  /// The name in a slot; empty for an index outside 0..lastIndex().
  std::string_view nameAt(std::int32_t index) const;
  /// The tag of a slot; empty for an index outside 0..lastIndex().
  std::string_view tagAt(std::int32_t index) const;
  /// The highest slot in use; -1 for an empty table.
  std::int32_t lastIndex() const { return lastIndex_; }

 private:
  bool inUse(std::int32_t index) const { return index >= 0 && index <= lastIndex_; }
  [[gnu::noinline]] void markManiac(std::int32_t index);
  /// A new name into the free `bucket`; -1 when the table is full.
  [[gnu::noinline]] std::int32_t add(std::string_view name, std::string_view tag, std::uint64_t hash,
                                     std::size_t bucket);


  // Slots by name hash (open addressing, -1 for an empty bucket), so that a
  // search compares one or two names instead of all of them.
  static constexpr std::size_t kBuckets = 2 * kTableSlots;
  static constexpr int kBucketShift = 64 - 7;  // the top bits of a hash pick one of the 128 buckets
  static_assert(kBuckets == std::size_t{1} << (64 - kBucketShift));
  std::array<std::int8_t, kBuckets> buckets_;
  std::array<std::uint64_t, kTableSlots> nameHashes_{};
  std::array<std::string, kTableSlots> names_;
  std::array<std::string, kTableSlots> tags_;
  std::int32_t lastIndex_ = -1;
};

}  // namespace fragtally

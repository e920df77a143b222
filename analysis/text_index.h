#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fragtally {

/// Numbers by text (a UID, a bot's name), found by a view into a line without
/// making a string: open addressing with linear probing over a power-of-two
/// table at most half full, so a search compares one or two texts. The caller
/// bounds the number of texts.
class TextIndex {
 public:
  static constexpr std::size_t kMissing = static_cast<std::size_t>(-1);

  /// The number kept for `text`, or kMissing.
  std::size_t find(std::string_view text) const;
  /// Keeps `value` for `text`, replacing what it had.
  void set(std::string_view text, std::size_t value);
  /// Forgets `text` (nothing when it is not kept).
  void erase(std::string_view text);
  std::size_t size() const { return size_; }

 private:
  struct Slot {
    std::string text;
    std::uint64_t hash = 0;
    std::size_t value = kMissing;  ///< kMissing marks a free slot
  };

  static std::uint64_t hashOf(std::string_view text);
  /// The slot holding `text`, or the free slot where it would go.
  std::size_t slotOf(std::string_view text, std::uint64_t hash) const;
  void grow();

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

}  // namespace fragtally

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/fnv1a.h"

namespace fragtally {

/// fnv1a64Words of bytes that come in pieces of any length: a file too large
/// to hold whole is checked, or sealed, as it streams past. The few bytes of
/// a word not yet complete wait for the next piece, so that the value is
/// exactly the one the whole bytes would give at once.
class Fnv1a64WordsPieces {
 public:
  void add(std::string_view bytes) {
    if (waiting_ > 0) {
      const std::size_t take = bytes.size() < 8 - waiting_ ? bytes.size() : 8 - waiting_;
      std::memcpy(word_ + waiting_, bytes.data(), take);
      waiting_ += take;
      bytes.remove_prefix(take);
      if (waiting_ < 8) return;
      hash_ = fnv1a64Words(std::string_view(word_, 8), hash_);
      waiting_ = 0;
    }
    const std::size_t whole = bytes.size() - bytes.size() % 8;
    hash_ = fnv1a64Words(bytes.substr(0, whole), hash_);
    waiting_ = bytes.size() - whole;
    std::memcpy(word_, bytes.data() + whole, waiting_);
  }
  /// The checksum of every byte added so far.
  std::uint64_t value() const { return fnv1a64Words(std::string_view(word_, waiting_), hash_); }

 private:
  std::uint64_t hash_ = 14695981039346656037ull;
  char word_[8] = {};
  std::size_t waiting_ = 0;
};

}  // namespace fragtally

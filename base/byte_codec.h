#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fragtally {

// The compact binary form of the folder's caches: fixed-size little-endian
// numbers, signed figures of any size, and texts with a two-byte length.

inline void putNumber(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(static_cast<unsigned char>(value >> (8 * i)));
}

// Figures are mostly small: seven bits to a byte, the sign folded into the
// lowest bit, so that a kill count takes one byte rather than four.
inline void putSigned(std::string& out, std::int64_t value) {
  std::uint64_t folded = (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
  for (; folded >= 0x80; folded >>= 7) out += static_cast<char>(static_cast<unsigned char>(folded | 0x80));
  out += static_cast<char>(static_cast<unsigned char>(folded));
}

/// The longest text putText keeps.
inline constexpr std::size_t kMaxCodedText = 0xFFFF;

/// A text of at most kMaxCodedText bytes (the caller keeps to that).
inline void putText(std::string& out, std::string_view text) {
  putNumber(out, text.size(), 2);
  out += text;
}

/// Reads what the put functions wrote; every read checks the bounds, and a
/// failed one leaves the reader failed for good (its reads then give 0 and "").
class ByteReader {
 public:
  ByteReader(std::string_view bytes, std::size_t at) : bytes_(bytes), at_(at) {}
  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }
  /// Bytes not read yet.
  std::size_t left() const { return ok_ ? bytes_.size() - at_ : 0; }
  /// Leaves the reader failed.
  void fail() { ok_ = false; }

  std::uint64_t number(int size) {
    if (!ok_ || bytes_.size() - at_ < static_cast<std::size_t>(size)) return ok_ = false, 0;
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value |= std::uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
    at_ += static_cast<std::size_t>(size);
    return value;
  }
  void skip(std::uint64_t size) { at_ += size; }
  // What putSigned wrote, whatever its size.
  std::int64_t signed64() {
    // Most figures are read where ten bytes are left, the most one takes:
    // straight from the bytes, with the same checks as the loop below.
    if (ok_ && bytes_.size() - at_ >= 10) {
      const char* from = bytes_.data() + at_;
      std::uint64_t folded = 0;
      for (int i = 0; i < 10; ++i) {
        const auto byte = static_cast<std::uint64_t>(static_cast<unsigned char>(from[i]));
        if (i == 9 && byte > 1) return ok_ = false, 0;  // more than 64 bits
        folded |= (byte & 0x7F) << (7 * i);
        if ((byte & 0x80) == 0) {
          at_ += static_cast<std::size_t>(i) + 1;
          return unfold(folded);
        }
      }
    }
    std::uint64_t folded = 0;
    for (int shift = 0; ok_; shift += 7) {
      const std::uint64_t byte = number(1);
      if (shift == 63 && (byte & 0x7E) != 0) return ok_ = false, 0;  // more than 64 bits
      folded |= (byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) break;
      if (shift == 63) return ok_ = false, 0;
    }
    return unfold(folded);
  }
  // What putSigned wrote, when it fits 32 bits.
  std::int32_t signed32() {
    std::uint64_t folded = 0;
    if (ok_ && bytes_.size() - at_ >= 5) {
      // As signed64: straight from the bytes where five, the most, are left.
      // A fifth byte ends it either way.
      const char* from = bytes_.data() + at_;
      for (int i = 0;; ++i) {
        const auto byte = static_cast<std::uint64_t>(static_cast<unsigned char>(from[i]));
        if (i == 4 && (byte >> 7) != 0) return ok_ = false, 0;
        folded |= (byte & 0x7F) << (7 * i);
        if ((byte & 0x80) == 0) {
          at_ += static_cast<std::size_t>(i) + 1;
          break;
        }
      }
    } else {
      for (int shift = 0; ok_; shift += 7) {
        const std::uint64_t byte = number(1);
        if (shift == 28 && (byte >> 7) != 0) return ok_ = false, 0;
        folded |= (byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) break;
      }
    }
    const std::int64_t value = unfold(folded);
    if (value < INT32_MIN || value > INT32_MAX) return ok_ = false, 0;
    return static_cast<std::int32_t>(value);
  }
  /// What putSigned wrote, when it lies in [0, limit].
  std::uint64_t count(std::uint64_t limit) {
    const std::int64_t value = signed64();
    if (value < 0 || static_cast<std::uint64_t>(value) > limit) return ok_ = false, 0;
    return static_cast<std::uint64_t>(value);
  }
  /// A text of at most `maxSize` bytes.
  std::string_view text(std::size_t maxSize = kMaxCodedText) {
    const std::uint64_t size = number(2);
    if (!ok_ || size > maxSize || bytes_.size() - at_ < size) return ok_ = false, std::string_view{};
    const std::string_view value = bytes_.substr(at_, size);
    at_ += size;
    return value;
  }

 private:
  static std::int64_t unfold(std::uint64_t folded) {
    return static_cast<std::int64_t>(folded >> 1) ^ -static_cast<std::int64_t>(folded & 1);
  }

  std::string_view bytes_;
  std::size_t at_;
  bool ok_ = true;
};

}  // namespace fragtally

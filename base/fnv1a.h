#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace fragtally {

/// 64-bit FNV-1a of the bytes: quick, and any single changed byte alters it.
/// Not for anything an attacker must not steer.
constexpr std::uint64_t fnv1a64(std::string_view bytes, std::uint64_t hash = 14695981039346656037ull) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

/// The same kind of checksum taken eight bytes at a step (each step a
/// little-endian word, the last few bytes one by one): for files of tens of
/// megabytes, checked on every run, where a step per byte is what costs. Its
/// values differ from fnv1a64's, and they are the same on every machine.
inline std::uint64_t fnv1a64Words(std::string_view bytes, std::uint64_t hash = 14695981039346656037ull) {
  const char* at = bytes.data();
  std::size_t left = bytes.size();
  for (; left >= 8; at += 8, left -= 8) {
    std::uint64_t value = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&value, at, 8);  // one load where the machine's order is the checksum's
    } else {
      unsigned char word[8];
      std::memcpy(word, at, 8);
      for (int i = 7; i >= 0; --i) value = value << 8 | word[i];
    }
    hash ^= value;
    hash *= 1099511628211ull;
    // Folded down, so that each word's high bytes also reach the low bits the
    // next multiplication spreads from.
    hash ^= hash >> 29;
  }
  return fnv1a64(std::string_view(at, left), hash);
}

}  // namespace fragtally

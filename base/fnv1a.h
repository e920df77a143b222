#pragma once

#include <cstdint>
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

}  // namespace fragtally

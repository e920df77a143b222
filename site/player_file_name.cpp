#include "site/player_file_name.h"

#include <cstdint>

#include "base/fnv1a.h"

namespace fragtally {
namespace {

constexpr std::size_t kMaxSlugBytes = 40;
constexpr std::size_t kHashDigits = 16;
constexpr std::string_view kPageExtension = ".htm";

bool isSlugByte(unsigned char byte) { return (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9'); }

}  // namespace

std::string playerFileName(std::string_view key) {
  std::string name;
  bool gap = false;
  for (const char c : key) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 'A' && byte <= 'Z') byte = static_cast<unsigned char>(byte - 'A' + 'a');
    if (!isSlugByte(byte)) {
      gap = !name.empty();
      continue;
    }
    if (name.size() + (gap ? 2 : 1) > kMaxSlugBytes) break;
    if (gap) name += '-';
    gap = false;
    name += static_cast<char>(byte);
  }
  if (name.empty()) name = "player";
  constexpr char kDigits[] = "0123456789abcdef";
  const std::uint64_t hash = fnv1a64(key);
  name += '-';
  for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 0xF];
  name += kPageExtension;
  return name;
}

bool isPlayerFileName(std::string_view name) {
  if (!name.ends_with(kPageExtension)) return false;
  name.remove_suffix(kPageExtension.size());
  if (name.size() < kHashDigits + 2 || name.size() > kMaxSlugBytes + 1 + kHashDigits) return false;
  const std::string_view slug = name.substr(0, name.size() - kHashDigits - 1);
  if (name[slug.size()] != '-') return false;
  for (const char c : name.substr(slug.size() + 1)) {
    const auto byte = static_cast<unsigned char>(c);
    if (!((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'f'))) return false;
  }
  if (slug.front() == '-' || slug.back() == '-') return false;
  for (const char c : slug) {
    if (!isSlugByte(static_cast<unsigned char>(c)) && c != '-') return false;
  }
  return true;
}

}  // namespace fragtally

#include "stats/name_table.h"

#include <cstring>

#include "base/text.h"

namespace fragtally {
namespace {

constexpr std::string_view kManiac = "MANIAC";

// "CT" wins over "TERRORIST": the second test looks at the tag as the first left it.
std::string_view normaliseTag(std::string_view tag) {
  if (tag == "CT" || tag == "TERRORIST") return tag;  // what kill lines pass, already normal
  if (contains(tag, "CT")) tag = "CT";
  if (contains(tag, "TERRORIST")) tag = "TERRORIST";
  return tag;
}

// The length and the first and last eight bytes, mixed: it only has to tell
// apart the few names of one table, and a full comparison confirms a match.
std::uint64_t hashOf(std::string_view name) {
  std::uint64_t head = 0;
  std::uint64_t tail = 0;
  if (name.size() >= 8) {
    std::memcpy(&head, name.data(), 8);
    std::memcpy(&tail, name.data() + name.size() - 8, 8);
  } else if (name.size() >= 4) {
    std::memcpy(&head, name.data(), 4);
    std::memcpy(&tail, name.data() + name.size() - 4, 4);
  } else {
    for (const char c : name) head = head << 8 | static_cast<unsigned char>(c);
  }
  // One multiplication; the bucket comes from the well-mixed top bits.
  return (head ^ (tail << 29 | tail >> 35) ^ name.size()) * 0x9E3779B97F4A7C15u;
}

}  // namespace

std::int32_t NameTable::findOrAdd(std::string_view name, std::string_view tag) {
  const std::uint64_t hash = hashOf(name);
  std::size_t bucket = hash >> kBucketShift;
  for (; buckets_[bucket] >= 0; bucket = (bucket + 1) % kBuckets) {
    const std::int32_t i = buckets_[bucket];
    if (nameHashes_[i] == hash && sameText(names_[i], name)) {
      // "MANIAC" differs from every later tag but itself: once set, it stays.
      const std::string& stored = tags_[i];
      if (!sameText(stored, kManiac) && !sameText(stored, normaliseTag(tag))) markManiac(i);
      return i;
    }
  }
  return add(name, tag, hash, bucket);
}

// Out of the lookup's way: each happens at most once per slot.
void NameTable::markManiac(std::int32_t index) { tags_[index] = kManiac; }

std::int32_t NameTable::add(std::string_view name, std::string_view tag, std::uint64_t hash, std::size_t bucket) {
  if (lastIndex_ == kTableSlots - 1) return -1;
  ++lastIndex_;
  buckets_[bucket] = static_cast<std::int8_t>(lastIndex_);
  names_[lastIndex_] = name;
  nameHashes_[lastIndex_] = hash;
  if (tags_[lastIndex_].empty()) tags_[lastIndex_] = normaliseTag(tag);
  return lastIndex_;
}

std::string_view NameTable::nameAt(std::int32_t index) const {
  return inUse(index) ? std::string_view(names_[index]) : std::string_view();
}

std::string_view NameTable::tagAt(std::int32_t index) const {
  return inUse(index) ? std::string_view(tags_[index]) : std::string_view();
}

}  // namespace fragtally

#include "stats/name_table.h"

#include "base/text.h"

namespace fragtally {
namespace {

// "CT" wins over "TERRORIST": the second test looks at the tag as the first left it.
std::string_view normaliseTag(std::string_view tag) {
  if (tag == "CT" || tag == "TERRORIST") return tag;  // what kill lines pass, already normal
  if (contains(tag, "CT")) tag = "CT";
  if (contains(tag, "TERRORIST")) tag = "TERRORIST";
  return tag;
}

// FNV-1a: short names, no allocation, good enough to tell 64 names apart.
std::uint64_t hashOf(std::string_view name) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
  return hash;
}

}  // namespace

std::int32_t NameTable::findOrAdd(std::string_view name, std::string_view tag) {
  const std::string_view normalised = normaliseTag(tag);
  const std::uint64_t hash = hashOf(name);
  std::size_t bucket = hash % kBuckets;
  for (; buckets_[bucket] >= 0; bucket = (bucket + 1) % kBuckets) {
    const std::int32_t i = buckets_[bucket];
    if (nameHashes_[i] == hash && names_[i] == name) {
      if (tags_[i] != normalised) tags_[i] = "MANIAC";
      return i;
    }
  }
  if (lastIndex_ == kTableSlots - 1) return -1;
  ++lastIndex_;
  buckets_[bucket] = static_cast<std::int8_t>(lastIndex_);
  names_[lastIndex_] = name;
  nameHashes_[lastIndex_] = hash;
  if (tags_[lastIndex_].empty()) tags_[lastIndex_] = normalised;
  return lastIndex_;
}

std::string_view NameTable::nameAt(std::int32_t index) const {
  return inUse(index) ? std::string_view(names_[index]) : std::string_view();
}

std::string_view NameTable::tagAt(std::int32_t index) const {
  return inUse(index) ? std::string_view(tags_[index]) : std::string_view();
}

}  // namespace fragtally

#include "stats/name_table.h"

#include "base/text.h"

namespace fragtally {
namespace {

// "CT" wins over "TERRORIST": the second test looks at the tag as the first left it.
std::string_view normaliseTag(std::string_view tag) {
  if (contains(tag, "CT")) tag = "CT";
  if (contains(tag, "TERRORIST")) tag = "TERRORIST";
  return tag;
}

}  // namespace

std::int32_t NameTable::findOrAdd(std::string_view name, std::string_view tag) {
  const std::string_view normalised = normaliseTag(tag);
  for (std::int32_t i = 0; i <= lastIndex_; ++i) {
    if (names_[i] == name) {
      if (tags_[i] != normalised) tags_[i] = "MANIAC";
      return i;
    }
  }
  if (lastIndex_ == kTableSlots - 1) return -1;
  ++lastIndex_;
  names_[lastIndex_] = name;
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

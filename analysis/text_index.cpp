#include "analysis/text_index.h"

#include <utility>

namespace fragtally {

std::uint64_t TextIndex::hashOf(std::string_view text) {
  // FNV-1a, then a multiply so that the low bits (the slot) depend on every byte.
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return (hash ^ (hash >> 29)) * 0xBF58476D1CE4E5B9ull;
}

std::size_t TextIndex::slotOf(std::string_view text, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = static_cast<std::size_t>(hash >> 32) & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.value == kMissing || (slot.hash == hash && slot.text == text)) return at;
  }
}

std::size_t TextIndex::find(std::string_view text) const {
  if (size_ == 0) return kMissing;
  return slots_[slotOf(text, hashOf(text))].value;
}

void TextIndex::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : 2 * old.size(), Slot{});
  for (Slot& slot : old) {
    if (slot.value != kMissing) slots_[slotOf(slot.text, slot.hash)] = std::move(slot);
  }
}

void TextIndex::set(std::string_view text, std::size_t value) {
  if (2 * (size_ + 1) > slots_.size()) grow();
  const std::uint64_t hash = hashOf(text);
  Slot& slot = slots_[slotOf(text, hash)];
  if (slot.value == kMissing) {
    slot.text.assign(text);
    slot.hash = hash;
    ++size_;
  }
  slot.value = value;
}

void TextIndex::erase(std::string_view text) {
  if (size_ == 0) return;
  const std::size_t mask = slots_.size() - 1;
  std::size_t hole = slotOf(text, hashOf(text));
  if (slots_[hole].value == kMissing) return;
  slots_[hole].value = kMissing;
  --size_;
  // Moves back every later slot of the run that the hole would cut off from its
  // home, so that no search stops early at the hole.
  for (std::size_t at = (hole + 1) & mask; slots_[at].value != kMissing; at = (at + 1) & mask) {
    const std::size_t home = static_cast<std::size_t>(slots_[at].hash >> 32) & mask;
    // The slot stays when its home lies cyclically in (hole, at].
    const bool stays = hole <= at ? (hole < home && home <= at) : (hole < home || home <= at);
    if (stays) continue;
    slots_[hole] = std::move(slots_[at]);
    slots_[at].value = kMissing;
    hole = at;
  }
}

}  // namespace fragtally

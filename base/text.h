#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "base/text_search.h"

// Texts are byte strings; nothing is decoded. Positions are 1-based and 0 means
// "not found": every cut of a log line is written in these terms, so that the
// arithmetic of the cuts (position - 1, position + 3, ...) reads as it is meant.
namespace fragtally {

/// A 1-based position in a text; 0 when a needle does not occur.
using TextPos = std::ptrdiff_t;

/// The longest piece that a "rest of the text" cut keeps.
inline constexpr TextPos kRestLimit = 255;

/// 1-based position of the first occurrence of a (non-empty) needle, or 0.
inline TextPos posOf(std::string_view needle, std::string_view text) {
  const std::size_t at = findText(text, needle);
  return at == std::string_view::npos ? 0 : static_cast<TextPos>(at) + 1;
}

/// 1-based position of the first occurrence of a byte, or 0.
inline TextPos posOf(char needle, std::string_view text) {
  const std::size_t at = findByte(text, needle);
  return at == std::string_view::npos ? 0 : static_cast<TextPos>(at) + 1;
}

/// Whether two texts hold the same bytes. Names, tags and stamps are short:
/// compared here in a few word loads instead of a library call.
inline bool sameText(std::string_view a, std::string_view b) {
  const std::size_t n = a.size();
  if (n != b.size()) return false;
  const char* p = a.data();
  const char* q = b.data();
  const auto word8 = [](const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
  };
  const auto word4 = [](const char* at) {
    std::uint32_t word;
    std::memcpy(&word, at, 4);
    return word;
  };
  if (n >= 8) {
    for (std::size_t i = 0; i + 8 < n; i += 8) {
      if (word8(p + i) != word8(q + i)) return false;
    }
    return word8(p + n - 8) == word8(q + n - 8);  // the last eight, overlapping
  }
  if (n >= 4) return word4(p) == word4(q) && word4(p + n - 4) == word4(q + n - 4);
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] != q[i]) return false;
  }
  return true;
}

inline bool contains(std::string_view text, std::string_view needle) {
  return findText(text, needle) != std::string_view::npos;
}

/// The characters from `start` on, as many as exist up to `count`. A start below
/// 1 counts as 1; a count below 1 or a start beyond the end gives an empty text.
inline std::string_view copyText(std::string_view text, TextPos start, TextPos count) {
  if (start < 1) start = 1;
  const auto size = static_cast<TextPos>(text.size());
  if (count < 1 || start > size) return {};
  const TextPos available = size - start + 1;
  return text.substr(static_cast<std::size_t>(start - 1),
                     static_cast<std::size_t>(count < available ? count : available));
}

/// The rest of a text from `start`, cut at kRestLimit characters.
inline std::string_view restFrom(std::string_view text, TextPos start) {
  return copyText(text, start, kRestLimit);
}

// The same rules for a needle's 0-based offset as a search returns it (npos
// when absent), without the detour through positions: the cuts of every kill
// line are made of these.

/// restFrom(text, position of the needle + 1): the kRestLimit characters
/// behind offset `at`, or from the start when `at` is npos.
inline std::string_view restBehind(std::string_view text, std::size_t at) {
  const std::size_t from = at == std::string_view::npos ? 0 : at + 1;
  const std::size_t left = text.size() - from;  // `at` is an offset in `text`
  return {text.data() + from, left < kRestLimit ? left : static_cast<std::size_t>(kRestLimit)};
}

/// restFrom(text, position of the needle): the kRestLimit characters from
/// offset `at` on, or from the start when `at` is npos.
inline std::string_view restAt(std::string_view text, std::size_t at) {
  const std::size_t from = at == std::string_view::npos ? 0 : at;
  const std::size_t left = text.size() - from;
  return {text.data() + from, left < kRestLimit ? left : static_cast<std::size_t>(kRestLimit)};
}

/// copyText(text, 1, position of the needle - 1): what stands before offset
/// `at`, empty when `at` is npos.
inline std::string_view textBefore(std::string_view text, std::size_t at) {
  return {text.data(), at == std::string_view::npos ? 0 : at};
}

}  // namespace fragtally

#pragma once

#include <cstddef>
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

}  // namespace fragtally

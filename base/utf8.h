#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Strict UTF-8, read the same way by the analysis (where a cut text ends) and
// by the report and the record (how a text is shown).
namespace fragtally {

/// Decodes one strict UTF-8 character at `at` (no overlong forms, no surrogates,
/// nothing above U+10FFFF). Returns its length, or 0 when the bytes there are not
/// a valid character.
constexpr std::size_t decodeUtf8(std::string_view text, std::size_t at, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, min = 0x80, codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, min = 0x800, codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, min = 0x10000, codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const std::uint8_t next = byte(at + i);
    if ((next & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

/// Whether the whole text is strict UTF-8 (as decodeUtf8 reads it).
constexpr bool isUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(text, at, codePoint);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

/// Where a cut of `text` after `size` bytes keeps whole characters: `size`
/// itself, unless the text is valid UTF-8 up to there and the cut falls inside
/// a character that goes on behind it, in which case that character's start.
/// Any other text (Windows-1251, broken UTF-8) is cut where it is asked to be.
constexpr std::size_t utf8CutAt(std::string_view text, std::size_t size) {
  if (size >= text.size()) return size;
  std::size_t at = 0;
  while (at < size) {
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(text, at, codePoint);
    if (length == 0) return size;                // not UTF-8 before the cut
    if (at + length > size) return at;           // a whole character straddles the cut
    at += length;
  }
  return size;
}

}  // namespace fragtally

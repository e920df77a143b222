#pragma once

#include <string>
#include <string_view>

namespace fragtally {

/// The byte in lower case when it is an ASCII capital, any other byte as it
/// is: the letters of UTF-8 and of the code pages are left alone, so that a
/// comparison gives the same answer on every system and in every locale.
constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

/// The text with its ASCII capitals in lower case.
inline std::string asciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = asciiLower(c);
  return lower;
}

/// Whether two texts are equal once their ASCII capitals are in lower case.
constexpr bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace fragtally

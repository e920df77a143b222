#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/utf8.h"

// The Windows-1251 code page: the report's own encoding. Fixed texts are written
// in UTF-8 in the sources and turned into Windows-1251 bytes by the compiler
// ("Дата"_cp1251), so the sources stay readable and no byte is typed by hand.
namespace fragtally {

/// Unicode code points of the bytes 0x80..0xBF; 0 where the code page has none
/// (0x98). The bytes 0xC0..0xFF are U+0410..U+044F in order.
inline constexpr char32_t kCp1251Upper[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

/// The Windows-1251 byte of a code point, or -1 when the code page has none.
constexpr int cp1251ByteOf(char32_t codePoint) {
  if (codePoint < 0x80) return static_cast<int>(codePoint);
  if (codePoint >= 0x0410 && codePoint <= 0x044F) return static_cast<int>(codePoint - 0x0410 + 0xC0);
  for (int i = 0; i < 64; ++i) {
    if (kCp1251Upper[i] == codePoint) return 0x80 + i;
  }
  return -1;
}

/// The code point a Windows-1251 byte stands for. The one byte the code page
/// leaves undefined, 0x98, stands for U+0098, as browsers read it.
constexpr char32_t cp1251CodePointOf(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  const char32_t codePoint = kCp1251Upper[byte - 0x80];
  return codePoint != 0 ? codePoint : byte;
}

namespace detail {

template <std::size_t N>
struct Utf8Literal {
  char bytes[N]{};
  constexpr Utf8Literal(const char (&text)[N]) {
    for (std::size_t i = 0; i < N; ++i) bytes[i] = text[i];
  }
};

template <std::size_t N>
struct Cp1251Bytes {
  char bytes[N]{};
  std::size_t size = 0;
};

template <std::size_t N>
consteval Cp1251Bytes<N> toCp1251(const Utf8Literal<N>& literal) {
  const std::string_view text(literal.bytes, N - 1);
  Cp1251Bytes<N> out;
  for (std::size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(text, at, codePoint);
    const int byte = length == 0 ? -1 : cp1251ByteOf(codePoint);
    if (byte < 0) throw "a fixed text holds a character that Windows-1251 lacks";
    out.bytes[out.size++] = static_cast<char>(static_cast<std::uint8_t>(byte));
    at += length;
  }
  return out;
}

template <Utf8Literal Literal>
inline constexpr Cp1251Bytes<sizeof(Literal.bytes)> kCp1251Text = toCp1251(Literal);

}  // namespace detail

/// A fixed UTF-8 text as Windows-1251 bytes, converted at compile time.
template <detail::Utf8Literal Literal>
constexpr std::string_view operator""_cp1251() {
  return std::string_view(detail::kCp1251Text<Literal>.bytes, detail::kCp1251Text<Literal>.size);
}

}  // namespace fragtally

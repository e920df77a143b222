#include "report/page_text.h"

#include <charconv>
#include <cstdint>

#include "report/cp1251.h"

namespace fragtally {
namespace {

bool needsDecoding(std::string_view text) {
  bool highByte = false;
  for (const char c : text) highByte |= static_cast<std::uint8_t>(c) >= 0x80;
  if (!highByte) return false;
  for (std::size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(text, at, codePoint);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

void appendByte(std::string& page, char c) {
  switch (c) {
    case '&': page += "&amp;"; break;
    case '<': page += "&lt;"; break;
    case '>': page += "&gt;"; break;
    case '"': page += "&quot;"; break;
    default: page += c; break;
  }
}

void appendCharacterReference(std::string& page, char32_t codePoint) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint32_t>(codePoint)).ptr;
  page += "&#";
  page.append(digits, end);
  page += ';';
}

}  // namespace

void appendPageText(std::string& page, std::string_view text) {
  if (!needsDecoding(text)) {
    for (const char c : text) appendByte(page, c);
    return;
  }
  for (std::size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(text, at, codePoint);
    if (length == 1) {
      appendByte(page, text[at]);
    } else if (const int byte = cp1251ByteOf(codePoint); byte >= 0) {
      page += static_cast<char>(static_cast<std::uint8_t>(byte));
    } else {
      appendCharacterReference(page, codePoint);
    }
    at += length;
  }
}

}  // namespace fragtally

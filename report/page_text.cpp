#include "report/page_text.h"

#include <charconv>
#include <cstdint>

#include "report/cp1251.h"

namespace fragtally {
namespace {

bool hasHighByte(std::string_view text) {
  bool highByte = false;
  for (const char c : text) highByte |= static_cast<std::uint8_t>(c) >= 0x80;
  return highByte;
}

bool needsDecoding(std::string_view text) { return hasHighByte(text) && isUtf8(text); }

void appendUtf8(std::string& out, char32_t codePoint) {
  const auto byte = [&](char32_t bits) { out += static_cast<char>(static_cast<std::uint8_t>(bits)); };
  if (codePoint < 0x80) {
    byte(codePoint);
  } else if (codePoint < 0x800) {
    byte(0xC0 | (codePoint >> 6));
    byte(0x80 | (codePoint & 0x3F));
  } else {  // the code page holds nothing above U+FFFF
    byte(0xE0 | (codePoint >> 12));
    byte(0x80 | ((codePoint >> 6) & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  }
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

void appendUtf8PageText(std::string& page, std::string_view text) {
  for (const char c : utf8FromLogText(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\'') {
      page += "&#39;";
    } else if (byte < 0x20 || byte == 0x7F) {
      page += "\uFFFD";  // a control character is no text a browser shows
    } else {
      appendByte(page, c);
    }
  }
}

std::string utf8FromLogText(std::string_view text) {
  if (!hasHighByte(text) || isUtf8(text)) return std::string(text);
  std::string utf8;
  utf8.reserve(text.size() * 2);
  for (const char c : text) appendUtf8(utf8, cp1251CodePointOf(static_cast<unsigned char>(c)));
  return utf8;
}

}  // namespace fragtally

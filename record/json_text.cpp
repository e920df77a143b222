#include "record/json_text.h"

#include <charconv>

namespace fragtally {

void appendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t plain = 0;  // start of the bytes not yet copied
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
    out.append(utf8, plain, i - plain);
    plain = i + 1;
    switch (byte) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        out += "\\u00";
        out += kHex[byte >> 4];
        out += kHex[byte & 0xF];
    }
  }
  out.append(utf8, plain);
  out += '"';
}

void JsonText::separate() {
  if (afterKey_) {
    afterKey_ = false;
  } else if (!first_) {
    out_ += ',';
  }
  first_ = false;
}

JsonText& JsonText::open(char bracket) {
  separate();
  out_ += bracket;
  first_ = true;
  return *this;
}

JsonText& JsonText::close(char bracket) {
  out_ += bracket;
  first_ = false;
  return *this;
}

JsonText& JsonText::key(std::string_view name) {
  separate();
  appendJsonString(out_, name);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonText& JsonText::text(std::string_view utf8) {
  separate();
  appendJsonString(out_, utf8);
  return *this;
}

JsonText& JsonText::quotedKey(std::string_view quoted) {
  separate();
  out_ += quoted;
  out_ += ':';
  afterKey_ = true;
  return *this;
}

JsonText& JsonText::quotedText(std::string_view quoted) {
  separate();
  out_ += quoted;
  return *this;
}

JsonText& JsonText::number(std::int64_t value) {
  separate();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out_.append(digits, end);
  return *this;
}

JsonText& JsonText::boolean(bool value) {
  separate();
  out_ += value ? "true" : "false";
  return *this;
}

JsonText& JsonText::null() {
  separate();
  out_ += "null";
  return *this;
}

}  // namespace fragtally

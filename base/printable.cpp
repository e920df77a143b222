#include "base/printable.h"

#include <algorithm>

namespace fragtally {
namespace {

bool isControl(unsigned char byte, LineFeeds lineFeeds) {
  if (byte == '\n') return lineFeeds == LineFeeds::escaped;
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string printableText(std::string_view text, LineFeeds lineFeeds) {
  const auto control = [&](char c) { return isControl(static_cast<unsigned char>(c), lineFeeds); };
  if (std::none_of(text.begin(), text.end(), control)) return std::string(text);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size() + 16);
  for (const char c : text) {
    if (!control(c)) {
      shown += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0xF];
  }
  return shown;
}

}  // namespace fragtally

#include "base/number.h"

#include "base/error.h"

namespace fragtally {
namespace {

int digitValue(unsigned char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::int32_t readInteger(std::string_view text) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n && text[i] == ' ') ++i;

  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  bool hex = false;
  if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == n) throw notAnInteger(text);

  // Decimal: magnitude up to 2^31 (the negative limit); hex: up to FFFFFFFF.
  const std::uint64_t limit = hex ? 0xFFFFFFFFu : 0x80000000u;
  const unsigned base = hex ? 16 : 10;
  std::uint64_t magnitude = 0;
  for (; i < n; ++i) {
    const int digit = digitValue(static_cast<unsigned char>(text[i]), hex);
    if (digit < 0) throw notAnInteger(text);
    magnitude = magnitude * base + static_cast<unsigned>(digit);
    if (magnitude > limit) throw notAnInteger(text);
  }
  if (!hex && !negative && magnitude > 0x7FFFFFFFu) throw notAnInteger(text);

  // Two's complement in unsigned arithmetic: no signed overflow for "-$80000000".
  auto bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  return static_cast<std::int32_t>(bits);
}

}  // namespace fragtally

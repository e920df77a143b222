// readInteger against a second, deliberately plain reading of the same rules:
// both must accept the same texts with the same value, and refuse the others
// with the same message.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/number.h"

namespace {

// The rules read step by step: blanks, a sign, a hex prefix, digits to the end.
// Leading zeros are dropped so that the remaining digits can be counted before
// any arithmetic, which then cannot overflow 64 bits.
std::optional<std::int32_t> referenceInteger(std::string_view text) {
  std::string_view rest = text;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);

  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }

  bool hex = false;
  for (const std::string_view prefix : {"$", "x", "X", "0x", "0X"}) {
    if (rest.starts_with(prefix)) {
      hex = true;
      rest.remove_prefix(prefix.size());
      break;
    }
  }

  if (rest.empty()) return std::nullopt;
  const std::string_view digits = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (rest.find_first_not_of(digits) != std::string_view::npos) return std::nullopt;

  while (rest.size() > 1 && rest.front() == '0') rest.remove_prefix(1);
  if (rest.size() > (hex ? 8u : 10u)) return std::nullopt;

  std::int64_t magnitude = 0;
  for (const char c : rest) {
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    magnitude = magnitude * (hex ? 16 : 10) + digit;
  }

  if (hex) {
    // 32-bit two's complement of the bits, then the sign.
    std::int64_t value = magnitude >= 0x80000000LL ? magnitude - 0x100000000LL : magnitude;
    if (negative) value = -value;
    if (value == 0x80000000LL) value = -0x80000000LL;  // "-$80000000" wraps onto itself
    return static_cast<std::int32_t>(value);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < -2147483648LL || value > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

[[noreturn]] void disagree(std::string_view text, const char* what) {
  std::fprintf(stderr, "readInteger and the reference disagree (%s) on '%.*s'\n", what,
               static_cast<int>(text.size()), text.data());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<std::int32_t> expected = referenceInteger(text);
  try {
    const std::int32_t value = fragtally::readInteger(text);
    if (!expected) disagree(text, "accepted a text the rules refuse");
    if (value != *expected) disagree(text, "value");
  } catch (const fragtally::Error& error) {
    if (expected) disagree(text, "refused a valid number");
    // what() is a C string: it ends at a zero byte. No text the program reads
    // holds one (the log reader stops at it), so only the part before counts.
    const std::string message = "'" + std::string(text) + "' is not a valid integer value";
    if (std::string_view(error.what()) != std::string_view(message.c_str())) disagree(text, "message");
  }
  return 0;
}

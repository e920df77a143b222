#include "report/report_lines.h"

#include <charconv>

namespace fragtally {

std::string decimalText(std::int32_t value) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::string(digits, end);
}

std::string countText(std::int32_t count) { return count == 0 ? std::string("-") : decimalText(count); }

std::string_view teamColour(std::string_view tag) {
  if (tag == "TERRORIST") return "\"#FF0000\"";
  if (tag == "CT") return "\"#0000FF\"";
  return "\"#FF00FF\"";
}

}  // namespace fragtally

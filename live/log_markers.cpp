#include "live/log_markers.h"

namespace fragtally::live {
namespace {

// "L MM/DD/YYYY - hh:mm:ss: " and what follows it.
constexpr std::size_t kStampedPrefix = 25;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool eventIs(std::string_view line, std::string_view event) {
  return line.size() > kStampedPrefix && line.starts_with("L ") && line.substr(kStampedPrefix).starts_with(event);
}

}  // namespace

bool startsLog(std::string_view line) { return eventIs(line, "Log file started"); }

bool closesLog(std::string_view line) {
  if (!eventIs(line, "Log file closed")) return false;
  const std::string_view rest = line.substr(kStampedPrefix + 15);
  return rest.empty() || rest.front() == '\r' || rest.front() == '\n';
}

bool hasTimeStamp(std::string_view line) {
  constexpr std::string_view kShape = "L 99/99/9999 - 99:99:99: ";
  if (line.size() < kShape.size()) return false;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    if (kShape[i] == '9' ? !isDigit(line[i]) : line[i] != kShape[i]) return false;
  }
  return true;
}

bool breaksInside(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line.find_first_of("\r\n") != std::string_view::npos;
}

std::optional<std::string> stampForFileName(std::string_view line) {
  if (!hasTimeStamp(line)) return std::nullopt;
  const auto part = [&](std::size_t at, std::size_t count) { return std::string(line.substr(at, count)); };
  return part(8, 4) + "-" + part(2, 2) + "-" + part(5, 2) + "_" + part(15, 2) + "-" + part(18, 2) + "-" +
         part(21, 2);
}

}  // namespace fragtally::live

#include "base/site_page_names.h"

#include <cstdio>
#include <initializer_list>

namespace fragtally {
namespace {

constexpr std::string_view kMatchesPrefix = "matches-";
constexpr std::string_view kUndated = "undated";
constexpr std::string_view kRankingStem = "ranking";
constexpr std::string_view kPartMark = "-p";
constexpr std::string_view kPageExtension = ".htm";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// Whether `text` is a later part's number: 2 or more, without leading zeros,
/// short enough to be one the site writes.
bool isPartNumber(std::string_view text) {
  if (text.empty() || text.size() > 9 || text.front() == '0') return false;
  for (const char c : text) {
    if (!isDigit(c)) return false;
  }
  return text != "1";
}

/// Whether `stem` is `base` alone or `base` with a later part's mark.
bool isPartOf(std::string_view stem, std::string_view base) {
  if (!stem.starts_with(base)) return false;
  stem.remove_prefix(base.size());
  if (stem.empty()) return true;
  return stem.starts_with(kPartMark) && isPartNumber(stem.substr(kPartMark.size()));
}

/// "YYYY-MM" with a month of 01 to 12.
bool isMonthText(std::string_view text) {
  if (text.size() != 7 || text[4] != '-') return false;
  for (const std::size_t at : {0u, 1u, 2u, 3u, 5u, 6u}) {
    if (!isDigit(text[at])) return false;
  }
  const int month = (text[5] - '0') * 10 + (text[6] - '0');
  return month >= 1 && month <= 12;
}

std::string withPart(std::string stem, std::size_t part) {
  if (part > 1) stem.append(kPartMark).append(std::to_string(part));
  stem.append(kPageExtension);
  return stem;
}

}  // namespace

std::uint32_t monthOfMatch(std::uint64_t when) { return static_cast<std::uint32_t>(when / 100000000); }

std::string monthPageName(std::uint32_t month, std::size_t part) {
  std::string stem(kMatchesPrefix);
  if (month == 0) {
    stem.append(kUndated);
  } else {
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u", month / 100 % 10000, month % 100);
    stem.append(text);
  }
  return withPart(std::move(stem), part);
}

std::string rankingPageName(std::size_t part) { return withPart(std::string(kRankingStem), part); }

bool isSitePageStem(std::string_view stem) {
  if (isPartOf(stem, kRankingStem)) return true;
  if (!stem.starts_with(kMatchesPrefix)) return false;
  stem.remove_prefix(kMatchesPrefix.size());
  if (isPartOf(stem, kUndated)) return true;
  return stem.size() >= 7 && isMonthText(stem.substr(0, 7)) && isPartOf(stem, stem.substr(0, 7));
}

bool isSitePageName(std::string_view fileName) {
  return fileName.ends_with(kPageExtension) && isSitePageStem(fileName.substr(0, fileName.size() - kPageExtension.size()));
}

}  // namespace fragtally

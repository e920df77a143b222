#include "index/index_html.h"

#include <charconv>

#include "base/output_names.h"
#include "base/site_page_names.h"
#include "base/site_texts.h"
#include "version.h"

namespace fragtally {
namespace {

void appendNumber(std::string& page, std::uint64_t value, int minDigits = 1) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (int pad = minDigits - static_cast<int>(end - digits); pad > 0; --pad) page += '0';
  page.append(digits, end);
}

}  // namespace

void appendPageStart(std::string& page, std::string_view title, SiteLanguage language) {
  page += "<!DOCTYPE html>\n<html lang=\"";
  page += htmlLanguageTag(language);
  page += "\">\n<head>\n<meta charset=\"utf-8\">\n"
          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  appendHtmlText(page, title);
  page += "</title>\n<style>\n";
  page += kSiteStyle;
  page += "</style>\n</head>\n<body>\n<main>\n";
}

void appendSitePageStart(std::string& page, std::string_view title, SitePage current, std::string_view root,
                         SiteLanguage language) {
  appendPageStart(page, title, language);
  const SiteTexts& texts = siteTexts(language);
  page += "<nav class=\"site\">";
  // The page itself is marked as the page; a page within a part of the site
  // (a month's matches, a player) marks its part.
  const auto link = [&](std::string_view target, std::string_view text, SitePage itself, SitePage within) {
    page += "<a href=\"";
    page += root;
    page += target;
    page += current == itself ? "\" aria-current=\"page\">" : current == within ? "\" aria-current=\"true\">" : "\">";
    page += text;
    page += "</a>";
  };
  link(kIndexPageName, texts.navMatches, SitePage::index, SitePage::month);
  link(kRankingPageName, texts.navPlayers, SitePage::ranking, SitePage::player);
  link(kAwardsPageName, texts.navAwards, SitePage::awards, SitePage::awards);
  link(kMapsPageName, texts.navMaps, SitePage::maps, SitePage::maps);
  link(kRatingPageName, texts.navRating, SitePage::rating, SitePage::rating);
  page += "</nav>\n";
}

void appendMatchDate(std::string& page, std::string_view date, std::string_view start, std::uint64_t when,
                     const SiteTexts& texts) {
  if (when == 0) {
    appendHtmlText(page, date);
    return;
  }
  page += "<time datetime=\"";
  page.append(date.substr(6, 4)).append("-").append(date.substr(0, 2)).append("-").append(date.substr(3, 2));
  page += "T";
  page += start;
  page += "\">";
  // matchTimeKey read the date, so its fields are digits: the pattern writes them back.
  const auto number = [&](std::size_t at, std::size_t length) {
    int value = 0;
    for (const char c : date.substr(at, length)) value = value * 10 + (c - '0');
    return value;
  };
  page += dateText(texts.datePattern, number(6, 4), number(0, 2), number(3, 2));
  page += "</time>";
}

void appendFilled(std::string& page, std::string_view text, std::initializer_list<std::string_view> values) {
  page += fillText(text, values);
}

std::string groupedCount(std::int64_t count) {
  std::string text;
  appendGroupedCount(text, count);
  return text;
}

void appendFooter(std::string& page, const SiteTexts& texts) {
  page += "<footer>";
  page += texts.footerBuiltBy;
  page += " fragtally " FRAGTALLY_VERSION_TEXT "</footer>\n</main>\n";
}

void appendHtmlText(std::string& page, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '&': page += "&amp;"; break;
      case '<': page += "&lt;"; break;
      case '>': page += "&gt;"; break;
      case '"': page += "&quot;"; break;
      case '\'': page += "&#39;"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          page += "&#xFFFD;";
        } else {
          page += c;
        }
    }
  }
}

void appendGroupedCount(std::string& page, std::int64_t count) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, count).ptr;
  const auto length = static_cast<std::size_t>(end - digits);
  std::size_t at = 0;
  if (count < 0) page += digits[at++];
  for (const std::size_t first = at; at < length; ++at) {
    if (at > first && (length - at) % 3 == 0) page += "\u00A0";
    page += digits[at];
  }
}

void appendGameLength(std::string& page, std::int64_t signedSeconds) {
  if (signedSeconds < 0) page += '-';
  const std::uint64_t seconds = signedSeconds < 0 ? 0 - static_cast<std::uint64_t>(signedSeconds)
                                                  : static_cast<std::uint64_t>(signedSeconds);
  appendNumber(page, seconds / 3600);
  page += ':';
  appendNumber(page, seconds / 60 % 60, 2);
  page += ':';
  appendNumber(page, seconds % 60, 2);
}

void appendKillsPerDeath(std::string& page, std::int64_t kills, std::int64_t deaths, const SiteTexts& texts) {
  if (deaths <= 0 || kills < 0) {
    page += '-';
    return;
  }
  // Hundredths, rounded half up, in whole numbers: no floating point, no locale.
  const auto hundredths = (static_cast<std::uint64_t>(kills) * 200 / static_cast<std::uint64_t>(deaths) + 1) / 2;
  appendNumber(page, hundredths / 100);
  page += texts.decimalMark;
  appendNumber(page, hundredths % 100, 2);
}

}  // namespace fragtally

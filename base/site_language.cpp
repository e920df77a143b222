#include "base/site_language.h"

#include <cstddef>
#include <iterator>

namespace fragtally {
namespace {

struct LanguageFacts {
  SiteLanguage language;
  std::string_view code;
  std::string_view htmlTag;
  std::string_view name;
};

// One row per language, in the order of the enumeration.
constexpr LanguageFacts kLanguages[] = {
    {SiteLanguage::Russian, "ru", "ru", "Русский"},
    {SiteLanguage::English, "en", "en", "English"},
};

constexpr SiteLanguage kLanguageValues[] = {SiteLanguage::Russian, SiteLanguage::English};
static_assert(std::size(kLanguages) == std::size(kLanguageValues));

// factsOf reads a language's row by its value, so the rows must keep the order.
constexpr bool rowsInOrder() {
  for (std::size_t i = 0; i < std::size(kLanguages); ++i) {
    if (kLanguages[i].language != kLanguageValues[i] || static_cast<std::size_t>(kLanguageValues[i]) != i) return false;
  }
  return true;
}
static_assert(rowsInOrder());

const LanguageFacts& factsOf(SiteLanguage language) { return kLanguages[static_cast<int>(language)]; }

}  // namespace

std::span<const SiteLanguage> siteLanguages() { return kLanguageValues; }

std::optional<SiteLanguage> parseSiteLanguage(std::string_view code) {
  for (const LanguageFacts& facts : kLanguages) {
    if (facts.code == code) return facts.language;
  }
  return std::nullopt;
}

std::string_view siteLanguageCode(SiteLanguage language) { return factsOf(language).code; }

std::string_view htmlLanguageTag(SiteLanguage language) { return factsOf(language).htmlTag; }

std::string_view siteLanguageName(SiteLanguage language) { return factsOf(language).name; }

}  // namespace fragtally

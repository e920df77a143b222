#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace fragtally {

/// The language a site is written in. Russian is the default: the match report
/// of the fixed format is Russian, and a Russian site shows it as it is. Any
/// other language gets its own text tables (base/site_texts.h for the site's
/// pages, report/report_texts.h for the match page), so a new language is a
/// new value here and a new instance of each table.
enum class SiteLanguage { Russian, English };

/// Every language, in the order of the enumeration (for tests and listings).
std::span<const SiteLanguage> siteLanguages();

/// The language of a code as the command line and the site's records write it
/// ("ru", "en", compared whole and case-sensitively); nothing for any other
/// text.
std::optional<SiteLanguage> parseSiteLanguage(std::string_view code);

/// The code of a language: what parseSiteLanguage reads back, as a record or
/// a cache of the site keeps it ("ru", "en").
std::string_view siteLanguageCode(SiteLanguage language);

/// The value of a page's `lang` attribute (a BCP 47 tag: "ru", "en").
std::string_view htmlLanguageTag(SiteLanguage language);

/// The language's name in itself, UTF-8 ("Русский", "English"), as a link
/// to the other language's pages shows it.
std::string_view siteLanguageName(SiteLanguage language);

}  // namespace fragtally

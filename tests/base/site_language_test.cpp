#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/site_language.h"
#include "base/site_texts.h"
#include "base/utf8.h"

namespace fragtally {
namespace {

TEST(SiteLanguageTest, ReadsTheTwoCodesAndNothingElse) {
  EXPECT_EQ(parseSiteLanguage("ru"), SiteLanguage::Russian);
  EXPECT_EQ(parseSiteLanguage("en"), SiteLanguage::English);
  for (const char* other : {"", "RU", "En", "en-US", "en_GB", " en", "en ", "eng", "english", "e", "de"}) {
    EXPECT_EQ(parseSiteLanguage(other), std::nullopt) << other;
  }
  EXPECT_EQ(parseSiteLanguage(std::string_view("en\0", 3)), std::nullopt);
}

TEST(SiteLanguageTest, EveryLanguageReadsBackFromItsCodeAndHasItsTagAndName) {
  ASSERT_EQ(siteLanguages().size(), 2u);
  std::set<std::string_view> codes;
  for (const SiteLanguage language : siteLanguages()) {
    EXPECT_EQ(parseSiteLanguage(siteLanguageCode(language)), language);
    codes.insert(siteLanguageCode(language));
    EXPECT_FALSE(htmlLanguageTag(language).empty());
    EXPECT_TRUE(isUtf8(siteLanguageName(language)));
  }
  EXPECT_EQ(codes.size(), siteLanguages().size());
  EXPECT_EQ(htmlLanguageTag(SiteLanguage::Russian), "ru");
  EXPECT_EQ(htmlLanguageTag(SiteLanguage::English), "en");
  EXPECT_EQ(siteLanguageName(SiteLanguage::Russian), "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9");
  EXPECT_EQ(siteLanguageName(SiteLanguage::English), "English");
}

// A page writes every text of the table unescaped: each must be there in every
// language, UTF-8, and free of markup characters.
TEST(SiteTextsTest, EveryLanguageHasEveryTextAsPlainUtf8) {
  for (const SiteLanguage language : siteLanguages()) {
    const SiteTexts& texts = siteTexts(language);
    for (const auto member : siteTextMembers()) {
      const std::string_view text = texts.*member;
      EXPECT_FALSE(text.empty()) << siteLanguageCode(language);
      EXPECT_TRUE(isUtf8(text)) << text;
      EXPECT_EQ(text.find_first_of("&<>\"'"), std::string_view::npos) << text;
    }
  }
  // The HTML members: there in every language, with their markup.
  for (const SiteLanguage language : siteLanguages()) {
    for (const auto member : siteHtmlTextMembers()) {
      const std::string_view html = siteTexts(language).*member;
      EXPECT_TRUE(html.starts_with("<section id=\"")) << siteLanguageCode(language);
      EXPECT_TRUE(isUtf8(html));
    }
  }
  // Spot checks that each language has its own table, as the index shows it.
  EXPECT_EQ(siteTexts(SiteLanguage::Russian).matchesHeading, "\xD0\x9C\xD0\xB0\xD1\x82\xD1\x87\xD0\xB8");  // Матчи
  EXPECT_EQ(siteTexts(SiteLanguage::English).matchesHeading, "Matches");
  EXPECT_EQ(siteTexts(SiteLanguage::Russian).decimalMark, ",");
  EXPECT_EQ(siteTexts(SiteLanguage::English).decimalMark, ".");
}

TEST(SiteTextsTest, CountedNounsTakeTheFormOfTheirCount) {
  const auto russian = [](std::int64_t count) {
    return countedNoun(SiteLanguage::Russian, count, "one", "few", "many");
  };
  for (const std::int64_t count : {1, 21, 101, 1001, -1}) EXPECT_EQ(russian(count), "one") << count;
  for (const std::int64_t count : {2, 3, 4, 22, 34, 102}) EXPECT_EQ(russian(count), "few") << count;
  for (const std::int64_t count : {0, 5, 11, 12, 14, 20, 111, 112, 1000}) EXPECT_EQ(russian(count), "many") << count;
  EXPECT_EQ(countedNoun(SiteLanguage::English, 1, "kill", "kills", "kills!"), "kill");
  for (const std::int64_t count : {0, 2, 21}) {
    EXPECT_EQ(countedNoun(SiteLanguage::English, count, "kill", "kills", "kills!"), "kills!") << count;
  }
}

// The holes of a text take their values in order; a hole with no value left
// goes, and a value is never read as a pattern itself.
TEST(SiteTextsTest, FillsTheHolesOfATextInOrder) {
  EXPECT_EQ(fillText("Played fewer than {} matches.", {"3"}), "Played fewer than 3 matches.");
  EXPECT_EQ(fillText("{} and {}", {"a", "b"}), "a and b");
  EXPECT_EQ(fillText("{}{}", {"{}", "x"}), "{}x");
  EXPECT_EQ(fillText("no holes", {"x"}), "no holes");
  EXPECT_EQ(fillText("{} and {}", {"a"}), "a and ");
  EXPECT_EQ(fillText("", {}), "");
}

TEST(SiteTextsTest, WritesDatesAndMonthsAsEachLanguageDoes) {
  const SiteTexts& russian = siteTexts(SiteLanguage::Russian);
  const SiteTexts& english = siteTexts(SiteLanguage::English);
  EXPECT_EQ(dateText(russian.datePattern, 2026, 12, 8), "08.12.2026");
  EXPECT_EQ(dateText(english.datePattern, 2026, 12, 8), "2026-12-08");
  EXPECT_EQ(dateText(russian.weekFirstDayPattern, 2026, 1, 5), "05.01");
  EXPECT_EQ(dateText("Y-M-D", 987, 1, 2), "0987-01-02") << "fixed widths";
  EXPECT_EQ(dateText("Y", 12345, 1, 1), "12345") << "never cut";
  EXPECT_EQ(monthName(english, 1), "January");
  EXPECT_EQ(monthName(english, 12), "December");
  EXPECT_EQ(monthName(russian, 5), "\xD0\x9C\xD0\xB0\xD0\xB9");  // Май
}

}  // namespace
}  // namespace fragtally

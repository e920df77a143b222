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

}  // namespace
}  // namespace fragtally

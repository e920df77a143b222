#include <gtest/gtest.h>

#include "report/cp1251.h"
#include "report/page_text.h"
#include "report/report_lines.h"

namespace fragtally {
namespace {

std::string pageText(std::string_view text) {
  std::string page;
  appendPageText(page, text);
  return page;
}

TEST(PageTextTest, MarkupCharactersBecomeEntitiesAndNothingElseChanges) {
  EXPECT_EQ(pageText("<script>alert(1)</script>"), "&lt;script&gt;alert(1)&lt;/script&gt;");
  EXPECT_EQ(pageText("Salt&Pepper \"Q\" a/b\\c ..'"), "Salt&amp;Pepper &quot;Q&quot; a/b\\c ..'");
  EXPECT_EQ(pageText(""), "");
}

TEST(PageTextTest, Utf8BecomesWindows1251OrCharacterReferences) {
  EXPECT_EQ(pageText("\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F"), "\xC2\xE0\xF1\xFF");  // Вася
  EXPECT_EQ(pageText("\xD0\x81\xD1\x91\xE2\x84\x96"), "\xA8\xB8\xB9");           // Ёё№
  EXPECT_EQ(pageText("Ken\xE6\x97\xA5"), "Ken&#26085;");                          // 日
  EXPECT_EQ(pageText("\xF0\x9F\x98\x80<"), "&#128512;&lt;");                      // an emoji
  EXPECT_EQ(pageText("\xC2\x98"), "&#152;");  // the one byte value the code page leaves empty
}

TEST(PageTextTest, TextsThatAreNotValidUtf8KeepTheirBytes) {
  EXPECT_EQ(pageText("\xCF\xE5\xF2\xFF"), "\xCF\xE5\xF2\xFF");  // Петя in Windows-1251
  EXPECT_EQ(pageText("\xC0\xAF&"), "\xC0\xAF&amp;");            // an overlong '/'
  EXPECT_EQ(pageText("\xED\xA0\x80"), "\xED\xA0\x80");          // a surrogate
  EXPECT_EQ(pageText("\xF4\x90\x80\x80"), "\xF4\x90\x80\x80");  // above U+10FFFF
  EXPECT_EQ(pageText("\xD0\x92\xD0"), "\xD0\x92\xD0");          // cut in the middle
}

TEST(PageTextTest, FixedTextsAreWindows1251) {
  EXPECT_EQ("Дата"_cp1251, "\xC4\xE0\xF2\xE0");
  EXPECT_EQ("№ ИТОГО"_cp1251, "\xB9 \xC8\xD2\xCE\xC3\xCE");
}

// The site's UTF-8 pages: the same reading of a log text, then markup
// characters, quotes of either kind and control characters made harmless.
TEST(PageTextTest, Utf8PagesEscapeLogTextsAndReadWindows1251AsItsLetters) {
  const auto utf8Page = [](std::string_view text) {
    std::string page = "x";
    appendUtf8PageText(page, text);
    return page;
  };
  EXPECT_EQ(utf8Page("<script>alert('1')</script>"), "x&lt;script&gt;alert(&#39;1&#39;)&lt;/script&gt;");
  EXPECT_EQ(utf8Page("Salt&Pepper \"Q\""), "xSalt&amp;Pepper &quot;Q&quot;");
  EXPECT_EQ(utf8Page("Ken\xE6\x97\xA5"), "xKen\xE6\x97\xA5");                     // 日 stays UTF-8
  EXPECT_EQ(utf8Page("\xCF\xE5\xF2\xFF&"), "x\xD0\x9F\xD0\xB5\xD1\x82\xD1\x8F&amp;");  // Петя from Windows-1251
  EXPECT_EQ(utf8Page("a\x01" "b\tc\x7F"), "xa\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c\xEF\xBF\xBD");
  EXPECT_EQ(utf8Page(""), "x");
}

TEST(ReportRulesTest, CountsColoursAndDecimals) {
  EXPECT_EQ(decimalText(0), "0");
  EXPECT_EQ(decimalText(-3), "-3");
  EXPECT_EQ(decimalText(INT32_MIN), "-2147483648");
  EXPECT_EQ(countText(0), "-");
  EXPECT_EQ(countText(125), "125");
  EXPECT_EQ(teamColour("TERRORIST"), "\"#FF0000\"");
  EXPECT_EQ(teamColour("CT"), "\"#0000FF\"");
  for (const char* tag : {"MANIAC", "", "ct", "CT ", "terrorist"}) EXPECT_EQ(teamColour(tag), "\"#FF00FF\"") << tag;
}

// The JSON record reads log texts as the page does: UTF-8 when the whole text
// is valid UTF-8, else every byte as its Windows-1251 letter.
TEST(PageTextTest, LogTextsReadAsUtf8OrByteByByteAsWindows1251) {
  EXPECT_EQ(utf8FromLogText("Ann<&>\"1\""), "Ann<&>\"1\"");
  EXPECT_EQ(utf8FromLogText("\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F"), "\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F");  // Вася
  EXPECT_EQ(utf8FromLogText("\xC2\xE0\xF1\xFF"), "\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F");                  // Вася
  EXPECT_EQ(utf8FromLogText("\xA8\xB8\xB9\x88"), "\xD0\x81\xD1\x91\xE2\x84\x96\xE2\x82\xAC");          // Ёё№€
  // One invalid sequence makes the whole text Windows-1251, its UTF-8-looking part included.
  EXPECT_EQ(utf8FromLogText("\xD0\x92 \xFF"), "\xD0\xA0\xE2\x80\x99 \xD1\x8F");                        // Р’ я
  EXPECT_EQ(utf8FromLogText("\x98"), "\xC2\x98");  // the byte the code page leaves undefined
  EXPECT_EQ(utf8FromLogText(""), "");
}

}  // namespace
}  // namespace fragtally

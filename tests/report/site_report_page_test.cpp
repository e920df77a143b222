#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/log_reader.h"
#include "base/utf8.h"
#include "report/report_header.h"
#include "report/report_model.h"
#include "report/report_texts.h"
#include "report/site_report_page.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::sourcePath;

ReportModel modelOfLog(std::string_view log, const std::string& logName) {
  auto stats = std::make_unique<MatchStats>();
  MemorySource source(log);
  interpretLog(*stats, source);
  stats->setLogName(logName);
  return buildReportModel(*stats);
}

ReportModel goldenModel(const std::string& name) {
  const std::string log = readFile(sourcePath("tests/golden/" + name + "/input.log"));
  EXPECT_FALSE(log.empty()) << name;
  return modelOfLog(log, "C:\\Logs\\" + name + ".log");
}

// Whether `lines`, each ended by CR LF, follow one another somewhere in the page.
bool hasLines(const std::string& page, const std::vector<std::string>& lines) {
  std::string block;
  for (const std::string& line : lines) block += line + "\r\n";
  return page.find(block) != std::string::npos;
}

// The figures a reader sees, in page order: every run of digits and every
// "-" standing alone (a count of 0) in the text between the tags, from the
// first table on. Character references are left out: a name the Russian page
// writes as "&#26085;" is that character on the UTF-8 page.
std::vector<std::string> figuresOf(const std::string& page) {
  std::string text;
  bool inTag = false;
  for (std::size_t at = page.find("<table"); at < page.size(); ++at) {
    const char c = page[at];
    if (c == '<') inTag = true;
    if (!inTag && c == '&') {
      const std::size_t end = page.find(';', at);
      at = end == std::string::npos ? page.size() : end;
      text += ' ';
      continue;
    }
    text += inTag ? ' ' : c;
    if (c == '>') inTag = false;
  }
  std::vector<std::string> figures;
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const auto isBlank = [](char c) { return c == ' ' || c == '\r' || c == '\n'; };
  for (std::size_t at = 0; at < text.size();) {
    if (isDigit(text[at])) {
      const std::size_t from = at;
      while (at < text.size() && isDigit(text[at])) ++at;
      figures.push_back(text.substr(from, at - from));
    } else {
      if (text[at] == '-' && at > 0 && isBlank(text[at - 1]) && at + 1 < text.size() && isBlank(text[at + 1])) {
        figures.push_back("-");
      }
      ++at;
    }
  }
  return figures;
}

// Whether a code point of the Cyrillic blocks is anywhere in the UTF-8 text.
bool hasCyrillic(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(text, at, codePoint);
    if (length == 0) return true;  // not UTF-8 at all: counted against the page too
    if (codePoint >= 0x0400 && codePoint <= 0x052F) return true;
    at += length;
  }
  return false;
}

// The lines below are written by hand from the golden log's report and the
// English texts; only the words differ from the Russian report's lines.
TEST(EnglishReportTest, GoldenMatchHasItsEnglishCaptionsAndFigureRows) {
  const std::string page = englishReportPage(goldenModel("small_match"), {});
  EXPECT_TRUE(page.starts_with("<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<head>\r\n<meta charset=\"utf-8\">\r\n"));
  EXPECT_TRUE(hasLines(page, {"<title>Match statistics: de_inferno, 11/02/2019</title>"}));
  EXPECT_TRUE(hasLines(page, {" <p align=\"left\"><strong>Analysis of the file ...\"C:\\Logs\\small_match.log\"..."
                              "</strong></p>"}));
  EXPECT_TRUE(hasLines(page, {
                                 "   <CAPTION><strong>Match summary</strong></CAPTION>",
                                 "   <tr>",
                                 "     <th>Date</th>",
                                 "     <th>Map</th>",
                                 "     <th><font color=\"#0000FF\">CT wins</font></th>",
                                 "     <th><font color=\"#FF0000\">T wins</font></th>",
                                 "     <th>Game start</th>",
                                 "     <th>Game end</th>",
                                 "     <th><font color=\"#808000\">Game time</font></th>",
                                 "    </tr>",
                                 "    <tr align=\"center\">",
                                 "     <td>11/02/2019</td>",
                                 "     <td>de_inferno</strong></td>",
                                 "     <td><font color=\"#0000FF\">2</font></td>",
                                 "     <td><font color=\"#FF0000\">2</font></td>",
                                 "     <td>21:10:05</td>",
                                 "     <td>22:15:09</td>",
                                 "     <td><font color=\"#808000\">1:5:4</font></td>",
                             }));
  EXPECT_TRUE(hasLines(page, {
                                 "   <CAPTION><strong>Team figures</strong></CAPTION>",
                                 "   <tr align=\"center\">",
                                 "     <th><font color=\"#0000FF\"> Kills by counter-terrorists </font></th>",
                                 "     <td><strong><font color=\"#0000FF\"> 1 </font></strong></td>",
                                 "     <td><strong><font color=\"#FF0000\"> 4 </font></strong></td>",
                             }));
  EXPECT_TRUE(hasLines(page, {"   <CAPTION><strong>Who killed whom (all weapons)</strong></CAPTION>",
                              "   <tr align=\"center\">", "     <th><strong>Killer</strong></th>",
                              "     <th width=\"20\">#</th>"}));
  EXPECT_TRUE(hasLines(page, {"     <th align=\"center\"><font color=\"#F2665D\"> Kills </font></td>",
                              "     <th align=\"center\"><font color=\"#66F25D\"> Deaths </font></td>",
                              "     <th align=\"center\"><font color=\"#00FFFF\"> Easy prey </font></th>",
                              "     <th align=\"center\"><font color=\"#FF0000\"> Worst enemy </font></th>",
                              "     <th align=\"center\"><font color=\"#808000\"> Favourite weapon </font></th>"}));
  EXPECT_TRUE(hasLines(page, {
                                 "     <th COLSPAN=\"2\" align=\"center\"><font color=\"#00FF00\"> DEATHS </font></th>",
                                 "     <td><strong><font color=\"#00FF00\">2</font></strong></td>",
                                 "     <td><strong><font color=\"#00FF00\">2</font></strong></td>",
                                 "     <td><strong><font color=\"#00FF00\">1</font></strong></td>",
                                 "     <td><strong><font color=\"#00FF00\">2</font></strong></td>",
                                 "     <td><strong><font color=\"#00FF00\">3</font></strong></td>",
                             }));
  EXPECT_TRUE(hasLines(page, {"   <CAPTION><strong>Weapons used in the battle</strong></CAPTION>", "   <tr>",
                              "     <th><strong>Weapon</strong></th>",
                              "     <th><strong><font color=\"#FF0000\"> Dusk </font></strong></th>"}));
  EXPECT_TRUE(hasLines(page, {
                                 "     <td><strong> TOTAL </strong></td>",
                                 "     <td><strong> 3 </strong></td>",
                                 "     <td><strong> 3 </strong></td>",
                                 "     <td><strong> 2 </strong></td>",
                                 "     <td><strong> 2 </strong></td>",
                                 "     <td><strong> - </strong></td>",
                             }));
  EXPECT_TRUE(hasLines(page, {"     <td align=\"center\"><font color=\"#FF00FF\"><img src=\"galil.jpg\" border=\"0\" "
                              "width=\"128\"  height=\"32\" alt=\"galil\"></font></td>"}));
  EXPECT_TRUE(page.ends_with("</body></html>\r\n"));
}

// One golden case at a time: the English page shows every figure of the
// Russian report, in the same order, so no table, row or cell is lost or added.
class EnglishGoldenTest : public ::testing::TestWithParam<const char*> {};

TEST_P(EnglishGoldenTest, ShowsEveryFigureOfTheRussianReportInOrder) {
  const ReportModel model = goldenModel(GetParam());
  const std::vector<std::string> russian = figuresOf(buildReport(model));
  ASSERT_GT(russian.size(), 10u);
  EXPECT_EQ(figuresOf(englishReportPage(model, {})), russian);
  EXPECT_EQ(figuresOf(englishReportPage(model, {.linkToIndex = true})), russian);
}

TEST_P(EnglishGoldenTest, IsUtf8AndHoldsNoRussianText) {
  ReportModel model = goldenModel(GetParam());
  const std::string page = englishReportPage(model, {});
  EXPECT_TRUE(isUtf8(page));
  // The Cyrillic of the log's own names is the players'; without them, none is left.
  for (ReportPlayer& player : model.players) player.name = "P";
  EXPECT_FALSE(hasCyrillic(englishReportPage(model, {.linkToIndex = true})));
}

TEST_P(EnglishGoldenTest, RussianSitePageIsTheFixedReportWhateverTheOptions) {
  const ReportModel model = goldenModel(GetParam());
  const std::string expected = readFile(sourcePath("tests/golden/" + std::string(GetParam()) + "/expected.htm"));
  EXPECT_EQ(testing::firstDifference(expected, siteReportPage(SiteLanguage::Russian, model, {.linkToIndex = true})),
            "");
  EXPECT_EQ(siteReportPage(SiteLanguage::English, model, {}), englishReportPage(model, {}));
}

INSTANTIATE_TEST_SUITE_P(Cases, EnglishGoldenTest, ::testing::Values("no_kills", "small_match", "unknown_map_escaping"));

TEST(EnglishReportTest, LinksBackToTheIndexOnlyAsPartOfASite) {
  const ReportModel model = goldenModel("small_match");
  const std::string alone = englishReportPage(model, {});
  const std::string inSite = englishReportPage(model, {.linkToIndex = true});
  EXPECT_EQ(alone.find("<a href"), alone.find("<a href=\"mailto:"));
  EXPECT_TRUE(hasLines(inSite, {"<body bgcolor=\"#000000\" text=\"#FFFFFF\">",
                                " <nav><a href=\"index.htm\">&larr; All matches</a></nav>",
                                " <p align=\"left\"><strong>Analysis of the file ...\"C:\\Logs\\small_match.log\"..."
                                "</strong></p>"}));
}

// Names as the golden log writes them, in UTF-8, in Windows-1251 and with
// markup characters: the UTF-8 page shows each as its letters.
TEST(EnglishReportTest, LogTextsAreUtf8AndEscaped) {
  const std::string page = englishReportPage(goldenModel("unknown_map_escaping"), {});
  EXPECT_TRUE(hasLines(page, {"     <td> (unknown) </strong></td>"}));
  EXPECT_TRUE(hasLines(page, {"<title>Match statistics: (unknown), 07/09/2020</title>"}));
  EXPECT_NE(page.find("> Salt&amp;Pepper </font>"), std::string::npos);
  EXPECT_NE(page.find("> Tom&gt;Jerry </font>"), std::string::npos);
  EXPECT_NE(page.find("> Dr &quot;Q&quot; </font>"), std::string::npos);
  EXPECT_NE(page.find("> \xD0\x92\xD0\xB0\xD1\x81\xD1\x8F </font>"), std::string::npos);  // Вася, UTF-8 in the log
  EXPECT_NE(page.find("> \xD0\x9F\xD0\xB5\xD1\x82\xD1\x8F </font>"), std::string::npos);  // Петя, Windows-1251 in it
  EXPECT_NE(page.find("> Ken\xE6\x97\xA5 </font>"), std::string::npos);                    // 日, no reference
}

TEST(EnglishReportTest, HostileLogTextsAddNoMarkup) {
  const std::string log =
      "L 01/02/2021 - 10:00:00: Started map \"de_<b>x&y\" (CRC \"1\")\n"
      "L 01/02/2021 - 10:00:05: \"O'Neil\"&Co<2><STEAM_0:0:1><CT>\" killed \"Bad>Guy\x01<3><STEAM_0:0:2><TERRORIST>\""
      " with \"<svg onload=x>\"\n"
      "L 01/02/2021 - 10:10:00: Team \"CT\" triggered \"CTs_Win\" (CT \"1\") (T \"0\")\n";
  const std::string page = englishReportPage(modelOfLog(log, "C:\\<i>\\a\"b.log"), {.linkToIndex = true});
  EXPECT_NE(page.find("<title>Match statistics: de_&lt;b&gt;x&amp;y, 01/02/2021</title>"), std::string::npos);
  EXPECT_NE(page.find("<td>de_&lt;b&gt;x&amp;y</strong></td>"), std::string::npos);
  EXPECT_NE(page.find("...\"C:\\&lt;i&gt;\\a&quot;b.log\"..."), std::string::npos);
  EXPECT_NE(page.find("> O&#39;Neil&quot;&amp;Co </font>"), std::string::npos);
  EXPECT_NE(page.find("> Bad&gt;Guy\xEF\xBF\xBD </font>"), std::string::npos);
  EXPECT_NE(page.find("alt=\"&lt;svg onload=x&gt;\""), std::string::npos);
  for (const char* markup : {"<b>", "<i>", "<svg", "O'Neil", "\x01"}) EXPECT_EQ(page.find(markup), std::string::npos) << markup;
}

// A folder run tells a report found without its record by the log its header
// names: the English page names it as the fixed report does, in UTF-8.
TEST(EnglishReportTest, ItsHeaderNamesTheLogAsTheFixedReportsDoes) {
  testing::TempFolder folder;
  const std::string log = "C:\\Logs\\\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F & <co>.log";  // Вася, UTF-8
  const ReportModel model = goldenModel("unknown_map_escaping");
  ReportModel named = model;
  named.logName = log;
  testing::writeFile(folder / "en.htm", englishReportPage(named, {.linkToIndex = true}));
  testing::writeFile(folder / "ru.htm", siteReportPage(SiteLanguage::Russian, named, {}));
  testing::writeFile(folder / "other.htm", "<!DOCTYPE html>\r\n<html lang=\"en\">\r\n<p>no report</p>\r\n");
  EXPECT_EQ(readLogNameInHeader(folder / "en.htm"), logNameInHeader(log, PageEncoding::Utf8));
  EXPECT_EQ(logNameInHeader(log, PageEncoding::Utf8), "C:\\Logs\\\xD0\x92\xD0\xB0\xD1\x81\xD1\x8F &amp; &lt;co&gt;.log");
  EXPECT_EQ(readLogNameInHeader(folder / "ru.htm"), logNameInHeader(log));
  EXPECT_NE(logNameInHeader(log), logNameInHeader(log, PageEncoding::Utf8)) << "the fixed report is Windows-1251";
  EXPECT_EQ(readLogNameInHeader(folder / "other.htm"), std::nullopt);
}

// A table with an empty text would show an empty header: every text of every
// language is there, and the UTF-8 tables are UTF-8.
TEST(ReportTextsTest, EveryLanguageHasEveryText) {
  for (const SiteLanguage language : siteLanguages()) {
    const ReportTexts& texts = reportTexts(language);
    for (const auto member : reportTextMembers()) {
      const std::string_view text = texts.*member;
      EXPECT_FALSE(text.empty()) << siteLanguageCode(language);
      EXPECT_EQ(text.find_first_of("&<>\""), std::string_view::npos) << text;
      if (language != SiteLanguage::Russian) {
        EXPECT_TRUE(isUtf8(text)) << text;
        EXPECT_FALSE(hasCyrillic(text)) << text;
      }
    }
  }
}

}  // namespace
}  // namespace fragtally

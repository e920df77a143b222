#include <gtest/gtest.h>

#include <memory>

#include "analysis/analysis.h"
#include "analysis/log_reader.h"
#include "base/error.h"
#include "base/file.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;

std::unique_ptr<MatchStats> analysed(std::string_view log) {
  auto stats = std::make_unique<MatchStats>();
  MemorySource source(log);
  interpretLog(*stats, source);
  return stats;
}

// The page's lines without their CR LF.
std::vector<std::string> linesOf(const std::string& page) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t end; (end = page.find("\r\n", from)) != std::string::npos; from = end + 2) {
    lines.push_back(page.substr(from, end - from));
  }
  EXPECT_EQ(from, page.size()) << "the page must end with CR LF";
  return lines;
}

int countLines(const std::vector<std::string>& lines, std::string_view prefix) {
  int n = 0;
  for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0;
  return n;
}

constexpr std::string_view kStamp = "L 10/25/2003 - 10:00:00: ";

TEST(ReportTest, GameTimeHasNoLeadingZeros) {
  auto stats = analysed("L 10/25/2003 - 10:00:00: a\nL 10/25/2003 - 11:05:03: b\n");
  EXPECT_NE(buildReport(*stats).find("<td><font color=\"#808000\">1:5:3</font></td>\r\n"), std::string::npos);
  auto same = analysed("L 10/25/2003 - 10:00:00: a\n");
  EXPECT_NE(buildReport(*same).find("<td><font color=\"#808000\">0:0:0</font></td>\r\n"), std::string::npos);
}

TEST(ReportTest, EmptyLogFailsAtTheGameTimeAndWritesNothing) {
  TempFolder folder;
  testing::writeFile(folder / "result.htm", "older report");
  auto stats = analysed("");
  try {
    writeReport(*stats, utf8FromPath(folder / "result.htm"));
    FAIL();
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "'' is not a valid integer value");
  }
  EXPECT_EQ(readFile(folder / "result.htm"), "older report");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ReportTest, StoredFileIsWindows1251WithCrLfAfterEveryLine) {
  TempFolder folder;
  auto stats = analysed(std::string(kStamp) + "\"Ann<1><2><CT>\" killed \"Bob<3><4><TERRORIST>\" with \"AWP\"\r\n");
  writeReport(*stats, utf8FromPath(folder / "r.htm"));
  const std::string page = readFile(folder / "r.htm");
  ASSERT_GE(page.size(), 2u);
  EXPECT_EQ(page.substr(page.size() - 16), "</body></html>\r\n");
  EXPECT_NE(page.find("<th>\xC4\xE0\xF2\xE0</th>"), std::string::npos);  // Дата
  EXPECT_EQ(page.find('\n'), page.find("\r\n") + 1);
  EXPECT_NE(page.find("     <td align=\"center\"><font color=\"#FF00FF\"><img src=\"AWP.jpg\" border=\"0\" "
                      "width=\"128\"  height=\"32\" alt=\"AWP\"></font></td>\r\n"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(folder / "AWP.jpg"));
}

TEST(ReportTest, AnEmptyPlayerNameEndsEveryPlayerWalk) {
  MatchStats stats;
  stats.date = "10/25/2003";
  stats.startTime = stats.endTime = "10:00:00";
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "knife");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "knife");
  stats.registerKill("", "TERRORIST", "Cid", "CT", "usp");  // a record can hold one
  const std::string page = buildReport(stats);
  const auto lines = linesOf(page);
  // Ranked Ann, Bob, the empty name, Cid: the empty name ends every list.
  EXPECT_EQ(countLines(lines, "     <th align=\"center\" width=\"20\"><font color="), 2);
  EXPECT_EQ(countLines(lines, "     <th><strong><font color="), 2);
  EXPECT_EQ(countLines(lines, "     <td><strong><font color=\"#00FF00\">"), 2);
  EXPECT_EQ(page.find("Cid"), std::string::npos);
}

TEST(ReportTest, AnEmptyWeaponNameEndsTheRowsTotalsAndPictures) {
  TempFolder folder;
  MatchStats stats;
  stats.startTime = stats.endTime = "10:00:00";
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "knife");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "");
  stats.registerKill("Ann", "CT", "Bob", "TERRORIST", "awp");
  writeReport(stats, utf8FromPath(folder / "r.htm"));
  const auto lines = linesOf(readFile(folder / "r.htm"));
  // The knife's row, and Ann's favourite weapon.
  EXPECT_EQ(countLines(lines, "     <td align=\"center\"><font color=\"#FF00FF\"><img src=\"knife.jpg\""), 2);
  EXPECT_EQ(countLines(lines, "     <td align=\"center\"><font color=\"#FF00FF\"><img src=\"awp.jpg\""), 0);
  EXPECT_EQ(countLines(lines, "     <td><strong> 1 </strong></td>"), 1);  // the total counts knife only
  EXPECT_TRUE(std::filesystem::exists(folder / "knife.jpg"));
  EXPECT_FALSE(std::filesystem::exists(folder / "awp.jpg"));
}

// A crafted weapon name must not make the page load anything but a file beside
// it: the src gets every byte outside A-Z a-z 0-9 . _ - as %XX, the alt text
// stays the name as the other cells show it.
TEST(ReportTest, PictureReferencesStayInTheReportsFolder) {
  const std::string kill = std::string(kStamp) + "\"Ann<1><2><CT>\" killed \"Bob<3><4><TERRORIST>\" with ";
  auto stats = analysed(kill + "\"//host/x\"\n" + kill + "\"//host/x\"\n" + kill + "\"a&b c?\"\n" + kill +
                        "\"\xCD\xEE\xE6\"\n" + kill + "\"M4A1_x.y-z\"\n");
  const auto lines = linesOf(buildReport(*stats));
  const std::string cell = "     <td align=\"center\"><font color=\"#FF00FF\"><img src=\"";
  const std::string size = "\" border=\"0\" width=\"128\"  height=\"32\" alt=\"";
  // The row of the weapon and Ann's favourite-weapon cell.
  EXPECT_EQ(countLines(lines, cell + "%2F%2Fhost%2Fx.jpg" + size + "//host/x\"></font></td>"), 2);
  EXPECT_EQ(countLines(lines, cell + "a%26b%20c%3F.jpg" + size + "a&amp;b c?\"></font></td>"), 1);
  EXPECT_EQ(countLines(lines, cell + "%CD%EE%E6.jpg" + size + "\xCD\xEE\xE6\"></font></td>"), 1);
  EXPECT_EQ(countLines(lines, cell + "M4A1_x.y-z.jpg" + size + "M4A1_x.y-z\"></font></td>"), 1);
}

TEST(ReportTest, SixtyFourPlayersAndWeaponsAreAllShown) {
  std::string log;
  for (int i = 0; i < 64; ++i) {
    log += std::string(kStamp) + "\"p" + std::to_string(i) + "<1><2><CT>\" killed \"v<3><4><TERRORIST>\" with \"w" +
           std::to_string(i) + "\"\n";
  }
  auto stats = analysed(log);  // 65 names: the last player registered finds no slot
  const auto lines = linesOf(buildReport(*stats));
  EXPECT_EQ(countLines(lines, "     <th align=\"center\" width=\"20\"><font color="), 64);
  EXPECT_EQ(countLines(lines, "     <td align=\"center\"><font color=\"#FF00FF\"><img src=\"w"), 64 + 63);
  EXPECT_EQ(countLines(lines, "     <th><strong><font color="), 64);
}

}  // namespace
}  // namespace fragtally

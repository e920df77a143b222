// A catalogue of bad inputs and what each must give: a report, or the exact
// message with nothing written. Most go through the command line in-process;
// the cases about the record or the page alone go through the analysis.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/log_reader.h"
#include "base/error.h"
#include "base/file.h"
#include "tests/cli_run.h"
#include "report/weapon_pictures.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "tests/cli_process.h"
#include "tests/test_files.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace fragtally {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;
using Names = std::vector<std::string>;

constexpr std::string_view kStamp = "L 10/25/2003 - 21:14:02: ";
constexpr std::string_view kKill = R"("Alpha<12><1001><CT>" killed "Bravo<13><1002><TERRORIST>" with "awp")";

std::string line(std::string_view event) { return std::string(kStamp) + std::string(event) + "\r\n"; }

std::string kill(std::string_view killer, std::string_view victim, std::string_view weapon) {
  return line("\"" + std::string(killer) + "<1><STEAM_0:0:1><CT>\" killed \"" + std::string(victim) +
              "<2><STEAM_0:0:2><TERRORIST>\" with \"" + std::string(weapon) + "\"");
}

using testing::cli;
using testing::CliRun;

std::string text(const fs::path& path) { return utf8FromPath(path); }

// Names in a folder, sorted; a failed run must leave exactly what was there.
Names filesIn(const fs::path& folder) {
  Names names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.push_back(utf8FromPath(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The page for a log held in memory, or the message that ended the analysis.
struct PageOrMessage {
  std::string page;
  std::string message;
};

PageOrMessage analyse(std::string_view log, MatchStats& stats) {
  PageOrMessage result;
  try {
    MemorySource source(log);
    interpretLog(stats, source);
    result.page = buildReport(stats);
  } catch (const Error& error) {
    result.message = error.what();
  }
  return result;
}

PageOrMessage analyse(std::string_view log) {
  auto stats = std::make_unique<MatchStats>();
  return analyse(log, *stats);
}

std::size_t occurrences(std::string_view page, std::string_view needle) {
  std::size_t count = 0;
  for (std::size_t at = page.find(needle); at != std::string_view::npos; at = page.find(needle, at + 1)) ++count;
  return count;
}

// The cells of the page that the rules fix for a name, a time or a score.
std::string ctPlayerCell(std::string_view escapedName) {
  return "     <th><font color=\"#0000FF\"> " + std::string(escapedName) + " </font></th>\r\n";
}
std::string tPlayerCell(std::string_view escapedName) {
  return "     <th><font color=\"#FF0000\"> " + std::string(escapedName) + " </font></th>\r\n";
}
std::string plainCell(std::string_view value) { return "     <td>" + std::string(value) + "</td>\r\n"; }
std::string gameTimeCell(std::string_view value) {
  return "     <td><font color=\"#808000\">" + std::string(value) + "</font></td>\r\n";
}
std::string ctScoreCell(std::string_view value) {
  return "     <td><font color=\"#0000FF\">" + std::string(value) + "</font></td>\r\n";
}
std::string tScoreCell(std::string_view value) {
  return "     <td><font color=\"#FF0000\">" + std::string(value) + "</font></td>\r\n";
}

constexpr std::string_view kPageEnd = "</body></html>\r\n";

// --- Files that are no logs -------------------------------------------------

TEST(BadInputTest, AnEmptyLogEndsWithTheConversionErrorAndWritesNothing) {
  TempFolder folder;
  writeFile(folder / "empty.log", "");
  const CliRun run = cli({text(folder / "empty.log"), "-o", text(folder / "r.htm")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "'' is not a valid integer value.\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(filesIn(folder.path()), Names{"empty.log"});
}

// Random bytes behind a zero byte are never read: the lines before it, and the
// text before it on its own line, are the whole log.
TEST(BadInputTest, ABinaryFileIsReadUpToItsFirstZeroByte) {
  std::mt19937 random(20031025);
  std::string noise;
  for (int i = 0; i < 4096; ++i) noise += static_cast<char>(random() & 0xFF);
  noise += line("Started map \"after_zero\"") + kill("Late", "Later", "awp");

  const std::string log = "L 10/25/2003 - 21:13:45: Started map \"before\"\r\n"
                          "L 10/25/2003 - 21:15:00: \x01\x7f\xfe\xff binary " +
                          std::string(1, '\0') + noise;
  TempFolder folder;
  writeFile(folder / "binary.log", log);
  const CliRun run = cli({text(folder / "binary.log"), "-o", text(folder / "r.htm")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string page = readFile(folder / "r.htm");
  EXPECT_NE(page.find(plainCell("21:13:45")), std::string::npos);
  EXPECT_NE(page.find(plainCell("21:15:00")), std::string::npos);
  EXPECT_NE(page.find(gameTimeCell("0:1:15")), std::string::npos);
  EXPECT_NE(page.find("     <td>before</strong></td>\r\n"), std::string::npos);
  EXPECT_EQ(page.find("after_zero"), std::string::npos);
  EXPECT_EQ(page.find("Late"), std::string::npos);
  EXPECT_EQ(filesIn(folder.path()), (Names{"binary.log", "r.htm"}));  // no kill, so no picture
}

// Without a ": " the first line has an empty stamp, whose hours do not read.
TEST(BadInputTest, ABinaryFileWithoutAStampOnItsFirstLineEndsWithTheConversionError) {
  std::mt19937 random(1251);
  std::string bytes;
  while (bytes.size() < 8192) {
    const auto byte = static_cast<char>(random() & 0xFF);
    if (byte != '\0' && byte != ':') bytes += byte;
  }
  bytes += kill("Alpha", "Bravo", "awp");
  TempFolder folder;
  writeFile(folder / "binary.log", bytes);
  const CliRun run = cli({text(folder / "binary.log"), "-o", text(folder / "r.htm")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "'' is not a valid integer value.\n");
  EXPECT_EQ(filesIn(folder.path()), Names{"binary.log"});
}

// The kill's landmarks lie within the first 255 characters; the line reader's
// buffer has to grow far beyond its chunk for the rest.
TEST(BadInputTest, AFiftyMegabyteLineWithAGoodStampGivesAReport) {
  std::string log = std::string(kStamp) + std::string(kKill) + " ";
  log.append(50u * 1024 * 1024, 'z');
  TempFolder folder;
  writeFile(folder / "long.log", log);
  log.clear();
  log.shrink_to_fit();

  const CliRun run = cli({text(folder / "long.log"), "-o", text(folder / "r.htm")});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string page = readFile(folder / "r.htm");
  EXPECT_NE(page.find(plainCell("21:14:02")), std::string::npos);
  EXPECT_NE(page.find(gameTimeCell("0:0:0")), std::string::npos);
  EXPECT_NE(page.find(ctPlayerCell("Alpha")), std::string::npos);
  EXPECT_NE(page.find(tPlayerCell("Bravo")), std::string::npos);
  EXPECT_TRUE(page.ends_with(kPageEnd));
  EXPECT_EQ(filesIn(folder.path()), (Names{"awp.jpg", "long.log", "r.htm"}));
}

// --- Names ------------------------------------------------------------------

TEST(BadInputTest, LegacyAndInvalidUtf8NamesKeepTheirBytesEscaped) {
  const std::string cp1251Name = "\xC8\xE2\xE0\xED";  // a Windows-1251 name: no valid UTF-8
  const std::string brokenName = "\xFF\xFE&\xC0";     // no encoding at all
  const std::string utf8Name = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xE2\x98\x85";  // Cyrillic and a star
  const PageOrMessage result = analyse(kill(cp1251Name, brokenName, "awp") + kill(utf8Name, "x", "awp"));
  ASSERT_EQ(result.message, "");
  EXPECT_NE(result.page.find(ctPlayerCell(cp1251Name)), std::string::npos);
  EXPECT_NE(result.page.find(tPlayerCell("\xFF\xFE&amp;\xC0")), std::string::npos);
  // Valid UTF-8 turns into the page's code page, or a character reference.
  EXPECT_NE(result.page.find(ctPlayerCell("\xC8\xE2\xE0\xED &#9733;")), std::string::npos);
}

// Killers P0..P64 each kill the next player with their own weapon w0..w64. The
// 65th name of each table finds no slot: P64 and w64 are nowhere, P63's kill
// of P64 counts for no one, yet its weapon w63 took the last weapon slot.
TEST(BadInputTest, The65thPlayerAndWeaponAreNowhere) {
  std::string log;
  for (int i = 0; i <= 64; ++i) {
    log += kill("P" + std::to_string(i), "P" + std::to_string((i + 1) % 65), "w" + std::to_string(i));
  }
  auto stats = std::make_unique<MatchStats>();
  const PageOrMessage result = analyse(log, *stats);
  ASSERT_EQ(result.message, "");
  EXPECT_EQ(stats->players.lastIndex(), 63);
  EXPECT_EQ(stats->weapons.lastIndex(), 63);
  EXPECT_EQ(stats->ctKilledT, 65);  // the team counters see every kill line

  const std::string& page = result.page;
  EXPECT_EQ(page.find("P64"), std::string::npos);
  EXPECT_EQ(page.find("w64"), std::string::npos);
  EXPECT_EQ(occurrences(page, "<th align=\"center\" width=\"20\">"), 64u);  // columns of the kill table
  EXPECT_EQ(occurrences(page, "     <td><strong> - </strong></td>\r\n"), 1u);  // P63 kills nobody
  // 63 favourite weapons in the kill table, 64 weapon rows below.
  EXPECT_EQ(occurrences(page, "<img src=\""), 63u + 64u);
  EXPECT_TRUE(page.ends_with(kPageEnd));
}

// The name runs from the quote to the first "<": a "<" in a name ends it there,
// and a name that starts with one is empty, which is no kill.
TEST(BadInputTest, MarkupAndPathCharactersInNamesAreEscaped) {
  const std::string log = kill(R"(a&b"c/d\e..f)", R"(../..\x)", "knife") + kill("<script>x", "Bravo", "knife") +
                          kill("bo<b>ld", "Bravo", "knife");
  auto stats = std::make_unique<MatchStats>();
  const PageOrMessage result = analyse(log, *stats);
  ASSERT_EQ(result.message, "");
  EXPECT_EQ(stats->players.lastIndex(), 3);  // the two of the first line, "bo" and "Bravo"
  EXPECT_EQ(stats->players.nameAt(2), "bo");

  const std::string& page = result.page;
  EXPECT_NE(page.find(ctPlayerCell(R"(a&amp;b&quot;c/d\e..f)")), std::string::npos);
  EXPECT_NE(page.find(tPlayerCell(R"(../..\x)")), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(page.find(R"(b"c)"), std::string::npos);
}

// No weapon outside the carried pictures gets a file: "../x" leads nowhere, and
// "CON" (a device name on Windows) is never opened.
TEST(BadInputTest, WeaponNamesLikePathsGetNoPictureAndNoFileOutsideTheFolder) {
  TempFolder folder;
  fs::create_directory(folder / "out");
  writeFile(folder / "game.log", kill("Alpha", "Bravo", "../x") + kill("Alpha", "Bravo", "CON") +
                                     kill("Alpha", "Bravo", "..\\..\\y") + kill("Alpha", "Bravo", "awp"));
  const CliRun run = cli({text(folder / "game.log"), "-o", text(folder / "out" / "r.htm")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(filesIn(folder.path()), (Names{"game.log", "out"}));
  EXPECT_EQ(filesIn(folder / "out"), (Names{"awp.jpg", "r.htm"}));
  const std::string page = readFile(folder / "out" / "r.htm");
  // The references name files beside the report, whatever the log says.
  EXPECT_NE(page.find("<img src=\"..%2Fx.jpg\""), std::string::npos);
  EXPECT_NE(page.find("<img src=\"..%5C..%5Cy.jpg\""), std::string::npos);
  EXPECT_NE(page.find("<img src=\"CON.jpg\""), std::string::npos);
}

// The weapon is cut from a copy of 255 characters that starts at "with": its
// closing quote must stand within, so 248 characters is the longest name.
TEST(BadInputTest, AWeaponNameTooLongForTheCutMakesNoKill) {
  for (const std::size_t length : {std::size_t{248}, std::size_t{249}, std::size_t{255}}) {
    const std::string weapon(length, 'g');
    auto stats = std::make_unique<MatchStats>();
    const PageOrMessage result = analyse(kill("Alpha", "Bravo", weapon), *stats);
    ASSERT_EQ(result.message, "") << length;
    EXPECT_EQ(stats->ctKilledT, length == 248 ? 1 : 0) << length;
    EXPECT_EQ(result.page.find(weapon) != std::string::npos, length == 248) << length;
    EXPECT_TRUE(result.page.ends_with(kPageEnd)) << length;
  }
}

// --- Numbers ----------------------------------------------------------------

std::string roundEnd(std::string_view ct, std::string_view t) {
  return line("Team \"CT\" triggered \"CTs_Win\" (CT \"" + std::string(ct) + "\") (T \"" + std::string(t) + "\")");
}

TEST(BadInputTest, RoundEndScoresReadAsNumbersOrEndTheRun) {
  TempFolder folder;
  writeFile(folder / "huge.log", roundEnd("99999999999", "0"));
  const CliRun huge = cli({text(folder / "huge.log"), "-o", text(folder / "r.htm")});
  EXPECT_EQ(huge.status, 1);
  EXPECT_EQ(huge.err, "'99999999999' is not a valid integer value.\n");
  EXPECT_EQ(filesIn(folder.path()), Names{"huge.log"});

  const PageOrMessage signs = analyse(roundEnd("-3", "+2"));
  EXPECT_NE(signs.page.find(ctScoreCell("-3")), std::string::npos);
  EXPECT_NE(signs.page.find(tScoreCell("2")), std::string::npos);
  const PageOrMessage hex = analyse(roundEnd("$1F", "0x10"));
  EXPECT_NE(hex.page.find(ctScoreCell("31")), std::string::npos);
  EXPECT_NE(hex.page.find(tScoreCell("16")), std::string::npos);
  const PageOrMessage allBits = analyse(roundEnd(" $FFFFFFFF", "-2147483648"));
  EXPECT_NE(allBits.page.find(ctScoreCell("-1")), std::string::npos);
  EXPECT_NE(allBits.page.find(tScoreCell("-2147483648")), std::string::npos);

  EXPECT_EQ(analyse(roundEnd("2147483648", "0")).message, "'2147483648' is not a valid integer value");
  EXPECT_EQ(analyse(roundEnd("1", "0x")).message, "'0x' is not a valid integer value");
  EXPECT_EQ(analyse(roundEnd("1 ", "0")).message, "'1 ' is not a valid integer value");
}

// Hours, minutes and seconds are the two characters at 1, 4 and 7 of the time,
// each read as a whole number: a hex prefix, a sign or a leading blank is part
// of the number, anything else ends the run.
TEST(BadInputTest, TimeStampsWithPrefixesSignsAndBlanks) {
  const auto at = [](std::string_view time) { return "L 10/25/2003 - " + std::string(time) + ": tick\r\n"; };

  // "$A" is ten hours: later than nine, so it becomes the end.
  const PageOrMessage hexHour = analyse(at("09:00:00") + at("$A:05:00"));
  EXPECT_NE(hexHour.page.find(plainCell("$A:05:00")), std::string::npos);
  EXPECT_NE(hexHour.page.find(gameTimeCell("1:5:0")), std::string::npos);

  const PageOrMessage blankHour = analyse(at("08:00:00") + at(" 9:05:00"));
  EXPECT_NE(blankHour.page.find(plainCell(" 9:05:00")), std::string::npos);
  EXPECT_NE(blankHour.page.find(gameTimeCell("1:5:0")), std::string::npos);

  // +9 hours, -5 minutes, x1 second: 32101 seconds, 1:55:1 after 07:00:00.
  const PageOrMessage signs = analyse(at("07:00:00") + at("+9:-5:x1"));
  EXPECT_NE(signs.page.find(gameTimeCell("1:55:1")), std::string::npos);

  EXPECT_EQ(analyse(at("9:05:00")).message, "'9:' is not a valid integer value");
  EXPECT_EQ(analyse(at("1 :00:00")).message, "'1 ' is not a valid integer value");
  EXPECT_EQ(analyse(at("21:$G:00")).message, "'$G' is not a valid integer value");
  EXPECT_EQ(analyse(at("21:13:45") + "\r\n").message, "'' is not a valid integer value");  // an empty line

  // The whole message reaches the user with its full stop; nothing is written.
  TempFolder folder;
  writeFile(folder / "x.log", at("21:13:45") + at("2x:00:00"));
  const CliRun run = cli({text(folder / "x.log"), "-o", text(folder / "r.htm")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "'2x' is not a valid integer value.\n");
  EXPECT_EQ(filesIn(folder.path()), Names{"x.log"});
}

// --- Paths ------------------------------------------------------------------

TEST(BadInputTest, ALogThatIsAFolderOrMissingCannotBeOpened) {
  TempFolder folder;
  fs::create_directory(folder / "game.log");
  for (const fs::path& log : {folder / "game.log", folder / "missing.log"}) {
    const CliRun run = cli({text(log), "-o", text(folder / "r.htm")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Cannot open file " + text(log) + ".\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(filesIn(folder.path()), Names{"game.log"});
  }
}

TEST(BadInputTest, AReportPathInAMissingFolderOrThatIsAFolderCannotBeCreated) {
  TempFolder folder;
  writeFile(folder / "game.log", kill("Alpha", "Bravo", "awp"));
  fs::create_directory(folder / "taken.htm");
  writeFile(folder / "taken.htm" / "inside.txt", "keep");

  const fs::path missing = folder / "missing" / "r.htm";
  const CliRun run = cli({text(folder / "game.log"), "-o", text(missing)});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Cannot create file " + text(missing) + ".\n");
  EXPECT_EQ(run.out, "");
  // A folder, full or empty, is no report name: a usage error.
  for (const bool empty : {false, true}) {
    if (empty) fs::remove(folder / "taken.htm" / "inside.txt");
    const CliRun folderName = cli({text(folder / "game.log"), "-o", text(folder / "taken.htm")});
    EXPECT_EQ(folderName.status, 2);
    EXPECT_EQ(folderName.err.rfind("fragtally-cli: -o names a folder", 0), 0u) << folderName.err;
  }
  // No report, no picture, no temporary file, no folder made.
  EXPECT_EQ(filesIn(folder.path()), (Names{"game.log", "taken.htm"}));
  EXPECT_TRUE(fs::is_empty(folder / "taken.htm"));
}

TEST(BadInputTest, AnOlderReportSurvivesEveryFailure) {
  TempFolder folder;
  using namespace std::string_literals;
  const std::string older = "<html>an older report, \x00 with bytes \xFF of every kind</html>\r\n"s;
  writeFile(folder / "r.htm", older);
  writeFile(folder / "bad.log", line("fine") + roundEnd("CT", "0"));
  writeFile(folder / "empty.log", "");

  for (const char* log : {"bad.log", "empty.log", "missing.log"}) {
    const CliRun run = cli({text(folder / log), "-o", text(folder / "r.htm")});
    EXPECT_EQ(run.status, 1) << log;
    EXPECT_EQ(readFile(folder / "r.htm"), older) << log;
    EXPECT_EQ(filesIn(folder.path()), (Names{"bad.log", "empty.log", "r.htm"})) << log;
  }
}

#ifndef _WIN32
// The file-size limit makes the store itself fail part-way: the page is written
// up to the limit, then refused. The older report must stay byte for byte.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a refused write fails instead of ending the process
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(BadInputTest, AnOlderReportSurvivesAStoreThatFailsPartWay) {
  TempFolder folder;
  const std::string older(1000, 'o');
  writeFile(folder / "r.htm", older);
  writeFile(folder / "game.log", kill("Alpha", "Bravo", "awp"));

  CliRun run;
  {
    const FileSizeLimit limit(2048);  // far below any report
    run = cli({text(folder / "game.log"), "-o", text(folder / "r.htm")});
  }
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Cannot create file " + text(folder / "r.htm") + ".\n");
  EXPECT_EQ(readFile(folder / "r.htm"), older);
  EXPECT_EQ(filesIn(folder.path()), (Names{"game.log", "r.htm"}));  // no temporary file, no picture
}
#endif

// --- Two writers ------------------------------------------------------------

// Two real processes store the same report at once, again and again: the file
// is always one of the two whole reports, the picture is whole, and nothing
// else is left in the folder.
#ifndef _WIN32
// A script that reads the printed path gets nothing: that is no success, though
// the report itself was stored.
TEST(BadInputTest, AStandardOutputThatCannotBeWrittenEndsWithStatusOne) {
  TempFolder folder;
  writeFile(folder / "game.log", kill("Alpha", "Bravo", "awp"));
  testing::CliProcess full({text(folder / "game.log"), "-o", text(folder / "r.htm")}, "/dev/full");
  EXPECT_EQ(full.wait(), 1);
  EXPECT_TRUE(fs::exists(folder / "r.htm"));
}
#endif

TEST(BadInputTest, TwoProgramsWritingTheSameReportLeaveOneWholeReport) {
  TempFolder folder;
  fs::create_directory(folder / "logs");
  fs::create_directory(folder / "out");
  std::string first;
  std::string second;
  for (int i = 0; i < 40; ++i) {
    first += kill("First" + std::to_string(i % 7), "Victim" + std::to_string(i % 5), "awp");
    second += kill("Second" + std::to_string(i % 9), "Loser" + std::to_string(i % 3), "awp");
  }
  writeFile(folder / "logs" / "first.log", first);
  writeFile(folder / "logs" / "second.log", second);
  const std::vector<std::string> firstArgs = {text(folder / "logs" / "first.log"), "-o", text(folder / "out" / "r.htm")};
  const std::vector<std::string> secondArgs = {text(folder / "logs" / "second.log"), "-o", text(folder / "out" / "r.htm")};

  // Each report on its own, for comparison.
  ASSERT_EQ(testing::runCliProcess(firstArgs), 0);
  const std::string firstReport = readFile(folder / "out" / "r.htm");
  ASSERT_EQ(testing::runCliProcess(secondArgs), 0);
  const std::string secondReport = readFile(folder / "out" / "r.htm");
  ASSERT_NE(firstReport, secondReport);
  ASSERT_TRUE(firstReport.ends_with(kPageEnd));

  const WeaponPicture* awp = findWeaponPicture("awp");
  ASSERT_NE(awp, nullptr);
  const std::string picture(reinterpret_cast<const char*>(awp->bytes.data()), awp->bytes.size());

  for (int round = 0; round < 20; ++round) {
    const bool firstStarts = round % 2 == 0;
    testing::CliProcess a(firstStarts ? firstArgs : secondArgs);
    testing::CliProcess b(firstStarts ? secondArgs : firstArgs);
    EXPECT_EQ(a.wait(), 0) << "round " << round;
    EXPECT_EQ(b.wait(), 0) << "round " << round;
    const std::string report = readFile(folder / "out" / "r.htm");
    EXPECT_TRUE(report == firstReport || report == secondReport) << "round " << round << ": a mixed report";
    EXPECT_EQ(readFile(folder / "out" / "awp.jpg"), picture) << "round " << round;
    EXPECT_EQ(filesIn(folder / "out"), (Names{"awp.jpg", "r.htm"})) << "round " << round;
  }
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/output_names.h"
#include "base/utf8.h"
#include "batch/pages_language.h"
#include "tests/cli_run.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;
namespace fs = std::filesystem;

std::string path(const fs::path& p) { return utf8FromPath(p); }

/// The first Cyrillic letter of UTF-8 text with some text before it, or "":
/// U+0400 to U+04FF are the characters whose lead byte is D0 to D3.
std::string firstCyrillic(const std::string& text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte >= 0xD0 && byte <= 0xD3) return text.substr(at > 60 ? at - 60 : 0, 90);
  }
  return "";
}

/// Every page of the folder (".htm", the players' too), by its path in it.
std::map<std::string, std::string> pagesIn(const fs::path& folder) {
  std::map<std::string, std::string> pages;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == kReportExtension) {
      pages[entry.path().lexically_relative(folder).generic_string()] = readFile(entry.path());
    }
  }
  return pages;
}

// The sample logs with every byte beyond ASCII made an "x": the names they
// hold in Russian letters are the logs' own text, which a page shows as it is,
// so without them any Russian letter left is the program's.
TEST(SiteLanguageRunTest, AnEnglishSiteOfTheSampleLogsHasNoRussianLeft) {
  TempFolder top;
  std::size_t logs = 0;
  for (const auto& entry : fs::directory_iterator(testing::sourcePath("examples/logs"))) {
    ++logs;
    std::string log = readFile(entry.path());
    for (char& c : log) {
      if (static_cast<unsigned char>(c) >= 0x80) c = 'x';
    }
    testing::writeFile(top.path() / entry.path().filename(), log);
  }
  const fs::path site = top / "site";
  const testing::CliRun run = testing::cli({path(top.path()), "-d", path(site), "--lang", "en"});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto pages = pagesIn(site);
  std::size_t matchPages = 0;
  for (const auto& [name, page] : pages) {
    EXPECT_EQ(firstCyrillic(page), "") << name;
    EXPECT_TRUE(isUtf8(page)) << name;
    EXPECT_NE(page.find("<html lang=\"en\">"), std::string::npos) << name;
    if (page.find("Analysis of the file") != std::string::npos) {
      ++matchPages;
      EXPECT_NE(page.find("<a href=\"index.htm\">"), std::string::npos) << name << " links back to the index";
    }
  }
  EXPECT_EQ(matchPages, logs) << "a page per sample log";
  for (const char* page : {"index.htm", "rating.htm", "awards.htm"}) EXPECT_TRUE(pages.contains(page)) << page;
  EXPECT_EQ(readPagesLanguage(site), SiteLanguage::English);
  EXPECT_EQ(readFile(site / kPagesLanguageName), "en\n");
}

// Russian, then English given one log only, then English again, then Russian:
// a change of language redoes every match page of the folder, the one of the
// log not given too; the same language leaves every file as it is; and the
// Russian pages come back byte for byte.
TEST(SiteLanguageRunTest, SwitchingTheLanguageRedoesEveryPageAndKeepingItRewritesNothing) {
  TempFolder top;
  const fs::path logs = top / "logs";
  fs::create_directories(logs);
  for (const char* name : {"L1207001.log", "L1208001.log"}) {
    testing::writeFile(logs / name, readFile(testing::sourcePath(std::string("examples/logs/") + name)));
  }
  const fs::path site = top / "site";
  const auto runWith = [&](const std::vector<std::string>& extra, const fs::path& given) {
    std::vector<std::string> args{path(given), "-d", path(site)};
    args.insert(args.end(), extra.begin(), extra.end());
    return testing::cli(args);
  };
  testing::CliRun russian = runWith({}, logs);
  ASSERT_EQ(russian.status, 0) << russian.err;
  const auto russianPages = pagesIn(site);
  EXPECT_FALSE(fs::exists(site / kPagesLanguageName)) << "a Russian folder looks as it always did";
  EXPECT_EQ(readPagesLanguage(site), SiteLanguage::Russian);

  const testing::CliRun english = runWith({"--lang", "en"}, logs / "L1207001.log");
  ASSERT_EQ(english.status, 0) << english.err;
  EXPECT_NE(english.err.find("2 logs: 2 written, 0 up to date, 0 failed"), std::string::npos) << english.err;
  for (const char* page : {"L1207001.htm", "L1208001.htm", "index.htm", "rating.htm", "awards.htm"}) {
    EXPECT_NE(readFile(site / page).find("<html lang=\"en\">"), std::string::npos) << page;
  }
  const auto englishPages = pagesIn(site);
  ASSERT_EQ(englishPages.size(), russianPages.size());

  // The same language again: nothing is up to be redone, and no page changes.
  const auto written = fs::last_write_time(site / "L1208001.htm");
  const testing::CliRun again = runWith({"--lang", "en"}, logs);
  EXPECT_NE(again.err.find("2 logs: 0 written, 2 up to date, 0 failed"), std::string::npos) << again.err;
  EXPECT_EQ(fs::last_write_time(site / "L1208001.htm"), written);
  EXPECT_EQ(pagesIn(site), englishPages);

  // An English page whose record is gone is still known as its log's: the
  // log keeps its name rather than taking "-2".
  fs::remove(site / "L1208001.json");
  const testing::CliRun withoutRecord = runWith({"--lang", "en", "--force"}, logs / "L1208001.log");
  EXPECT_EQ(withoutRecord.status, 0) << withoutRecord.err;
  EXPECT_FALSE(fs::exists(site / "L1208001-2.htm"));
  EXPECT_TRUE(fs::exists(site / "L1208001.json"));

  russian = runWith({"--lang", "ru"}, logs / "L1208001.log");
  EXPECT_NE(russian.err.find("2 logs: 2 written, 0 up to date, 0 failed"), std::string::npos) << russian.err;
  EXPECT_EQ(pagesIn(site), russianPages);
  EXPECT_EQ(readPagesLanguage(site), SiteLanguage::Russian);
}

TEST(SiteLanguageRunTest, AStampThatNamesNoLanguageRedoesThePages) {
  TempFolder folder;
  EXPECT_EQ(readPagesLanguage(folder.path()), SiteLanguage::Russian) << "no stamp: the pages of old";
  for (const char* text : {"", "en", "de\n", "en\nen\n", "english\n"}) {
    testing::writeFile(folder / kPagesLanguageName, text);
    EXPECT_EQ(readPagesLanguage(folder.path()), std::nullopt) << text;
  }
  ASSERT_TRUE(storePagesLanguage(folder.path(), SiteLanguage::English));
  EXPECT_EQ(readPagesLanguage(folder.path()), SiteLanguage::English);
}

}  // namespace
}  // namespace fragtally

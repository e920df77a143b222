// One file has one path: however a log is spelled, linked to or run, its
// report and record name it so, and a later run finds them its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file.h"
#include "base/resolved_path.h"
#include "base/site_page_names.h"
#include "tests/cli_run.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::InFolder;
using testing::readFile;
using testing::TempFolder;
namespace fs = std::filesystem;

std::string path(const fs::path& p) { return utf8FromPath(p); }

void writeLog(const fs::path& file, const std::string& killer) {
  fs::create_directories(file.parent_path());
  testing::writeFile(file, testing::oneKillLog(killer));
}

// The names of the reports in a folder, in name order.
std::vector<std::string> reportsIn(const fs::path& folder) {
  std::vector<std::string> reports;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = path(entry.path().filename());
    const bool sitePage = name == "index.htm" || name == "rating.htm" || name == "awards.htm" ||
                          name == "maps.htm" || isSitePageName(name);
    if (entry.path().extension() == ".htm" && !sitePage) reports.push_back(name);
  }
  std::sort(reports.begin(), reports.end());
  return reports;
}

bool shows(const fs::path& report, const std::string& killer) {
  return readFile(report).find(" " + killer + " ") != std::string::npos;
}

std::string lastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of('\n');
  return text.substr(text.rfind('\n', end) + 1, end - text.rfind('\n', end));
}

// The single-log form with its record and the folder run give one file the
// same path, so a folder run over a report the single form wrote finds it its
// own, whichever spelling each run was given.
TEST(LogPathTest, EverySpellingOfALogGetsOneReportOverTwoRuns) {
  const std::vector<std::string> spellings = {"a.log", "./a.log", "x/../a.log"};
  for (const std::string& first : spellings) {
    for (const std::string& second : spellings) {
      TempFolder top;
      writeLog(top / "a.log", "Alpha");
      fs::create_directories(top / "x");
      fs::create_directories(top / "out");
      InFolder inside(top.path());
      const testing::CliRun single = testing::cli({first, "-o", path(top / "out" / "a.htm"), "--json"});
      ASSERT_EQ(single.status, 0) << single.err;
      const testing::CliRun folder = testing::cli({second, "-d", path(top / "out")});
      EXPECT_EQ(folder.status, 0) << folder.err;
      EXPECT_EQ(lastLine(folder.err), "1 log: 0 written, 1 up to date, 0 failed") << first << " then " << second;
      EXPECT_EQ(reportsIn(top / "out"), std::vector<std::string>{"a.htm"}) << first << " then " << second;

      const testing::CliRun again = testing::cli({first, "-d", path(top / "out"), "--force"});
      EXPECT_EQ(again.out, path(top / "out" / "a.htm") + "\n") << second << " then " << first;
      EXPECT_EQ(reportsIn(top / "out"), std::vector<std::string>{"a.htm"}) << second << " then " << first;
      EXPECT_NE(readFile(top / "out" / "a.htm").find("\"" + path(top / "a.log") + "\""), std::string::npos);
    }
  }
}

// Logs named like the site's archive pages get reports of other names, kept
// from run to run: the pages never replace a report, nor a rebuild remove one.
TEST(LogPathTest, ALogNamedLikeASitePageGetsAnotherName) {
  TempFolder top;
  writeLog(top / "logs" / "ranking.log", "Ranked");
  writeLog(top / "logs" / "ranking-p2.log", "Paged");
  writeLog(top / "logs" / "matches-2026-12.log", "Monthly");
  writeLog(top / "logs" / "matches-2026.log", "Yearly");
  const std::vector<std::string> expected = {"matches-2026-12-2.htm", "matches-2026.htm", "ranking-2.htm",
                                             "ranking-p2-2.htm"};
  for (int run = 0; run < 2; ++run) {
    const testing::CliRun folder = testing::cli({path(top / "logs"), "-d", path(top / "out")});
    ASSERT_EQ(folder.status, 0) << folder.err;
    EXPECT_EQ(reportsIn(top / "out"), expected) << "run " << run;
    EXPECT_TRUE(shows(top / "out" / "ranking-2.htm", "Ranked"));
    EXPECT_TRUE(shows(top / "out" / "matches-2026-12-2.htm", "Monthly"));
    // The site's own pages under their names, linking every report.
    const std::string month = readFile(top / "out" / "matches-2026-12.htm");
    for (const std::string& report : expected) EXPECT_NE(month.find("href=\"" + report + "\""), std::string::npos);
    EXPECT_NE(readFile(top / "out" / "ranking.htm").find("<section id=\"ranking\">"), std::string::npos);
  }
}

#ifndef _WIN32

std::size_t occurrences(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
  return count;
}

// A folder run resolves thousands of logs' paths with one look at each
// folder: every kind of path must still come out as resolvedPath gives it.
TEST(LogPathTest, TheResolverOfManyPathsGivesWhatResolvedPathGives) {
  TempFolder top;
  writeLog(top / "real" / "a.log", "Real");
  writeLog(top / "real" / "b.log", "B");
  writeLog(top / "other" / "c.log", "C");
  fs::create_directories(top / "real" / "inner");
  fs::create_directory_symlink(top / "real", top / "linked");
  fs::create_symlink(top / "other" / "c.log", top / "real" / "c-link.log");
  fs::create_directory_symlink(top / "real" / "inner", top / "z");
  InFolder inside(top.path());
  PathResolver resolver;
  for (const std::string& given : std::vector<std::string>{"real/a.log", "linked/a.log", "linked/b.log", "real/c-link.log", "linked/c-link.log",
                                  "z/../a.log", "nonexist/../a.log", "real/missing.log", "real/.", "real/..",
                                  "real/inner", path(top / "linked" / "b.log")}) {
    std::optional<FileLook> look;
    const std::string resolved = resolver.resolve(given, &look);
    EXPECT_EQ(resolved, resolvedPath(given)) << given;
    // A file that is no link is looked at once: that look is its own.
    if (look) {
      EXPECT_EQ(*look, lookAtFile(pathFromUtf8(resolved))) << given;
    }
  }
  std::optional<FileLook> look;
  resolver.resolve("linked/b.log", &look);
  ASSERT_TRUE(look);
  EXPECT_TRUE(look->regular);
  EXPECT_EQ(look->bytes, readFile(top / "real" / "b.log").size());
  look.reset();
  resolver.resolve("real/c-link.log", &look);
  EXPECT_FALSE(look);  // what a link leads to is looked at apart
  EXPECT_EQ(resolver.resolve("linked/c-link.log"), path(top.path() / "other" / "c.log"));
  EXPECT_EQ(resolver.resolve("linked/a.log"), path(top.path() / "real" / "a.log"));
}

TEST(LogPathTest, DotDotIsResolvedByTheFileSystemNotInTheText) {
  TempFolder top;
  writeLog(top / "a.log", "Top");
  writeLog(top / "real" / "a.log", "Real");
  fs::create_directories(top / "real" / "inner");
  fs::create_directory_symlink(top / "real" / "inner", top / "z");
  InFolder inside(top.path());

  // "z/.." is the folder above what z leads to: the system opens real/a.log.
  EXPECT_EQ(resolvedPath(fs::path("z/../a.log")), top.path() / "real" / "a.log");
  const testing::CliRun linked = testing::cli({"z/../a.log", "-d", "out"});
  EXPECT_EQ(linked.status, 0) << linked.err;
  EXPECT_TRUE(shows(top / "out" / "a.htm", "Real"));
  EXPECT_FALSE(shows(top / "out" / "a.htm", "Top"));

  // A missing folder before ".." opens nothing, though a.log is there.
  const std::string missing = path(top / "nonexist" / ".." / "a.log");
  EXPECT_EQ(resolvedPath(fs::path("nonexist/../a.log")), top / "nonexist" / ".." / "a.log");
  const testing::CliRun folderRun = testing::cli({"nonexist/../a.log", "-d", "out2"});
  EXPECT_EQ(folderRun.status, 1);
  EXPECT_EQ(folderRun.err, "nonexist/../a.log: Cannot open file " + missing +
                               ".\n1 log: 0 written, 0 up to date, 1 failed\n");
  EXPECT_FALSE(fs::exists(top / "out2"));
  const testing::CliRun single = testing::cli({"nonexist/../a.log", "-o", "b.htm"});
  EXPECT_EQ(single.status, 1);
  EXPECT_EQ(single.err, "Cannot open file " + missing + ".\n");
}

TEST(LogPathTest, ALinkAndItsLogAreOneMatch) {
  TempFolder top;
  writeLog(top / "logs" / "L1208002.log", "Second");
  writeLog(top / "logs" / "L1208003.log", "Third");
  fs::create_symlink("L1208003.log", top / "logs" / "latest.log");

  const testing::CliRun run = testing::cli({path(top / "logs"), path(top / "logs" / "latest.log"),
                                            path(top / "logs" / ".." / "logs" / "L1208003.log"), "-d",
                                            path(top / "out")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, path(top / "out" / "L1208002.htm") + "\n" + path(top / "out" / "L1208003.htm") + "\n");
  EXPECT_EQ(lastLine(run.err), "2 logs: 2 written, 0 up to date, 0 failed");
  EXPECT_EQ(reportsIn(top / "out"), (std::vector<std::string>{"L1208002.htm", "L1208003.htm"}));
  EXPECT_EQ(occurrences(readFile(top / "out" / "index.htm"), "<tr><td data-v=\""), 2u);

  // The link alone names its log's report and is up to date with it.
  const testing::CliRun link = testing::cli({path(top / "logs" / "latest.log"), "-d", path(top / "out")});
  EXPECT_EQ(lastLine(link.err), "1 log: 0 written, 1 up to date, 0 failed");
}

TEST(LogPathTest, ALinkToNothingIsALogThatCannotBeOpened) {
  TempFolder top;
  writeLog(top / "logs" / "L1208003.log", "Third");
  fs::create_symlink("L1208004.log", top / "logs" / "latest.log");

  const testing::CliRun run = testing::cli({path(top / "logs"), "-d", path(top / "out")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, path(top / "out" / "L1208003.htm") + "\n");
  const std::string link = path(top / "logs" / "latest.log");
  EXPECT_EQ(run.err, link + ": Cannot open file " + link + ".\n2 logs: 1 written, 0 up to date, 1 failed\n");
}

#endif

}  // namespace
}  // namespace fragtally

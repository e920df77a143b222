#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "base/file.h"
#include "index/index_records.h"
#include "tests/cli_run.h"
#include "tests/test_files.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;
namespace fs = std::filesystem;

// Writes a file, making its folders first.
void writeFile(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  testing::writeFile(file, bytes);
}

using CliResult = testing::CliRun;
using testing::InFolder;

CliResult run(const std::vector<std::string>& args) { return testing::cli(args); }

std::string path(const fs::path& p) { return utf8FromPath(p); }

// A one-kill log whose killer names the log, so every report shows whose it is.
std::string logOf(const std::string& killer, const std::string& weapon = "ak47") {
  return "L 12/08/2026 - 20:00:00: Started map \"de_dust2\"\n"
         "L 12/08/2026 - 20:01:00: \"" + killer + "<2><STEAM_0:1:1><CT>\" killed \"Victim<3><STEAM_0:1:2><TERRORIST>\" with \"" +
         weapon + "\"\n";
}

bool shows(const fs::path& report, const std::string& killer) {
  return readFile(report).find(" " + killer + " ") != std::string::npos;
}

std::string lastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of('\n');
  return text.substr(text.rfind('\n', end) + 1, end - text.rfind('\n', end));
}

TEST(FolderRunTest, LogsOfTheSameNameNeverShareAReportInOneRunOrAcrossRuns) {
  TempFolder top;
  writeFile(top / "a" / "L1208003.log", logOf("ServerA"));
  writeFile(top / "b" / "L1208003.log", logOf("ServerB"));
  writeFile(top / "m.log", logOf("MLog"));
  writeFile(top / "m.txt", logOf("MTxt"));
  const fs::path out = top / "out";

  const CliResult first = run({path(top / "a"), path(top / "b"), path(top / "m.log"), path(top / "m.txt"), "-d", path(out)});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, path(out / "L1208003.htm") + "\n" + path(out / "L1208003-2.htm") + "\n" + path(out / "m.htm") +
                           "\n" + path(out / "m-2.htm") + "\n");
  EXPECT_EQ(lastLine(first.err), "4 logs: 4 written, 0 up to date, 0 failed");
  EXPECT_TRUE(shows(out / "L1208003.htm", "ServerA"));
  EXPECT_TRUE(shows(out / "L1208003-2.htm", "ServerB"));
  EXPECT_TRUE(shows(out / "m-2.htm", "MTxt"));

  // Later runs, in another order or with a third server's log of that name:
  // every log keeps its report, the newcomer gets the next free name.
  writeFile(top / "c" / "L1208003.log", logOf("ServerC"));
  const CliResult second = run({path(top / "c"), path(top / "b"), "-d", path(out), "--force"});
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, path(out / "L1208003-3.htm") + "\n" + path(out / "L1208003-2.htm") + "\n");
  EXPECT_TRUE(shows(out / "L1208003.htm", "ServerA"));
  EXPECT_TRUE(shows(out / "L1208003-2.htm", "ServerB"));
  EXPECT_TRUE(shows(out / "L1208003-3.htm", "ServerC"));
}

TEST(FolderRunTest, AReportOfUnknownOriginTheIndexAndTheInputsAreNeverReplaced) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFile(out / "game.htm", "somebody's page");
  writeFile(out / "match.htm", logOf("InsideTheFolder"));  // a log named like its own report
  writeFile(top / "game.log", logOf("Game"));
  writeFile(top / "index.log", logOf("Index"));

  const CliResult result = run({path(top / "game.log"), path(out / "match.htm"), path(top / "index.log"), "-d", path(out)});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, path(out / "game-2.htm") + "\n" + path(out / "match-2.htm") + "\n" + path(out / "index-2.htm") + "\n");
  EXPECT_EQ(readFile(out / "game.htm"), "somebody's page");
  EXPECT_EQ(readFile(out / "match.htm"), logOf("InsideTheFolder"));
  EXPECT_TRUE(shows(out / "match-2.htm", "InsideTheFolder"));
  EXPECT_TRUE(shows(out / "index-2.htm", "Index"));
}

TEST(FolderRunTest, ALogNamedLikeTheMapsPageGetsAReportOfItsOwn) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFile(top / "maps.log", logOf("Maps"));
  const CliResult result = run({path(top / "maps.log"), "-d", path(out)});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, path(out / "maps-2.htm") + "\n");
  EXPECT_TRUE(shows(out / "maps-2.htm", "Maps"));
  EXPECT_NE(readFile(out / "maps.htm").find("<h1>Карты</h1>"), std::string::npos) << "the site's page keeps its name";
}

TEST(FolderRunTest, AnUpToDateLogIsSkippedUntilItChangesOrForceIsGiven) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFile(top / "logs" / "one.log", logOf("One"));
  writeFile(top / "logs" / "two.log", logOf("Two"));
  ASSERT_EQ(run({path(top / "logs"), "-d", path(out)}).status, 0);
  writeFile(out / "one.htm", "left untouched");

  const CliResult again = run({path(top / "logs"), "-d", path(out)});
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "");
  EXPECT_EQ(lastLine(again.err), "2 logs: 0 written, 2 up to date, 0 failed");
  EXPECT_EQ(readFile(out / "one.htm"), "left untouched");

  writeFile(top / "logs" / "two.log", logOf("TwoChanged") + logOf("TwoChanged"));
  const CliResult changed = run({path(top / "logs"), "-d", path(out)});
  EXPECT_EQ(changed.out, path(out / "two.htm") + "\n");
  EXPECT_TRUE(shows(out / "two.htm", "TwoChanged"));
  // The index cache the run checked one.json by was let go before the next
  // was stored over it, which Windows refuses for a file held open.
  EXPECT_TRUE(cachedRecordsChecksum(out));

#ifndef _WIN32
  // A report made private stays private when it is redone; a new one is not.
  ASSERT_EQ(chmod(path(out / "one.htm").c_str(), 0600), 0);
#endif
  EXPECT_EQ(run({path(top / "logs"), "-d", path(out), "--force"}).out,
            path(out / "one.htm") + "\n" + path(out / "two.htm") + "\n");
  EXPECT_TRUE(shows(out / "one.htm", "One"));
#ifndef _WIN32
  writeFile(top / "new.txt", "");  // what a new file gets under this umask
  struct stat one {};
  struct stat two {};
  struct stat fresh {};
  ASSERT_EQ(stat(path(out / "one.htm").c_str(), &one), 0);
  ASSERT_EQ(stat(path(out / "two.htm").c_str(), &two), 0);
  ASSERT_EQ(stat(path(top / "new.txt").c_str(), &fresh), 0);
  EXPECT_EQ(one.st_mode & 07777, 0600u);
  EXPECT_EQ(two.st_mode & 07777, fresh.st_mode & 07777);
#endif

  // A run stopped between a report and its record: the report's header still
  // says whose it is, so it is redone in place.
  fs::remove(out / "one.json");
  EXPECT_EQ(run({path(top / "logs"), "-d", path(out)}).out, path(out / "one.htm") + "\n");
  EXPECT_TRUE(fs::exists(out / "one.json"));

  // A report deleted, or a folder in its place, is no report: its log is done
  // again though its record stands (the folder then fails it, being no file).
  fs::remove(out / "one.htm");
  fs::remove(out / "two.htm");
  fs::create_directory(out / "two.htm");
  const CliResult redone = run({path(top / "logs"), "-d", path(out)});
  EXPECT_EQ(redone.out, path(out / "one.htm") + "\n");
  EXPECT_EQ(lastLine(redone.err), "2 logs: 1 written, 0 up to date, 1 failed");
  EXPECT_TRUE(shows(out / "one.htm", "One"));
}

// Every output of a folder, name -> bytes. The folder's caches (index, site, tallies)
// are keyed by the files' modification times, which differ between any two runs.
std::map<std::string, std::string> contentsOf(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const fs::path name = entry.path().filename();
    if (name != "index.cache" && name != "site.cache" && name != "tally.cache") files[path(name)] = readFile(entry.path());
  }
  return files;
}

TEST(FolderRunTest, OneOrFourThreadsWriteTheSameBytesAndPrintTheSameList) {
  TempFolder top;
  const std::vector<std::string> weapons = {"ak47", "awp", "m4a1", "knife", "deagle", "galil"};
  std::vector<std::string> inputs;
  for (int i = 0; i < 24; ++i) {
    const fs::path log = top / ("server" + std::to_string(i % 3)) / ("L12080" + std::to_string(10 + i / 3) + ".log");
    writeFile(log, i == 7 ? "no stamp here\n" : logOf("Player" + std::to_string(i), weapons[i % weapons.size()]));
    inputs.push_back(path(log));
  }
  auto runInto = [&](const std::string& folder, const std::string& jobs) {
    std::vector<std::string> args = inputs;
    args.insert(args.end(), {"-d", path(top / folder), "-j", jobs});
    return run(args);
  };
  const CliResult one = runInto("one", "1");
  const CliResult four = runInto("four", "4");
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(four.status, 1);
  auto relative = [&](std::string text, const std::string& folder) {
    for (std::size_t at; (at = text.find(path(top / folder))) != std::string::npos;) text.replace(at, path(top / folder).size(), "DIR");
    return text;
  };
  EXPECT_EQ(relative(one.out, "one"), relative(four.out, "four"));
  EXPECT_EQ(one.err, four.err);
  EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 23);
  EXPECT_EQ(contentsOf(top / "one"), contentsOf(top / "four"));
}

// Files are put in place a batch at a time, apart from the analysis; a file
// that cannot be put in place fails its own log alone, whichever batch and
// thread it was in, and every other log's report and the index are there.
TEST(FolderRunTest, AStoreThatFailsInABatchFailsItsLogAlone) {
  TempFolder top;
  for (int i = 10; i < 80; ++i) writeFile(top / "logs" / ("L12080" + std::to_string(i) + ".log"), logOf("P" + std::to_string(i)));
  for (const std::string jobs : {"1", "3"}) {
    const fs::path out = top / ("out" + jobs);
    fs::create_directories(out / "L1208042.json");  // a folder where a record goes
    const CliResult result = run({path(top / "logs"), "-d", path(out), "-j", jobs});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, path(top / "logs" / "L1208042.log") + ": Cannot create file " + path(out / "L1208042.json") +
                              ".\n70 logs: 69 written, 0 up to date, 1 failed\n");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 69);
    EXPECT_TRUE(shows(out / "L1208079.htm", "P79"));
    EXPECT_TRUE(fs::is_directory(out / "L1208042.json"));
    EXPECT_NE(readFile(out / "index.htm").find("L1208079.htm"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(out)) {
      EXPECT_FALSE(entry.path().extension() == ".tmp") << path(entry.path());
    }
  }
}

// A picture that cannot be stored fails its log after the report is stored;
// without its record the log is done again next time, and the other logs go on.
TEST(FolderRunTest, APictureThatCannotBeStoredFailsItsLogButNotItsReport) {
  TempFolder top;
  writeFile(top / "logs" / "a.log", logOf("Alpha", "m4a1"));
  writeFile(top / "logs" / "b.log", logOf("Bravo", "ak47"));
  fs::create_directories(top / "out" / "m4a1.jpg");  // a folder where the picture goes
  const CliResult result = run({path(top / "logs"), "-d", path(top / "out"), "-j", "2"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, path(top / "logs" / "a.log") + ": Cannot create file " + path(top / "out" / "m4a1.jpg") +
                            ".\n2 logs: 1 written, 0 up to date, 1 failed\n");
  EXPECT_EQ(result.out, path(top / "out" / "b.htm") + "\n");
  EXPECT_TRUE(shows(top / "out" / "a.htm", "Alpha"));
  EXPECT_FALSE(fs::exists(top / "out" / "a.json"));
  EXPECT_TRUE(fs::exists(top / "out" / "b.json"));
}

TEST(FolderRunTest, AFolderStandsForItsLogFilesOnly) {
  TempFolder top;
  writeFile(top / "logs" / "b.log", logOf("Lower"));
  writeFile(top / "logs" / "A.LOG", logOf("Upper"));
  writeFile(top / "logs" / "notes.txt", logOf("Notes"));
  writeFile(top / "logs" / "older" / "c.log", logOf("Nested"));
#ifndef _WIN32
  ASSERT_EQ(mkfifo(path(top / "logs" / "pipe.log").c_str(), 0600), 0);  // read, it would wait forever
#endif
  const CliResult result = run({path(top / "logs"), "-d", path(top / "out")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, path(top / "out" / "A.htm") + "\n" + path(top / "out" / "b.htm") + "\n");
}

// The record keeps the log's time as finely as the file system does: a log
// rewritten with other bytes of the same size within the same second is
// redone.
TEST(FolderRunTest, ALogRewrittenWithinItsSecondIsNotUpToDate) {
  TempFolder top;
  const fs::path out = top / "out";
  const fs::path log = top / "logs" / "one.log";
  writeFile(log, logOf("Alpha"));
  const auto second = std::chrono::floor<std::chrono::seconds>(fs::last_write_time(log));
  fs::last_write_time(log, second + std::chrono::milliseconds(100));
  ASSERT_EQ(run({path(log), "-d", path(out)}).status, 0);
  ASSERT_EQ(run({path(log), "-d", path(out)}).out, "");

  writeFile(log, logOf("Bravo"));
  fs::last_write_time(log, second + std::chrono::milliseconds(600));
  if (std::chrono::floor<std::chrono::milliseconds>(fs::last_write_time(log)) != second + std::chrono::milliseconds(600)) {
    GTEST_SKIP() << "the file system keeps whole seconds";
  }
  const CliResult again = run({path(log), "-d", path(out)});
  EXPECT_EQ(again.out, path(out / "one.htm") + "\n");
  EXPECT_TRUE(shows(out / "one.htm", "Bravo"));
  EXPECT_NE(readFile(out / "one.json").find("\"modified_nanoseconds\":600000000"), std::string::npos);
  EXPECT_EQ(run({path(log), "-d", path(out)}).out, "");
}

// A record whose head reads but whose rest is cut off or broken describes no
// match: its log is done again, and the index shows the match again.
TEST(FolderRunTest, ARecordDamagedBehindItsHeadIsRedone) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFile(top / "logs" / "one.log", logOf("Alpha"));
  writeFile(top / "logs" / "two.log", logOf("Bravo"));
  ASSERT_EQ(run({path(top / "logs"), "-d", path(out)}).status, 0);
  const std::string whole = readFile(out / "one.json");
  const std::size_t kills = whole.find("\"kills\":1");
  ASSERT_NE(kills, std::string::npos);
  ASSERT_GT(whole.size(), 700u);
  const std::vector<std::string> damaged = {
      whole.substr(0, 200), whole.substr(0, 600), whole.substr(0, whole.size() - 3),
      whole.substr(0, kills) + "\"kills\":NaN" + whole.substr(kills + 9),
      whole.substr(0, kills) + "\"name\":\"" + std::string(50 << 20, 'x') + "\"," + whole.substr(kills),
  };
  for (const std::string& record : damaged) {
    writeFile(out / "one.json", record);
    const CliResult again = run({path(top / "logs"), "-d", path(out)});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, path(out / "one.htm") + "\n") << record.size();
    EXPECT_EQ(readFile(out / "one.json"), whole);
    EXPECT_NE(readFile(out / "index.htm").find(">Alpha<"), std::string::npos);
    EXPECT_EQ(run({path(top / "logs"), "-d", path(out)}).out, "");
  }
  // The index cache deleted: every record is read whole before it is trusted.
  fs::remove(out / "index.cache");
  writeFile(out / "two.json", readFile(out / "two.json").substr(0, 500));
  EXPECT_EQ(run({path(top / "logs"), "-d", path(out)}).out, path(out / "two.htm") + "\n");
}

// A record of the format's first version, written by this very program from
// the log as it is, lacks the people: the next run does its log again.
TEST(FolderRunTest, ARecordOfAnEarlierFormatVersionIsRedone) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFile(top / "logs" / "one.log", logOf("Alpha"));
  ASSERT_EQ(run({path(top / "logs"), "-d", path(out)}).status, 0);
  const std::string whole = readFile(out / "one.json");
  const std::size_t version = whole.find("\"version\":2,");
  const std::size_t people = whole.find(",\"people\":[");
  ASSERT_NE(version, std::string::npos);
  ASSERT_NE(people, std::string::npos);
  std::string firstFormat = whole.substr(0, people) + "}\n";
  firstFormat.replace(version, 12, "\"version\":1,");
  writeFile(out / "one.json", firstFormat);

  const CliResult again = run({path(top / "logs"), "-d", path(out)});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, path(out / "one.htm") + "\n");
  EXPECT_EQ(readFile(out / "one.json"), whole);
  EXPECT_EQ(run({path(top / "logs"), "-d", path(out)}).out, "");
}

// Every picture the folder's reports show is checked on every run, whether
// or not a log is redone.
TEST(FolderRunTest, ADeletedOrDamagedPictureIsRestoredWhileTheLogsAreUpToDate) {
  TempFolder top;
  const fs::path out = top / "out";
  writeFile(top / "logs" / "one.log", logOf("Alpha", "ak47"));
  writeFile(top / "logs" / "two.log", logOf("Bravo", "m4a1"));
  ASSERT_EQ(run({path(top / "logs"), "-d", path(out)}).status, 0);
  const std::string ak47 = readFile(out / "ak47.jpg");
  const std::string m4a1 = readFile(out / "m4a1.jpg");
  ASSERT_FALSE(ak47.empty());

  fs::remove(out / "ak47.jpg");
  std::string flipped = m4a1;
  flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 1);
  writeFile(out / "m4a1.jpg", flipped);
  const CliResult again = run({path(top / "logs"), "-d", path(out)});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(lastLine(again.err), "2 logs: 0 written, 2 up to date, 0 failed");
  EXPECT_EQ(readFile(out / "ak47.jpg"), ak47);
  EXPECT_EQ(readFile(out / "m4a1.jpg"), m4a1);
  writeFile(out / "ak47.jpg", ak47 + "x");
  EXPECT_EQ(run({path(top / "logs"), "-d", path(out)}).status, 0);
  EXPECT_EQ(readFile(out / "ak47.jpg"), ak47);
}

// Logs in the output folder named like the run's fixed outputs: the index's
// page and cache and a weapon picture are refused with a message, never
// stored over the log.
TEST(FolderRunTest, ALogNamedLikeTheIndexOrAPictureIsNeverReplaced) {
  TempFolder top;
  const fs::path out = top / "out";
  const std::string index = logOf("Index", "m4a1");
  const std::string cache = logOf("Cache", "m4a1");
  const std::string picture = logOf("Picture", "m4a1");
  writeFile(out / "index.htm", index);
  writeFile(out / "index.cache", cache);
  writeFile(out / "ak47.jpg", picture);
  writeFile(top / "game.log", logOf("Game", "ak47"));
  const CliResult result = run({path(out / "index.htm"), path(out / "index.cache"), path(out / "ak47.jpg"),
                                path(top / "game.log"), "-d", path(out)});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find(path(top / "game.log") + ": Cannot create file " + path(out / "ak47.jpg") +
                            ": it is the log being read.\n"),
            std::string::npos)
      << result.err;
  for (const char* name : {"index.htm", "index.cache"}) {
    EXPECT_NE(result.err.find("Cannot create file " + path(out / name) + ": it is the log being read.\n"),
              std::string::npos)
        << result.err;
  }
  EXPECT_EQ(readFile(out / "index.htm"), index);
  EXPECT_EQ(readFile(out / "index.cache"), cache);
  EXPECT_EQ(readFile(out / "ak47.jpg"), picture);
  EXPECT_TRUE(shows(out / "index-2.htm", "Index"));
  EXPECT_TRUE(fs::exists(out / "m4a1.jpg"));
#ifndef _WIN32
  // Named through a link in another folder: the same file.
  fs::create_symlink(out / "index.htm", top / "linked.log");
  EXPECT_EQ(run({path(top / "linked.log"), "-d", path(out)}).status, 1);
  EXPECT_EQ(readFile(out / "index.htm"), index);
#endif
}

TEST(FolderRunTest, TheOutputFolderIsMadeOnlyWhenAReportIsWritten) {
  TempFolder top;
  const CliResult result = run({path(top / "missing.log"), "-d", path(top / "new" / "sub")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(lastLine(result.err), "1 log: 0 written, 0 up to date, 1 failed");
  EXPECT_FALSE(fs::exists(top / "new"));
}

TEST(SingleLogTest, NoOutputReplacesTheLogOrAnotherOutput) {
  TempFolder top;
  writeFile(top / "game.log", logOf("Alpha"));
  writeFile(top / "x.json", logOf("Alpha"));
  writeFile(top / "sub" / "keep", "");
  const std::string game = path(top / "game.log");
  for (const std::string& report : {game, path(top / "sub" / ".." / "game.log")}) {
    const CliResult result = run({game, "-o", report});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Cannot create file " + report + ": it is the log being read.\n");
  }
#ifndef _WIN32
  fs::create_symlink(top / "game.log", top / "link.htm");
  EXPECT_EQ(run({game, "-o", path(top / "link.htm")}).status, 1);
#endif
  const CliResult picture = run({game, "-o", path(top / "ak47.jpg")});
  EXPECT_EQ(picture.status, 1);
  EXPECT_EQ(picture.err, "Cannot create file " + path(top / "ak47.jpg") + ": the run writes another file there.\n");
  // The record beside x.htm would be the log x.json.
  EXPECT_EQ(run({path(top / "x.json"), "-o", path(top / "x.htm"), "--json"}).status, 1);
  EXPECT_EQ(readFile(top / "game.log"), logOf("Alpha"));
  EXPECT_EQ(readFile(top / "x.json"), logOf("Alpha"));
  EXPECT_FALSE(fs::exists(top / "ak47.jpg"));
  EXPECT_FALSE(fs::exists(top / "x.htm"));
}

TEST(SingleLogTest, TheRecordGoesBesideTheReportOrToStandardOutputAlone) {
  TempFolder top;
  writeFile(top / "game.log", logOf("Alpha"));
  writeFile(top / "r" / "keep", "");
  const CliResult beside = run({path(top / "game.log"), "-o", path(top / "r" / "match"), "--json"});
  EXPECT_EQ(beside.status, 0) << beside.err;
  EXPECT_TRUE(fs::exists(top / "r" / "match.json"));
  EXPECT_TRUE(fs::exists(top / "r" / "match.htm"));

  TempFolder empty;
  InFolder inside(empty.path());
  const CliResult printed = run({path(top / "game.log"), "--json", "-"});
  EXPECT_EQ(printed.status, 0);
  EXPECT_EQ(printed.out.rfind("{", 0), 0u);
  EXPECT_NE(printed.out.find("\"format\""), std::string::npos);
  EXPECT_TRUE(fs::is_empty(empty.path()));
}

#ifndef _WIN32
// The standard input of this process read from `file` for as long as it lives.
class StandardInputFrom {
 public:
  explicit StandardInputFrom(const fs::path& file) : saved_(dup(0)) {
    const int opened = open(file.c_str(), O_RDONLY);
    EXPECT_GE(opened, 0);
    dup2(opened, 0);
    close(opened);
  }
  ~StandardInputFrom() {
    dup2(saved_, 0);
    close(saved_);
  }
  StandardInputFrom(const StandardInputFrom&) = delete;
  StandardInputFrom& operator=(const StandardInputFrom&) = delete;

 private:
  int saved_;
};

TEST(SingleLogTest, StandardInputIsNeverReplacedByItsOwnReport) {
  TempFolder top;
  const std::string log = logOf("Alpha");
  writeFile(top / "a.log", log);
  {
    StandardInputFrom input(top / "a.log");
    const CliResult result = run({"-", "-o", path(top / "a.log")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Cannot create file " + path(top / "a.log") + ": it is the log being read.\n");
  }
  {
    StandardInputFrom input(top / "a.log");  // the record beside the report is the log
    EXPECT_EQ(run({"-", "-o", path(top / "a.htm"), "--json"}).status, 0);
  }
  EXPECT_EQ(readFile(top / "a.log"), log);
  {
    writeFile(top / "b.json", log);
    StandardInputFrom input(top / "b.json");
    EXPECT_EQ(run({"-", "-o", path(top / "b.htm"), "--json"}).status, 1);
  }
  EXPECT_EQ(readFile(top / "b.json"), log);
  EXPECT_FALSE(fs::exists(top / "b.htm"));
}

TEST(SingleLogTest, TheRecordOfStandardInputOrAPipeTellsTheBytesRead) {
  TempFolder top;
  const std::string log = logOf("Alpha");
  writeFile(top / "a.log", log);
  const std::string bytes = "\"bytes\":" + std::to_string(log.size()) + ",";
  {
    StandardInputFrom input(top / "a.log");
    const CliResult result = run({"-", "--json", "-"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find(bytes), std::string::npos) << result.out;
  }
  // A named pipe with its writer: the size the file system gives it is 0.
  const fs::path fifo = top / "live.log";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const int keeper = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  const int writer = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(write(writer, log.data(), log.size()), static_cast<ssize_t>(log.size()));
  close(writer);
  const CliResult piped = run({path(fifo), "--json", "-"});
  close(keeper);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_NE(piped.out.find(bytes), std::string::npos) << piped.out;
}
#endif

TEST(SingleLogTest, UsageErrorsForFolderNamesAndOptionsThatDoNotGoTogether) {
  TempFolder top;
  for (const auto& args : std::vector<std::vector<std::string>>{{"a.log", "-o", ""},
                                                                {"a.log", "-o", "out/"},
                                                                {"a.log", "-o", path(top.path())},
                                                                {"a.log", "-d", ""},
                                                                {"a.log", "--json", "-", "-d", "out"},
                                                                {"a.log", "--json", "-", "-o", "r.htm"},
                                                                {"-", "-d", "out"},
                                                                {"a.log", "--force"},
                                                                {"a.log", "-j", "2"},
                                                                {"a.log", "-d", "out", "-j", "0"}}) {
    const CliResult usage = run(args);
    EXPECT_EQ(usage.status, 2) << args.back();
    EXPECT_EQ(usage.out, "");
  }
  const CliResult emptyName = run({""});
  EXPECT_EQ(emptyName.status, 1);
  EXPECT_EQ(emptyName.err, "Cannot open file ''.\n");
  EXPECT_TRUE(fs::is_empty(top.path()));
}

}  // namespace
}  // namespace fragtally

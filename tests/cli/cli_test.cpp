#include <gtest/gtest.h>

#include <sstream>

#include "base/file.h"
#include "tests/cli_run.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

using CliResult = testing::CliRun;
using testing::InFolder;

CliResult run(const std::vector<std::string>& args) { return testing::cli(args); }

const std::string kGoodLog =
    "L 10/25/2003 - 21:13:45: Started map \"de_test\"\r\n"
    "L 10/25/2003 - 21:14:02: \"Alpha<12><STEAM_0:1:1><CT>\" killed \"Bravo<13><STEAM_0:1:2><TERRORIST>\" with "
    "\"ak47\"\r\n";

std::string path(const std::filesystem::path& p) { return utf8FromPath(p); }

TEST(CliTest, WritesResultHtmAndPicturesInTheCurrentFolder) {
  TempFolder folder;
  writeFile(folder / "game.log", kGoodLog);
  InFolder inside(folder.path());
  const CliResult result = run({"game.log"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "result.htm\n");
  EXPECT_EQ(result.err, "");
  const std::string page = readFile(folder / "result.htm");
  // The log name in the page is the log's absolute path.
  EXPECT_NE(page.find("...\"" + path(std::filesystem::absolute("game.log")) + "\"..."), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(folder / "ak47.jpg"));
}

TEST(CliTest, ReportGoesWhereMinusOSaysWithPicturesBesideIt) {
  TempFolder logs;
  TempFolder reports;
  TempFolder elsewhere;
  writeFile(logs / "game.log", kGoodLog);
  InFolder inside(elsewhere.path());
  const CliResult result = run({path(logs / "game.log"), "-o", path(reports / "match")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, path(reports / "match.htm") + "\n");  // no extension: ".htm" added
  EXPECT_TRUE(std::filesystem::exists(reports / "match.htm"));
  EXPECT_TRUE(std::filesystem::exists(reports / "ak47.jpg"));
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));

  EXPECT_EQ(run({path(logs / "game.log"), "-o", path(reports / "page.html")}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(reports / "page.html"));
}

TEST(CliTest, FailuresShowTheMessageWithAFullStopAndWriteNothing) {
  TempFolder folder;
  writeFile(folder / "hour.log", "L 10/25/2003 - 9:05:00: Started map \"x\"\r\n");
  writeFile(folder / "empty.log", "");
  writeFile(folder / "result.htm", "older report");
  InFolder inside(folder.path());

  const std::string missing = path(std::filesystem::absolute("missing.log"));
  EXPECT_EQ(run({"missing.log"}).err, "Cannot open file " + missing + ".\n");
  const CliResult hour = run({"hour.log"});
  EXPECT_EQ(hour.status, 1);
  EXPECT_EQ(hour.out, "");
  EXPECT_EQ(hour.err, "'9:' is not a valid integer value.\n");
  EXPECT_EQ(run({"empty.log"}).err, "'' is not a valid integer value.\n");
  EXPECT_EQ(run({path(folder.path())}).err, "Cannot open file " + path(folder.path()) + ".\n");

  writeFile(folder / "good.log", kGoodLog);
  const std::string unwritable = path(folder / "no such folder" / "r.htm");
  const CliResult store = run({"good.log", "-o", unwritable});
  EXPECT_EQ(store.status, 1);
  EXPECT_EQ(store.err, "Cannot create file " + unwritable + ".\n");

  EXPECT_EQ(readFile(folder / "result.htm"), "older report");
  EXPECT_FALSE(std::filesystem::exists(folder / "ak47.jpg"));
}

TEST(CliTest, EachLogOfAFolderRunIsItsOwn) {
  TempFolder folder;
  writeFile(folder / "first.log", kGoodLog);
  writeFile(folder / "broken.log", "not a log line\r\n");
  writeFile(folder / "second.log",
            "L 10/26/2003 - 10:00:00: \"Charlie<1><2><TERRORIST>\" killed \"Delta<3><4><CT>\" with \"awp\"\r\n");
  const std::string out = path(folder / "out" / "reports");
  const CliResult result =
      run({path(folder / "first.log"), path(folder / "broken.log"), path(folder / "second.log"), "-d", out});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, path(folder / "broken.log") + ": '' is not a valid integer value.\n"
                        "3 logs: 2 written, 0 up to date, 1 failed\n");
  EXPECT_EQ(result.out, path(folder / "out" / "reports" / "first.htm") + "\n" +
                            path(folder / "out" / "reports" / "second.htm") + "\n");
  const std::string second = readFile(folder / "out" / "reports" / "second.htm");
  EXPECT_NE(second.find("Charlie"), std::string::npos);
  EXPECT_EQ(second.find("Alpha"), std::string::npos);  // nothing of the first log
  EXPECT_FALSE(std::filesystem::exists(folder / "out" / "reports" / "broken.htm"));
  EXPECT_TRUE(std::filesystem::exists(folder / "out" / "reports" / "ak47.jpg"));
  EXPECT_TRUE(std::filesystem::exists(folder / "out" / "reports" / "awp.jpg"));
}

TEST(CliTest, ControlBytesOfNamesAndLogTextArePrintedEscaped) {
#ifndef _WIN32  // names with control bytes cannot be made there
  TempFolder folder;
  const std::string name = "e\x1b]0;PWNED\a";  // would retitle the terminal
  const std::string shown = "e\\x1b]0;PWNED\\x07";
  writeFile(folder / (name + ".log"), kGoodLog);
  writeFile(folder / "bad\x1b[2J.log", "L 10/25/2003 - 2\x1b:00:00: Started map \"x\"\r\n");
  const CliResult batch = run({path(folder / (name + ".log")), path(folder / "bad\x1b[2J.log"), "-d", path(folder / "out")});
  EXPECT_EQ(batch.status, 1);
  EXPECT_EQ(batch.out, path(folder / "out" / shown) + ".htm\n");
  EXPECT_EQ(batch.err, path(folder / "bad\\x1b[2J.log") + ": '2\\x1b' is not a valid integer value.\n"
                       "2 logs: 1 written, 0 up to date, 1 failed\n");
  // The files keep their names and the page its bytes: only what is printed is escaped.
  const std::string page = readFile(folder / "out" / (name + ".htm"));
  EXPECT_NE(page.find(path(folder / (name + ".log"))), std::string::npos);

  InFolder inside(folder.path());
  const CliResult single = run({name + ".log", "-o", name + ".htm"});
  EXPECT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(single.out, shown + ".htm\n");
  EXPECT_EQ(run({"bad\x1b[2J.log"}).err, "'2\\x1b' is not a valid integer value.\n");
  EXPECT_TRUE(run({"--\x1b"}).err.starts_with("fragtally-cli: unknown option --\\x1b\n\nusage"));
#endif
}

TEST(CliTest, UsageHelpAndVersion) {
  EXPECT_EQ(run({"--version"}).out, "fragtally-cli 2.0.0.26\n");
  const CliResult help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: fragtally-cli LOG"), std::string::npos);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"--bogus"}, {"a.log", "-o"}, {"a.log", "b.log"}, {"a.log", "-o", "x", "-d", "y"},
           {"a.log", "--bots"}, {"a.log", "-d", "y", "--identity", "uid"}, {"a.log", "--lang", "en"},
           {"a.log", "-d", "y", "--lang", "fr"}}) {
    const CliResult usage = run(args);
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("usage: fragtally-cli"), std::string::npos);
  }
  // Serving alone writes no site: the site's options have nothing to do there.
  for (const std::string option : {"--bots", "--lang"}) {
    std::vector<std::string> args{"--serve", "8080", "-d", "y", option};
    if (option == "--lang") args.push_back("en");
    const CliResult serving = run(args);
    EXPECT_EQ(serving.status, 2);
    EXPECT_EQ(serving.err,
              "fragtally-cli: --identity, --bots, --min-matches, --active-days and --lang go with a run that writes the site\n");
  }
}

// The admin's players.txt is read before anything is written: a line it
// cannot read names the file and the line, and the folder stays as it was.
TEST(CliTest, AFolderRunWithAPlayersFileItCannotReadWritesNothing) {
  TempFolder logs;
  TempFolder out;
  writeFile(logs / "game.log", kGoodLog);
  writeFile(out / "players.txt", "hide name:Bravo\nmerge steam:0:1\n");
  const CliResult refused = run({path(logs / "game.log"), "-d", path(out.path()), "--identity", "id"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_TRUE(refused.err.starts_with(path(out / "players.txt") + ":2: ")) << refused.err;
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(out.path())) left.push_back(path(entry.path().filename()));
  EXPECT_EQ(left, std::vector<std::string>{"players.txt"});

  writeFile(out / "players.txt", "hide name:Bravo\n");
  const CliResult done = run({path(logs / "game.log"), "-d", path(out.path()), "--min-matches", "1"});
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_TRUE(std::filesystem::exists(out / "index.htm"));
}

}  // namespace
}  // namespace fragtally

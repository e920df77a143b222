#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "base/file.h"
#include "live/log_follower.h"
#include "tests/live/fake_outputs.h"
#include "tests/live/log_sender.h"
#include "tests/test_files.h"

namespace fragtally::live {
namespace {

using fragtally::testing::FakeOutputs;
using fragtally::testing::readFile;
using fragtally::testing::TempFolder;
using std::chrono::seconds;

// A log folder that a server writes into, line by line.
struct ServerFolder {
  TempFolder folder;
  FakeOutputs outputs;
  std::ostringstream messages;
  ActivityLog activity{messages};
  Clock::time_point now = Clock::now();

  void append(const char* name, std::string_view bytes) {
    std::ofstream out(folder / name, std::ios::binary | std::ios::app);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string path(const char* name) const { return utf8FromPath(folder / name); }
};

const std::string kStarted = "L 12/08/2026 - 07:14:02: Log file started (file \"logs/L1208007.log\")\n";
const std::string kKill =
    "L 12/08/2026 - 07:15:02: \"Gull<3><STEAM_1:0:1><CT>\" killed \"Rope<5><STEAM_1:0:2><TERRORIST>\" with \"usp\"\n";
const std::string kClosed = "L 12/08/2026 - 07:17:25: Log file closed\n";

TEST(LogFollowerTest, ALogWrittenLineByLineIsRefreshedThenFinished) {
  ServerFolder server;
  server.append("L1208006.log", kStarted + kClosed);  // an older, ended log: left alone
  LogFollower follower(server.folder.path(), seconds(10), server.outputs, server.activity, server.now);
  const std::string log = readFile(fragtally::testing::sourcePath("tests/live/stream_match.log"));
  const auto lines = fragtally::testing::logLines(log);
  server.now += seconds(1);
  follower.pollOnce(server.now);  // the older log is finished on the first look
  const std::size_t before = server.outputs.calls().size();

  const std::string live = server.path("L1208007.log");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // Every line arrives in two writes: a look between them sees only the whole lines.
    const std::string_view line = lines[i];
    server.append("L1208007.log", line.substr(0, 10));
    server.now += seconds(1);
    follower.pollOnce(server.now);
    server.append("L1208007.log", line.substr(10));
  }
  server.now += seconds(1);
  follower.pollOnce(server.now);

  std::vector<std::string> calls = server.outputs.calls();
  calls.erase(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(before));
  // A refresh on the first whole line and then once every ten seconds; the
  // closing line finishes the log.
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.back(), "finish " + live + " (closed)");
  const std::size_t refreshes = calls.size() - 1;
  EXPECT_EQ(refreshes, 1 + (lines.size() - 2) / 10);
  for (std::size_t i = 0; i < refreshes; ++i) EXPECT_EQ(calls[i], "refresh " + live);
}

TEST(LogFollowerTest, ANewerLogFinishesTheOneThatWasNotClosed) {
  ServerFolder server;
  server.append("L1208007.log", kStarted + kKill);
  LogFollower follower(server.folder.path(), seconds(10), server.outputs, server.activity, server.now);
  follower.pollOnce(server.now);
  server.append("L1208008.log", kStarted);  // the server crashed and came back
  follower.pollOnce(server.now + seconds(1));
  follower.stop();
  EXPECT_EQ(server.outputs.calls(),
            (std::vector<std::string>{"refresh " + server.path("L1208007.log"),
                                      "finish " + server.path("L1208007.log") + " (cut off by a new log)",
                                      "refresh " + server.path("L1208008.log")}));
}

TEST(LogFollowerTest, AClosingLineInTheLogsMiddleIsNoClosingLine) {
  ServerFolder server;
  server.append("L1208007.log", kStarted);
  LogFollower follower(server.folder.path(), seconds(10), server.outputs, server.activity, server.now);
  server.append("L1208007.log", "L 12/08/2026 - 07:17:25: Log file closed by a plugin\n" + kKill + kClosed.substr(0, 30));
  follower.pollOnce(server.now);
  follower.stop();
  EXPECT_EQ(server.outputs.calls(), std::vector<std::string>{"refresh " + server.path("L1208007.log")});
}

#ifndef _WIN32
TEST(LogFollowerTest, ALogThatCannotBeReadIsToldAndFailsTheRun) {
  // A pipe named as a log: it can never be read as one.
  ServerFolder server;
  server.append("L1208006.log", kStarted + kClosed);
  LogFollower follower(server.folder.path(), seconds(10), server.outputs, server.activity, server.now);
  ASSERT_EQ(::mkfifo((server.folder / "L1208007.log").c_str(), 0644), 0);
  for (int i = 0; i < 3; ++i) follower.pollOnce(server.now + seconds(i + 1));
  EXPECT_TRUE(follower.failed());
  const std::string messages = server.messages.str();
  const std::string told = "Cannot open file " + server.path("L1208007.log") + ": not a regular file.\n";
  ASSERT_NE(messages.find(told), std::string::npos) << messages;
  EXPECT_EQ(messages.find(told), messages.rfind(told));  // once, not at every look
}

TEST(LogFollowerTest, ALogWithoutReadPermissionIsToldWithTheSystemsMessage) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
  ServerFolder server;
  server.append("L1208007.log", kStarted);
  ASSERT_EQ(::chmod((server.folder / "L1208007.log").c_str(), 0), 0);
  LogFollower follower(server.folder.path(), seconds(10), server.outputs, server.activity, server.now);
  follower.pollOnce(server.now + seconds(1));
  EXPECT_TRUE(follower.failed());
  EXPECT_NE(server.messages.str().find("Cannot open file " + server.path("L1208007.log") + ": Permission denied.\n"),
            std::string::npos)
      << server.messages.str();
  EXPECT_TRUE(server.outputs.calls().empty());
}

// A link to the log being written is that log, not a newer one; a link to
// nothing is named once and makes the mode fail, and is followed once it
// leads to a log.
TEST(LogFollowerTest, ALinkIsTheLogItLeadsToAndALinkToNothingIsReported) {
  ServerFolder server;
  server.append("L1208007.log", kStarted + kKill);
  LogFollower follower(server.folder.path(), seconds(10), server.outputs, server.activity, server.now);
  std::filesystem::create_symlink("L1208007.log", server.folder / "latest.log");
  std::filesystem::create_symlink("L1208008.log", server.folder / "next.log");
  follower.pollOnce(server.now + seconds(1));
  follower.pollOnce(server.now + seconds(2));
  EXPECT_EQ(server.outputs.calls(), std::vector<std::string>{"refresh " + server.path("L1208007.log")});
  EXPECT_TRUE(follower.failed());
  EXPECT_EQ(server.messages.str().find("Cannot open file " + server.path("next.log") + "."),
            server.messages.str().rfind("Cannot open file " + server.path("next.log") + "."));
  EXPECT_NE(server.messages.str().find("Cannot open file " + server.path("next.log") + "."), std::string::npos);

  server.append("L1208008.log", kStarted);  // the link leads somewhere now: to the newer log
  follower.pollOnce(server.now + seconds(3));
  EXPECT_EQ(follower.followed(), server.folder / "L1208008.log");
}
#endif

}  // namespace
}  // namespace fragtally::live

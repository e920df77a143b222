#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <memory>
#include <sstream>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "base/file.h"
#include "live/live_sessions.h"
#include "tests/cli_run.h"
#include "tests/live/fake_outputs.h"
#include "tests/test_files.h"

namespace fragtally::live {
namespace {

using fragtally::testing::FakeOutputs;
using fragtally::testing::readFile;
using fragtally::testing::TempFolder;
using std::chrono::seconds;

const std::string kStarted = "L 12/08/2026 - 07:14:02: Log file started (file \"logs/L1208007.log\")\n";
const std::string kKill =
    "L 12/08/2026 - 07:15:02: \"Gull<3><STEAM_1:0:1><CT>\" killed \"Rope<5><STEAM_1:0:2><TERRORIST>\" with \"usp\"\n";
const std::string kClosed = "L 12/08/2026 - 07:17:25: Log file closed\n";
const std::string kSecondStarted = "L 12/08/2026 - 07:17:40: Log file started (file \"logs/L1208008.log\")\n";

Endpoint source(const char* address, std::uint16_t port) { return {*parseIpAddress(address), port}; }

struct Sessions {
  TempFolder folder;
  FakeOutputs outputs;
  std::ostringstream messages;
  ActivityLog activity{messages};
  LiveSessions sessions{folder.path(), SessionTimes{seconds(10), seconds(600)}, 2, outputs, activity};
  Clock::time_point start = Clock::now();

  std::string raw(const std::string& name) const { return utf8FromPath(folder / name); }
};

TEST(LiveSessionsTest, ARawLogPerServerLogNamedBySourceAndFirstStamp) {
  Sessions s;
  const Endpoint server = source("::ffff:127.0.0.1", 27015);
  EXPECT_FALSE(s.sessions.takeLine(server, kStarted, s.start));
  EXPECT_FALSE(s.sessions.takeLine(server, kKill, s.start));
  EXPECT_FALSE(s.sessions.takeLine(server, kClosed, s.start));
  EXPECT_FALSE(s.sessions.takeLine(server, kSecondStarted, s.start));
  s.sessions.flush();

  const std::string first = s.raw("127.0.0.1_27015_2026-12-08_07-14-02.log");
  EXPECT_EQ(readFile(first), kStarted + kKill + kClosed);
  EXPECT_EQ(readFile(s.folder / "127.0.0.1_27015_2026-12-08_07-17-40.log"), kSecondStarted);
  EXPECT_EQ(s.outputs.calls(), std::vector<std::string>{"finish " + first + " (closed)"});
}

TEST(LiveSessionsTest, ANameInUseGetsTheNextNumberAndNothingIsOverwritten) {
  Sessions s;
  fragtally::testing::writeFile(s.folder / "0-0-0-0-0-0-0-1_27015_2026-12-08_07-14-02.log", "older\n");
  const Endpoint server = source("::1", 27015);
  s.sessions.takeLine(server, kStarted, s.start);
  s.sessions.takeLine(server, kClosed, s.start);
  s.sessions.takeLine(server, kStarted, s.start);
  s.sessions.finishAll();
  EXPECT_EQ(readFile(s.folder / "0-0-0-0-0-0-0-1_27015_2026-12-08_07-14-02.log"), "older\n");
  EXPECT_EQ(readFile(s.folder / "0-0-0-0-0-0-0-1_27015_2026-12-08_07-14-02-2.log"), kStarted + kClosed);
  EXPECT_EQ(readFile(s.folder / "0-0-0-0-0-0-0-1_27015_2026-12-08_07-14-02-3.log"), kStarted);
  EXPECT_EQ(s.outputs.calls(),
            (std::vector<std::string>{
                "finish " + s.raw("0-0-0-0-0-0-0-1_27015_2026-12-08_07-14-02-2.log") + " (closed)",
                "finish " + s.raw("0-0-0-0-0-0-0-1_27015_2026-12-08_07-14-02-3.log") + " (stopped)"}));
}

TEST(LiveSessionsTest, RefreshedAtMostOnceARefreshTimeWhileLinesArrive) {
  Sessions s;
  const Endpoint server = source("127.0.0.1", 27015);
  const std::string raw = s.raw("127.0.0.1_27015_2026-12-08_07-14-02.log");
  s.sessions.takeLine(server, kStarted, s.start);
  s.sessions.tick(s.start);  // the first lines: at once
  s.sessions.takeLine(server, kKill, s.start + seconds(1));
  s.sessions.tick(s.start + seconds(1));
  s.sessions.tick(s.start + seconds(9));
  EXPECT_EQ(s.outputs.calls().size(), 1u);
  // The file holds every line when the report is written.
  EXPECT_EQ(readFile(raw), kStarted);
  s.sessions.tick(s.start + seconds(10));
  EXPECT_EQ(readFile(raw), kStarted + kKill);
  s.sessions.tick(s.start + seconds(30));  // nothing new
  EXPECT_EQ(s.outputs.calls(), (std::vector<std::string>{"refresh " + raw, "refresh " + raw}));
}

TEST(LiveSessionsTest, ASilentSourceOrANewLogWithoutCloseFinishesTheLog) {
  Sessions s;
  const Endpoint server = source("127.0.0.1", 27015);
  s.sessions.takeLine(server, kStarted, s.start);
  s.sessions.takeLine(server, kSecondStarted, s.start + seconds(5));  // the server crashed and came back
  s.sessions.tick(s.start + seconds(604));
  s.sessions.tick(s.start + seconds(605));
  EXPECT_EQ(s.sessions.sourceCount(), 0u);
  const std::string first = s.raw("127.0.0.1_27015_2026-12-08_07-14-02.log");
  const std::string second = s.raw("127.0.0.1_27015_2026-12-08_07-17-40.log");
  EXPECT_EQ(s.outputs.calls(), (std::vector<std::string>{"finish " + first + " (cut off by a new log)",
                                                         "refresh " + second, "finish " + second + " (silent)"}));
}

TEST(LiveSessionsTest, SourcesOverTheLimitAreRefusedUntilALogEnds) {
  Sessions s;  // at most two sources
  EXPECT_FALSE(s.sessions.takeLine(source("127.0.0.1", 1), kStarted, s.start));
  EXPECT_FALSE(s.sessions.takeLine(source("127.0.0.1", 2), kStarted, s.start));
  EXPECT_EQ(s.sessions.takeLine(source("127.0.0.1", 3), kStarted, s.start), DropReason::tooManySources);
  EXPECT_FALSE(s.sessions.takeLine(source("127.0.0.1", 1), kKill, s.start));
  EXPECT_FALSE(s.sessions.takeLine(source("127.0.0.1", 2), kClosed, s.start));
  EXPECT_FALSE(s.sessions.takeLine(source("127.0.0.1", 3), kStarted, s.start));
  s.sessions.finishAll();
  EXPECT_FALSE(std::filesystem::exists(s.folder / "127.0.0.1_3_2026-12-08_07-14-02-2.log"));
  EXPECT_EQ(readFile(s.folder / "127.0.0.1_3_2026-12-08_07-14-02.log"), kStarted);
}

TEST(LiveSessionsTest, ALineWithoutEndOrStampStillMakesAWholeLine) {
  Sessions s;
  const Endpoint server = source("127.0.0.1", 27015);
  s.sessions.takeLine(server, "L 12/08/2026 - 07:14:02: cut short", s.start);
  s.sessions.takeLine(server, kKill, s.start);
  s.sessions.finishAll();
  EXPECT_EQ(readFile(s.folder / "127.0.0.1_27015_2026-12-08_07-14-02.log"),
            "L 12/08/2026 - 07:14:02: cut short\n" + kKill);
}

// A disk with room for `room` more bytes: a write beyond it is cut short,
// the next one fails with ENOSPC, until room is given again.
struct FillingDisk {
  std::shared_ptr<std::size_t> room = std::make_shared<std::size_t>(std::numeric_limits<std::size_t>::max());

  RawWrite write() const {
    return [room = room](int handle, const char* bytes, std::size_t count) -> long {
      if (*room == 0) {
        errno = ENOSPC;
        return -1;
      }
      const std::size_t taken = std::min(count, *room);
#ifdef _WIN32
      const long written = _write(handle, bytes, static_cast<unsigned>(taken));
#else
      const long written = ::write(handle, bytes, taken);
#endif
      if (written > 0) *room -= static_cast<std::size_t>(written);
      return written;
    };
  }
};

TEST(LiveSessionsTest, AFullDiskLosesWholeLinesOnlyAndTheLogGoesOnWhenRoomReturns) {
  TempFolder folder;
  FakeOutputs outputs;
  std::ostringstream messages;
  ActivityLog activity{messages};
  FillingDisk disk;
  LiveSessions sessions{folder.path(), SessionTimes{seconds(10), seconds(600)}, 2, outputs, activity, disk.write()};
  const Clock::time_point now = Clock::now();
  const Endpoint server = source("127.0.0.1", 27015);
  const std::string raw = utf8FromPath(folder / "127.0.0.1_27015_2026-12-08_07-14-02.log");
  const std::string kill2 =
      "L 12/08/2026 - 07:15:40: \"Rope<5><STEAM_1:0:2><TERRORIST>\" killed \"Gull<3><STEAM_1:0:1><CT>\" with \"ak47\"\n";

  sessions.takeLine(server, kStarted, now);
  sessions.takeLine(server, kKill, now);
  sessions.flush();
  // The disk fills up in the middle of a line: the part written is cut off again.
  *disk.room = 30;
  sessions.takeLine(server, kill2, now);
  sessions.takeLine(server, kKill, now);
  sessions.flush();
  EXPECT_EQ(readFile(raw), kStarted + kKill);
  sessions.takeLine(server, kill2, now);
  sessions.flush();
  EXPECT_EQ(readFile(raw), kStarted + kKill);

  // Room again: the log goes on, the lines lost are counted, and it ends as usual.
  *disk.room = std::numeric_limits<std::size_t>::max();
  sessions.takeLine(server, kill2, now);
  sessions.flush();
  sessions.takeLine(server, kClosed, now);
  EXPECT_EQ(readFile(raw), kStarted + kKill + kill2 + kClosed);
  EXPECT_EQ(outputs.calls(), std::vector<std::string>{"finish " + raw + " (closed)"});
  const std::string told = messages.str();
  const std::string failure = "Cannot create file " + raw + ": " + std::generic_category().message(ENOSPC) +
                              ". Its lines are lost until it can be written again.\n";
  ASSERT_NE(told.find(failure), std::string::npos) << told;
  EXPECT_EQ(told.find(failure), told.rfind(failure));  // once, not for every line lost
  EXPECT_NE(told.find(raw + " is written again with 3 lines lost that could not be written\n"), std::string::npos)
      << told;

  // A later folder run over the raw logs reads every one of them.
  const testing::CliRun run = testing::cli({utf8FromPath(folder.path()), "-d", utf8FromPath(folder / "out")});
  EXPECT_EQ(run.status, 0) << run.err;
}

TEST(LiveSessionsTest, ALogEndingWhileTheDiskIsFullEndsWithItsWholeLines) {
  TempFolder folder;
  FakeOutputs outputs;
  std::ostringstream messages;
  ActivityLog activity{messages};
  FillingDisk disk;
  LiveSessions sessions{folder.path(), SessionTimes{seconds(10), seconds(600)}, 2, outputs, activity, disk.write()};
  const Endpoint server = source("127.0.0.1", 27015);
  const std::string raw = utf8FromPath(folder / "127.0.0.1_27015_2026-12-08_07-14-02.log");
  sessions.takeLine(server, kStarted, Clock::now());
  sessions.flush();
  *disk.room = kKill.size() + 5;
  sessions.takeLine(server, kKill, Clock::now());
  sessions.takeLine(server, kKill, Clock::now());
  sessions.takeLine(server, kClosed, Clock::now());
  EXPECT_EQ(readFile(raw), kStarted + kKill);
  EXPECT_EQ(outputs.calls(), std::vector<std::string>{"finish " + raw + " (closed)"});
  EXPECT_NE(messages.str().find(raw + " ends with 2 lines lost that could not be written\n"), std::string::npos)
      << messages.str();
}

}  // namespace
}  // namespace fragtally::live

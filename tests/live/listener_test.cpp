#include <gtest/gtest.h>

#include <sstream>

#include "base/error.h"
#include "base/file.h"
#include "cli/cli.h"
#include "live/folder_run_outputs.h"
#include "live/listener.h"
#include "tests/live/fake_outputs.h"
#include "tests/live/log_sender.h"
#include "tests/test_files.h"

namespace fragtally::live {
namespace {

using fragtally::testing::FakeOutputs;
using fragtally::testing::logDatagram;
using fragtally::testing::logLines;
using fragtally::testing::readFile;
using fragtally::testing::sourcePath;
using fragtally::testing::TempFolder;

const char* const kRawName = "127.0.0.1_%_2026-12-08_07-14-02.log";

std::string streamMatch() { return readFile(sourcePath("tests/live/stream_match.log")); }

// A listener on the loopback address, on a port the system chooses.
struct Loopback {
  TempFolder folder;
  std::ostringstream messages;
  ActivityLog activity{messages};

  ListenerSettings settings(const char* address = "127.0.0.1") {
    ListenerSettings s;
    s.address = parseIpAddress(address);
    s.logsFolder = folder.path();
    return s;
  }
};

// Takes datagrams until `done` or about five seconds have passed.
template <class Done>
void pollUntil(Listener& listener, Done done) {
  for (int i = 0; i < 250 && !done(); ++i) listener.pollOnce(std::chrono::milliseconds(20));
}

std::uint64_t dropped(const Listener& listener) { return listener.drops().total(); }

std::string rawName(std::uint16_t port) {
  std::string name = kRawName;
  return name.replace(name.find('%'), 1, std::to_string(port));
}

TEST(ListenerTest, TheRawLogIsTheStreamedLogByteForByte) {
  for (const std::optional<std::string>& secret : {std::optional<std::string>(), std::optional<std::string>("s3cret")}) {
    SCOPED_TRACE(secret.value_or("no secret"));
    Loopback loop;
    FakeOutputs outputs;
    ListenerSettings settings = loop.settings();
    settings.secret = secret;
    Listener listener(settings, outputs, loop.activity);
    const UdpSocket sender = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
    const std::string log = streamMatch();
    const auto lines = logLines(log);
    for (const std::string_view line : lines) ASSERT_TRUE(sender.sendTo(listener.localEndpoint(), logDatagram(line, secret)));
    pollUntil(listener, [&] { return listener.linesTaken() == lines.size(); });
    EXPECT_EQ(listener.linesTaken(), lines.size());
    EXPECT_EQ(dropped(listener), 0u);

    const auto raw = loop.folder / rawName(sender.localEndpoint().port);
    EXPECT_EQ(fragtally::testing::firstDifference(log, readFile(raw)), "");
    if (secret) {
      EXPECT_EQ(readFile(raw).find(*secret), std::string::npos);
    }
    EXPECT_EQ(outputs.calls().back(), "finish " + utf8FromPath(raw) + " (closed)");
  }
}

TEST(ListenerTest, DropsAndCountsWhatIsNotAllowedOrNotTheStream) {
  Loopback loop;
  FakeOutputs outputs;
  ListenerSettings settings = loop.settings();
  settings.secret = "s3cret";
  Listener listener(settings, outputs, loop.activity);
  const UdpSocket sender = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  const std::string line = "L 12/08/2026 - 07:14:02: World triggered \"Round_Start\"\n";
  const Endpoint to = listener.localEndpoint();
  ASSERT_TRUE(sender.sendTo(to, logDatagram(line, "wrong")));
  ASSERT_TRUE(sender.sendTo(to, logDatagram(line, std::nullopt)));
  ASSERT_TRUE(sender.sendTo(to, "log " + line));
  ASSERT_TRUE(sender.sendTo(to, logDatagram(line + std::string(3000, 'x'), "s3cret")));
  ASSERT_TRUE(sender.sendTo(to, logDatagram(line, "s3cret")));
  pollUntil(listener, [&] { return dropped(listener) + listener.linesTaken() == 5; });
  EXPECT_EQ(listener.drops().count(DropReason::wrongSecret), 2u);
  EXPECT_EQ(listener.drops().count(DropReason::badHeader), 1u);
  EXPECT_EQ(listener.drops().count(DropReason::oversized), 1u);
  EXPECT_EQ(listener.linesTaken(), 1u);
  listener.stop();
  EXPECT_NE(loop.messages.str().find("dropped 4 datagrams: 1 without the log header, 2 without the right secret, "
                                     "1 over 2048 bytes since the start"),
            std::string::npos)
      << loop.messages.str();
  // Only the good line reached a file.
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(loop.folder.path())) {
    ++files;
    EXPECT_EQ(readFile(entry.path()), line);
  }
  EXPECT_EQ(files, 1u);
}

TEST(ListenerTest, ALineNoReportCouldReadIsDroppedAndTheMatchKeepsItsReport) {
  Loopback loop;
  FakeOutputs outputs;
  Listener listener(loop.settings(), outputs, loop.activity);
  const UdpSocket sender = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  const std::string log = streamMatch();
  const auto lines = logLines(log);
  ASSERT_GT(lines.size(), 4u);
  const std::string chat = "L 12/08/2026 - 07:14:30: \"Gull<3><STEAM_1:0:1><CT>\" say \"gg\rwp\"\n";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i == 2) {
      ASSERT_TRUE(sender.sendTo(listener.localEndpoint(), logDatagram("no stamp here\n", std::nullopt)));
      ASSERT_TRUE(sender.sendTo(listener.localEndpoint(), logDatagram(chat, std::nullopt)));
    }
    ASSERT_TRUE(sender.sendTo(listener.localEndpoint(), logDatagram(lines[i], std::nullopt)));
  }
  pollUntil(listener, [&] { return listener.linesTaken() + dropped(listener) == lines.size() + 2; });
  EXPECT_EQ(listener.linesTaken(), lines.size());
  EXPECT_EQ(listener.drops().count(DropReason::noTimeStamp), 1u);
  EXPECT_EQ(listener.drops().count(DropReason::lineBreakInside), 1u);
  const auto raw = loop.folder / rawName(sender.localEndpoint().port);
  EXPECT_EQ(fragtally::testing::firstDifference(log, readFile(raw)), "");
  EXPECT_EQ(outputs.calls().back(), "finish " + utf8FromPath(raw) + " (closed)");
}

TEST(ListenerTest, AClosingLineOfNoOpenLogIsCountedAndStartsNothing) {
  Loopback loop;
  FakeOutputs outputs;
  Listener listener(loop.settings(), outputs, loop.activity);
  const UdpSocket sender = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  const std::string closed = "L 12/08/2026 - 07:17:25: Log file closed\n";
  constexpr int kStray = 50;
  for (int i = 0; i < kStray; ++i) ASSERT_TRUE(sender.sendTo(listener.localEndpoint(), logDatagram(closed, std::nullopt)));
  pollUntil(listener, [&] { return dropped(listener) == kStray; });
  EXPECT_EQ(listener.drops().count(DropReason::strayClose), static_cast<std::uint64_t>(kStray));
  EXPECT_EQ(listener.linesTaken(), 0u);
  listener.stop();
  EXPECT_TRUE(outputs.calls().empty());
  EXPECT_TRUE(std::filesystem::is_empty(loop.folder.path()));
  // A log that is open still ends at its closing line.
  const std::string started = "L 12/08/2026 - 07:14:02: Log file started (file \"logs/L1208007.log\")\n";
  Listener second(loop.settings(), outputs, loop.activity);
  ASSERT_TRUE(sender.sendTo(second.localEndpoint(), logDatagram(started, std::nullopt)));
  ASSERT_TRUE(sender.sendTo(second.localEndpoint(), logDatagram(closed, std::nullopt)));
  pollUntil(second, [&] { return second.linesTaken() == 2; });
  ASSERT_EQ(outputs.calls().size(), 1u);
  EXPECT_EQ(outputs.calls().front(),
            "finish " + utf8FromPath(loop.folder / rawName(sender.localEndpoint().port)) + " (closed)");
}

TEST(ListenerTest, OnlyAllowedAddressesAreTaken) {
  Loopback loop;
  FakeOutputs outputs;
  ListenerSettings settings = loop.settings("127.0.0.1");
  settings.allowed = {*parseIpAddress("::1")};
  Listener listener(settings, outputs, loop.activity);
  const UdpSocket sender = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  ASSERT_TRUE(sender.sendTo(listener.localEndpoint(), logDatagram("L 12/08/2026 - 07:14:02: x\n", std::nullopt)));
  pollUntil(listener, [&] { return dropped(listener) == 1; });
  EXPECT_EQ(listener.drops().count(DropReason::notAllowed), 1u);
  EXPECT_TRUE(std::filesystem::is_empty(loop.folder.path()));
}

TEST(ListenerTest, TwoSourcesAtOnceGiveTwoRawLogs) {
  Loopback loop;
  FakeOutputs outputs;
  Listener listener(loop.settings(), outputs, loop.activity);
  const UdpSocket first = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  const UdpSocket second = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  const std::string log = streamMatch();
  const auto lines = logLines(log);
  for (const std::string_view line : lines) {
    ASSERT_TRUE(first.sendTo(listener.localEndpoint(), logDatagram(line, std::nullopt)));
    ASSERT_TRUE(second.sendTo(listener.localEndpoint(), logDatagram(line, std::nullopt)));
  }
  pollUntil(listener, [&] { return listener.linesTaken() == 2 * lines.size(); });
  EXPECT_EQ(readFile(loop.folder / rawName(first.localEndpoint().port)), log);
  EXPECT_EQ(readFile(loop.folder / rawName(second.localEndpoint().port)), log);
}

TEST(ListenerTest, TakesIpv6AndIpv4OnOneSocketWithoutAnAddress) {
  Loopback loop;
  FakeOutputs outputs;
  ListenerSettings settings = loop.settings();
  settings.address.reset();
  std::optional<Listener> listener;
  try {
    listener.emplace(settings, outputs, loop.activity);
  } catch (const Error& error) {
    GTEST_SKIP() << error.what();
  }
  const std::uint16_t port = listener->localEndpoint().port;
  const std::string line = "L 12/08/2026 - 07:14:02: x\n";
  const UdpSocket v4 = UdpSocket::forSendingTo(*parseIpAddress("127.0.0.1"));
  ASSERT_TRUE(v4.sendTo({*parseIpAddress("127.0.0.1"), port}, logDatagram(line, std::nullopt)));
  pollUntil(*listener, [&] { return listener->linesTaken() == 1; });
  EXPECT_EQ(listener->linesTaken(), 1u);
  std::optional<UdpSocket> v6;
  try {
    v6 = UdpSocket::bound(parseIpAddress("::1"), 0);
  } catch (const Error&) {
    return;  // no IPv6 on this machine
  }
  ASSERT_TRUE(v6->sendTo({*parseIpAddress("::1"), port}, logDatagram(line, std::nullopt)));
  pollUntil(*listener, [&] { return listener->linesTaken() == 2; });
  listener->stop();
  EXPECT_EQ(readFile(loop.folder / ("0-0-0-0-0-0-0-1_" + std::to_string(v6->localEndpoint().port) +
                                    "_2026-12-08_07-14-02.log")),
            line);
}

// With the real outputs: the final report is the one a run over the raw log writes.
TEST(ListenerTest, TheFinalReportIsTheReportOfTheRawLog) {
  Loopback loop;
  const auto reports = loop.folder / "reports";
  std::filesystem::create_directories(reports / "logs");
  FolderRunOutputs folderRun(utf8FromPath(reports), {}, loop.activity);
  ListenerSettings settings = loop.settings();
  settings.logsFolder = reports / "logs";
  Listener listener(settings, folderRun, loop.activity);
  const UdpSocket sender = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  const std::string log = streamMatch();
  const auto lines = logLines(log);
  for (const std::string_view line : lines) ASSERT_TRUE(sender.sendTo(listener.localEndpoint(), logDatagram(line, std::nullopt)));
  pollUntil(listener, [&] { return listener.linesTaken() == lines.size(); });
  ASSERT_FALSE(folderRun.failed()) << loop.messages.str();

  const std::string rawLog = utf8FromPath(settings.logsFolder / rawName(sender.localEndpoint().port));
  const std::string report = utf8FromPath(reports / (pathFromUtf8(rawLog).stem().u8string() + u8".htm"));
  EXPECT_NE(loop.messages.str().find("finished " + rawLog + " (closed): " + report), std::string::npos)
      << loop.messages.str();
  std::ostringstream out;
  std::ostringstream err;
  const std::string batch = utf8FromPath(loop.folder / "batch.htm");
  ASSERT_EQ(runCli({rawLog, "-o", batch}, out, err), 0) << err.str();
  EXPECT_EQ(fragtally::testing::firstDifference(readFile(batch), readFile(pathFromUtf8(report))), "");
  const std::string index = readFile(reports / "index.htm");
  EXPECT_NE(index.find(pathFromUtf8(report).filename().string()), std::string::npos);
}

}  // namespace
}  // namespace fragtally::live

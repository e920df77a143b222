#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/error.h"
#include "base/file.h"
#include "cli/cli.h"
#include "live/udp_socket.h"
#include "tests/cli_process.h"
#include "tests/live/log_sender.h"
#include "tests/test_files.h"

namespace fragtally::live {
namespace {

using fragtally::testing::readFile;
using fragtally::testing::TempFolder;

#ifndef _WIN32

// A loopback port that is free now.
std::uint16_t freePort() { return UdpSocket::bound(parseIpAddress("127.0.0.1"), 0).localEndpoint().port; }

bool portTaken(std::uint16_t port) {
  try {
    UdpSocket::bound(parseIpAddress("127.0.0.1"), port);
    return false;
  } catch (const Error&) {
    return true;
  }
}

template <class Done>
bool waitFor(Done done) {
  for (int i = 0; i < 500; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

TEST(ListenProcessTest, SigtermInTheMiddleLeavesAWholeReportOfTheLinesSoFar) {
  TempFolder folder;
  const std::uint16_t port = freePort();
  fragtally::testing::CliProcess listener(
      {"--listen", "127.0.0.1:" + std::to_string(port), "-d", utf8FromPath(folder.path()), "--refresh", "1"});
  ASSERT_TRUE(waitFor([&] { return portTaken(port); }));

  const std::string log = readFile(fragtally::testing::sourcePath("tests/live/stream_match.log"));
  auto lines = fragtally::testing::logLines(log);
  lines.resize(lines.size() / 2);
  std::string sent;
  for (const std::string_view line : lines) sent += line;
  const UdpSocket sender = UdpSocket::bound(parseIpAddress("127.0.0.1"), 0);
  for (const std::string_view line : lines) {
    ASSERT_TRUE(sender.sendTo({*parseIpAddress("127.0.0.1"), port}, fragtally::testing::logDatagram(line, std::nullopt)));
  }
  const std::string stem = "127.0.0.1_" + std::to_string(sender.localEndpoint().port) + "_2026-12-08_07-14-02";
  const auto rawLog = folder / "logs" / (stem + ".log");
  ASSERT_TRUE(waitFor([&] { return readFile(rawLog).size() == sent.size(); }));

  listener.terminate();
  EXPECT_EQ(listener.wait(), 0);
  EXPECT_EQ(readFile(rawLog), sent);
  std::ostringstream out;
  std::ostringstream err;
  const std::string batch = utf8FromPath(folder / "batch" / "batch.htm");
  std::filesystem::create_directories(folder / "batch");
  ASSERT_EQ(runCli({utf8FromPath(rawLog), "-o", batch}, out, err), 0) << err.str();
  EXPECT_EQ(fragtally::testing::firstDifference(readFile(batch), readFile(folder / (stem + ".htm"))), "");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

TEST(FollowProcessTest, ALogThatCannotBeReadEndsTheRunWithStatusOne) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "logs");
  // A pipe named as the newest log: never a log that can be read.
  ASSERT_EQ(::mkfifo((folder / "logs" / "L1208007.log").c_str(), 0644), 0);
  fragtally::testing::CliProcess follower(
      {"--follow", utf8FromPath(folder / "logs"), "-d", utf8FromPath(folder / "out")});
  ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(folder / "out"); }));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // past its first look at the folder
  follower.terminate();
  EXPECT_EQ(follower.wait(), 1);
}

#endif

}  // namespace
}  // namespace fragtally::live

#include <gtest/gtest.h>

#include "live/datagram.h"
#include "live/drop_counts.h"
#include "live/ip_address.h"
#include "live/log_markers.h"
#include "cli/live_option_values.h"

namespace fragtally::live {
namespace {

using namespace std::string_literals;

const std::string kLine = "L 12/08/2026 - 07:14:02: World triggered \"Round_Start\"\n";
const std::string kHeader = "\xFF\xFF\xFF\xFF"s;

TEST(DatagramTest, TakesTheLineOfBothFormsWithoutHeaderAndZero) {
  const std::string plainDatagram = kHeader + "log " + kLine + '\0';
  const ParsedDatagram plain = parseDatagram(plainDatagram, std::nullopt);
  EXPECT_FALSE(plain.dropped);
  EXPECT_EQ(plain.line, kLine);
  const std::string secretDatagram = kHeader + "Sopen sesame" + kLine + '\0';
  const ParsedDatagram withSecret = parseDatagram(secretDatagram, "open sesame"s);
  EXPECT_FALSE(withSecret.dropped);
  EXPECT_EQ(withSecret.line, kLine);
}

TEST(DatagramTest, DropsWhatIsNotTheStreamOfThisServer) {
  const auto reason = [](const std::string& datagram, std::optional<std::string> secret) {
    return parseDatagram(datagram, secret).dropped;
  };
  EXPECT_EQ(reason("log " + kLine + '\0', std::nullopt), DropReason::badHeader);
  EXPECT_EQ(reason("\xFF\xFF\xFFlog " + kLine + '\0', std::nullopt), DropReason::badHeader);
  EXPECT_EQ(reason(kHeader + "rcon " + kLine + '\0', std::nullopt), DropReason::badHeader);
  EXPECT_EQ(reason(kHeader + "log \0", std::nullopt), DropReason::badHeader);
  EXPECT_EQ(reason(kHeader + "log L 12/08\0/2026\n\0"s, std::nullopt), DropReason::badHeader);
  EXPECT_EQ(reason(kHeader, std::nullopt), DropReason::badHeader);
  // Secret missing, wrong, longer or shorter than the one asked for, or not expected.
  EXPECT_EQ(reason(kHeader + "log " + kLine + '\0', "abc"s), DropReason::wrongSecret);
  EXPECT_EQ(reason(kHeader + "Sabd" + kLine + '\0', "abc"s), DropReason::wrongSecret);
  EXPECT_EQ(reason(kHeader + "Sabcd" + kLine + '\0', "abc"s), DropReason::wrongSecret);
  EXPECT_EQ(reason(kHeader + "Sab" + kLine + '\0', "abc"s), DropReason::wrongSecret);
  EXPECT_EQ(reason(kHeader + "Sabc" + kLine + '\0', std::nullopt), DropReason::wrongSecret);
  EXPECT_EQ(reason(kHeader + "log " + std::string(kMaxDatagramBytes, 'x'), std::nullopt), DropReason::oversized);
  EXPECT_FALSE(reason(kHeader + "log " + kLine.substr(0, 25) + std::string(kMaxDatagramBytes - 35, 'x') + "\n\0"s,
                      std::nullopt));
}

TEST(DatagramTest, DropsALineTheReportCouldNotRead) {
  const auto reason = [](const std::string& line) { return parseDatagram(kHeader + "log " + line + '\0', std::nullopt).dropped; };
  // The report reads every line's stamp: a line without a whole one is not the server's.
  EXPECT_EQ(reason("hello\n"), DropReason::noTimeStamp);
  EXPECT_EQ(reason("L 12/08/2026 - 07:14:0: x\n"), DropReason::noTimeStamp);
  EXPECT_EQ(reason("L 12/08/2026 - 07:14:02 x\n"), DropReason::noTimeStamp);
  EXPECT_EQ(reason("L 12/08/2026 - 07:1"), DropReason::noTimeStamp);
  EXPECT_EQ(reason("L 12/0x/2026 - 07:14:02: x\n"), DropReason::noTimeStamp);
  // A break inside would split the line in the raw log; its second part has no stamp.
  const std::string said = "L 12/08/2026 - 07:14:02: \"Gull<3><STEAM_1:0:1><CT>\" say \"";
  EXPECT_EQ(reason(said + "a\rb\"\n"), DropReason::lineBreakInside);
  EXPECT_EQ(reason(said + "a\nb\"\n"), DropReason::lineBreakInside);
  EXPECT_EQ(reason(said + "ab\"\n\n"), DropReason::lineBreakInside);
  // Its own line end, whichever, or none at all, is no break inside.
  EXPECT_FALSE(reason(said + "ab\"\r\n"));
  EXPECT_FALSE(reason(said + "ab\"\r"));
  EXPECT_FALSE(reason(said + "ab\""));
  const std::string withSecret = kHeader + "Sabc" + said + "a\rb\"\n" + '\0';
  EXPECT_EQ(parseDatagram(withSecret, "abc"s).dropped, DropReason::lineBreakInside);
}

TEST(DropCountsTest, NamesEachReasonWithItsCount) {
  DropCounts drops;
  EXPECT_EQ(drops.text(), "");
  drops.add(DropReason::notAllowed);
  drops.add(DropReason::notAllowed);
  drops.add(DropReason::oversized);
  EXPECT_EQ(drops.text(), "dropped 3 datagrams: 2 from an address not allowed, 1 over 2048 bytes");
  drops.add(DropReason::noTimeStamp);
  drops.add(DropReason::lineBreakInside);
  drops.add(DropReason::strayClose);
  EXPECT_EQ(drops.text(),
            "dropped 6 datagrams: 2 from an address not allowed, 1 over 2048 bytes, 1 without a time stamp, "
            "1 with a line break inside the line, 1 closing no open log");
}

TEST(LogMarkersTest, FindsTheFirstAndLastLineOfAServerLog) {
  EXPECT_TRUE(startsLog("L 12/08/2026 - 07:14:02: Log file started (file \"logs/L1208007.log\")\n"));
  EXPECT_TRUE(closesLog("L 12/08/2026 - 07:17:25: Log file closed\n"));
  EXPECT_TRUE(closesLog("L 12/08/2026 - 07:17:25: Log file closed\r\n"));
  EXPECT_FALSE(closesLog("L 12/08/2026 - 07:17:25: Log file closed by admin\n"));
  EXPECT_FALSE(closesLog("L 12/08/2026 - 07:17:25: \"Log file closed<1><2><CT>\" say \"x\"\n"));
  EXPECT_FALSE(startsLog("Log file started\n"));
}

TEST(LogMarkersTest, StampForFileNameIsYearFirst) {
  EXPECT_EQ(stampForFileName("L 12/08/2026 - 07:14:02: Log file started\n"), "2026-12-08_07-14-02");
  EXPECT_EQ(stampForFileName("L 12/08/2026 - 7:14:02: x\n"), std::nullopt);
  EXPECT_EQ(stampForFileName("L 12/08/2026 - 07:14:02"), std::nullopt);
}

TEST(IpAddressTest, ReadsBothFamiliesAndWritesThemForFileNames) {
  const auto v4 = parseIpAddress("127.0.0.1");
  ASSERT_TRUE(v4);
  EXPECT_FALSE(v4->v6);
  EXPECT_EQ(addressForFileName(*v4), "127.0.0.1");
  const auto v6 = parseIpAddress("[2001:db8::1]");
  ASSERT_TRUE(v6);
  EXPECT_EQ(addressForFileName(*v6), "2001-db8-0-0-0-0-0-1");
  EXPECT_EQ(endpointText({*v6, 27015}), "[2001:db8::1]:27015");
  EXPECT_FALSE(parseIpAddress("localhost"));
  EXPECT_FALSE(parseIpAddress("127.0.0.256"));
  EXPECT_FALSE(parseIpAddress(""));
}

TEST(IpAddressTest, AnIpv4MappedSenderIsItsIpv4Address) {
  const auto mapped = parseIpAddress("::ffff:192.0.2.7");
  ASSERT_TRUE(mapped);
  EXPECT_EQ(withoutIpv4Mapping(*mapped), parseIpAddress("192.0.2.7"));
  EXPECT_TRUE(isLoopback(*parseIpAddress("::ffff:127.0.0.1")));
  EXPECT_TRUE(isLoopback(*parseIpAddress("127.0.0.53")));
  EXPECT_TRUE(isLoopback(*parseIpAddress("::1")));
  EXPECT_FALSE(isLoopback(*parseIpAddress("::2")));
  EXPECT_FALSE(isLoopback(*parseIpAddress("192.0.2.7")));
}

TEST(LiveOptionsTest, ListenTakesAPortWithOrWithoutAnAddress) {
  ListenOptions options;
  EXPECT_EQ(parseListenValue("27500", options), std::nullopt);
  EXPECT_FALSE(options.address);
  EXPECT_EQ(options.port, 27500);
  EXPECT_EQ(parseListenValue("127.0.0.1:27015", options), std::nullopt);
  EXPECT_EQ(options.address, parseIpAddress("127.0.0.1"));
  EXPECT_EQ(options.port, 27015);
  EXPECT_EQ(parseListenValue("[::1]:0", options), std::nullopt);
  EXPECT_EQ(options.address, parseIpAddress("::1"));
  EXPECT_EQ(options.port, 0);

  EXPECT_TRUE(parseListenValue("::1:27500", options));
  EXPECT_TRUE(parseListenValue("65536", options));
  EXPECT_TRUE(parseListenValue("-1", options));
  EXPECT_TRUE(parseListenValue("127.0.0.1:", options));
  EXPECT_TRUE(parseListenValue(":27500", options));
  EXPECT_TRUE(parseListenValue("server:27500", options));
}

TEST(LiveOptionsTest, AllowAndSecondsRefuseWhatTheyCannotRead) {
  ListenOptions options;
  EXPECT_EQ(parseAllowValue("::1", options), std::nullopt);
  EXPECT_EQ(parseAllowValue("192.0.2.7", options), std::nullopt);
  EXPECT_EQ(options.allowed.size(), 2u);
  EXPECT_EQ(parseAllowValue("192.0.2.0/24", options), "--allow: not an IP address: 192.0.2.0/24");
  unsigned seconds = 10;
  EXPECT_EQ(parseSecondsValue("--idle", "300", seconds), std::nullopt);
  EXPECT_EQ(seconds, 300u);
  EXPECT_TRUE(parseSecondsValue("--idle", "0", seconds));
  EXPECT_TRUE(parseSecondsValue("--refresh", "5s", seconds));
  EXPECT_TRUE(parseSecondsValue("--refresh", "", seconds));
  EXPECT_EQ(seconds, 300u);
}

}  // namespace
}  // namespace fragtally::live

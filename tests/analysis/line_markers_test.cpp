#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "analysis/line_markers.h"
#include "analysis/line_scan_blocks.h"

namespace fragtally {
namespace {

LineMarkers plainSearch(std::string_view line) {
  const auto has = [&](std::string_view needle) { return line.find(needle) != std::string_view::npos; };
  return {has("Started map"), has("triggered \"Terrorists_Win\"") || has("triggered \"CTs_Win\""), line.find("killed")};
}

// The block scan must agree with a plain search wherever a marker stands: at
// every offset across block borders and at the very end of the line, whole or
// cut short by one byte, and next to its own look-alikes.
TEST(LineMarkersTest, AgreesWithAPlainSearchAtEveryPosition) {
  const std::string markers[] = {"Started map", "triggered \"Terrorists_Win\"", "triggered \"CTs_Win\"", "killed",
                                 "Started mab", "triggered \"CT_Win\"", "kille", "killedtriggered \"CTs_Win\""};
  for (const std::string& marker : markers) {
    for (std::size_t length = marker.size() - 1; length <= marker.size(); ++length) {
      const std::string piece = marker.substr(0, length);
      for (std::size_t before = 0; before < 40; ++before) {
        for (std::size_t after = 0; after < 20; ++after) {
          const std::string line = std::string(before, 't') + piece + std::string(after, 'k');
          const LineMarkers expected = plainSearch(line);
          const LineMarkers found = findLineMarkers(line);
          EXPECT_EQ(found.startedMap, expected.startedMap) << line;
          EXPECT_EQ(found.roundEnd, expected.roundEnd) << line;
          EXPECT_EQ(found.killedAt, expected.killedAt) << line;
        }
      }
    }
  }
}

// The same lines scanned in a buffer, ended by CR or LF and followed by a line
// that holds every marker: the scan stops at the end and sees only the markers
// before it, including one cut short right at the line end.
TEST(LineMarkersTest, ScanOfALineInABufferSeesOnlyThatLine) {
  const std::string next = "Started map triggered \"CTs_Win\" killed";
  const std::string markers[] = {"Started map", "triggered \"Terrorists_Win\"", "triggered \"CTs_Win\"", "killed"};
  for (const std::string& marker : markers) {
    for (std::size_t length = marker.size() - 1; length <= marker.size(); ++length) {
      for (std::size_t before = 0; before < 40; ++before) {
        for (std::size_t after = 0; after < 4; ++after) {
          const std::string line = std::string(before, 'k') + marker.substr(0, length) + std::string(after, 't');
          for (const char end : {'\r', '\n'}) {
            std::string buffer = line + end + next;
            const std::size_t size = buffer.size();
            buffer.append(kScanOverhang, 'd');
            const LineScan scan = scanLine(std::string_view(buffer.data(), size));
            const LineMarkers expected = plainSearch(line);
            ASSERT_EQ(scan.end, line.size()) << line;
            EXPECT_EQ(scan.markers.startedMap, expected.startedMap) << line;
            EXPECT_EQ(scan.markers.roundEnd, expected.roundEnd) << line;
            EXPECT_EQ(scan.markers.killedAt, expected.killedAt) << line;
          }
        }
      }
    }
  }
}

// Each block width on its own (the program takes the widest the processor
// has; the portable one is built and checked everywhere): the same lines at
// every offset, ended by CR or LF, followed by a line with every marker and by
// bytes that must not count.
TEST(LineMarkersTest, EveryBlockWidthScansLikeAPlainSearch) {
  std::vector<std::pair<const char*, BlockScan (*)(const char*, std::size_t)>> scanners = {
      {"portable", scanBlocksPortable}};
#if defined(__SSE2__)
  scanners.emplace_back("SSE2", scanBlocksSse2);
#endif
#if defined(FRAGTALLY_AVX2_SCAN)
  if (__builtin_cpu_supports("avx2")) scanners.emplace_back("AVX2", scanBlocksAvx2);
#endif
  const std::string next = "Started map triggered \"CTs_Win\" killed";
  const std::string markers[] = {"Started map", "triggered \"Terrorists_Win\"", "triggered \"CTs_Win\"", "killed",
                                 "triggered \"CTs_Wim\""};
  for (const auto& [name, scan] : scanners) {
    for (const std::string& marker : markers) {
      for (std::size_t before = 0; before < 70; ++before) {
        for (std::size_t after = 0; after < 4; ++after) {
          // The last variant cuts the marker short by its last byte.
          const std::string piece = after < 3 ? marker + std::string(after, 't') : marker.substr(0, marker.size() - 1);
          const std::string line = std::string(before, 'k') + piece;
          std::string buffer = line + "\r" + next;
          const std::size_t size = buffer.size();
          buffer.append(kScanOverhang, '\n');
          const BlockScan found = scan(buffer.data(), size);
          const LineMarkers expected = plainSearch(line);
          ASSERT_EQ(found.end, line.size()) << name << " " << line;
          EXPECT_EQ(found.startedMap, expected.startedMap) << name << " " << line;
          EXPECT_EQ(found.roundEnd, expected.roundEnd) << name << " " << line;
          EXPECT_EQ(found.killedAt, expected.killed() ? expected.killedAt : size) << name << " " << line;
          // Cut short before its end, the text holds no line: the end seen in
          // the bytes behind it does not count.
          EXPECT_EQ(scan(buffer.data(), line.size()).end, line.size()) << name << " " << line;
        }
      }
    }
  }
}

// Bytes of every value, high ones included, in random lines: every scan gives
// what the portable one gives, so a build without SSE2 scans as this one does.
TEST(LineMarkersTest, EveryBlockWidthAgreesOnRandomBytes) {
  std::vector<std::pair<const char*, BlockScan (*)(const char*, std::size_t)>> scanners;
#if defined(__SSE2__)
  scanners.emplace_back("SSE2", scanBlocksSse2);
#endif
#if defined(FRAGTALLY_AVX2_SCAN)
  if (__builtin_cpu_supports("avx2")) scanners.emplace_back("AVX2", scanBlocksAvx2);
#endif
  const std::string pieces[] = {"Started map", "triggered \"Terrorists_Win\"", "triggered \"CTs_Win\"", "killed",
                                "kill", "\r", "\n", "\x80", "\xff", "t\"", "Sp", "kd"};
  std::uint32_t state = 12345;
  const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    while (text.size() < next() % 200) {
      if (next() % 3 == 0) {
        text += pieces[next() % std::size(pieces)];
      } else {
        text += static_cast<char>(next() % 256);
      }
    }
    const std::size_t size = text.size();
    text.append(kScanOverhang, static_cast<char>(next() % 256));
    const BlockScan portable = scanBlocksPortable(text.data(), size);
    const std::string_view line(text.data(), portable.end);
    const LineMarkers expected = plainSearch(line);
    ASSERT_EQ(portable.end, std::min(size, std::string_view(text.data(), size).find_first_of("\r\n")));
    EXPECT_EQ(portable.startedMap, expected.startedMap);
    EXPECT_EQ(portable.roundEnd, expected.roundEnd);
    EXPECT_EQ(portable.killedAt, expected.killed() ? expected.killedAt : size);
    for (const auto& [name, scan] : scanners) {
      const BlockScan found = scan(text.data(), size);
      EXPECT_EQ(found.end, portable.end) << name;
      EXPECT_EQ(found.startedMap, portable.startedMap) << name;
      EXPECT_EQ(found.roundEnd, portable.roundEnd) << name;
      EXPECT_EQ(found.killedAt, portable.killedAt) << name;
    }
  }
}

// Without a line end the text is not a whole line yet, whatever stands behind it.
TEST(LineMarkersTest, ScanWithoutALineEndFindsNoEnd) {
  std::string buffer = std::string(37, 'x') + "\r\n" + std::string(kScanOverhang, '\n');
  for (std::size_t size = 0; size <= 37; ++size) {
    EXPECT_EQ(scanLine(std::string_view(buffer.data(), size)).end, std::string_view::npos) << size;
  }
  EXPECT_EQ(scanLine(std::string_view(buffer.data(), 38)).end, 37u);
}

TEST(LineMarkersTest, FindsEveryMarkerOfOneLine) {
  const LineMarkers all = findLineMarkers(
      "L 10/25/2003 - 21:13:45: Started map \"x\" \"A<1><2><CT>\" killed \"B<3><4><CT>\" with \"awp\" Team \"CT\" "
      "triggered \"CTs_Win\" (CT \"1\") (T \"0\")");
  EXPECT_TRUE(all.startedMap && all.roundEnd && all.killed());
  const LineMarkers none = findLineMarkers("");
  EXPECT_FALSE(none.startedMap || none.roundEnd || none.killed());
}

}  // namespace
}  // namespace fragtally

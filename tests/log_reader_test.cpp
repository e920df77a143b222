#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/log_reader.h"

namespace fragtally {
namespace {

using Lines = std::vector<std::string>;

Lines split(std::string_view bytes, std::size_t pieceSize = static_cast<std::size_t>(-1),
            std::size_t chunkSize = LineReader::kDefaultChunkSize) {
  MemorySource source(bytes, pieceSize);
  LineReader reader(source, chunkSize);
  Lines lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

// The lines as the reader that also finds markers hands them out; each line's
// markers must be those of a search of the whole line.
Lines splitMarking(std::string_view bytes, std::size_t pieceSize, std::size_t chunkSize) {
  MemorySource source(bytes, pieceSize);
  LineReader reader(source, chunkSize);
  Lines lines;
  std::string_view line;
  LineMarkers markers;
  while (reader.next(line, markers)) {
    const LineMarkers searched = findLineMarkers(line);
    EXPECT_EQ(markers.startedMap, searched.startedMap) << line;
    EXPECT_EQ(markers.roundEnd, searched.roundEnd) << line;
    EXPECT_EQ(markers.killedAt, searched.killedAt) << line;
    lines.emplace_back(line);
  }
  return lines;
}

TEST(LogReaderTest, LineEndsOfEveryKind) {
  EXPECT_EQ(split(""), Lines{});
  EXPECT_EQ(split("a"), Lines{"a"});
  EXPECT_EQ(split("a\r\n"), Lines{"a"});
  EXPECT_EQ(split("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(split("a\nb\rc\r\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(split("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two line ends
  EXPECT_EQ(split("\r\r\n\n"), (Lines{"", "", ""}));
}

TEST(LogReaderTest, AZeroByteEndsTheText) {
  using namespace std::string_literals;
  EXPECT_EQ(split("ab\0cd\r\nef"s), Lines{"ab"});
  EXPECT_EQ(split("ab\r\n\0cd"s), Lines{"ab"});
  EXPECT_EQ(split("\0ab"s), Lines{});
}

// Every split of the bytes into pieces, and every buffer size, gives the lines
// of the whole text read at once: CR LF across a border, a lone CR at a border,
// a last line without an end, a line longer than the buffer.
TEST(LogReaderTest, ChunkBordersChangeNothing) {
  using namespace std::string_literals;
  const std::vector<std::string> texts = {
      "L one\r\nL two\r\n\r\nL four\rL five\nL six"s,
      "\r\n\r\r\n\n\r"s,
      "a\rb\r\nc\n\r\nd\r"s,
      std::string(100, 'x') + "\r\n" + std::string(37, 'y') + "\r" + "\n"s + "z",
      "before zero\r\nsame line\0after\r\nmore"s,
      "L a killed b\r\nStarted map x\rtriggered \"CTs_Win\"\nkilled\r\nkil\nled killed"s,
  };
  for (const std::string& text : texts) {
    const Lines whole = split(text);
    for (std::size_t piece = 1; piece <= text.size(); ++piece) {
      for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, std::size_t{64}}) {
        EXPECT_EQ(split(text, piece, chunk), whole) << "piece " << piece << " chunk " << chunk;
        EXPECT_EQ(splitMarking(text, piece, chunk), whole) << "piece " << piece << " chunk " << chunk;
      }
    }
  }
}

}  // namespace
}  // namespace fragtally

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/interpret_line.h"
#include "analysis/log_reader.h"
#include "base/error.h"
#include "report/write_report.h"
#include "stats/match_stats.h"

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

// What a log gives, the report or the message that ended the run, read by the
// reader in chunks of `chunkSize`: a longer line is handed out as its excerpt.
std::string outcomeOfReader(std::string_view log, std::size_t chunkSize, std::size_t pieceSize) {
  auto stats = std::make_unique<MatchStats>();
  try {
    MemorySource source(log, pieceSize);
    LineReader reader(source, chunkSize);
    std::string_view line;
    LineMarkers markers;
    while (reader.next(line, markers)) interpretLine(*stats, line, markers);
    return buildReport(*stats);
  } catch (const Error& error) {
    return error.what();
  }
}

// The lines of a log (without zero bytes) by the plain line rules.
std::vector<std::string_view> wholeLines(std::string_view log) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t at = 0; at < log.size(); ++at) {
    if (log[at] != '\r' && log[at] != '\n') continue;
    lines.push_back(log.substr(start, at - start));
    if (log[at] == '\r' && at + 1 < log.size() && log[at + 1] == '\n') ++at;
    start = at + 1;
  }
  if (start < log.size()) lines.push_back(log.substr(start));
  return lines;
}

// The same with every line held whole.
std::string outcomeOfWholeLines(std::string_view log) {
  auto stats = std::make_unique<MatchStats>();
  try {
    for (const std::string_view line : wholeLines(log)) interpretLine(*stats, line);
    return buildReport(*stats);
  } catch (const Error& error) {
    return error.what();
  }
}

// What one line gives on its own: the report of a record that saw only it, or
// its failure. `markers` as the reader found them, or null to search the line.
std::string outcomeOfLine(std::string_view line, const LineMarkers* markers) {
  auto stats = std::make_unique<MatchStats>();
  try {
    if (markers != nullptr) {
      interpretLine(*stats, line, *markers);
    } else {
      interpretLine(*stats, line);
    }
    return buildReport(*stats);
  } catch (const Error& error) {
    return error.what();
  }
}

const std::string kHeader =
    "L 10/25/2003 - 21:13:45: Started map \"de_dust\"\r\n"
    "L 10/25/2003 - 21:14:02: \"Alpha<12><1001><CT>\" killed \"Bravo<13><1002><TERRORIST>\" with \"knife\"\r\n";
const std::string kFooter =
    "\r\nL 10/25/2003 - 21:16:40: Team \"CT\" triggered \"CTs_Win\" (CT \"1\") (T \"0\")\r\n"
    "L 10/25/2003 - 21:17:02: \"Bravo<13><1002><TERRORIST>\" killed \"Alpha<12><1001><CT>\" with \"usp\"\r\n";

std::string fill(std::size_t size, char byte = 'a') { return std::string(size, byte); }

// Lines of a few megabytes, each between ordinary lines and at the very end
// without a line end: names far longer than a cut, markers and landmarks far
// out in the line, near one another and alone, a stamp that ends far out.
// Read in chunks far shorter than the lines, whose borders fall at every
// offset of the markers, each gives the report of the whole lines.
TEST(LogReaderTest, LongLinesGiveWhatTheWholeLinesGive) {
  const std::size_t mb = 1 << 20;
  const std::string stamp = "L 10/25/2003 - 21:15:00: ";
  const std::vector<std::string> lines = {
      stamp + "\"" + fill(3 * mb, 'A') + "<12><1001><CT>\" killed \"" + fill(2 * mb, 'B') +
          "<13><1002><TERRORIST>\" with \"" + fill(mb, 'w') + "\"",
      stamp + "\"Alpha<12><1001><CT>\" killed \"Bravo<13><1002><TERRORIST>\" with \"knife\"" + fill(3 * mb),
      stamp + "\"Alpha<1><2><TERRORIST>\" say \"" + fill(3 * mb) + "killed" + fill(2 * mb) + "with \"awp\" <CT>",
      stamp + "\"Alpha<1><2><CT>\"" + fill(2 * mb) + "killed \"Bravo<3><4><TERRORIST>\" with \"m4a1\"",
      stamp + fill(2 * mb) + "<CT>" + fill(200) + "killed \"Bravo<3><4><TERRORIST>\"" + fill(100) + "with \"ak47\"",
      stamp + fill(2 * mb) + "<CT>" + fill(250) + "killed \"Bravo<3><4><CT>\" with \"ak47\"",
      stamp + fill(mb) + "killed <CT> \"Bravo<3><4><CT>\"" + fill(mb) + "with \"deagle\"<TERRORIST>",
      stamp + "chat " + fill(2 * mb) + "Started map \"" + fill(100) + "x\"" + fill(mb),
      stamp + fill(mb) + "\"second_map\"" + fill(mb) + "Started map",
      stamp + fill(mb) + "Team \"CT\" triggered \"Terrorists_Win\" (CT \"3\") (T \"4\")" + fill(mb),
      stamp + "(CT \"5\") (T \"6\")" + fill(2 * mb) + "triggered \"CTs_Win\"",
      "L 10/25/2003 - 21:15:30" + fill(2 * mb) + ": " + fill(mb),
      "L " + fill(mb, '1') + " - 21:15:40: x",
      "L " + fill(300, '1') + " -" + fill(mb) + " - 21:15:50" + fill(mb) + ": x",
      // A date cut inside a character of four bytes that ends at the head's last byte.
      "L " + fill(254, '1') + "\xF0\x9F\x98\x80" + fill(mb) + " - 21:15:50: x",
      "L " + fill(253, '1') + "\xF0\x9F\x98\x80" + fill(mb) + " - 21:15:50: x",
      // Kept parts that would make a ": " where they meet, were they not kept apart.
      "L " + fill(mb, '1') + "\"" + fill(256) + ":" + fill(mb) + " - 21:15:50: x",
      "L 10/25/2003 - 21:15:30" + fill(2 * mb),
      fill(2 * mb) + ": ",
  };
  for (const std::string& line : lines) {
    for (const std::string& log : {kHeader + line + kFooter, kHeader + line}) {
      const std::string expected = outcomeOfWholeLines(log);
      for (const std::size_t chunk : {std::size_t{4096}, std::size_t{4099}, std::size_t{65536 + 13}, LineReader::kDefaultChunkSize}) {
        EXPECT_EQ(outcomeOfReader(log, chunk, static_cast<std::size_t>(-1)), expected)
            << "chunk " << chunk << " line " << line.substr(0, 60);
      }
      EXPECT_EQ(outcomeOfReader(log, 1000, 777), expected) << line.substr(0, 60);
    }
  }
}

// Random long lines made of markers, landmarks, look-alikes and runs of filler
// of any length, read in small chunks: every border meets every kind of piece.
// Each line is compared on its own, so that one that fails hides no other.
TEST(LogReaderTest, RandomLongLinesGiveWhatTheWholeLinesGive) {
  const std::string pieces[] = {"killed", "with", "<CT>", "<TERRORIST>", "\"", "(", "<", ": ", " - ", " -", "Started map",
                                "triggered \"Terrorists_Win\"", "triggered \"CTs_Win\"", " (CT \"2\") (T \"3\")",
                                "\"Name<1><2><CT>\"", "kill", "21:16:00", "L 10/25/2003 - 21:15:00: "};
  std::uint32_t state = 2003;
  const auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 8; };
  for (int round = 0; round < 40; ++round) {
    std::string log = kHeader;
    for (int lineCount = 0; lineCount < 3; ++lineCount) {
      log += "L 10/25/2003 - 21:15:0" + std::to_string(next() % 10) + ": ";
      const std::size_t pieceCount = next() % 30;
      for (std::size_t i = 0; i < pieceCount; ++i) {
        const std::uint32_t kind = next() % 4;
        if (kind == 0) {
          log += fill(next() % 3000, static_cast<char>('a' + next() % 3));
        } else if (kind == 1) {
          log += fill(next() % 300, 'x');
        } else {
          log += pieces[next() % std::size(pieces)];
        }
      }
      log += "\r\n";
    }
    log += kFooter;
    const std::vector<std::string_view> whole = wholeLines(log);
    for (const std::size_t chunk : {std::size_t{300}, std::size_t{301 + next() % 2000}}) {
      MemorySource source(log, 1 + next() % 5000);
      LineReader reader(source, chunk);
      std::string_view line;
      LineMarkers markers;
      for (const std::string_view expected : whole) {
        ASSERT_TRUE(reader.next(line, markers));
        EXPECT_EQ(outcomeOfLine(line, &markers), outcomeOfLine(expected, nullptr))
            << "round " << round << " chunk " << chunk;
      }
      EXPECT_FALSE(reader.next(line, markers));
    }
  }
}

// However long the line, what is kept of it stays within its start and one
// cut's reach from each landmark.
TEST(LogReaderTest, ALongLineIsNotHeldWhole) {
  const std::string log = "L 10/25/2003 - 21:15:00: \"" + fill(4 << 20) + "\" killed with <CT> Started map (" +
                          fill(1 << 20) + "triggered \"CTs_Win\" triggered \"Terrorists_Win\"" + fill(1 << 20);
  MemorySource source(log);
  LineReader reader(source, 4096);
  std::string_view line;
  ASSERT_TRUE(reader.next(line));
  EXPECT_LE(line.size(), LineExcerpt::kHead + 16 * (LineExcerpt::kReach + 1));
  EXPECT_FALSE(reader.next(line));
}

}  // namespace
}  // namespace fragtally

// Log bytes -> interpretLog -> buildReport, the path every log takes. The first
// input byte picks the size of the pieces the source hands out and of the
// reader's buffer, so that line ends, zero bytes and long lines meet every
// chunk border of the line reader.
//
// Beyond "no crash, no leak, no hang", each input checks what must hold for any
// log: the lines are those of the line rules, whatever the pieces and the
// reader's buffer, and a line longer than the buffer comes as an excerpt of
// bounded size that interprets as the whole line does; the only exception is
// fragtally::Error with the conversion message; neither the pieces nor the
// buffer change the outcome, which is that of the whole lines; a report exists
// exactly when a line was read, is whole (CR LF lines, the page end last) and
// no log text adds markup. The portable line scan is checked against the one
// the program takes.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/interpret_line.h"
#include "analysis/line_excerpt.h"
#include "analysis/line_markers.h"
#include "analysis/line_scan_blocks.h"
#include "analysis/log_reader.h"
#include "base/error.h"
#include "report/write_report.h"
#include "stats/match_stats.h"

namespace {

using fragtally::Error;
using fragtally::MatchStats;

[[noreturn]] void fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "invariant broken: %s [%.*s]\n", what, static_cast<int>(std::min<std::size_t>(detail.size(), 400)),
               detail.data());
  std::abort();
}

bool isConversionMessage(std::string_view message) {
  constexpr std::string_view tail = "' is not a valid integer value";
  return message.size() >= 1 + tail.size() && message.front() == '\'' && message.ends_with(tail);
}

// The outcome of one analysis: the report, or the message that ended it.
struct Outcome {
  bool failed = false;
  std::string text;
  bool anyLine = false;
};

// How the lines of a log reach the record.
enum class Reading { kInterpretLog, kSmallBuffer, kWholeLines };

std::vector<std::string_view> referenceLines(std::string_view text);

void interpretAll(MatchStats& stats, std::string_view log, std::size_t pieceSize, std::size_t chunkSize,
                  Reading reading) {
  if (reading == Reading::kWholeLines) {
    for (const std::string_view line : referenceLines(log)) fragtally::interpretLine(stats, line);
    return;
  }
  fragtally::MemorySource source(log, pieceSize);
  if (reading == Reading::kInterpretLog) {
    fragtally::interpretLog(stats, source);
    return;
  }
  fragtally::LineReader reader(source, chunkSize);
  std::string_view line;
  fragtally::LineMarkers markers;
  while (reader.next(line, markers)) fragtally::interpretLine(stats, line, markers);
}

Outcome analyse(std::string_view log, std::size_t pieceSize, std::size_t chunkSize, Reading reading) {
  Outcome outcome;
  auto stats = std::make_unique<MatchStats>();
  try {
    interpretAll(*stats, log, pieceSize, chunkSize, reading);
  } catch (const Error& error) {
    if (!isConversionMessage(error.what())) fail("interpretLog message", error.what());
    outcome.failed = true;
    outcome.text = error.what();
    return outcome;
  }

  // Every interpreted line read its time, so a start time is there exactly
  // when a line was.
  outcome.anyLine = !stats->startTime.empty();
  try {
    outcome.text = fragtally::buildReport(*stats);
  } catch (const Error& error) {
    if (outcome.anyLine) fail("buildReport failed after a line was read", error.what());
    if (std::string_view(error.what()) != "'' is not a valid integer value") fail("empty log message", error.what());
    outcome.failed = true;
    outcome.text = error.what();
    return outcome;
  }
  if (!outcome.anyLine) fail("a report without any line");

  stats->rankPlayers();
  std::array<bool, fragtally::kTableSlots> seen{};
  for (const fragtally::RankEntry& entry : stats->ranking) {
    if (entry.player < 0 || entry.player >= fragtally::kTableSlots || seen[entry.player]) fail("ranking");
    seen[entry.player] = true;
  }
  for (std::size_t k = 1; k < stats->ranking.size(); ++k) {
    if (stats->ranking[k - 1].kills < stats->ranking[k].kills) fail("ranking order");
  }
  return outcome;
}

void checkPage(std::string_view page) {
  if (!page.starts_with("<html>\r\n")) fail("page start");
  if (!page.ends_with("</body></html>\r\n")) fail("page end");
  // Log lines hold no CR or LF: every line end of the page is its own CR LF.
  for (std::size_t i = 0; i < page.size(); ++i) {
    if (page[i] == '\r' && (i + 1 == page.size() || page[i + 1] != '\n')) fail("lone CR");
    if (page[i] == '\n' && (i == 0 || page[i - 1] != '\r')) fail("lone LF");
  }
  // The page's own markup is balanced and quotes in pairs; a log text that got
  // through unescaped would upset one of the counts.
  const auto count = [&](char c) { return std::count(page.begin(), page.end(), c); };
  if (count('<') != count('>')) fail("unbalanced angle brackets");
  if (count('"') % 2 != 0) fail("odd number of double quotes");
}

// The line rules read plainly: a line ends at CR LF, a lone CR or a lone LF; a
// line end at the very end starts no further line; a zero byte ends the text.
std::vector<std::string_view> referenceLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// What one line gives on its own: the report of a record that saw only it, or
// its failure.
std::string outcomeOfLine(std::string_view line, const fragtally::LineMarkers* markers) {
  auto stats = std::make_unique<MatchStats>();
  try {
    if (markers != nullptr) {
      fragtally::interpretLine(*stats, line, *markers);
    } else {
      fragtally::interpretLine(*stats, line);
    }
    return fragtally::buildReport(*stats);
  } catch (const Error& error) {
    return error.what();
  }
}

// A line as the reader hands it out: the line itself when it fits in the
// buffer; otherwise its excerpt, held in bounded memory, which must interpret
// as the whole line does (checked where the markers are known).
void checkLine(std::string_view line, const fragtally::LineMarkers* markers, std::string_view expected,
               std::size_t chunkSize) {
  if (line == expected) return;
  if (expected.size() < chunkSize) fail("a line that fits in the buffer is changed", line);
  if (line.size() > fragtally::LineExcerpt::kHead + 16 * (fragtally::LineExcerpt::kReach + 1)) {
    fail("an excerpt too long", line);
  }
  if (markers != nullptr && outcomeOfLine(line, markers) != outcomeOfLine(expected, nullptr)) {
    fail("an excerpt interprets otherwise", line);
  }
}

// A small buffer makes the reader refill and take excerpts at every kind of border.
void checkLines(std::string_view log, std::size_t pieceSize, std::size_t chunkSize) {
  const std::vector<std::string_view> expected = referenceLines(log);
  fragtally::MemorySource source(log, pieceSize);
  fragtally::LineReader reader(source, chunkSize);
  std::size_t count = 0;
  std::string_view line;
  while (reader.next(line)) {
    if (count == expected.size()) fail("line reader: a line too many", line);
    checkLine(line, nullptr, expected[count], chunkSize);
    ++count;
  }
  if (count != expected.size()) fail("line reader: lines missing");

  // The reader that finds each line's markers in the same pass gives the same
  // lines, with the markers a search of the whole line finds.
  fragtally::MemorySource again(log, pieceSize);
  fragtally::LineReader markingReader(again, chunkSize);
  fragtally::LineMarkers markers;
  count = 0;
  while (markingReader.next(line, markers)) {
    if (count == expected.size()) fail("marking line reader: a line too many", line);
    checkLine(line, &markers, expected[count], chunkSize);
    const fragtally::LineMarkers searched = fragtally::findLineMarkers(line);
    if (markers.startedMap != searched.startedMap || markers.roundEnd != searched.roundEnd ||
        markers.killedAt != searched.killedAt) {
      fail("markers of the marking line reader", line);
    }
    ++count;
  }
  if (count != expected.size()) fail("marking line reader: lines missing");
}

// The scan the program takes and the portable one (of a build without SSE2)
// find the same end and markers from the start of every line.
void checkScans(std::string_view log) {
  std::string padded(log);
  padded.append(fragtally::kScanOverhang, '\n');
  const fragtally::BlockScanner fastest = fragtally::fastestBlockScanner();
  for (const std::string_view line : referenceLines(log)) {
    const std::size_t start = static_cast<std::size_t>(line.data() - log.data());
    const fragtally::BlockScan portable = fragtally::scanBlocksPortable(padded.data() + start, log.size() - start);
    const fragtally::BlockScan found = fastest(padded.data() + start, log.size() - start);
    if (found.end != portable.end || found.startedMap != portable.startedMap || found.roundEnd != portable.roundEnd ||
        found.killedAt != portable.killedAt) {
      fail("the portable scan differs", line);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // 1..255 bytes a piece, or everything at once.
  const std::size_t pieceSize = data[0] == 0 ? static_cast<std::size_t>(-1) : data[0];
  const std::string_view log(reinterpret_cast<const char*>(data + 1), size - 1);

  const std::size_t chunkSize = data[0] % 64 + 1;
  checkLines(log, pieceSize, chunkSize);
  checkScans(log);

  // Neither the pieces nor a buffer shorter than most lines, so that they are
  // read as excerpts, change the outcome of the whole lines.
  const Outcome pieces = analyse(log, pieceSize, 0, Reading::kInterpretLog);
  const Outcome excerpts = analyse(log, pieceSize, chunkSize, Reading::kSmallBuffer);
  const Outcome wholeLines = analyse(log, 0, 0, Reading::kWholeLines);
  if (pieces.failed != wholeLines.failed || pieces.text != wholeLines.text) fail("piece size changed the outcome");
  if (excerpts.failed != wholeLines.failed || excerpts.text != wholeLines.text) fail("excerpts changed the outcome");
  if (!pieces.failed) checkPage(pieces.text);
  return 0;
}

// Throughput of the analysis core per kind of log line, and over a whole
// generated log in memory: line splitting alone, then the full interpretation.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/analysis.h"
#include "analysis/interpret_line.h"
#include "analysis/log_reader.h"
#include "bench/log_generator.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

constexpr std::string_view kKillLine =
    R"(L 03/14/2023 - 21:07:45: "Kestrel<12><STEAM_0:1:4417301><CT>" killed "Ozzy_77<15><BOT><TERRORIST>" with "m4a1")";
constexpr std::string_view kAttackLine =
    R"(L 03/14/2023 - 21:07:44: "Kestrel<12><STEAM_0:1:4417301><CT>" attacked "Ozzy_77<15><BOT><TERRORIST>" with "m4a1" (damage "33") (damage_armor "4") (health "12") (armor "61"))";
constexpr std::string_view kRoundEndLine =
    R"(L 03/14/2023 - 21:09:02: Team "CT" triggered "CTs_Win" (CT "7") (T "5"))";
constexpr std::string_view kChatLine =
    R"(L 03/14/2023 - 21:07:50: "Mira<4><STEAM_0:0:90211><TERRORIST>" say "rush b, rush b")";
constexpr std::string_view kChatKilledLine =
    R"(L 03/14/2023 - 21:07:52: "Mira<4><STEAM_0:0:90211><TERRORIST>" say "who killed me with that awp?" (dead))";
constexpr std::string_view kPluginLine =
    R"(L 03/14/2023 - 21:07:45: Kestrel have killed Ozzy_77 from a distance of 23 meters)";
constexpr std::string_view kStartedMapLine =
    R"(L 03/14/2023 - 20:58:17: Started map "de_harbor" (CRC "1562738906"))";
constexpr std::string_view kEventLine = R"(L 03/14/2023 - 20:58:40: "Pixel<9><BOT><>" entered the game)";

// A chat line of about 1000 bytes with none of the markers the interpreter looks for.
std::string longLine() {
  std::string line = R"(L 03/14/2023 - 21:10:11: "Mira<4><STEAM_0:0:90211><TERRORIST>" say ")";
  while (line.size() < 990) line += "la di da ";
  line += '"';
  return line;
}

// One record per benchmark, reused by every iteration: the kill benchmark
// accounts the same kill over and over, which costs what any other kill costs.
void benchInterpretLine(benchmark::State& state, const std::string& line) {
  MatchStats stats;
  for (auto _ : state) interpretLine(stats, line);
  benchmark::DoNotOptimize(stats);
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}

BENCHMARK_CAPTURE(benchInterpretLine, kill, std::string(kKillLine));
BENCHMARK_CAPTURE(benchInterpretLine, attack, std::string(kAttackLine));
BENCHMARK_CAPTURE(benchInterpretLine, round_end, std::string(kRoundEndLine));
BENCHMARK_CAPTURE(benchInterpretLine, chat, std::string(kChatLine));
BENCHMARK_CAPTURE(benchInterpretLine, chat_killed, std::string(kChatKilledLine));
BENCHMARK_CAPTURE(benchInterpretLine, plugin, std::string(kPluginLine));
BENCHMARK_CAPTURE(benchInterpretLine, started_map, std::string(kStartedMapLine));
BENCHMARK_CAPTURE(benchInterpretLine, entered_game, std::string(kEventLine));
BENCHMARK_CAPTURE(benchInterpretLine, long_chat, longLine());

// 64 MiB of generated log, made once on first use (outside the timed loops).
const std::string& generatedLog() {
  static const std::string log = generateLog(std::size_t{64} << 20, 1);
  return log;
}

std::int64_t lineCount(const std::string& log) {
  MemorySource source(log);
  LineReader reader(source);
  std::string_view line;
  std::int64_t lines = 0;
  while (reader.next(line)) ++lines;
  return lines;
}

void benchLineReader(benchmark::State& state) {
  const std::string& log = generatedLog();
  std::int64_t lines = 0;
  for (auto _ : state) {
    lines = lineCount(log);
    benchmark::DoNotOptimize(lines);
  }
  state.SetItemsProcessed(state.iterations() * lines);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.size()));
}
BENCHMARK(benchLineReader)->Unit(benchmark::kMillisecond);

// One fresh record per pass, as one analysis of the log has.
void benchInterpretLog(benchmark::State& state) {
  const std::string& log = generatedLog();
  const std::int64_t lines = lineCount(log);
  for (auto _ : state) {
    MatchStats stats;
    MemorySource source(log);
    interpretLog(stats, source);
    benchmark::DoNotOptimize(stats);
  }
  state.SetItemsProcessed(state.iterations() * lines);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.size()));
}
BENCHMARK(benchInterpretLog)->Unit(benchmark::kMillisecond);

// One line of 64 MiB, far longer than the reader's buffer: read as its
// excerpt. Without any landmark every one is searched for to the line's end,
// the slowest a long line reads; a chat line finds most of them at its start.
void benchLongLine(benchmark::State& state, const std::string& start) {
  const std::string log = start + std::string(std::size_t{64} << 20, 'a');
  for (auto _ : state) {
    MemorySource source(log);
    LineReader reader(source);
    std::string_view line;
    LineMarkers markers;
    while (reader.next(line, markers)) benchmark::DoNotOptimize(line);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(log.size()));
}
BENCHMARK_CAPTURE(benchLongLine, no_landmark, std::string())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(benchLongLine, chat, std::string("L 10/25/2003 - 21:15:00: \"Alpha<12><1001><CT>\" say \"killed with"))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fragtally

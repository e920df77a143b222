// Throughput of the per-player collector over a generated log in memory: the
// collector alone, the report's analysis alone, and both in one pass over the
// lines, as a run that keeps the players reads a log.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/interpret_line.h"
#include "analysis/log_reader.h"
#include "analysis/match_players.h"
#include "analysis/player_line.h"
#include "bench/log_generator.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// 64 MiB of generated log, made once on first use (outside the timed loops).
const std::string& generatedLog() {
  static const std::string log = generateLog(std::size_t{64} << 20, 1);
  return log;
}

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(generatedLog().size()));
}

// Every line read for its players, nothing kept.
void benchReadPlayerLines(benchmark::State& state) {
  const std::string& log = generatedLog();
  for (auto _ : state) {
    MemorySource source(log);
    LineReader reader(source);
    std::string_view line;
    std::int64_t kinds = 0;
    while (reader.next(line)) kinds += static_cast<std::int64_t>(readPlayerLine(line).kind);
    benchmark::DoNotOptimize(kinds);
  }
  setBytes(state);
}
BENCHMARK(benchReadPlayerLines)->Unit(benchmark::kMillisecond);

// The collector over the log's lines, with its result.
void benchCollector(benchmark::State& state) {
  const std::string& log = generatedLog();
  for (auto _ : state) {
    MatchPlayersCollector collector;
    MemorySource source(log);
    LineReader reader(source);
    std::string_view line;
    LineMarkers markers;
    while (reader.next(line, markers)) collector.addLine(line);
    MatchPlayers players = collector.result();
    benchmark::DoNotOptimize(players);
  }
  setBytes(state);
}
BENCHMARK(benchCollector)->Unit(benchmark::kMillisecond);

// The report's analysis alone, as interpretLog reads a log.
void benchAnalysis(benchmark::State& state) {
  const std::string& log = generatedLog();
  for (auto _ : state) {
    MatchStats stats;
    MemorySource source(log);
    LineReader reader(source);
    std::string_view line;
    LineMarkers markers;
    while (reader.next(line, markers)) interpretLine(stats, line, markers);
    benchmark::DoNotOptimize(stats);
  }
  setBytes(state);
}
BENCHMARK(benchAnalysis)->Unit(benchmark::kMillisecond);

// The analysis and the collector fed the same lines in one pass.
void benchAnalysisWithPlayers(benchmark::State& state) {
  const std::string& log = generatedLog();
  for (auto _ : state) {
    MatchStats stats;
    MatchPlayersCollector collector;
    MemorySource source(log);
    LineReader reader(source);
    std::string_view line;
    LineMarkers markers;
    while (reader.next(line, markers)) {
      interpretLine(stats, line, markers);
      collector.addLine(line);
    }
    MatchPlayers players = collector.result();
    benchmark::DoNotOptimize(stats);
    benchmark::DoNotOptimize(players);
  }
  setBytes(state);
}
BENCHMARK(benchAnalysisWithPlayers)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace fragtally

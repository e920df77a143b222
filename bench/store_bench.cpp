// fragtally_store_bench FOLDER [COUNT] [RUNS] [WAYS] [KB]: what durable stores
// cost in a batch. Stores COUNT reports of 20 to 60 KB (default 10000; KB as
// "8-24" for other sizes, such as those of players' pages) into an empty
// folder made inside FOLDER, RUNS times (default 3) for each way of storing
// (WAYS, default all three, as a list such as "plain,batch"):
//   plain    temporary written and renamed, nothing waited for (the former store)
//   durable  replaceFileContents one report after another
//   batch    PendingStores: every temporary flushed before the renames, one
//            folder flush per batch
// and prints, per way, the median over the runs of the time per report. Put
// FOLDER on the disk that is to be measured (not a RAM disk).
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "bench/split_mix.h"
#include "base/file_store.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> makeReports(std::size_t count, std::size_t smallestKb, std::size_t largestKb) {
  fragtally::SplitMix64 random(1);
  std::vector<std::string> reports(count);
  for (std::string& report : reports) {
    report.resize(random.between(smallestKb * 1024, largestKb * 1024));
    for (char& c : report) c = static_cast<char>('a' + random.below(26));
  }
  return reports;
}

// Seconds for storing every report once into a new folder.
double timeRun(const std::string& way, const std::vector<std::string>& reports, const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  fragtally::StoreSteps plain;
  plain.flush = [](fragtally::File&) { return true; };
  plain.flushFolder = [](const std::filesystem::path&) { return true; };
  std::size_t failed = 0;

  const auto start = Clock::now();
  if (way == "batch") {
    fragtally::PendingStores stores;
    for (std::size_t i = 0; i < reports.size(); ++i) {
      stores.add(folder / ("L" + std::to_string(i) + ".htm"), reports[i]);
    }
    failed = stores.commit().size();
  } else {
    for (std::size_t i = 0; i < reports.size(); ++i) {
      const std::filesystem::path target = folder / ("L" + std::to_string(i) + ".htm");
      const bool stored = way == "plain" ? fragtally::replaceFileContents(target, reports[i], plain)
                                         : fragtally::replaceFileContents(target, reports[i]);
      failed += stored ? 0 : 1;
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (failed != 0) std::fprintf(stderr, "%s: %zu stores failed\n", way.c_str(), failed);
  return seconds;
}

std::size_t readCount(const char* text, std::size_t fallback) {
  if (text == nullptr) return fallback;
  std::size_t value = 0;
  const std::string_view view(text);
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  return error == std::errc() && end == view.data() + view.size() && value > 0 ? value : 0;
}

// The ways named in a list such as "plain,batch"; nothing when one is unknown.
std::vector<std::string> waysIn(std::string_view list) {
  std::vector<std::string> ways;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string way(list.substr(start, comma - start));
    if (way != "plain" && way != "durable" && way != "batch") return {};
    ways.push_back(way);
    start = comma + 1;
  }
  return ways;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 6) {
    std::fputs("usage: fragtally_store_bench FOLDER [COUNT] [RUNS] [WAYS] [KB]\n", stderr);
    return 2;
  }
  const std::size_t count = readCount(argc > 2 ? argv[2] : nullptr, 10000);
  const std::size_t runs = readCount(argc > 3 ? argv[3] : nullptr, 3);
  if (count == 0 || runs == 0) {
    std::fputs("fragtally_store_bench: COUNT and RUNS are whole numbers above 0\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = std::filesystem::path(argv[1]) / "fragtally-store-bench";
  std::size_t smallestKb = 20;
  std::size_t largestKb = 60;
  if (argc > 5) {
    const std::string_view sizes(argv[5]);
    const std::size_t dash = sizes.find('-');
    const std::string smallest(sizes.substr(0, dash));
    const std::string largest(dash == std::string_view::npos ? "" : sizes.substr(dash + 1));
    smallestKb = readCount(smallest.c_str(), 0);
    largestKb = readCount(largest.c_str(), 0);
    if (smallestKb == 0 || largestKb < smallestKb || largestKb > 65536) {
      std::fputs("fragtally_store_bench: KB is a range of sizes such as 8-24\n", stderr);
      return 2;
    }
  }
  const std::vector<std::string> reports = makeReports(count, smallestKb, largestKb);
  double totalBytes = 0;
  for (const std::string& report : reports) totalBytes += static_cast<double>(report.size());

  std::printf("%zu reports, %.1f MB, median of %zu runs\n", count, totalBytes / 1e6, runs);
  std::printf("%-8s %12s %14s\n", "way", "seconds", "per report");
  // The ways take turns, so that a change in the machine's other load falls
  // on all of them alike.
  const std::vector<std::string> ways = waysIn(argc > 4 ? argv[4] : "plain,durable,batch");
  if (ways.empty()) {
    std::fputs("fragtally_store_bench: WAYS lists plain, durable or batch, separated by commas\n", stderr);
    return 2;
  }
  std::vector<std::vector<double>> seconds(ways.size());
  for (std::size_t run = 0; run < runs; ++run) {
    for (std::size_t way = 0; way < ways.size(); ++way) {
      // Each run stores into a folder of its own, all removed at the end: on
      // some file systems new files cost several times as much just after
      // many were removed, which is not what a run into a folder pays.
      seconds[way].push_back(timeRun(ways[way], reports, folder / (ways[way] + std::to_string(run))));
#ifndef _WIN32
      // What a way left for the system to write is not the next one's cost.
      ::sync();
#endif
    }
  }
  for (std::size_t way = 0; way < ways.size(); ++way) {
    std::sort(seconds[way].begin(), seconds[way].end());
    const double median = seconds[way][seconds[way].size() / 2];
    std::printf("%-8s %12.3f %11.1f us\n", ways[way].c_str(), median, median / static_cast<double>(count) * 1e6);
  }
  std::filesystem::remove_all(folder);
  return 0;
}

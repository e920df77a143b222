// What a live refresh of one match costs, against what the folder holds:
//   fragtally_live_refresh_bench DIR LOG [RUNS]
// refreshes LOG's report in DIR RUNS times (default 21) as a live run does
// after its first refresh, and as many times as a first refresh, which lists
// DIR and reads the head of every record there (what every refresh cost
// before). Prints the median wall time of each. Fill DIR with
// `fragtally_index_bench generate DIR 10000` to see the difference; DIR gets
// LOG's report, record and pictures.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "live/activity_log.h"
#include "live/folder_run_outputs.h"

namespace {

double medianMilliseconds(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

template <class Refresh>
double timed(Refresh refresh) {
  const auto start = std::chrono::steady_clock::now();
  refresh();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: fragtally_live_refresh_bench DIR LOG [RUNS]\n", stderr);
    return 2;
  }
  const std::string folder = argv[1];
  const std::string log = argv[2];
  const int runs = argc > 3 ? std::max(1, std::stoi(argv[3])) : 21;
  std::ostringstream messages;
  fragtally::live::ActivityLog activity(messages);

  std::vector<double> later;
  std::vector<double> first;
  fragtally::live::FolderRunOutputs outputs(folder, fragtally::SiteSettings{}, activity);
  outputs.refresh(log);  // learns the report's name
  for (int run = 0; run < runs; ++run) {
    later.push_back(timed([&] { outputs.refresh(log); }));
    fragtally::live::FolderRunOutputs fresh(folder, fragtally::SiteSettings{}, activity);
    first.push_back(timed([&] { fresh.refresh(log); }));
  }
  if (outputs.failed() || !messages.str().empty()) {
    std::fprintf(stderr, "a refresh failed:\n%s", messages.str().c_str());
    return 1;
  }
  std::printf("later refresh %.2f ms, first refresh %.2f ms (medians of %d)\n", medianMilliseconds(later),
              medianMilliseconds(first), runs);
  return 0;
}

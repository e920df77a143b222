#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "base/file.h"
#include "report/index_page.h"
#include "report/match_summary.h"

namespace fragtally {
namespace {

// A record as the program writes it is a few kilobytes; a file far beyond any
// record is not read at all, so that no file can make the index hold much.
constexpr std::size_t kMaxRecordBytes = 16 * 1024 * 1024;

bool isRecordName(const std::filesystem::path& name) {
  std::string extension = utf8FromPath(name.extension());
  std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return extension == ".json";
}

// Reads a whole file into `buffer` (kept between files, so that its memory is
// claimed once); false when it cannot be read or is larger than `limit`.
bool readWholeFile(const std::filesystem::path& path, std::vector<char>& buffer, std::size_t& size,
                   std::size_t limit) {
  File file = File::openForReading(path);
  if (!file.isOpen()) return false;
  size = 0;
  for (;;) {
    if (buffer.size() - size < 64 * 1024) buffer.resize(std::max<std::size_t>(buffer.size() * 2, 256 * 1024));
    const std::size_t got = file.read(buffer.data() + size, buffer.size() - size);
    if (got == 0) break;
    size += got;
    if (size > limit) return false;
  }
  return !file.failed();
}

}  // namespace

IndexContent readIndexContent(const std::filesystem::path& folder, unsigned threads) {
  std::vector<std::filesystem::path> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
       entries.increment(error)) {
    const std::filesystem::path name = entries->path().filename();
    std::error_code typeError;
    if (isRecordName(name) && entries->is_regular_file(typeError)) names.push_back(name);
  }
  // Name order, so that equal records always meet in the same order.
  std::sort(names.begin(), names.end());

  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  // Records are read in batches on every thread, then added in name order: the
  // memory held is one batch of summaries, whatever the number of records.
  constexpr std::size_t kBatch = 256;
  std::vector<std::optional<MatchSummary>> batch(std::min(kBatch, names.size()));
  IndexTally tally;
  for (std::size_t first = 0; first < names.size(); first += kBatch) {
    const std::size_t count = std::min(kBatch, names.size() - first);
    std::atomic<std::size_t> next{0};
    const auto readSome = [&] {
      std::vector<char> buffer;
      for (std::size_t at; (at = next.fetch_add(1)) < count;) {
        std::size_t size = 0;
        batch[at].reset();
        if (readWholeFile(folder / names[first + at], buffer, size, kMaxRecordBytes)) {
          batch[at] = readMatchSummary(std::string_view(buffer.data(), size));
        }
      }
    };
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < threads && t < count; ++t) helpers.emplace_back(readSome);
    readSome();
    helpers.clear();  // joins them
    for (std::size_t at = 0; at < count; ++at) {
      if (!batch[at]) continue;
      std::filesystem::path report = names[first + at];
      report.replace_extension(".htm");
      tally.add(*batch[at], utf8FromPath(report));
    }
  }
  return tally.take();
}

}  // namespace fragtally

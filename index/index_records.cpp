// The reading half of index_page.h: the folder's records into IndexContent.
#include "index/index_records.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <optional>
#include <system_error>
#include <tuple>
#include <vector>

#include "base/ascii.h"
#include "base/file.h"
#include "base/file_threads.h"
#include "index/index_cache.h"
#include "record/match_summary.h"
#include "record/record_head.h"

namespace fragtally {
namespace {

// A record as the program writes it is a few kilobytes; a file far beyond any
// record is not read at all, so that no file can make the index hold much.
constexpr std::size_t kMaxRecordBytes = 16 * 1024 * 1024;

bool isRecordName(const std::filesystem::path& name) {
  return equalIgnoringAsciiCase(utf8FromPath(name.extension()), kRecordExtension);
}

// A buffer of this size is kept from one file to the next; a larger one, for
// an unusually large record, is given back after its file.
constexpr std::size_t kKeptBufferBytes = 1024 * 1024;

// Reads a whole file into `buffer`; false when it cannot be read or holds
// more than kMaxRecordBytes. The buffer never grows beyond that bound.
bool readWholeFile(const std::filesystem::path& path, std::vector<char>& buffer, std::size_t& size) {
  File file = File::openForReading(path);
  if (!file.isOpen()) return false;
  size = 0;
  for (;;) {
    if (size == buffer.size()) {
      if (size > kMaxRecordBytes) return false;
      buffer.resize(std::min(std::max<std::size_t>(2 * size, 64 * 1024), kMaxRecordBytes + 1));
    }
    const std::size_t got = file.read(buffer.data() + size, buffer.size() - size);
    if (got == 0) break;
    size += got;
  }
  return size <= kMaxRecordBytes && !file.failed();
}

/// A record file as the folder lists it.
struct ListedRecord {
  std::filesystem::path name;
  std::string key;  // the name as the cache keeps it
  std::optional<RecordStamp> stamp;
};

/// The folder's records, in name order, so that equal records always meet in
/// the same order.
std::vector<ListedRecord> listRecords(const std::filesystem::path& folder, const KnownRecords* known = nullptr) {
  std::vector<ListedRecord> records;
  std::error_code error;
  for (std::filesystem::directory_iterator entries(folder, error), end; !error && entries != end;
       entries.increment(error)) {
    std::filesystem::path name = entries->path().filename();
    std::error_code typeError;
    if (!isRecordName(name) || !entries->is_regular_file(typeError)) continue;
    std::string key = utf8FromPath(name);
    records.push_back({std::move(name), std::move(key), std::nullopt});
  }
  std::sort(records.begin(), records.end(),
            [](const ListedRecord& a, const ListedRecord& b) { return a.name < b.name; });
  // Taken before the files are read: a record changed while it is read gets a
  // stamp of its older state, and is read again next time. Thousands of looks,
  // on every thread.
  std::atomic<std::size_t> next{0};
  // Those the batch found before it wrote any, and left as they were, it has looked at already.
  onThreads(fileReadingThreads(), records.size(), [&] {
    for (std::size_t at; (at = next.fetch_add(1)) < records.size();) {
      const RecordStamp* found = known != nullptr ? known->stampOf(records[at].key) : nullptr;
      records[at].stamp =
          found != nullptr ? std::optional<RecordStamp>(*found) : recordStampOf(folder / records[at].name);
    }
  });
  return records;
}

/// The cache `kept` from earlier in the run, or else the folder's, loaded
/// into `loadedHere`.
const IndexCache& indexCacheOf(const std::filesystem::path& folder, const IndexCache* kept,
                               std::optional<IndexCache>& loadedHere) {
  return kept != nullptr ? *kept : loadedHere.emplace(IndexCache::load(folder / kIndexCacheName));
}

}  // namespace

std::optional<std::uint64_t> cachedRecordsChecksum(const std::filesystem::path& folder, const IndexCache* loaded) {
  const std::vector<ListedRecord> records = listRecords(folder);
  std::optional<IndexCache> loadedHere;
  const IndexCache& cache = indexCacheOf(folder, loaded, loadedHere);
  if (cache.checksum() == 0 || cache.size() != records.size()) return std::nullopt;
  for (const ListedRecord& record : records) {
    if (!record.stamp || cache.knows(record.key, *record.stamp) == IndexCache::Found::nothing) return std::nullopt;
  }
  return cache.checksum();
}


RecordCheck checkRecords(const std::filesystem::path& folder, const std::vector<std::string>& names,
                         KnownRecords& readNow, unsigned threads) {
  if (names.empty()) return {};
  return checkRecords(folder, names, readNow, IndexCache::load(folder / kIndexCacheName), threads);
}

RecordCheck checkRecords(const std::filesystem::path& folder, const std::vector<std::string>& names,
                         KnownRecords& readNow, IndexCache cache, unsigned threads) {
  RecordCheck check;
  // Per record: 0 whole, 1 broken.
  std::vector<char> outcome(names.size(), 0);
  std::atomic<std::size_t> next{0};
  const auto checkSome = [&] {
    std::vector<char> buffer;
    for (std::size_t at; (at = next.fetch_add(1)) < names.size();) {
      const std::filesystem::path file = folder / pathFromUtf8(names[at]);
      const RecordStamp* listed = readNow.stampOf(names[at]);
      const std::optional<RecordStamp> stamp =
          listed != nullptr ? std::optional<RecordStamp>(*listed) : recordStampOf(file);
      if (!stamp) {
        outcome[at] = 1;
        continue;
      }
      const IndexCache::Found found = cache.knows(names[at], *stamp);
      if (found != IndexCache::Found::nothing) {
        outcome[at] = found == IndexCache::Found::match ? 0 : 1;
        continue;
      }
      std::size_t size = 0;
      std::optional<MatchSummary> whole;
      std::optional<RecordHead> head;
      if (readWholeFile(file, buffer, size)) {
        whole = readMatchSummary(std::string_view(buffer.data(), size));
        if (whole) head = parseRecordHead(std::string_view(buffer.data(), size));
      }
      if (buffer.size() > kKeptBufferBytes) std::vector<char>().swap(buffer);
      if (!whole) {
        outcome[at] = 1;
        continue;
      }
      // Read as it stood when looked at: a record changed meanwhile has
      // another size, and the index reads it again.
      const std::string summary = IndexCache::encode(*whole, head ? &*head : nullptr);
      if (!summary.empty()) readNow.add(names[at], stamp->bytes, summary);
    }
  };
  onThreads(threads == 0 ? fileReadingThreads() : threads, names.size(), checkSome);
  for (std::size_t at = 0; at < names.size(); ++at) {
    if (outcome[at] == 1) check.broken.push_back(names[at]);
  }
  readNow.keepIndexCache(std::move(cache));
  return check;
}

IndexContent readIndexContent(const std::filesystem::path& folder, unsigned threads, StreamedStore* freshCache,
                              const KnownRecords* known, const MatchSink& alsoTo, bool playersByName,
                              TalliesSoFar* soFar) {
  const std::vector<ListedRecord> records = listRecords(folder, known);
  std::optional<IndexCache> loadedHere;
  const IndexCache& cache = indexCacheOf(folder, known != nullptr ? known->indexCache() : nullptr, loadedHere);
  // The new cache is the old one as long as the records are those it knows, in
  // its order: it is only written out from the first difference on.
  std::uint64_t sameUpTo = IndexCache::header().size();
  bool differs = cache.checkedBytes() == 0;
  if (freshCache && differs) freshCache->write(IndexCache::header());
  std::string entry;  // one record's entry of the new cache, on its way to the store
  // Entries of the old cache kept as they are, neighbours copied in one go:
  // the bytes from copyFrom to copyTo (0: none) not written yet.
  std::uint64_t copyFrom = 0;
  std::uint64_t copyTo = 0;
  const auto copyWaiting = [&] {
    if (copyTo != 0 && !cache.copyRange(copyFrom, copyTo, *freshCache)) freshCache->drop();
    copyFrom = copyTo = 0;
  };

  // tallied[at]: the record is in the earlier pass's tallies as it stands.
  // Only where every record of theirs is, and none was written by this run
  // (a rewrite can keep its size and, on a coarse clock, its time).
  std::vector<char> tallied;
  if (soFar != nullptr) {
    bool goOn = soFar->cacheChecksum != 0 && soFar->cacheChecksum == cache.checksum() && !playersByName;
    if (goOn) {
      tallied.resize(records.size());
      std::size_t count = 0;
      std::string scratch;
      for (std::size_t at = 0; at < records.size(); ++at) {
        const ListedRecord& record = records[at];
        if (!record.stamp || cache.knows(record.key, *record.stamp) == IndexCache::Found::nothing) continue;
        if (known != nullptr && known->find(record.key, record.stamp->bytes, scratch)) continue;
        tallied[at] = true;
        ++count;
      }
      goOn = count == cache.size();
      if (!goOn) tallied.clear();
    }
    if (soFar->decided) soFar->decided(goOn);
  }

  if (threads == 0) threads = fileReadingThreads();
  // Records are read in batches on every thread, then added in name order: the
  // memory held is two batches of summaries, whatever the number of records.
  // The next batch is read while this one is added, which only one thread can do.
  constexpr std::size_t kBatch = 64;
  // A batch's summaries, reused from batch to batch so that their strings are
  // not made anew for every record; present[at]: a match record.
  struct Batch {
    std::vector<MatchSummary> summaries;
    std::vector<char> present;
    std::vector<char> fromCache;
    std::vector<std::string> knownBytes;  // the summary as the run gave it
    std::vector<std::optional<RecordHead>> heads;  // of a record read whole, for a new cache's entry
  };
  std::array<Batch, 2> batches;
  for (Batch& batch : batches) {
    const std::size_t size = std::min(kBatch, records.size());
    batch.summaries.resize(size);
    batch.present.resize(size);
    batch.fromCache.resize(size);
    batch.knownBytes.resize(size);
    batch.heads.resize(size);
  }
  const auto readBatch = [&](Batch& batch, std::size_t first) {
    const std::size_t count = std::min(kBatch, records.size() - first);
    std::atomic<std::size_t> next{0};
    onThreads(threads, count, [&] {
      std::vector<char> buffer;
      for (std::size_t at; (at = next.fetch_add(1)) < count;) {
        const ListedRecord& record = records[first + at];
        MatchSummary& summary = batch.summaries[at];
        batch.present[at] = false;
        batch.fromCache[at] = false;
        batch.knownBytes[at].clear();
        batch.heads[at].reset();
        if (!tallied.empty() && tallied[first + at]) {
          batch.fromCache[at] = true;  // neither read nor handed on: its new cache entry is its old one
          continue;
        }
        if (known != nullptr && record.stamp && known->find(record.key, record.stamp->bytes, batch.knownBytes[at])) {
          // Just written by this run: known without reading it back.
          const IndexCache::Found found = IndexCache::decode(batch.knownBytes[at], summary);
          if (found != IndexCache::Found::nothing) {
            batch.present[at] = found == IndexCache::Found::match;
            continue;
          }
          batch.knownBytes[at].clear();
        }
        if (record.stamp) {
          const IndexCache::Found found = cache.find(record.key, *record.stamp, summary);
          if (found != IndexCache::Found::nothing) {
            batch.present[at] = found == IndexCache::Found::match;
            batch.fromCache[at] = true;
            continue;
          }
        }
        std::size_t size = 0;
        if (readWholeFile(folder / record.name, buffer, size)) {
          if (auto read = readMatchSummary(std::string_view(buffer.data(), size))) {
            summary = std::move(*read);
            batch.present[at] = true;
            batch.heads[at] = parseRecordHead(std::string_view(buffer.data(), size));
          }
        }
        if (buffer.size() > kKeptBufferBytes) std::vector<char>().swap(buffer);
      }
    });
  };
  IndexTally tally = !tallied.empty() ? std::move(soFar->index) : IndexTally(playersByName);
  // Declared after the batches: a batch being read is waited for before they go.
  std::future<void> reading;
  if (!records.empty()) reading = std::async(std::launch::async, readBatch, std::ref(batches[0]), 0);
  for (std::size_t first = 0, round = 0; first < records.size(); first += kBatch, ++round) {
    reading.get();
    Batch& batch = batches[round % 2];
    if (first + kBatch < records.size()) {
      reading = std::async(std::launch::async, readBatch, std::ref(batches[(round + 1) % 2]), first + kBatch);
    }
    const std::size_t count = std::min(kBatch, records.size() - first);
    for (std::size_t at = 0; at < count; ++at) {
      const ListedRecord& record = records[first + at];
      if (freshCache && record.stamp) {
        if (!differs) {
          const auto end = batch.fromCache[at] ? cache.entryEndingFrom(record.key, sameUpTo) : std::nullopt;
          if (end) {
            sameUpTo = *end;
          } else {
            differs = true;
            if (!cache.copyStart(sameUpTo, *freshCache)) freshCache->drop();
          }
        }
        const bool copied = differs && !tallied.empty() && tallied[first + at];
        if (copied) {
          // Neighbours in the old cache go on the waiting run of its bytes.
          const auto span = cache.entrySpan(record.key);
          if (!span) {
            freshCache->drop();
          } else if (copyTo != 0 && span->first == copyTo) {
            copyTo = span->second;
          } else {
            copyWaiting();
            std::tie(copyFrom, copyTo) = *span;
          }
        } else if (differs) {
          copyWaiting();
          entry.clear();
          if (!batch.knownBytes[at].empty()) {
            IndexCache::append(entry, record.key, *record.stamp, batch.knownBytes[at]);
          } else {
            // The head as the old cache kept it, or as the record was read.
            const RecordHead* head = batch.fromCache[at] ? cache.headOf(record.key, *record.stamp)
                                     : batch.heads[at]   ? &*batch.heads[at]
                                                         : nullptr;
            IndexCache::append(entry, record.key, *record.stamp,
                               batch.present[at] ? IndexCache::encode(batch.summaries[at], head)
                                                 : IndexCache::encode(std::nullopt));
          }
          freshCache->write(entry);
        }
      }
      if (!batch.present[at]) continue;  // no match, or one the tallies hold
      std::filesystem::path report = record.name;
      report.replace_extension(kReportExtension);
      const std::string reportName = utf8FromPath(report);
      tally.add(batch.summaries[at], reportName);
      if (alsoTo) alsoTo(batch.summaries[at], reportName);
    }
  }
  if (freshCache && differs) copyWaiting();
  // The same records as before: nothing to store. Fewer: the old cache's start.
  if (freshCache && !differs && sameUpTo != cache.checkedBytes() && !cache.copyStart(sameUpTo, *freshCache)) {
    freshCache->drop();
  }
  if (soFar != nullptr) soFar->endedState = tally.state();
  return tally.take();
}

}  // namespace fragtally

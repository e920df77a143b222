#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "base/file_store.h"
#include "base/output_names.h"
#include "base/positional_file.h"
#include "record/match_summary.h"
#include "record/record_head.h"

namespace fragtally {

/// A record file as the folder lists it: what tells a changed record.
struct RecordStamp {
  std::uint64_t bytes = 0;
  std::int64_t modified = 0;  ///< nanoseconds since 1970-01-01 UTC, as finely as the file system keeps them
  bool operator==(const RecordStamp&) const = default;
};

/// The stamp of the record `file` as it stands now; nothing when it cannot be
/// looked at or is not a regular file.
std::optional<RecordStamp> recordStampOf(const std::filesystem::path& file);

/// What the last rebuild of an index read from each record, kept beside the
/// index so that a record left as it was is not read again. The cache belongs to
/// this program version; an older, foreign or damaged cache is no cache: it
/// ends with a 64-bit FNV-1a checksum of all the bytes before, so that a
/// changed byte anywhere (a figure, a stamp) is told, not shown in the index.
/// It is tens of megabytes for thousands of records: what it holds in memory
/// is each record's name, stamp and kind; a summary is read from the file
/// when it is asked for.
class IndexCache {
 public:
  /// The cache stored at `path`; empty when there is none that can be used.
  /// Checked whole, a piece at a time; the file is kept open for find().
  static IndexCache load(const std::filesystem::path& path);

  /// What a look in the cache finds: nothing known, a file known to be no
  /// match record, or a match's summary.
  enum class Found { nothing, noMatch, match };

  /// What the cache holds for the record `name` with this stamp: nothing when
  /// it does not know that file as it stands. A summary is read into `into`,
  /// reusing its strings; on anything but Found::match it is left unspecified.
  /// Several threads may find at once.
  Found find(const std::string& name, const RecordStamp& stamp, MatchSummary& into) const;

  /// The head of the match record `name` as it stands with this stamp, as it
  /// was read with its summary; nullptr where the cache does not know the
  /// file so or kept no head of it. Asks nothing of the file.
  const RecordHead* headOf(const std::string& name, const RecordStamp& stamp) const;

  /// The same without reading the summary: whether the record, as it stands,
  /// was read whole as a match record (its entry is only ever made from a
  /// whole read, and the checksum vouches for the entry's bytes).
  Found knows(const std::string& name, const RecordStamp& stamp) const;

  /// Appends a record's entry, its summary in the cache's form (encode()),
  /// to the bytes of a new cache (begun with header()).
  static void append(std::string& cache, std::string_view name, const RecordStamp& stamp,
                     std::string_view encodedSummary);
  /// A record's summary (or the lack of one) in the cache's own compact form,
  /// with the record's head where it is given: what a batch keeps of each
  /// record it writes, for the index at its end. Empty when the summary cannot
  /// be kept in that form.
  static std::string encode(const std::optional<MatchSummary>& summary, const RecordHead* head = nullptr);
  static std::string encode(const MatchSummary& summary, const RecordHead* head = nullptr);
  /// What encode() gave; nothing when the bytes are not such a form.
  static std::optional<std::optional<MatchSummary>> decode(std::string_view encoded);
  /// The same, read into `into` (and the head into `head`) as find() does.
  static Found decode(std::string_view encoded, MatchSummary& into, std::optional<RecordHead>* head = nullptr);
  /// The first bytes of every cache: its kind and the program version.
  static std::string header();
  /// The size of its header and entries, the checksum not counted (0 for no
  /// cache).
  std::uint64_t checkedBytes() const { return checkedBytes_; }
  /// The checksum the cache was sealed with (0 for no cache): the same
  /// checksum is the same records, as they stood, read the same way.
  std::uint64_t checksum() const { return checksum_; }
  /// The records it knows.
  std::size_t size() const { return entries_.size(); }
  /// Where the whole entry of `name` ends in the cache's bytes, when it begins
  /// at `at`; nothing otherwise. A new cache that matches the old one so far
  /// can so be followed without being written out.
  std::optional<std::uint64_t> entryEndingFrom(const std::string& name, std::uint64_t at) const;
  /// Where the whole entry of `name` lies in the cache's bytes: its first
  /// byte and the one after its last; nothing when it knows no such record.
  /// Neighbouring entries of a new cache can so be copied in one go.
  std::optional<std::pair<std::uint64_t, std::uint64_t>> entrySpan(const std::string& name) const;
  /// Writes the cache's bytes from `begin` to `end` (at most checkedBytes())
  /// to `into`, a piece at a time: a part a new cache keeps of it. False when
  /// they cannot be read or written.
  bool copyRange(std::uint64_t begin, std::uint64_t end, StreamedStore& into) const;
  /// copyRange from the first byte.
  bool copyStart(std::uint64_t end, StreamedStore& into) const { return copyRange(0, end, into); }

 private:
  // What answers knows() without a look at the file; the rest of an entry is
  // read from the file when find() asks for it.
  struct Entry {
    std::uint64_t begin = 0;  // where its name begins
    std::uint64_t body = 0;   // where its stamp and summary begin
    std::uint32_t length = 0;
    RecordStamp stamp;
    Found kind = Found::nothing;  // what its summary is, from its first byte
    std::optional<RecordHead> head;  // a match's, where it was kept
  };

  // Kept open for the cache's life: a cache is only ever replaced by a new
  // file renamed over it, so this stays the file whose checksum was checked.
  PositionalFile file_;
  std::uint64_t checkedBytes_ = 0;
  std::uint64_t checksum_ = 0;
  std::unordered_map<std::string, Entry> entries_;  // by name
};

}  // namespace fragtally

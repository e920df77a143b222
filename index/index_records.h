#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_store.h"
#include "index/index_cache.h"
#include "index/index_tally.h"
#include "index/known_records.h"

namespace fragtally {

/// Where a reader of the folder's records hands each match on, beside the
/// index: its summary and its report's file name, in the index's own order.
using MatchSink = std::function<void(const MatchSummary&, std::string_view reportName)>;

/// Tallies an earlier pass over the folder's records left, to go on from:
/// `index` holds every record of the index cache sealed with `cacheChecksum`
/// (never 0), as those records stood then.
struct TalliesSoFar {
  std::uint64_t cacheChecksum = 0;
  IndexTally index{false};
  /// Told before any record is added: whether the pass goes on from the
  /// tallies (true), every record the cache knows as it stands being passed
  /// over, or adds every record afresh (false). A pass without players by
  /// name goes on where the folder holds each of those records as it stood,
  /// whatever records it holds besides.
  std::function<void(bool goOn)> decided;
  /// The index's tally as the pass ended, before its content was taken
  /// (IndexTally::state): what a later pass goes on from.
  std::string endedState;
};

/// The match records of a folder: every regular file directly in it whose name
/// ends in ".json" and that reads as a match record, in name order; the report
/// of "X.json" is "X.htm". Other files, unreadable ones and broken records are
/// passed over; a folder that cannot be listed gives an empty index. The files
/// are read on `threads` threads (0: every hardware thread); the result is the
/// same for any number. A record whose size and time are those kept in the
/// folder's index cache is not read again. With `freshCache`, the bytes of a
/// cache for the records as they stand now (unsealed) are written to it as
/// they come, or nothing when the folder's cache holds them already; where a
/// new record or a change comes only after some, the old cache's bytes up to
/// it are copied over. The caller seals it. A record in `known` whose size is
/// the one listed is taken from there instead of being read; the index cache
/// `known` keeps, if any, is the folder's. Every match
/// record also goes to `alsoTo` when one is given, read once for both. With
/// `playersByName` false the content lists no players (see IndexTally).
IndexContent readIndexContent(const std::filesystem::path& folder, unsigned threads = 0,
                              StreamedStore* freshCache = nullptr, const KnownRecords* known = nullptr,
                              const MatchSink& alsoTo = {}, bool playersByName = true,
                              TalliesSoFar* soFar = nullptr);

/// The checksum of the folder's index cache when the cache holds exactly the
/// folder's records as they stand (the same names, sizes and times): the
/// index and everything else built from the records is then what the cache
/// gives, and the checksum stands for it. Nothing when a record is new,
/// changed or gone, or there is no cache. The cache `loaded` already, when
/// given, is the one looked at.
std::optional<std::uint64_t> cachedRecordsChecksum(const std::filesystem::path& folder,
                                                   const IndexCache* loaded = nullptr);

/// What a folder run learns of the records whose heads say their logs are up
/// to date, before it trusts them.
struct RecordCheck {
  std::vector<std::string> broken;  ///< names of those that do not read whole as match records
};

/// Tells, for each record `names` (file names in `folder`), whether all of it
/// reads as a match record: from the folder's index cache where it knows the
/// record at its present size and time (its entries come from whole reads,
/// and a damaged cache is no cache), otherwise by reading the record. A record
/// that cannot be looked at or read is broken. What the records read now
/// gave goes to `readNow`, for the index at the run's end. On `threads`
/// threads (0: every hardware thread).
RecordCheck checkRecords(const std::filesystem::path& folder, const std::vector<std::string>& names,
                         KnownRecords& readNow, unsigned threads = 0);
/// The same with the folder's index cache loaded beforehand.
RecordCheck checkRecords(const std::filesystem::path& folder, const std::vector<std::string>& names,
                         KnownRecords& readNow, IndexCache cache, unsigned threads = 0);

}  // namespace fragtally

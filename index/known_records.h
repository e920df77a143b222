#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace fragtally {

class IndexCache;
struct RecordStamp;

/// What a batch knows of the records it has just written, for the index at
/// its end: each one's size, and its summary in the index cache's form
/// (IndexCache::encode). The summaries, tens of megabytes for thousands of
/// records, wait in a scratch file in the output folder, made with the first
/// of them and removed when this goes; only names and where each summary
/// lies are held in memory.
class KnownRecords {
 public:
  /// Knows nothing, and keeps nothing.
  KnownRecords();
  /// Keeps what it is told in `folder`.
  explicit KnownRecords(const std::filesystem::path& folder);
  ~KnownRecords();
  KnownRecords(KnownRecords&& other) noexcept;
  KnownRecords& operator=(KnownRecords&& other) noexcept;
  void swap(KnownRecords& other) noexcept { state_.swap(other.state_); }

  /// Knows the record `name` ("X.json") of `bytes` bytes by its summary, in
  /// place of what was known of it before. False when it cannot be kept: the
  /// record is then not known. Several threads may tell at once.
  bool add(const std::string& name, std::uint64_t bytes, std::string_view summary);
  /// Knows nothing more of `name`: its record was not stored after all.
  void forget(const std::string& name);
  /// The summary of the record `name` when it is known at `bytes` bytes, read
  /// into `into`; false otherwise. Several threads may look at once, once
  /// no more is told.
  bool find(const std::string& name, std::uint64_t bytes, std::string& into) const;
  /// The records known.
  std::size_t size() const;

  /// Keeps the folder's index cache as the check of the records before the
  /// batch loaded it, for the index at the batch's end: tens of megabytes,
  /// read and checked once a run. Kept only by a batch's own (folder given).
  void keepIndexCache(IndexCache cache);
  /// The index cache kept; nullptr for none.
  const IndexCache* indexCache() const;

  /// Keeps the stamps of records (by name) as the batch found them before it
  /// wrote any, so that the index need not look at them again: only of records
  /// the batch leaves as they are (a record it may write is left out).
  /// Forgetting a record drops its stamp. Kept only by a batch's own (folder
  /// given); read by several threads at once once kept.
  void keepStamps(std::unordered_map<std::string, RecordStamp> stamps);
  /// The stamp kept of the record `name`; nullptr for none.
  const RecordStamp* stampOf(const std::string& name) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace fragtally

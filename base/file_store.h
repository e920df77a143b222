#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "base/file.h"
#include "base/fnv1a_pieces.h"
#include "base/interrupt.h"
#include "base/positional_file.h"

namespace fragtally {

/// Writes bytes to an open file; false when the write fails or falls short.
using ContentWriter = std::function<bool(File&, std::string_view)>;

/// The steps of a store that reach the disk, each replaceable so that tests
/// can fail it; an empty one does the real step.
struct StoreSteps {
  ContentWriter write;
  /// The temporary file's bytes to disk (File::flushToDisk); in a batch, of
  /// each file still open when it is committed (where files wait closed, the
  /// first of each folder, whose flush stands for its whole file system).
  std::function<bool(File&)> flush;
  /// The temporary file renamed over the target (renameReplacing).
  std::function<bool(const std::filesystem::path& from, const std::filesystem::path& to)> rename;
  /// The folder's entries to disk (flushFolder).
  std::function<bool(const std::filesystem::path& folder)> flushFolder;
};

/// Replaces the content of `target` as a whole and durably: the bytes go to a
/// new file in the same folder, which is flushed to disk and only then renamed
/// over the target; the folder is flushed last, so that after a power cut the
/// target holds either its older bytes or all of the new ones. A replaced
/// file's permissions are kept; a new file gets the usual ones.
/// On a failure up to the rename the target is left as it was, no temporary
/// file remains, and the result is false. When only the final folder flush
/// fails the target already holds the new bytes, but the result is false all
/// the same: they may not survive a power cut.
bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                         const ContentWriter& write = {});
bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes, const StoreSteps& steps);

/// Stores of many files made durable together, for a run that writes a lot of
/// them: every file is written to its temporary first, then all are flushed,
/// renamed, and each folder flushed once, which costs far fewer waits for the
/// disk than one replaceFileContents after another. Each store is whole or
/// not at all, as with replaceFileContents; a failed one leaves its target
/// untouched. At most kMaxPending files wait at a time: adding one more
/// commits the waiting ones first.
class PendingStores {
 public:
#ifdef __linux__
  /// One flush of the file system makes them all durable, so a waiting file
  /// is closed once written, and many can wait.
  static constexpr bool kFilesWaitClosed = true;
  static constexpr std::size_t kMaxPending = 192;
#else
  /// Each is flushed on its own, so each waits open.
  static constexpr bool kFilesWaitClosed = false;
  static constexpr std::size_t kMaxPending = 64;
#endif

  // Every waiting file's temporary is held for the interrupt handlers, with
  // room left for other threads' stores.
  static_assert(kMaxPending + 64 <= HeldTemporary::kPlaces);

  explicit PendingStores(StoreSteps steps = {});
  /// Stores not committed are dropped: their temporaries removed, targets untouched.
  ~PendingStores();
  PendingStores(const PendingStores&) = delete;
  PendingStores& operator=(const PendingStores&) = delete;

  /// Writes the bytes to a temporary file beside `target`. False (and nothing
  /// left behind) when that fails; the target then counts as failed. With
  /// `targetIsNew` the caller knows no file stands at the target, whose
  /// permissions would be kept: a batch of thousands of new files is spared
  /// a look into the folder for each, which other writers there must wait for.
  bool add(const std::filesystem::path& target, std::string_view bytes, bool targetIsNew = false);
  /// Files written and not yet committed.
  std::size_t waiting() const { return pending_.size(); }
  /// Makes every store added so far durable and in place. Returns the
  /// targets that failed since the last commit, each once (the folder-flush
  /// rule of replaceFileContents applies).
  std::vector<std::filesystem::path> commit();

 private:
  struct Pending {
    std::filesystem::path target;
    std::filesystem::path temporary;
    File file;  // open until the commit only where it is flushed on its own
    HeldTemporary held;
  };
  void commitWaiting();
  bool flushFolderFiles(const std::filesystem::path& folder);

  StoreSteps steps_;
  std::vector<Pending> pending_;
  // The first waiting file of each folder, kept open: flushing its file
  // system reports a failed write-out of any file written after it.
  std::map<std::filesystem::path, std::size_t> firstInFolder_;
  std::vector<std::filesystem::path> failed_;
};

/// A store of a file too large to hold whole, durable as replaceFileContents
/// makes one: the bytes go in pieces through a buffer of a fixed size to a
/// temporary file beside the target, made with the first of them, and their
/// checksum (fnv1a64Words) is taken as they go. seal() appends that checksum
/// to them, flushes the file and renames it over the target; a store dropped,
/// or let go before it is sealed, leaves the target as it was and no temporary.
class StreamedStore {
 public:
  static constexpr std::size_t kBufferBytes = 64 * 1024;

  explicit StreamedStore(std::filesystem::path target, StoreSteps steps = {}, std::size_t bufferBytes = kBufferBytes);
  ~StreamedStore();
  StreamedStore(const StreamedStore&) = delete;
  StreamedStore& operator=(const StreamedStore&) = delete;

  /// Adds bytes at the end. False when they, or any before, could not be
  /// written: the store then takes nothing more and cannot be sealed.
  bool write(std::string_view bytes);
  /// The bytes given so far, the checksum not counted.
  std::uint64_t size() const { return size_; }
  /// The checksum of the bytes given so far: the one seal() appends.
  std::uint64_t checksum() const { return checksum_.value(); }
  /// Gives the store up: the temporary goes, the target stays as it was.
  void drop();
  /// Appends the checksum, makes the file durable and puts it in place. The
  /// outcome is replaceFileContents's (a failed folder flush is false with
  /// the new file in place); the store takes nothing more afterwards.
  bool seal();

 private:
  bool put(std::string_view bytes);
  bool writeBuffer();

  std::filesystem::path target_;
  StoreSteps steps_;
  std::vector<char> buffer_;
  std::size_t buffered_ = 0;
  std::uint64_t size_ = 0;
  Fnv1a64WordsPieces checksum_;
  std::filesystem::path temporary_;
  File file_;
  HeldTemporary held_;
  bool begun_ = false;  // the temporary made
  bool over_ = false;   // failed, dropped or sealed
};

/// Bytes a run keeps aside on disk rather than in memory until it is done
/// with them, in a file of its own in a folder it writes to anyway: a
/// temporary, whatever happens removed when this goes, by the interrupt
/// handlers or, after a run killed outright, as a stale temporary.
class ScratchFile {
 public:
  /// Made in `folder`; not open when it cannot be made there.
  explicit ScratchFile(const std::filesystem::path& folder);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  bool isOpen() const { return file_.isOpen(); }
  /// Adds bytes at the end; where they begin, or nothing when they cannot be
  /// written (the file then takes nothing more). One thread at a time adds.
  std::optional<std::uint64_t> append(std::string_view bytes);
  /// Reads bytes added before; several threads may read at once.
  bool read(std::uint64_t offset, char* into, std::size_t count) const { return file_.readAt(offset, into, count); }

 private:
  std::filesystem::path path_;
  PositionalFile file_;
  HeldTemporary held_;
  std::uint64_t end_ = 0;
  bool failed_ = false;
};

/// Removes this program's temporary files (".fragtally-*.tmp") directly in
/// `folder` that are more than a day old: leftovers of a run that was killed
/// outright or lost its power. Younger ones may belong to a run going on now.
/// Best effort: a file that cannot be removed is left.
void removeStaleTemporaries(const std::filesystem::path& folder);

}  // namespace fragtally

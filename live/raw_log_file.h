#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace fragtally::live {

/// One write to the disk, as the system's write: the count of bytes written
/// (fewer than asked when the disk is full), or -1 with errno set. Tests put a
/// full disk in its place.
using RawWrite = std::function<long(int handle, const char* bytes, std::size_t count)>;

/// A raw log as the listener writes it: created new (never an existing file),
/// appended to line by line. Lines are collected and handed to the system
/// together, whole, so a reader of the file never sees half a line.
///
/// The file only ever holds whole lines, also when the disk fills up: a line
/// written in part is cut off again, and the lines that found no room are
/// lost and counted. Each flush tries again, so writing goes on once the disk
/// has room; the log is then whole apart from the lines lost.
class RawLogFile {
 public:
  /// Creates `<stem>.log` in `folder`, or `<stem>-2.log`, `-3` ... when that
  /// exists; `write` (empty: the system's) does its writes. Throws cannotCreateFile.
  static RawLogFile createNew(const std::filesystem::path& folder, const std::string& stem, RawWrite write = {});

  RawLogFile() = default;
  ~RawLogFile();
  RawLogFile(RawLogFile&& other) noexcept;
  RawLogFile& operator=(RawLogFile&& other) noexcept;
  RawLogFile(const RawLogFile&) = delete;
  RawLogFile& operator=(const RawLogFile&) = delete;

  bool isOpen() const { return handle_ != -1; }
  /// The file's path, UTF-8.
  const std::string& path() const { return path_; }

  /// Keeps a line for the next flush, with a line feed when it has none;
  /// flushes by itself when much is kept. False while the last write failed.
  bool append(std::string_view line);
  /// Hands the kept lines to the system. False when the write failed: the
  /// lines that found no room are lost.
  bool flush();
  /// Flushes and closes, without waiting for the disk.
  bool close();

  /// The lines lost so far because they could not be written.
  std::uint64_t linesLost() const { return linesLost_; }
  /// The system's error number of the last failed write.
  int lastError() const { return lastError_; }

  /// A second handle of the open file, for syncing it elsewhere; -1 when none.
  int duplicateHandle() const;
  /// Syncs a handle from duplicateHandle and closes it; false when the sync failed.
  static bool syncAndCloseHandle(int handle);

 private:
  bool cutBackToWholeLines();

  int handle_ = -1;
  std::string path_;
  RawWrite write_;
  std::string pending_;
  std::uint64_t wholeBytes_ = 0;   // the file's size up to its last whole line
  bool torn_ = false;              // a line stands in part behind wholeBytes_
  bool failing_ = false;           // the last write failed
  std::uint64_t linesLost_ = 0;
  int lastError_ = 0;
};

}  // namespace fragtally::live

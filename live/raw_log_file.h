#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fragtally::live {

/// A raw log as the listener writes it: created new (never an existing file),
/// appended to line by line. Lines are collected and handed to the system
/// together, whole, so a reader of the file never sees half a line.
class RawLogFile {
 public:
  /// Creates `<stem>.log` in `folder`, or `<stem>-2.log`, `-3` ... when that
  /// exists. Throws cannotCreateFile.
  static RawLogFile createNew(const std::filesystem::path& folder, const std::string& stem);

  RawLogFile() = default;
  ~RawLogFile();
  RawLogFile(RawLogFile&& other) noexcept;
  RawLogFile& operator=(RawLogFile&& other) noexcept;
  RawLogFile(const RawLogFile&) = delete;
  RawLogFile& operator=(const RawLogFile&) = delete;

  bool isOpen() const { return handle_ != -1; }
  /// The file's path, UTF-8.
  const std::string& path() const { return path_; }

  /// Keeps a line for the next flush; flushes by itself when much is kept.
  /// False once a write has failed.
  bool append(std::string_view line);
  /// Hands the kept lines to the system. False when the write failed.
  bool flush();
  /// Flushes and closes, without waiting for the disk.
  bool close();

  /// A second handle of the open file, for syncing it elsewhere; -1 when none.
  int duplicateHandle() const;
  /// Syncs a handle from duplicateHandle and closes it; false when the sync failed.
  static bool syncAndCloseHandle(int handle);

 private:
  int handle_ = -1;
  std::string path_;
  std::string pending_;
  bool failed_ = false;
};

}  // namespace fragtally::live

#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace fragtally {

/// Paths travel through the program as UTF-8 byte strings (on Linux: the bytes
/// as they are); these two convert at the file-system boundary.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

/// An open C file, closed when it goes out of scope. Opened in binary mode
/// always: no line-end translation on Windows.
class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;

  /// Opens an existing file for reading; invalid when that fails (also for a
  /// folder). Never waits in the opening: a pipe (FIFO) that no program writes
  /// to, and holds no bytes, is refused rather than waited for.
  static File openForReading(const std::filesystem::path& path);
  /// Creates or empties a file for writing; invalid when that fails.
  static File createForWriting(const std::filesystem::path& path);
  /// The program's standard input, in binary mode, as a file of its own:
  /// closing it leaves the standard input open.
  static File standardInput();

  bool isOpen() const { return file_ != nullptr; }
  /// Reads up to `capacity` bytes; 0 at the end. Sets failed() on a read error.
  std::size_t read(char* into, std::size_t capacity);
  /// Writes all bytes; false when the write fails or falls short.
  bool write(std::string_view bytes);
  /// Hands everything written so far to the disk and waits until it is there;
  /// false when the system reports it could not be stored.
  bool flushToDisk();
  /// The outcome of flushFileSystem.
  enum class SystemFlush { done, failed, unsupported };
  /// Linux: makes everything written on this file's file system durable, the
  /// bytes, sizes and names of every file on it, with one wait for the disk,
  /// and reports a failed write-out of any of them since this file was
  /// opened. A file's own flush is not enough for a batch there: a file
  /// system without a journal (ext4 can run so) writes only that file's
  /// entry. `unsupported` (nothing flushed) where the system has no such
  /// flush: other systems, or a kernel or file system without it.
  SystemFlush flushFileSystem();
  /// Flushes and closes; false when anything written could not be stored.
  bool close();
  bool failed() const { return file_ != nullptr && std::ferror(file_) != 0; }

 private:
  explicit File(std::FILE* file) : file_(file) {}
  std::FILE* file_ = nullptr;
};

/// Renames `from` over `to`, replacing a file of that name in one step, and
/// asks the system to have the new name on disk. False when it fails; `from`
/// is then still there.
bool renameReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

/// Stores the folder's own entries (names created, renamed or removed in it)
/// on disk. True on systems where a rename written through needs no more.
bool flushFolder(const std::filesystem::path& folder);

/// What one look at a file (links followed) tells of it.
struct FileLook {
  bool exists = false;
  bool regular = false;                  ///< a regular file, not a pipe, a device or a folder
  std::uint64_t bytes = 0;               ///< its size; 0 for anything but a regular file
  std::int64_t modifiedUnixSeconds = 0;  ///< its last change, whole seconds since 1970-01-01 UTC
  /// The part of its last change below the second, in nanoseconds, as finely
  /// as the file system keeps it (0 where it keeps whole seconds): a log
  /// rewritten within the same second is told apart by it.
  std::uint32_t modifiedNanoseconds = 0;
  bool operator==(const FileLook&) const = default;
};
/// Looks at `path` once: a batch looks at thousands of logs, and asking for
/// kind, size and time one by one asks the file system three times.
FileLook lookAtFile(const std::filesystem::path& path);

/// The same for `path` itself, a link not followed: nothing where it is a link
/// or cannot be looked at. One look tells a link apart and, for anything
/// else, gives what lookAtFile would.
std::optional<FileLook> lookAtFileUnlessLink(const std::filesystem::path& path);

/// Reads the start of a file a piece at a time (4 KiB, then twice as much each
/// time) until `enough` says the bytes read so far are enough, the file ends or
/// `limit` bytes are read: for the head of a file whose length is unknown,
/// without reading or clearing more than it needs. False when the file cannot
/// be opened or nothing read was enough.
bool readFileStart(const std::filesystem::path& path, std::size_t limit,
                   const std::function<bool(std::string_view)>& enough);

/// The whole file at `path` into `bytes` (appended), when it can be read and
/// holds at most `limit` bytes.
bool readSmallFile(const std::filesystem::path& path, std::uintmax_t limit, std::string& bytes);

}  // namespace fragtally

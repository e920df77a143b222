#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace fragtally {

/// What the system tells of an open file through its handle, whatever its
/// name leads to by now.
struct OpenFileFacts {
  bool regular = false;                  ///< a regular file on a disk: not a folder, pipe or device
  std::uint64_t bytes = 0;
  std::int64_t modifiedNanoseconds = 0;  ///< its last change, since 1970-01-01 UTC
  /// Which file it is: the device (a volume's serial number on Windows) and its
  /// number there. A file replaced by a rename is another file, whatever its
  /// size and time.
  std::uint64_t device = 0;
  std::uint64_t fileNumber = 0;

  bool operator==(const OpenFileFacts&) const = default;
};

#ifdef _WIN32
using NativeFileHandle = void*;  // HANDLE
#else
using NativeFileHandle = int;    // a file descriptor
#endif

/// Opens an existing file for reading, letting others read, write, rename and
/// delete it meanwhile (on Windows a store renames a new file over it while a
/// reader holds it), and never waiting in the opening (a pipe without a
/// writer). The handle is the caller's to close; nothing when it fails.
std::optional<NativeFileHandle> openSharedForReading(const std::filesystem::path& path);

/// The same open, provided no part of `path` is a link: what is opened is the
/// file the path names as written, so a path already resolved (a folder's real
/// path joined with plain names) needs no resolving again. Nothing when a part
/// is a link, when the file cannot be opened, or where the system has no such
/// open (Windows, a Linux before 5.6, a sandbox that forbids it): the caller
/// then resolves the path itself.
std::optional<NativeFileHandle> openSharedForReadingWithoutLinks(const std::filesystem::path& path);

/// Asks once; nothing when the handle cannot be asked.
std::optional<OpenFileFacts> factsOfOpenFile(NativeFileHandle handle);

}  // namespace fragtally

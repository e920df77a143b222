#pragma once

#include <cstdint>
#include <optional>

namespace fragtally {

/// What the system tells of an open file through its handle, whatever its
/// name leads to by now.
struct OpenFileFacts {
  bool regular = false;                  ///< a regular file on a disk: not a folder, pipe or device
  std::uint64_t bytes = 0;
  std::int64_t modifiedNanoseconds = 0;  ///< its last change, since 1970-01-01 UTC
};

#ifdef _WIN32
using NativeFileHandle = void*;  // HANDLE
#else
using NativeFileHandle = int;    // a file descriptor
#endif

/// Asks once; nothing when the handle cannot be asked.
std::optional<OpenFileFacts> factsOfOpenFile(NativeFileHandle handle);

}  // namespace fragtally

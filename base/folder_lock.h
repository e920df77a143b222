#pragma once

#include <filesystem>
#include <functional>

#include "base/output_names.h"

namespace fragtally {

/// The lock of an output folder, held by one run at a time over all processes
/// and threads: a run that names, writes and lists the reports and records of
/// a folder takes it first, so that two runs never give two logs one name or
/// list the folder while the other fills it. It is a lock on a file in the
/// folder, which the system lets go of when its holder ends, however it ends:
/// a killed run never blocks the next.
class FolderLock {
 public:
  /// The lock file's name (output_names.h).
  static constexpr const char* kFileName = kLockFileName;

  /// Makes `folder` (and its parents) when missing and takes its lock: at
  /// once when it is free, else `waiting` is called once and the call waits
  /// until the holder lets go. Throws cannotCreateFile(<lock file>) when the
  /// folder or the lock file cannot be made or the lock cannot be taken.
  static FolderLock take(const std::filesystem::path& folder, const std::function<void()>& waiting);

  /// Whether `take` made the folder: it did not stand before.
  bool madeFolder() const { return !outermostMade_.empty(); }

  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&&) = delete;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  /// Lets go of the lock. The folders `take` made are removed again first when
  /// nothing but the lock file came into them: a run that writes nothing
  /// leaves no folder behind.
  ~FolderLock();

 private:
#ifdef _WIN32
  using Handle = void*;
  static constexpr Handle kNoHandle = nullptr;
#else
  using Handle = int;
  static constexpr Handle kNoHandle = -1;
#endif
  FolderLock(Handle handle, std::filesystem::path folder, std::filesystem::path outermostMade)
      : handle_(handle), folder_(std::move(folder)), outermostMade_(std::move(outermostMade)) {}
  void removeUnusedFolders();

  Handle handle_ = kNoHandle;
  std::filesystem::path folder_;
  std::filesystem::path outermostMade_;  // empty when the folder stood already
};

}  // namespace fragtally

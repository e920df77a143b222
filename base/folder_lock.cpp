#include "base/folder_lock.h"

#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include "base/error.h"
#include "base/file.h"

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fragtally {
namespace {

// The outermost of `folder` and its parents that does not exist: the first
// folder create_directories makes. Empty when `folder` exists.
std::filesystem::path outermostMissing(const std::filesystem::path& folder) {
  std::filesystem::path missing;
  std::error_code error;
  for (std::filesystem::path path = folder; !path.empty() && !std::filesystem::exists(path, error);
       path = path.parent_path()) {
    missing = path;
    if (path == path.parent_path()) break;
  }
  return missing;
}

// A lock file removed by a run that wrote nothing goes away while it is open
// elsewhere; a run that locked it meanwhile tries again with a new one. On
// Windows the name is refused while the removed file is still open, up to
// this many times a hundredth of a second.
constexpr int kRefusedOpenRetries = 300;

#ifdef _WIN32

HANDLE openLockFile(const std::filesystem::path& path) {
  for (int attempt = 0;; ++attempt) {
    // Shared every way: every run opens it, and one that wrote nothing removes it.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    if (GetLastError() != ERROR_ACCESS_DENIED || attempt == kRefusedOpenRetries) return nullptr;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// 0: locked; 1: another holds it (only when not waiting); -1: failed.
int lockFile(HANDLE handle, bool wait) {
  OVERLAPPED start{};
  const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
  if (LockFileEx(handle, flags, 0, 1, 0, &start)) return 0;
  return !wait && GetLastError() == ERROR_LOCK_VIOLATION ? 1 : -1;
}

// Whether the locked file still stands under its name: not removed meanwhile.
bool stillNamed(HANDLE handle, const std::filesystem::path&) {
  FILE_STANDARD_INFO info{};
  return GetFileInformationByHandleEx(handle, FileStandardInfo, &info, sizeof info) && !info.DeletePending;
}

void closeLockFile(HANDLE handle) { CloseHandle(handle); }

#else

int openLockFile(const std::filesystem::path& path) {
  int fd = -1;
  // Opened for reading: a lock file another user made is locked as well.
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd < 0 ? -1 : fd;
}

int lockFile(int fd, bool wait) {
  for (;;) {
    if (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0) return 0;
    if (errno == EINTR) continue;
    return !wait && errno == EWOULDBLOCK ? 1 : -1;
  }
}

bool stillNamed(int fd, const std::filesystem::path& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

void closeLockFile(int fd) { ::close(fd); }

#endif

}  // namespace

FolderLock FolderLock::take(const std::filesystem::path& given, const std::function<void()>& waiting) {
  const std::filesystem::path folder = given.empty() ? std::filesystem::path(".") : given;
  const std::filesystem::path lockPath = folder / kFileName;
  bool saidWaiting = false;
  for (int attempt = 0;; ++attempt) {
    const std::filesystem::path made = outermostMissing(folder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const bool folderStood = !error;
    const Handle handle = openLockFile(lockPath);
    if (handle == kNoHandle) {
      // The last holder may have removed the folder just after it stood here.
      if (folderStood && attempt < kRefusedOpenRetries && !std::filesystem::is_directory(folder, error)) continue;
      throw cannotCreateFile(utf8FromPath(lockPath));
    }
    int locked = lockFile(handle, false);
    if (locked == 1) {
      if (!saidWaiting && waiting) waiting();
      saidWaiting = true;
      locked = lockFile(handle, true);
    }
    if (locked != 0) {
      closeLockFile(handle);
      throw cannotCreateFile(utf8FromPath(lockPath));
    }
    if (stillNamed(handle, lockPath)) return FolderLock(handle, folder, made);
    closeLockFile(handle);
  }
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)),
      folder_(std::move(other.folder_)),
      outermostMade_(std::move(other.outermostMade_)) {}

FolderLock::~FolderLock() {
  if (handle_ == kNoHandle) return;
  removeUnusedFolders();
  closeLockFile(handle_);
  // Removed after the lock file went with its last holder (Windows keeps a
  // removed file, and so its folder, until then).
  std::error_code error;
  for (std::filesystem::path path = folder_; !outermostMade_.empty(); path = path.parent_path()) {
    if (!std::filesystem::remove(path, error) || path == outermostMade_) break;
  }
}

// Removes the lock file, while still locked, of a folder this lock made where
// nothing else came in; the folders themselves go once it is closed.
void FolderLock::removeUnusedFolders() {
  if (outermostMade_.empty()) return;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder_, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->path().filename() != kFileName) {
      outermostMade_.clear();
      return;
    }
  }
  if (error || !std::filesystem::remove(folder_ / kFileName, error)) outermostMade_.clear();
}

}  // namespace fragtally

#include "base/open_file_facts.h"

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif
#ifdef __linux__
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#endif

namespace fragtally {

std::optional<NativeFileHandle> openSharedForReading(const std::filesystem::path& path) {
#ifdef _WIN32
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  return handle;
#else
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (descriptor < 0) return std::nullopt;
  return descriptor;
#endif
}

std::optional<NativeFileHandle> openSharedForReadingWithoutLinks(const std::filesystem::path& path) {
#if defined(__linux__) && defined(SYS_openat2)
  // Once the system has said it has no such open, it is not asked again.
  static std::atomic<bool> refused{false};
  if (refused.load(std::memory_order_relaxed)) return std::nullopt;
  open_how how{};
  how.flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
  how.resolve = RESOLVE_NO_SYMLINKS;
  const long descriptor = ::syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how);
  if (descriptor >= 0) return static_cast<int>(descriptor);
  // A sandbox's filter answers EPERM for a call it does not know.
  if (errno == ENOSYS || errno == EPERM) refused.store(true, std::memory_order_relaxed);
  return std::nullopt;
#else
  (void)path;
  return std::nullopt;
#endif
}

std::optional<OpenFileFacts> factsOfOpenFile(NativeFileHandle handle) {
  OpenFileFacts facts;
#ifdef _WIN32
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  facts.regular = (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0 &&
                  GetFileType(handle) == FILE_TYPE_DISK;
  facts.bytes = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  // FILETIME counts 100 ns steps since 1601-01-01.
  const std::uint64_t ticks =
      (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000;
  facts.modifiedNanoseconds = (static_cast<std::int64_t>(ticks) - kTicksFrom1601To1970) * 100;
  facts.device = info.dwVolumeSerialNumber;
  facts.fileNumber = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
#else
  struct stat status {};
  if (::fstat(handle, &status) != 0) return std::nullopt;
  facts.regular = S_ISREG(status.st_mode);
  facts.bytes = facts.regular ? static_cast<std::uint64_t>(status.st_size) : 0;
  facts.modifiedNanoseconds =
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + static_cast<std::int64_t>(status.st_mtim.tv_nsec);
  facts.device = static_cast<std::uint64_t>(status.st_dev);
  facts.fileNumber = static_cast<std::uint64_t>(status.st_ino);
#endif
  return facts;
}

}  // namespace fragtally

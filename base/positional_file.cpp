#include "base/positional_file.h"

#include <utility>

#ifdef _WIN32
#include "base/windows_api.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fragtally {

PositionalFile::~PositionalFile() { close(); }

#ifdef _WIN32

PositionalFile::PositionalFile(PositionalFile&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), size_(std::exchange(other.size_, 0)) {}

PositionalFile& PositionalFile::operator=(PositionalFile&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, nullptr);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool PositionalFile::isOpen() const { return handle_ != nullptr; }

void PositionalFile::close() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  size_ = 0;
}

PositionalFile PositionalFile::open(const std::filesystem::path& path) {
  PositionalFile file;
  // Shared for deletion: a new file can be renamed over this one's name while
  // it is read, as on every other system. A folder does not open without
  // FILE_FLAG_BACKUP_SEMANTICS.
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return file;
  file.handle_ = handle;
  LARGE_INTEGER size;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size) || size.QuadPart < 0) {
    file.close();
    return file;
  }
  file.size_ = static_cast<std::uint64_t>(size.QuadPart);
  return file;
}

PositionalFile PositionalFile::createNew(const std::filesystem::path& path) {
  PositionalFile file;
  const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) file.handle_ = handle;
  return file;
}

bool PositionalFile::writeAt(std::uint64_t offset, std::string_view bytes) {
  if (handle_ == nullptr) return false;
  while (!bytes.empty()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD asked = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD put = 0;
    if (!WriteFile(static_cast<HANDLE>(handle_), bytes.data(), asked, &put, &at) || put == 0) return false;
    offset += put;
    bytes.remove_prefix(put);
  }
  if (offset > size_) size_ = offset;
  return true;
}

bool PositionalFile::readAt(std::uint64_t offset, char* into, std::size_t count) const {
  if (handle_ == nullptr) return false;
  while (count > 0) {
    // The offset goes with each read, so that reads on other threads do not
    // move it.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD asked = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
    DWORD got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), into, asked, &got, &at) || got == 0) return false;
    offset += got;
    into += got;
    count -= got;
  }
  return true;
}

#else

PositionalFile::PositionalFile(PositionalFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)) {}

PositionalFile& PositionalFile::operator=(PositionalFile&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

bool PositionalFile::isOpen() const { return fd_ >= 0; }

void PositionalFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

PositionalFile PositionalFile::open(const std::filesystem::path& path) {
  PositionalFile file;
  // Not blocking: opening a pipe that no program writes to would wait.
  file.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file.fd_ < 0) return file;
  struct stat status;
  if (::fstat(file.fd_, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
    file.close();
    return file;
  }
  file.size_ = static_cast<std::uint64_t>(status.st_size);
  return file;
}

PositionalFile PositionalFile::createNew(const std::filesystem::path& path) {
  PositionalFile file;
  file.fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  return file;
}

bool PositionalFile::writeAt(std::uint64_t offset, std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t put = ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    offset += static_cast<std::uint64_t>(put);
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  if (offset > size_) size_ = offset;
  return true;
}

bool PositionalFile::readAt(std::uint64_t offset, char* into, std::size_t count) const {
  if (fd_ < 0) return false;
  while (count > 0) {
    const ssize_t got = ::pread(fd_, into, count, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    offset += static_cast<std::uint64_t>(got);
    into += got;
    count -= static_cast<std::size_t>(got);
  }
  return true;
}

#endif

}  // namespace fragtally

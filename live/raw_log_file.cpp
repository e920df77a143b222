#include "live/raw_log_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "base/error.h"
#include "base/file.h"

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

namespace fragtally::live {
namespace {

// Enough for a burst of some hundred lines in one write.
constexpr std::size_t kFlushAtBytes = 64 * 1024;

#ifdef _WIN32
int openNew(const std::filesystem::path& path) {
  int handle = -1;
  _wsopen_s(&handle, path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_APPEND | _O_BINARY, _SH_DENYNO,
            _S_IREAD | _S_IWRITE);
  return handle;
}
long writeSome(int handle, const char* bytes, std::size_t count) {
  return _write(handle, bytes, static_cast<unsigned>(count));
}
bool syncHandle(int handle) { return _commit(handle) == 0; }
int duplicate(int handle) { return _dup(handle); }
void closeHandle(int handle) { _close(handle); }
#else
int openNew(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
}
long writeSome(int handle, const char* bytes, std::size_t count) { return ::write(handle, bytes, count); }
bool syncHandle(int handle) { return ::fsync(handle) == 0; }
int duplicate(int handle) { return ::fcntl(handle, F_DUPFD_CLOEXEC, 0); }
void closeHandle(int handle) { ::close(handle); }
#endif

}  // namespace

RawLogFile RawLogFile::createNew(const std::filesystem::path& folder, const std::string& stem) {
  // The exclusive create decides: a file that appears between two tries is
  // never opened, the next number is.
  for (int number = 1; number < 10000; ++number) {
    const std::string name = number == 1 ? stem + ".log" : stem + "-" + std::to_string(number) + ".log";
    const std::filesystem::path path = folder / pathFromUtf8(name);
    const int handle = openNew(path);
    if (handle != -1) {
      RawLogFile file;
      file.handle_ = handle;
      file.path_ = utf8FromPath(path);
      return file;
    }
    if (errno != EEXIST) throw cannotCreateFile(utf8FromPath(path));
  }
  throw cannotCreateFile(utf8FromPath(folder / pathFromUtf8(stem + ".log")));
}

RawLogFile::~RawLogFile() { close(); }

RawLogFile::RawLogFile(RawLogFile&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      path_(std::move(other.path_)),
      pending_(std::move(other.pending_)),
      failed_(other.failed_) {}

RawLogFile& RawLogFile::operator=(RawLogFile&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, -1);
    path_ = std::move(other.path_);
    pending_ = std::move(other.pending_);
    failed_ = other.failed_;
  }
  return *this;
}

bool RawLogFile::append(std::string_view line) {
  pending_ += line;
  return pending_.size() < kFlushAtBytes ? !failed_ : flush();
}

bool RawLogFile::flush() {
  std::size_t done = 0;
  while (!failed_ && done < pending_.size()) {
    const long written = writeSome(handle_, pending_.data() + done, pending_.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else {
      failed_ = true;
    }
  }
  // What could not be written is dropped: memory stays bounded on a full disk.
  pending_.clear();
  return !failed_;
}

bool RawLogFile::close() {
  if (handle_ == -1) return !failed_;
  const bool flushed = flush();
  closeHandle(handle_);
  handle_ = -1;
  return flushed;
}

int RawLogFile::duplicateHandle() const { return handle_ == -1 ? -1 : duplicate(handle_); }

bool RawLogFile::syncAndCloseHandle(int handle) {
  const bool synced = syncHandle(handle);
  closeHandle(handle);
  return synced;
}

}  // namespace fragtally::live

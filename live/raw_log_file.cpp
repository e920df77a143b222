#include "live/raw_log_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "base/error.h"
#include "base/file.h"
#include "base/output_names.h"

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
bool cutTo(int handle, std::uint64_t size) { return _chsize_s(handle, static_cast<long long>(size)) == 0; }
int duplicate(int handle) { return _dup(handle); }
void closeHandle(int handle) { _close(handle); }
#else
int openNew(const std::filesystem::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
}
long writeSome(int handle, const char* bytes, std::size_t count) { return ::write(handle, bytes, count); }
bool syncHandle(int handle) { return ::fsync(handle) == 0; }
bool cutTo(int handle, std::uint64_t size) { return ::ftruncate(handle, static_cast<off_t>(size)) == 0; }
int duplicate(int handle) { return ::fcntl(handle, F_DUPFD_CLOEXEC, 0); }
void closeHandle(int handle) { ::close(handle); }
#endif

}  // namespace

RawLogFile RawLogFile::createNew(const std::filesystem::path& folder, const std::string& stem, RawWrite write) {
  // The exclusive create decides: a file that appears between two tries is
  // never opened, the next number is.
  for (int number = 1; number < 10000; ++number) {
    const std::string name = number == 1 ? stem + kLogExtension : stem + "-" + std::to_string(number) + kLogExtension;
    const std::filesystem::path path = folder / pathFromUtf8(name);
    const int handle = openNew(path);
    if (handle != -1) {
      RawLogFile file;
      file.handle_ = handle;
      file.path_ = utf8FromPath(path);
      file.write_ = write ? std::move(write) : RawWrite(writeSome);
      return file;
    }
    if (errno != EEXIST) throw cannotCreateFile(utf8FromPath(path));
  }
  throw cannotCreateFile(utf8FromPath(folder / pathFromUtf8(stem + kLogExtension)));
}

RawLogFile::~RawLogFile() { close(); }

RawLogFile::RawLogFile(RawLogFile&& other) noexcept { *this = std::move(other); }

RawLogFile& RawLogFile::operator=(RawLogFile&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, -1);
    path_ = std::move(other.path_);
    write_ = std::move(other.write_);
    pending_ = std::move(other.pending_);
    wholeBytes_ = other.wholeBytes_;
    torn_ = other.torn_;
    failing_ = other.failing_;
    linesLost_ = other.linesLost_;
    lastError_ = other.lastError_;
  }
  return *this;
}

bool RawLogFile::append(std::string_view line) {
  pending_ += line;
  // A line cut off by the server or the network still ends where the next begins.
  if (!line.empty() && line.back() != '\n') pending_ += '\n';
  return pending_.size() < kFlushAtBytes ? !failing_ : flush();
}

bool RawLogFile::cutBackToWholeLines() {
  if (!torn_) return true;
  if (cutTo(handle_, wholeBytes_)) {
    torn_ = false;
  } else {
    lastError_ = errno;
  }
  return !torn_;
}

bool RawLogFile::flush() {
  if (pending_.empty() || handle_ == -1) return !failing_;
  std::size_t done = 0;
  // A line left in part by a failed write is cut off before anything follows it.
  bool failed = !cutBackToWholeLines();
  while (!failed && done < pending_.size()) {
    const long written = write_(handle_, pending_.data() + done, pending_.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else {
      lastError_ = written < 0 ? errno : ENOSPC;  // a write that takes nothing: no room
      failed = true;
    }
  }
  // Only whole lines count as written; the part of a line behind them is cut
  // off again (or before the next write, when the cut fails now). What could
  // not be written is dropped, so memory stays bounded on a full disk.
  std::size_t kept = done;  // every kept line ends in a line feed
  if (done < pending_.size()) {
    const std::size_t lastFeed = done == 0 ? std::string::npos : pending_.rfind('\n', done - 1);
    kept = lastFeed == std::string::npos ? 0 : lastFeed + 1;
  }
  wholeBytes_ += kept;
  if (done > kept) {
    torn_ = true;
    cutBackToWholeLines();
  }
  linesLost_ += static_cast<std::uint64_t>(std::count(pending_.begin() + static_cast<std::ptrdiff_t>(kept), pending_.end(), '\n'));
  pending_.clear();
  failing_ = failed;
  return !failed;
}

bool RawLogFile::close() {
  if (handle_ == -1) return !failing_;
  const bool flushed = flush();
  cutBackToWholeLines();
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

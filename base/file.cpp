#include "base/file.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include "base/windows_api.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fragtally {
namespace {

#ifdef _WIN32

// The narrow fopen would go through the ANSI code page; the wide calls take
// every character a Windows path can hold.
std::FILE* openFile(const std::filesystem::path& path, bool forWriting) {
  // Shared for deletion both ways: an interrupt can remove a file still being
  // written (it goes when the ending process closes it), and another program
  // can rename its new report or picture over a file this one is reading, as
  // it can on every other system.
  const HANDLE handle =
      CreateFileW(path.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_DELETE | (forWriting ? 0 : FILE_SHARE_WRITE), nullptr,
                  forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle),
                                 (forWriting ? _O_WRONLY : _O_RDONLY) | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, forWriting ? "wb" : "rb");
  if (file == nullptr) _close(fd);
  return file;
}

#else

// A descriptor closed at the end of its scope unless handed on.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::FILE* openFile(const std::filesystem::path& path, bool forWriting) {
  return std::fopen(path.c_str(), forWriting ? "wb" : "rb");
}

// A system call that a signal broke off is made again; its result otherwise.
template <typename Call>
auto retryingInterrupted(Call call) {
  decltype(call()) result;
  do {
    result = call();
  } while (result < 0 && errno == EINTR);
  return result;
}

// What a look at a file (stat or lstat) tells.
FileLook lookOf(const struct stat& facts) {
  FileLook look;
  look.exists = true;
  look.regular = S_ISREG(facts.st_mode);
  if (look.regular) look.bytes = static_cast<std::uint64_t>(facts.st_size);
  look.modifiedUnixSeconds = facts.st_mtim.tv_sec;  // whole seconds, rounded down
  look.modifiedNanoseconds = static_cast<std::uint32_t>(facts.st_mtim.tv_nsec);
  return look;
}

// Opening never waits: without O_NONBLOCK, opening a FIFO for reading blocks
// until some program opens it for writing, which may be never. The descriptor
// of `path` and in `facts` what it is; -1 for a folder or a failure.
int openWithoutWaiting(const std::filesystem::path& path, struct stat& facts) {
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return -1;
  if (::fstat(fd.get(), &facts) != 0 || S_ISDIR(facts.st_mode)) return -1;
  return fd.release();
}

// The stream of a descriptor openWithoutWaiting gave, which it takes over. A
// FIFO opened so is only kept when it holds bytes or a writer has it open (a
// read then says "try again" instead of "end"); with neither, it is refused.
// A pipe given as /dev/stdin has its writer, so it reads as before.
std::FILE* streamWithoutWaiting(int descriptor, const struct stat& facts) {
  Descriptor fd(descriptor);
  int peeked = -1;
  if (S_ISFIFO(facts.st_mode)) {
    unsigned char byte = 0;
    const ssize_t got = retryingInterrupted([&] { return ::read(fd.get(), &byte, 1); });
    if (got == 0) return nullptr;
    if (got == 1) {
      peeked = byte;
    } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
      return nullptr;
    }
  }
  // A regular file reads the same either way; thousands are opened a run.
  if (!S_ISREG(facts.st_mode)) {
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return nullptr;
  }
  std::FILE* file = ::fdopen(fd.get(), "rb");
  if (file == nullptr) return nullptr;
  fd.release();
  // One byte pushed back is always possible on a freshly opened stream.
  if (peeked >= 0) std::ungetc(peeked, file);
  return file;
}

std::FILE* openForReadingWithoutWaiting(const std::filesystem::path& path) {
  struct stat facts {};
  const int fd = openWithoutWaiting(path, facts);
  return fd < 0 ? nullptr : streamWithoutWaiting(fd, facts);
}

#endif

}  // namespace

std::filesystem::path pathFromUtf8(std::string_view utf8) {
  const std::u8string_view asU8(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size());
#ifdef _WIN32
  try {
    return std::filesystem::path(asU8);
  } catch (const std::exception&) {
    // Not valid UTF-8: keep the bytes as they are, as a path that matches nothing.
    return std::filesystem::path(std::string(utf8));
  }
#else
  return std::filesystem::path(asU8);
#endif
}

std::string utf8FromPath(const std::filesystem::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

File::~File() {
  if (file_ != nullptr) std::fclose(file_);
}

File::File(File&& other) noexcept : file_(std::exchange(other.file_, nullptr)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::exchange(other.file_, nullptr);
  }
  return *this;
}

File File::openForReading(const std::filesystem::path& path) {
#ifdef _WIN32
  // _wfopen succeeds on a folder; reading it then fails.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return File();
  return File(openFile(path, false));
#else
  return File(openForReadingWithoutWaiting(path));
#endif
}

File File::createForWriting(const std::filesystem::path& path) {
  return File(openFile(path, true));
}

File File::standardInput() {
#ifdef _WIN32
  const int fd = _dup(0);
  if (fd < 0) return File();
  _setmode(fd, _O_BINARY);
  std::FILE* file = _fdopen(fd, "rb");
  if (file == nullptr) _close(fd);
  return File(file);
#else
  Descriptor fd(::fcntl(0, F_DUPFD_CLOEXEC, 0));
  if (fd.get() < 0) return File();
  std::FILE* file = ::fdopen(fd.get(), "rb");
  if (file != nullptr) fd.release();
  return File(file);
#endif
}

std::size_t File::read(char* into, std::size_t capacity) {
  return std::fread(into, 1, capacity, file_);
}

bool File::write(std::string_view bytes) {
  if (bytes.empty()) return true;
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool File::flushToDisk() {
  if (file_ == nullptr || std::fflush(file_) != 0) return false;
#ifdef _WIN32
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
#else
#ifdef __linux__
  // The data and what is needed to read it back (its size); not its times.
  return retryingInterrupted([&] { return ::fdatasync(::fileno(file_)); }) == 0;
#else
  return retryingInterrupted([&] { return ::fsync(::fileno(file_)); }) == 0;
#endif
#endif
}

File::SystemFlush File::flushFileSystem() {
#ifdef __linux__
  if (file_ == nullptr || std::fflush(file_) != 0) return SystemFlush::failed;
  if (retryingInterrupted([&] { return ::syncfs(::fileno(file_)); }) == 0) return SystemFlush::done;
  return errno == ENOSYS || errno == EINVAL || errno == ENOTSUP ? SystemFlush::unsupported : SystemFlush::failed;
#else
  return SystemFlush::unsupported;
#endif
}

bool File::close() {
  if (file_ == nullptr) return false;
  const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}

bool renameReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  // Write-through: the call returns once the new name is on disk, which on
  // Windows takes the place of flushing the folder. While another program
  // replaces the same file, Windows refuses the rename for a moment (where
  // other systems let the later rename win): it is tried again for a while.
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 40) return false;
    Sleep(25);
  }
#else
  return ::rename(from.c_str(), to.c_str()) == 0;
#endif
}

FileLook lookAtFile(const std::filesystem::path& path) {
  FileLook look;
#ifdef _WIN32
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status)) return look;
  look.exists = true;
  look.regular = std::filesystem::is_regular_file(status);
  if (look.regular) {
    look.bytes = std::filesystem::file_size(path, error);
    if (error) return FileLook{};
  }
  const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, error);
  if (error) return FileLook{};
  const auto sinceEpoch = std::chrono::file_clock::to_sys(modified);
  const auto second = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
  look.modifiedUnixSeconds = second.time_since_epoch().count();
  look.modifiedNanoseconds =
      static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch - second).count());
#else
  struct stat facts {};
  if (::stat(path.c_str(), &facts) != 0) return look;
  look = lookOf(facts);
#endif
  return look;
}

std::optional<FileLook> lookAtFileUnlessLink(const std::filesystem::path& path) {
#ifdef _WIN32
  std::error_code error;
  if (std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::symlink || error) {
    return std::nullopt;
  }
  FileLook look = lookAtFile(path);
  if (!look.exists) return std::nullopt;
  return look;
#else
  struct stat facts {};
  if (::lstat(path.c_str(), &facts) != 0 || S_ISLNK(facts.st_mode)) return std::nullopt;
  return lookOf(facts);
#endif
}

namespace {

/// readFileStart's loop over any source of bytes: `read(into, capacity)` gives
/// how many it read, 0 at the end or on a failure.
template <typename Read>
bool readStartWith(Read read, std::size_t limit, const std::function<bool(std::string_view)>& enough) {
  std::string start;
  for (std::size_t piece = 4096; start.size() < limit; piece *= 2) {
    const std::size_t size = start.size();
    start.resize(size + piece);
    // Read on until the piece is full or the file ends: a read may give less.
    std::size_t got = 0;
    for (std::size_t more; got < piece && (more = read(start.data() + size + got, piece - got)) != 0;) got += more;
    start.resize(size + got);
    if (enough(start)) return true;
    if (got < piece) break;  // the whole file
  }
  return false;
}

}  // namespace

bool readFileStart(const std::filesystem::path& path, std::size_t limit,
                   const std::function<bool(std::string_view)>& enough) {
#ifdef _WIN32
  File input = File::openForReading(path);
  if (!input.isOpen()) return false;
  return readStartWith([&](char* into, std::size_t capacity) { return input.read(into, capacity); }, limit, enough);
#else
  // The heads of a folder's thousands of records are read on every run: a
  // regular file is read straight from its descriptor, without the stream's
  // own looks at it and its buffer. Anything else, through the one opened
  // as File opens it, from the same descriptor.
  struct stat facts {};
  Descriptor fd(openWithoutWaiting(path, facts));
  if (fd.get() < 0) return false;
  if (S_ISREG(facts.st_mode)) {
    return readStartWith(
        [&](char* into, std::size_t capacity) {
          const ssize_t got = retryingInterrupted([&] { return ::read(fd.get(), into, capacity); });
          return got > 0 ? static_cast<std::size_t>(got) : std::size_t{0};
        },
        limit, enough);
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> stream(streamWithoutWaiting(fd.release(), facts), &std::fclose);
  if (!stream) return false;
  return readStartWith([&](char* into, std::size_t capacity) { return std::fread(into, 1, capacity, stream.get()); },
                       limit, enough);
#endif
}

bool flushFolder(const std::filesystem::path& folder) {
#ifdef _WIN32
  (void)folder;
  return true;
#else
  const std::filesystem::path& name = folder.empty() ? std::filesystem::path(".") : folder;
  Descriptor fd(::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // A folder one may write into but not list cannot be opened to flush it;
  // the rename in it has still been done and will reach the disk in time.
  if (fd.get() < 0) return errno == EACCES;
  const int result = retryingInterrupted([&] { return ::fsync(fd.get()); });
  // Some file systems have no flush of a folder and say so: nothing to wait for.
  return result == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP;
#endif
}

bool readSmallFile(const std::filesystem::path& path, std::uintmax_t limit, std::string& bytes) {
  File file = File::openForReading(path);
  if (!file.isOpen()) return false;
  char buffer[65536];
  for (std::size_t got; (got = file.read(buffer, sizeof buffer)) != 0;) {
    if (bytes.size() + got > limit) return false;
    bytes.append(buffer, got);
  }
  return !file.failed();
}

}  // namespace fragtally

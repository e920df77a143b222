#include "base/file.h"

#include <system_error>
#include <utility>

namespace fragtally {
namespace {

std::FILE* openFile(const std::filesystem::path& path, bool forWriting) {
#ifdef _WIN32
  // The narrow fopen would go through the ANSI code page; the wide one takes
  // every character a Windows path can hold.
  return _wfopen(path.c_str(), forWriting ? L"wb" : L"rb");
#else
  return std::fopen(path.c_str(), forWriting ? "wb" : "rb");
#endif
}

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
  // fopen succeeds on a folder on some systems; reading it then fails.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return File();
  return File(openFile(path, false));
}

File File::createForWriting(const std::filesystem::path& path) {
  return File(openFile(path, true));
}

std::size_t File::read(char* into, std::size_t capacity) {
  return std::fread(into, 1, capacity, file_);
}

bool File::write(std::string_view bytes) {
  if (bytes.empty()) return true;
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

bool File::close() {
  if (file_ == nullptr) return false;
  const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}

}  // namespace fragtally

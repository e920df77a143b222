#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace fragtally {

/// Paths travel through the program as UTF-8 byte strings (on Linux: the bytes
/// as they are); these two convert at the file-system boundary.
std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

/// An open C file, closed when it goes out of scope. Opened in binary mode
/// always: no line-end translation on Windows.
class File {
 public:
  File() = default;
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;

  /// Opens an existing file for reading; invalid when that fails (also for a folder).
  static File openForReading(const std::filesystem::path& path);
  /// Creates or empties a file for writing; invalid when that fails.
  static File createForWriting(const std::filesystem::path& path);

  bool isOpen() const { return file_ != nullptr; }
  /// Reads up to `capacity` bytes; 0 at the end. Sets failed() on a read error.
  std::size_t read(char* into, std::size_t capacity);
  /// Writes all bytes; false when the write fails or falls short.
  bool write(std::string_view bytes);
  /// Flushes and closes; false when anything written could not be stored.
  bool close();
  bool failed() const { return file_ != nullptr && std::ferror(file_) != 0; }

 private:
  explicit File(std::FILE* file) : file_(file) {}
  std::FILE* file_ = nullptr;
};

}  // namespace fragtally

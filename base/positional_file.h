#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace fragtally {

/// A regular file read (or written) at given offsets, which several threads
/// may do at once: no position is shared between the reads. A file read this
/// way for as long as it is open stays the one that was opened, even when
/// another is renamed over its name meanwhile.
class PositionalFile {
 public:
  PositionalFile() = default;
  ~PositionalFile();
  PositionalFile(const PositionalFile&) = delete;
  PositionalFile& operator=(const PositionalFile&) = delete;
  PositionalFile(PositionalFile&& other) noexcept;
  PositionalFile& operator=(PositionalFile&& other) noexcept;

  /// Opens an existing regular file; not open when that fails or it is
  /// anything else (a folder, a pipe, a device), which is never waited for.
  static PositionalFile open(const std::filesystem::path& path);
  /// Creates a new, empty file for reading and writing, readable by its owner
  /// only (where the system says so); not open when a file stands there or it
  /// cannot be made.
  static PositionalFile createNew(const std::filesystem::path& path);

  bool isOpen() const;
  /// Its size when it was opened, grown by what writeAt() put past it.
  std::uint64_t size() const { return size_; }
  /// Reads exactly `count` bytes from `offset`; false when the file cannot
  /// be read there or ends before.
  bool readAt(std::uint64_t offset, char* into, std::size_t count) const;
  /// Writes all of `bytes` at `offset`; false when they cannot all be
  /// written. One thread at a time writes, while others may read what is
  /// written already.
  bool writeAt(std::uint64_t offset, std::string_view bytes);

 private:
  void close();
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
  std::uint64_t size_ = 0;
};

}  // namespace fragtally

#pragma once

#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/line_excerpt.h"
#include "analysis/line_markers.h"
#include "base/file.h"

namespace fragtally {

/// Where the bytes of a log come from, a piece at a time.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Up to `capacity` bytes into `into`; 0 at the end.
  virtual std::size_t read(char* into, std::size_t capacity) = 0;
};

/// A log file opened for reading only.
class FileSource : public ByteSource {
 public:
  /// Throws cannotOpenFile(path) when the file cannot be opened.
  explicit FileSource(std::string_view utf8Path);
  /// Throws cannotOpenFile(path) when reading fails part-way.
  std::size_t read(char* into, std::size_t capacity) override;
  /// The bytes read so far: the size of a log that has none of its own (a pipe).
  std::uint64_t bytesRead() const { return bytesRead_; }

 private:
  std::string path_;
  File file_;
  std::uint64_t bytesRead_ = 0;
};

/// Bytes already in memory, handed out in pieces of at most `pieceSize`.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes, std::size_t pieceSize = static_cast<std::size_t>(-1))
      : bytes_(bytes), pieceSize_(pieceSize) {}
  std::size_t read(char* into, std::size_t capacity) override;

 private:
  std::string_view bytes_;
  std::size_t pieceSize_;
};

/// Splits a log into lines while reading it in chunks: a line ends at CR LF, a
/// lone LF or a lone CR; a line end at the very end gives no further line; a
/// zero byte ends the text. Each line is a view into the reader's buffer, valid
/// until the next call. A line that does not fit in the buffer is never held
/// whole: it is handed out as its excerpt, which interprets like the line, so
/// memory stays bounded whatever the log holds.
class LineReader {
 public:
  static constexpr std::size_t kDefaultChunkSize = 256 * 1024;

  explicit LineReader(ByteSource& source, std::size_t chunkSize = kDefaultChunkSize);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  /// The next line without its line end; false when the text has ended.
  bool next(std::string_view& line);
  /// The same, with the markers of the line, found in the same pass over it.
  bool next(std::string_view& line, LineMarkers& markers);

 private:
  void takeLine(std::size_t stop, std::string_view& line);
  std::string_view finishLongLine(std::string_view rest);
  void refill();
  std::size_t capacity() const { return buffer_.size() - kScanOverhang; }

  ByteSource& source_;
  BlockScanner scanBlocks_ = fastestBlockScanner();
  std::vector<char> buffer_;  // the chunk, then kScanOverhang bytes for the scan to read
  std::size_t begin_ = 0;  // first byte not yet handed out
  std::size_t end_ = 0;    // end of the bytes read
  std::size_t searched_ = 0;  // bytes from begin_ on known to hold no line end
  bool finished_ = false;   // the source is exhausted or a zero byte was met
  bool skipNextLf_ = false; // a CR ended the buffered bytes; its LF may follow
  bool longLine_ = false;   // the line being read has filled the buffer
  LineExcerpt excerpt_;     // what is kept of it
};

}  // namespace fragtally

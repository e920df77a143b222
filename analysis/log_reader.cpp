#include "analysis/log_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/error.h"
#include "base/text_search.h"

namespace fragtally {

namespace {

// "-" is the standard input, as for most command-line tools; a file of that
// name is reached as "./-".
File openLog(std::string_view utf8Path) {
  if (utf8Path == "-") return File::standardInput();
  return File::openForReading(pathFromUtf8(utf8Path));
}

}  // namespace

FileSource::FileSource(std::string_view utf8Path) : path_(utf8Path), file_(openLog(utf8Path)) {
  // An empty name would read "Cannot open file " with nothing to show what was meant.
  if (path_.empty()) throw Error("Cannot open file ''.");
  if (!file_.isOpen()) throw cannotOpenFile(path_);
}

std::size_t FileSource::read(char* into, std::size_t capacity) {
  const std::size_t got = file_.read(into, capacity);
  // A log cut short by a read error must not pass for a complete one.
  if (got == 0 && file_.failed()) throw cannotOpenFile(path_);
  bytesRead_ += got;
  return got;
}

std::size_t MemorySource::read(char* into, std::size_t capacity) {
  const std::size_t n = std::min({capacity, pieceSize_, bytes_.size()});
  std::memcpy(into, bytes_.data(), n);
  bytes_.remove_prefix(n);
  return n;
}

namespace {

// The buffer of the thread's last reader, kept for its next one: a batch reads
// thousands of small logs on each thread, and a new buffer is cleared before
// each. What it holds past the bytes read is never taken for text, as after a
// refill within one log.
thread_local std::vector<char> spareBuffer;

std::vector<char> bufferOfSize(std::size_t size) {
  if (spareBuffer.size() == size) return std::exchange(spareBuffer, {});
  return std::vector<char>(size);
}

}  // namespace

LineReader::LineReader(ByteSource& source, std::size_t chunkSize)
    : source_(source), buffer_(bufferOfSize(std::max<std::size_t>(chunkSize, 1) + kScanOverhang)) {}

LineReader::~LineReader() {
  if (spareBuffer.empty()) spareBuffer = std::move(buffer_);
}

bool LineReader::next(std::string_view& line) {
  for (;;) {
    if (skipNextLf_) {
      if (begin_ == end_ && !finished_) {
        refill();
        continue;
      }
      skipNextLf_ = false;
      if (begin_ < end_ && buffer_[begin_] == '\n') ++begin_;
    }

    const std::string_view unsearched(buffer_.data() + begin_ + searched_, end_ - begin_ - searched_);
    const std::size_t found = findLineEnd(unsearched);
    if (found != std::string_view::npos) {
      takeLine(begin_ + searched_ + found, line);
      if (longLine_) line = finishLongLine(line);
      return true;
    }
    searched_ = end_ - begin_;
    if (finished_) {
      searched_ = 0;
      if (begin_ == end_ && !longLine_) return false;
      line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      if (longLine_) line = finishLongLine(line);
      return true;
    }
    if (begin_ == 0 && end_ == capacity()) {
      // The line fills the buffer: from here on only its excerpt is kept.
      if (!longLine_) excerpt_.start();
      longLine_ = true;
      excerpt_.add(std::string_view(buffer_.data(), end_));
      begin_ = end_;
      searched_ = 0;
    }
    refill();
  }
}

// The excerpt of a long line, given the bytes of it still in the buffer.
std::string_view LineReader::finishLongLine(std::string_view rest) {
  longLine_ = false;
  excerpt_.add(rest);
  return excerpt_.finish();
}

bool LineReader::next(std::string_view& line, LineMarkers& markers) {
  // Nearly every line lies whole in the buffer: one scan finds its end and its
  // markers. A line still to be read on, or one behind a CR at the buffer's
  // end, takes the plain way and is searched for markers once it is whole.
  if (!skipNextLf_ && searched_ == 0) {
    const LineScan scan = lineScanOf(scanBlocks_(buffer_.data() + begin_, end_ - begin_), end_ - begin_);
    if (scan.end != std::string_view::npos) {
      takeLine(begin_ + scan.end, line);
      markers = scan.markers;
      return true;
    }
    searched_ = end_ - begin_;  // the scan saw no line end there
  }
  if (!next(line)) return false;
  markers = findLineMarkers(line);
  return true;
}

// Hands out the line that ends at `stop`, a CR or LF in the buffer.
void LineReader::takeLine(std::size_t stop, std::string_view& line) {
  searched_ = 0;
  line = std::string_view(buffer_.data() + begin_, stop - begin_);
  begin_ = stop + 1;
  if (buffer_[stop] == '\r') {
    if (begin_ < end_) {
      if (buffer_[begin_] == '\n') ++begin_;
    } else {
      skipNextLf_ = true;
    }
  }
}

void LineReader::refill() {
  const std::size_t kept = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
    begin_ = 0;
    end_ = kept;
  }
  const std::size_t got = source_.read(buffer_.data() + end_, capacity() - end_);
  if (got == 0) {
    finished_ = true;
  } else if (const void* zero = std::memchr(buffer_.data() + end_, '\0', got)) {
    // The text ends at a zero byte: nothing behind it is read any further.
    end_ = static_cast<std::size_t>(static_cast<const char*>(zero) - buffer_.data());
    finished_ = true;
  } else {
    end_ += got;
  }
}

}  // namespace fragtally

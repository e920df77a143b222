#pragma once

#include <cstddef>
#include <filesystem>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/open_file_facts.h"

namespace fragtally::serve {

/// A file of the site read whole from one open handle, with what its answer
/// says of it. Never changed once made: answers still sending it share it.
struct WholeFile {
  std::filesystem::path realPath;
  OpenFileFacts facts;  // of the handle it was read from, before and after the read
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
  std::string_view contentType;  // one of contentTypeFor's texts
  std::string entityTag;
  std::string lastModified;

  std::string_view view() const { return {bytes.get(), size}; }
};

/// The files read whole lately, kept so that a page asked for again is sent
/// without being read again, within a cap on the bytes kept. A kept file is
/// found only by the facts of the file its path opens now (identity, size,
/// time): a page replaced by a rename is another file, never found, and its
/// old bytes are dropped when it is next asked for. Safe to use from any thread.
class WholeFileCache {
 public:
  explicit WholeFileCache(std::size_t capacityBytes) : capacity_(capacityBytes) {}

  /// The kept file of `realPath`, when it is the file `now` describes.
  std::shared_ptr<const WholeFile> find(const std::filesystem::path& realPath, const OpenFileFacts& now);
  /// Keeps `file` in place of any earlier one of its path, dropping the files
  /// asked for least lately until all fit the cap; one that alone is over the
  /// cap is not kept.
  void keep(std::shared_ptr<const WholeFile> file);

  /// What the kept files count against the cap: their bytes and a fixed share
  /// for each (so that many tiny files are bounded too).
  std::size_t bytesHeld() const;
  std::size_t filesHeld() const;

  static constexpr std::size_t kEntryOverhead = 256;

 private:
  using Order = std::list<std::shared_ptr<const WholeFile>>;  // the latest asked for first
  static std::size_t cost(const WholeFile& file) { return file.size + kEntryOverhead; }
  void drop(Order::iterator entry);

  const std::size_t capacity_;
  mutable std::mutex mutex_;
  Order order_;
  std::unordered_map<std::filesystem::path::string_type, Order::iterator> byPath_;
  std::size_t held_ = 0;
};

}  // namespace fragtally::serve

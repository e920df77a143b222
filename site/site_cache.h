#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "index/index_cache.h"

namespace fragtally {

/// A page of the site as a build left it: its path under the output folder
/// ("index.htm", "players/x.htm"), its size and time then, and the checksum of
/// its bytes (fnv1a64Words).
struct StoredPage {
  std::string name;
  RecordStamp stamp;
  std::uint64_t checksum = 0;
  std::uint64_t inputs = 0;  ///< the fingerprint of what it was built from (playerPageInputs); 0 for none
};

/// What the last build of a site stored, kept beside its pages: what the pages
/// were built from (a fingerprint of the records and the settings) and each
/// page's stamp and checksum. A page that stands as it was left need not be
/// read back to tell whether new bytes differ, and a run whose inputs are
/// those of the last build need not build a page at all. Like the index cache
/// it belongs to this program version and ends with a checksum: an older,
/// damaged or foreign file is no cache, and the next build does everything.
class SiteCache {
 public:
  SiteCache() = default;
  // Its lookup holds views of its own pages' names: moved, never copied.
  SiteCache(SiteCache&&) = default;
  SiteCache& operator=(SiteCache&&) = default;
  SiteCache(const SiteCache&) = delete;
  SiteCache& operator=(const SiteCache&) = delete;

  /// The cache stored at `path`; empty when there is none that can be used.
  static SiteCache load(const std::filesystem::path& path);
  /// The bytes of a cache of these pages.
  static std::string bytesOf(std::uint64_t inputs, const std::vector<std::string>& pictures,
                             const std::vector<StoredPage>& pages);

  /// The fingerprint of what the pages were built from; 0 for no cache.
  [[nodiscard]] std::uint64_t inputs() const { return inputs_; }
  /// The weapon pictures the folder's reports showed.
  [[nodiscard]] const std::vector<std::string>& pictures() const { return pictures_; }
  [[nodiscard]] const std::vector<StoredPage>& pages() const { return pages_; }
  /// The bytes it was loaded from (empty for no cache).
  [[nodiscard]] const std::string& bytes() const { return bytes_; }
  /// The page `name` as the cache keeps it, or nullptr.
  [[nodiscard]] const StoredPage* page(std::string_view name) const;
  /// Whether every page the cache lists stands in `folder` as it was left:
  /// one missing, replaced or touched since makes the site worth building.
  [[nodiscard]] bool pagesStandIn(const std::filesystem::path& folder) const;

 private:
  std::string bytes_;
  std::uint64_t inputs_ = 0;
  std::vector<std::string> pictures_;
  std::vector<StoredPage> pages_;
  std::unordered_map<std::string_view, std::size_t> byName_;  // into pages_
};

/// The page `name` of `folder` as a path (names use "/" between folders).
std::filesystem::path pagePathIn(const std::filesystem::path& folder, std::string_view name);

}  // namespace fragtally

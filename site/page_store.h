#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_store.h"
#include "site/site_cache.h"

namespace fragtally {

/// Stores a site's pages, each only where its bytes change, in batches of
/// durable stores; tells a page that is already there by the site cache's
/// checksum of it where the page stands as the cache saw it, and by reading
/// it back otherwise. Keeps each page's stamp and checksum for the next cache.
/// A full batch is committed on a thread of its own while the next one is
/// written: the wait for the disk is spent writing.
class PageStore {
 public:
  /// A page with what storing it first looks up: its checksum and the stamp
  /// of the file it would replace. Made by ready(), which only reads, so that
  /// many are made at once on other threads and stored in order on one.
  struct ReadyPage {
    std::string name;
    std::string bytes;
    std::uint64_t checksum = 0;
    std::optional<RecordStamp> standing;  ///< the page there now; nothing for none
    std::uint64_t inputs = 0;             ///< what it is built from (StoredPage::inputs)
    bool built = true;                    ///< false: the page there is kept, `bytes` left empty
  };

  PageStore(std::filesystem::path folder, const SiteCache& before);

  /// The page `name` built from `inputs` (never 0), by `build` unless the
  /// page there was built from the same inputs and stands as the site cache
  /// saw it; then it is kept unbuilt. Safe on any thread.
  [[nodiscard]] ReadyPage ready(std::string name, std::uint64_t inputs, const std::function<std::string()>& build) const;

  /// The page `name` ("index.htm", "players/x.htm") with these bytes.
  /// Throws cannotCreateFile(path) for a page whose store failed (the pages
  /// before it may be stored or not: each page is whole either way).
  void store(std::string_view name, std::string_view bytes);
  /// The same with the page made ready beforehand.
  void store(const ReadyPage& page);
  /// Makes every page stored so far durable and in place; throws as store().
  void commit();
  /// Begins that on another thread and returns: commit() then waits for it.
  void beginCommit();
  /// Waits for a batch being committed; stores dropped are left uncommitted.
  ~PageStore();
  PageStore(const PageStore&) = delete;
  PageStore& operator=(const PageStore&) = delete;

  /// Pages whose bytes changed (or that were missing).
  [[nodiscard]] std::size_t written() const { return written_; }
  /// Every page stored or found as it is, once committed, with its stamp.
  [[nodiscard]] const std::vector<StoredPage>& pages() const { return pages_; }

 private:
  /// The page `name` in `folder` made ready to store; safe on any thread.
  static ReadyPage ready(const std::filesystem::path& folder, std::string name, std::string bytes);
  void store(std::string_view name, std::string_view bytes, std::uint64_t checksum,
             const std::optional<RecordStamp>& standing, std::uint64_t inputs);
  /// Waits for the batch being committed; its pages take their stamps.
  void endCommit();

  /// What committing a batch gave: the stamps of its pages, in their order,
  /// and the first target that failed.
  struct Committed {
    std::vector<RecordStamp> stamps;
    std::optional<std::filesystem::path> failed;
  };

  std::filesystem::path folder_;
  const SiteCache& before_;
  std::unique_ptr<PendingStores> stores_;
  std::vector<StoredPage> pages_;
  std::vector<std::size_t> waiting_;  // pages_ being stored, whose stamps are taken once committed
  std::size_t written_ = 0;
  // The batch on its way to the disk, and the pages_ it holds.
  std::future<Committed> committing_;
  std::vector<std::size_t> beingCommitted_;
};

}  // namespace fragtally

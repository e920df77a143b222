#include "site/page_store.h"

#include <system_error>
#include <utility>

#include "base/error.h"
#include "base/file.h"
#include "base/fnv1a.h"

namespace fragtally {
namespace {

/// Whether the file at `path` holds exactly `bytes`.
bool holds(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size != bytes.size()) return false;
  File file = File::openForReading(path);
  if (!file.isOpen()) return false;
  char buffer[16384];
  std::size_t at = 0;
  for (std::size_t got; (got = file.read(buffer, sizeof buffer)) != 0; at += got) {
    if (at + got > bytes.size() || bytes.compare(at, got, std::string_view(buffer, got)) != 0) return false;
  }
  return at == bytes.size() && !file.failed();
}

}  // namespace

PageStore::PageStore(std::filesystem::path folder, const SiteCache& before)
    : folder_(std::move(folder)), before_(before), stores_(std::make_unique<PendingStores>()) {}

PageStore::~PageStore() {
  if (committing_.valid()) committing_.wait();
}

PageStore::ReadyPage PageStore::ready(const std::filesystem::path& folder, std::string name, std::string bytes) {
  ReadyPage page;
  page.checksum = fnv1a64Words(bytes);
  page.standing = recordStampOf(pagePathIn(folder, name));
  page.name = std::move(name);
  page.bytes = std::move(bytes);
  return page;
}

PageStore::ReadyPage PageStore::ready(std::string name, std::uint64_t inputs,
                                     const std::function<std::string()>& build) const {
  const std::optional<RecordStamp> standing = recordStampOf(pagePathIn(folder_, name));
  const StoredPage* kept = before_.page(name);
  if (inputs != 0 && standing && kept != nullptr && kept->inputs == inputs && kept->stamp == *standing) {
    ReadyPage page;
    page.name = std::move(name);
    page.checksum = kept->checksum;
    page.standing = standing;
    page.inputs = inputs;
    page.built = false;
    return page;
  }
  ReadyPage page = ready(folder_, std::move(name), build());
  page.inputs = inputs;
  return page;
}

void PageStore::store(std::string_view name, std::string_view bytes) {
  store(name, bytes, fnv1a64Words(bytes), recordStampOf(pagePathIn(folder_, name)), 0);
}

void PageStore::store(const ReadyPage& page) {
  if (!page.built) {
    pages_.push_back(StoredPage{page.name, *page.standing, page.checksum, page.inputs});
    return;
  }
  store(page.name, page.bytes, page.checksum, page.standing, page.inputs);
}

void PageStore::store(std::string_view name, std::string_view bytes, std::uint64_t checksum,
                      const std::optional<RecordStamp>& standing, std::uint64_t inputs) {
  const std::filesystem::path path = pagePathIn(folder_, name);
  StoredPage page{std::string(name), {}, checksum, inputs};
  if (standing) {
    // A page left as it is keeps its time, and a run with nothing new writes
    // nothing. Where the page stands as the cache saw it, its checksum
    // tells; a page touched since is read.
    const StoredPage* kept = before_.page(name);
    const bool same = kept != nullptr && kept->stamp == *standing ? kept->checksum == page.checksum : holds(path, bytes);
    if (same) {
      page.stamp = *standing;
      pages_.push_back(std::move(page));
      return;
    }
  }
  if (stores_->waiting() + 1 >= PendingStores::kMaxPending) beginCommit();
  if (!stores_->add(path, bytes, !standing)) throw cannotCreateFile(utf8FromPath(path));
  waiting_.push_back(pages_.size());
  pages_.push_back(std::move(page));
  ++written_;
}

void PageStore::commit() {
  beginCommit();
  endCommit();
}

void PageStore::beginCommit() {
  endCommit();
  if (waiting_.empty()) return;
  std::vector<std::filesystem::path> paths;
  paths.reserve(waiting_.size());
  for (const std::size_t at : waiting_) paths.push_back(pagePathIn(folder_, pages_[at].name));
  committing_ = std::async(std::launch::async, [stores = std::move(stores_), paths = std::move(paths)] {
    Committed committed;
    const std::vector<std::filesystem::path> failed = stores->commit();
    if (!failed.empty()) {
      committed.failed = failed.front();
      return committed;
    }
    // A page that cannot be looked at now keeps no stamp: the next build reads it.
    committed.stamps.reserve(paths.size());
    for (const std::filesystem::path& path : paths) committed.stamps.push_back(recordStampOf(path).value_or(RecordStamp{}));
    return committed;
  });
  stores_ = std::make_unique<PendingStores>();
  beingCommitted_ = std::exchange(waiting_, {});
}

void PageStore::endCommit() {
  if (!committing_.valid()) return;
  const Committed committed = committing_.get();
  if (committed.failed) throw cannotCreateFile(utf8FromPath(*committed.failed));
  for (std::size_t i = 0; i < beingCommitted_.size(); ++i) pages_[beingCommitted_[i]].stamp = committed.stamps[i];
  beingCommitted_.clear();
}

}  // namespace fragtally

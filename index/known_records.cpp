#include "index/known_records.h"

#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

#include "base/file_store.h"
#include "index/index_cache.h"

namespace fragtally {

struct KnownRecords::State {
  struct Kept {
    std::uint64_t bytes = 0;  // the record's size
    std::uint64_t at = 0;     // where its summary lies in the scratch file
    std::size_t length = 0;
  };
  std::filesystem::path folder;
  std::mutex mutex;  // over telling
  std::unordered_map<std::string, Kept> kept;
  // Made with the first summary: a run that writes no record makes none.
  std::unique_ptr<ScratchFile> scratch;
  bool scratchFailed = false;
  std::optional<IndexCache> indexCache;
  std::unordered_map<std::string, RecordStamp> stamps;
};

KnownRecords::KnownRecords() = default;
KnownRecords::KnownRecords(const std::filesystem::path& folder) : state_(std::make_unique<State>()) {
  state_->folder = folder;
}
KnownRecords::~KnownRecords() = default;
KnownRecords::KnownRecords(KnownRecords&& other) noexcept = default;
KnownRecords& KnownRecords::operator=(KnownRecords&& other) noexcept = default;

bool KnownRecords::add(const std::string& name, std::uint64_t bytes, std::string_view summary) {
  if (!state_) return false;
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->kept.erase(name);
  if (state_->scratchFailed) return false;
  if (!state_->scratch) {
    state_->scratch = std::make_unique<ScratchFile>(state_->folder);
    state_->scratchFailed = !state_->scratch->isOpen();
  }
  const std::optional<std::uint64_t> at = state_->scratch->append(summary);
  if (!at) {
    state_->scratchFailed = true;
    return false;
  }
  state_->kept[name] = State::Kept{bytes, *at, summary.size()};
  return true;
}

void KnownRecords::forget(const std::string& name) {
  if (!state_) return;
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->kept.erase(name);
  state_->stamps.erase(name);
}

bool KnownRecords::find(const std::string& name, std::uint64_t bytes, std::string& into) const {
  if (!state_) return false;
  const auto kept = state_->kept.find(name);
  if (kept == state_->kept.end() || kept->second.bytes != bytes) return false;
  into.resize(kept->second.length);
  return state_->scratch->read(kept->second.at, into.data(), into.size());
}

std::size_t KnownRecords::size() const { return state_ ? state_->kept.size() : 0; }

void KnownRecords::keepIndexCache(IndexCache cache) {
  if (state_) state_->indexCache = std::move(cache);
}

const IndexCache* KnownRecords::indexCache() const {
  return state_ && state_->indexCache ? &*state_->indexCache : nullptr;
}

void KnownRecords::keepStamps(std::unordered_map<std::string, RecordStamp> stamps) {
  if (state_) state_->stamps = std::move(stamps);
}

const RecordStamp* KnownRecords::stampOf(const std::string& name) const {
  if (!state_) return nullptr;
  const auto kept = state_->stamps.find(name);
  return kept != state_->stamps.end() ? &kept->second : nullptr;
}

}  // namespace fragtally

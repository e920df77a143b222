#include "serve/whole_file_cache.h"

namespace fragtally::serve {
std::shared_ptr<const WholeFile> WholeFileCache::find(const std::filesystem::path& realPath,
                                                      const OpenFileFacts& now) {
  const std::lock_guard lock(mutex_);
  const auto found = byPath_.find(realPath.native());
  if (found == byPath_.end()) return nullptr;
  const Order::iterator entry = found->second;
  if ((*entry)->facts != now) {
    // The path leads to another file, or one changed in place: the kept
    // bytes are of no more use.
    drop(entry);
    return nullptr;
  }
  order_.splice(order_.begin(), order_, entry);
  return *entry;
}

void WholeFileCache::keep(std::shared_ptr<const WholeFile> file) {
  if (!file || cost(*file) > capacity_) return;
  const std::lock_guard lock(mutex_);
  if (const auto found = byPath_.find(file->realPath.native()); found != byPath_.end()) drop(found->second);
  held_ += cost(*file);
  order_.push_front(std::move(file));
  byPath_.emplace(order_.front()->realPath.native(), order_.begin());
  while (held_ > capacity_) drop(std::prev(order_.end()));
}

void WholeFileCache::drop(Order::iterator entry) {
  held_ -= cost(**entry);
  byPath_.erase((*entry)->realPath.native());
  order_.erase(entry);
}

std::size_t WholeFileCache::bytesHeld() const {
  const std::lock_guard lock(mutex_);
  return held_;
}

std::size_t WholeFileCache::filesHeld() const {
  const std::lock_guard lock(mutex_);
  return order_.size();
}

}  // namespace fragtally::serve

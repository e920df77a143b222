#include "base/file_store.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <utility>

#include "base/output_names.h"

namespace fragtally {
namespace {

constexpr std::string_view kPrefix = kTemporaryPrefix;
constexpr std::string_view kSuffix = kTemporarySuffix;
constexpr std::size_t kTemporaryDigits = 16;

// A name no other writer uses: two programs storing the same report at once
// each complete their own file, and the last rename wins whole.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
  static std::random_device entropy;
  std::uint64_t bits = (static_cast<std::uint64_t>(entropy()) << 32) ^ entropy();
  std::string name(kPrefix);
  for (std::size_t i = 0; i < kTemporaryDigits; ++i, bits >>= 4) name += "0123456789abcdef"[bits & 0xF];
  name += kSuffix;
  return target.parent_path() / name;
}

bool isTemporaryName(std::string_view name) {
  if (name.size() != kPrefix.size() + kTemporaryDigits + kSuffix.size()) return false;
  if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return false;
  for (const char c : name.substr(kPrefix.size(), kTemporaryDigits)) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// A replaced report keeps who may read it: a private one stays private. Set
// before the first byte goes in, so the bytes are never readable by more
// people than the target allows.
bool takePermissionsOf(const std::filesystem::path& target, const std::filesystem::path& temporary) {
#ifdef _WIN32
  // The only permission is the read-only flag, and a read-only target cannot
  // be replaced anyway.
  (void)target;
  (void)temporary;
  return true;
#else
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(target, error);
  if (status.type() != std::filesystem::file_type::regular) return true;
  std::filesystem::permissions(temporary, status.permissions() & std::filesystem::perms::mask, error);
  return !error;
#endif
}

bool doWrite(const StoreSteps& steps, File& file, std::string_view bytes) {
  return steps.write ? steps.write(file, bytes) : file.write(bytes);
}

bool doFlush(const StoreSteps& steps, File& file) { return steps.flush ? steps.flush(file) : file.flushToDisk(); }

bool doRename(const StoreSteps& steps, const std::filesystem::path& from, const std::filesystem::path& to) {
  return steps.rename ? steps.rename(from, to) : renameReplacing(from, to);
}

bool doFlushFolder(const StoreSteps& steps, const std::filesystem::path& folder) {
  return steps.flushFolder ? steps.flushFolder(folder) : flushFolder(folder);
}

void removeTemporary(const std::filesystem::path& temporary, HeldTemporary& held) {
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  held.release();
}

// A temporary beside the target, guarded against interrupts from before it
// exists, with the target's permissions and all the bytes written (not yet
// flushed). On a failure nothing is left and the file is not open.
bool writeTemporary(const std::filesystem::path& target, std::string_view bytes, const StoreSteps& steps,
                    std::filesystem::path& temporary, File& file, HeldTemporary& held, bool targetIsNew = false) {
  try {
    temporary = temporaryBeside(target);
  } catch (const std::exception&) {
    return false;  // no source of randomness
  }
  held = HeldTemporary(temporary);
  if (!held.createFile([&] { return (file = File::createForWriting(temporary)).isOpen(); })) {
    file.close();
    removeTemporary(temporary, held);  // made unguarded, with an interrupt on its way
    return false;
  }
  if ((targetIsNew || takePermissionsOf(target, temporary)) && doWrite(steps, file, bytes)) return true;
  file.close();
  removeTemporary(temporary, held);
  return false;
}

}  // namespace

bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                         const ContentWriter& write) {
  StoreSteps steps;
  steps.write = write;
  return replaceFileContents(target, bytes, steps);
}

bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes, const StoreSteps& steps) {
  std::filesystem::path temporary;
  File file;
  HeldTemporary held;
  if (!writeTemporary(target, bytes, steps, temporary, file, held)) return false;
  const bool flushed = doFlush(steps, file);
  if (file.close() && flushed && doRename(steps, temporary, target)) {
    held.release();
    return doFlushFolder(steps, target.parent_path());
  }
  removeTemporary(temporary, held);
  return false;
}

PendingStores::PendingStores(StoreSteps steps) : steps_(std::move(steps)) {}

PendingStores::~PendingStores() {
  for (Pending& store : pending_) {
    store.file.close();
    removeTemporary(store.temporary, store.held);
  }
}

bool PendingStores::add(const std::filesystem::path& target, std::string_view bytes, bool targetIsNew) {
  if (pending_.size() == kMaxPending) commitWaiting();
  Pending store{target, {}, File(), HeldTemporary()};
  if (!writeTemporary(target, bytes, steps_, store.temporary, store.file, store.held, targetIsNew)) {
    failed_.push_back(target);
    return false;
  }
  const auto [first, isFirst] = firstInFolder_.try_emplace(target.parent_path(), pending_.size());
  if (kFilesWaitClosed && !isFirst && !store.file.close()) {
    removeTemporary(store.temporary, store.held);
    failed_.push_back(target);
    return false;
  }
  pending_.push_back(std::move(store));
  return true;
}

std::vector<std::filesystem::path> PendingStores::commit() {
  commitWaiting();
  return std::exchange(failed_, {});
}

// Every waiting file of `folder` made durable: with one flush of the file
// system where there is one, else each file on its own.
bool PendingStores::flushFolderFiles(const std::filesystem::path& folder) {
  if (steps_.flush) {
    for (Pending& store : pending_) {
      if (store.target.parent_path() == folder && store.file.isOpen() && !steps_.flush(store.file)) return false;
    }
    return true;
  }
  const File::SystemFlush flushed = pending_[firstInFolder_.at(folder)].file.flushFileSystem();
  if (flushed != File::SystemFlush::unsupported) return flushed == File::SystemFlush::done;
  for (Pending& store : pending_) {
    if (store.target.parent_path() != folder) continue;
    // A closed one is opened again: a flush goes to the file, whoever opened it.
    File reopened = store.file.isOpen() ? File() : File::openForReading(store.temporary);
    if (!(store.file.isOpen() ? store.file : reopened).flushToDisk()) return false;
  }
  return true;
}

void PendingStores::commitWaiting() {
  // Every file's bytes durable, and only then the renames: the disk is
  // waited for once per batch rather than twice per file, and no name points
  // to bytes not yet on disk.
  std::set<std::filesystem::path> notDurable;
  for (const auto& [folder, first] : firstInFolder_) {
    if (!flushFolderFiles(folder)) notDurable.insert(folder);
  }
  std::set<std::filesystem::path> folders;
  std::vector<std::size_t> renamed;
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    Pending& store = pending_[i];
    const bool closed = !store.file.isOpen() || store.file.close();
    const bool durable = notDurable.count(store.target.parent_path()) == 0;
    if (durable && closed && doRename(steps_, store.temporary, store.target)) {
      store.held.release();
      folders.insert(store.target.parent_path());
      renamed.push_back(i);
    } else {
      removeTemporary(store.temporary, store.held);
      failed_.push_back(store.target);
    }
  }
  std::set<std::filesystem::path> unflushed;
  for (const std::filesystem::path& folder : folders) {
    if (!doFlushFolder(steps_, folder)) unflushed.insert(folder);
  }
  for (const std::size_t i : renamed) {
    if (unflushed.count(pending_[i].target.parent_path()) != 0) failed_.push_back(pending_[i].target);
  }
  pending_.clear();
  firstInFolder_.clear();
}

StreamedStore::StreamedStore(std::filesystem::path target, StoreSteps steps, std::size_t bufferBytes)
    : target_(std::move(target)), steps_(std::move(steps)), buffer_(bufferBytes == 0 ? 1 : bufferBytes) {}

StreamedStore::~StreamedStore() { drop(); }

void StreamedStore::drop() {
  over_ = true;
  if (!begun_) return;
  begun_ = false;
  file_.close();
  removeTemporary(temporary_, held_);
}

// The buffered bytes to the file, which the first of them makes.
bool StreamedStore::writeBuffer() {
  const std::string_view bytes(buffer_.data(), buffered_);
  buffered_ = 0;
  if (begun_) return doWrite(steps_, file_, bytes);
  begun_ = writeTemporary(target_, bytes, steps_, temporary_, file_, held_);
  return begun_;
}

bool StreamedStore::write(std::string_view bytes) {
  if (over_) return false;
  checksum_.add(bytes);
  size_ += bytes.size();
  return put(bytes);
}

// The bytes through the buffer, uncounted; a failure drops the store.
bool StreamedStore::put(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t take = std::min(bytes.size(), buffer_.size() - buffered_);
    std::copy_n(bytes.data(), take, buffer_.data() + buffered_);
    buffered_ += take;
    bytes.remove_prefix(take);
    if (buffered_ == buffer_.size() && !writeBuffer()) {
      drop();
      return false;
    }
  }
  return true;
}

bool StreamedStore::seal() {
  if (over_) return false;
  // The checksum goes last, not counted in itself.
  const std::uint64_t sum = checksum_.value();
  char sealing[8];
  for (int i = 0; i < 8; ++i) sealing[i] = static_cast<char>(static_cast<unsigned char>(sum >> (8 * i)));
  if (!put(std::string_view(sealing, sizeof sealing)) || (buffered_ > 0 && !writeBuffer())) {
    drop();
    return false;
  }
  over_ = true;
  const bool flushed = doFlush(steps_, file_);
  if (file_.close() && flushed && doRename(steps_, temporary_, target_)) {
    held_.release();
    begun_ = false;
    return doFlushFolder(steps_, target_.parent_path());
  }
  drop();
  return false;
}

ScratchFile::ScratchFile(const std::filesystem::path& folder) {
  try {
    path_ = temporaryBeside(folder / "scratch");
  } catch (const std::exception&) {
    return;  // no source of randomness
  }
  held_ = HeldTemporary(path_);
  if (!held_.createFile([&] { return (file_ = PositionalFile::createNew(path_)).isOpen(); })) {
    file_ = PositionalFile();
    removeTemporary(path_, held_);  // made unguarded, with an interrupt on its way
  }
}

ScratchFile::~ScratchFile() {
  if (!file_.isOpen()) return;
  file_ = PositionalFile();  // closed first: Windows removes an open file only once it is closed
  removeTemporary(path_, held_);
}

std::optional<std::uint64_t> ScratchFile::append(std::string_view bytes) {
  if (failed_ || !file_.isOpen()) return std::nullopt;
  if (!file_.writeAt(end_, bytes)) {
    failed_ = true;
    return std::nullopt;
  }
  return std::exchange(end_, end_ + bytes.size());
}

void removeStaleTemporaries(const std::filesystem::path& folder) {
  using namespace std::chrono_literals;
  try {
    const auto dayAgo = std::filesystem::file_time_type::clock::now() - 24h;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end;
         !error && entry != end; entry.increment(error)) {
      if (!isTemporaryName(utf8FromPath(entry->path().filename()))) continue;
      std::error_code skip;
      if (!entry->is_regular_file(skip) || entry->last_write_time(skip) >= dayAgo || skip) continue;
      std::filesystem::remove(entry->path(), skip);
    }
  } catch (const std::exception&) {
    // Out of memory while listing: leftovers wait for the next run.
  }
}

}  // namespace fragtally

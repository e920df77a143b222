#include "site/site_cache.h"

#include <atomic>
#include <charconv>

#include "base/file.h"
#include "base/file_threads.h"
#include "base/fnv1a.h"
#include "version.h"

namespace fragtally {
namespace {

// Beyond any site's cache: 20,000 people's pages take about 2 MB.
constexpr std::uintmax_t kMaxSiteCacheBytes = std::uintmax_t{64} << 20;

std::string header() { return "fragtally site cache 2 " FRAGTALLY_VERSION_TEXT "\n"; }

void appendHex(std::string& out, std::uint64_t value) {
  char digits[16];
  for (int i = 15; i >= 0; --i, value >>= 4) digits[i] = "0123456789abcdef"[value & 15];
  out.append(digits, 16);
}

/// Reads the cache's lines, each a word, fields split by one space, and its
/// last field running to the end of the line (a page's name may hold spaces).
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool next() {
    if (at_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', at_);
    if (end == std::string_view::npos) return false;
    line_ = text_.substr(at_, end - at_);
    at_ = end + 1;
    return true;
  }
  /// The next field of the line; the rest of it with `last`.
  std::string_view field(bool last = false) {
    const std::size_t space = last ? std::string_view::npos : line_.find(' ');
    const std::string_view field = line_.substr(0, space);
    line_ = space == std::string_view::npos ? std::string_view() : line_.substr(space + 1);
    return field;
  }
  bool number(std::uint64_t& value, int base = 10) {
    const std::string_view digits = field();
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    return error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
  }

 private:
  std::string_view text_;
  std::string_view line_;
  std::size_t at_ = 0;
};

}  // namespace

std::filesystem::path pagePathIn(const std::filesystem::path& folder, std::string_view name) {
  std::filesystem::path path = folder;
  for (std::size_t begin = 0; begin <= name.size();) {
    const std::size_t slash = std::min(name.find('/', begin), name.size());
    path /= pathFromUtf8(name.substr(begin, slash - begin));
    begin = slash + 1;
  }
  return path;
}

std::string SiteCache::bytesOf(std::uint64_t inputs, const std::vector<std::string>& pictures,
                               const std::vector<StoredPage>& pages) {
  // Reserved at once: at 20,000 pages the cache is megabytes, built while
  // the whole site's model is held, and a doubling buffer would add as much again.
  std::size_t size = header().size() + 64;
  for (const std::string& picture : pictures) size += picture.size() + 9;
  for (const StoredPage& page : pages) size += page.name.size() + 96;
  std::string bytes;
  bytes.reserve(size);
  bytes += header();
  bytes += "inputs ";
  appendHex(bytes, inputs);
  bytes += '\n';
  for (const std::string& picture : pictures) bytes.append("picture ").append(picture).append("\n");
  for (const StoredPage& page : pages) {
    bytes.append("page ").append(std::to_string(page.stamp.bytes)).append(" ");
    bytes.append(std::to_string(page.stamp.modified)).append(" ");
    appendHex(bytes, page.checksum);
    bytes += ' ';
    appendHex(bytes, page.inputs);
    bytes.append(" ").append(page.name).append("\n");
  }
  appendHex(bytes, fnv1a64Words(bytes));
  bytes += '\n';
  return bytes;
}

SiteCache SiteCache::load(const std::filesystem::path& path) {
  std::string bytes;
  if (!readSmallFile(path, kMaxSiteCacheBytes, bytes)) return {};
  const std::string expected = header();
  // The checksum's line: sixteen hex digits and a line's end.
  if (bytes.size() < expected.size() + 17 || bytes.compare(0, expected.size(), expected) != 0) return {};
  const std::string_view checked = std::string_view(bytes).substr(0, bytes.size() - 17);
  std::uint64_t checksum = 0;
  LineReader last(std::string_view(bytes).substr(checked.size()));
  if (!last.next() || !last.number(checksum, 16) || checksum != fnv1a64Words(checked)) return {};

  SiteCache cache;
  LineReader in(checked.substr(expected.size()));
  if (!in.next() || in.field() != "inputs" || !in.number(cache.inputs_, 16)) return {};
  while (in.next()) {
    const std::string_view kind = in.field();
    if (kind == "picture") {
      cache.pictures_.emplace_back(in.field(true));
      continue;
    }
    StoredPage page;
    std::uint64_t modified = 0;
    if (kind != "page" || !in.number(page.stamp.bytes) || !in.number(modified) || !in.number(page.checksum, 16) ||
        !in.number(page.inputs, 16)) {
      return {};
    }
    page.stamp.modified = static_cast<std::int64_t>(modified);
    page.name = in.field(true);
    cache.pages_.push_back(std::move(page));
  }
  for (std::size_t at = 0; at < cache.pages_.size(); ++at) cache.byName_.emplace(cache.pages_[at].name, at);
  cache.bytes_ = std::move(bytes);
  return cache;
}

const StoredPage* SiteCache::page(std::string_view name) const {
  const auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : &pages_[found->second];
}

bool SiteCache::pagesStandIn(const std::filesystem::path& folder) const {
  // Tens of thousands of looks, on every thread.
  std::atomic<std::size_t> next{0};
  std::atomic<bool> standing{true};
  onThreads(fileReadingThreads(), pages_.size(), [&] {
    for (std::size_t at; standing && (at = next.fetch_add(1)) < pages_.size();) {
      const std::optional<RecordStamp> now = recordStampOf(pagePathIn(folder, pages_[at].name));
      if (!now || !(*now == pages_[at].stamp)) standing = false;
    }
  });
  return standing;
}

}  // namespace fragtally

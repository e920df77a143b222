#include "site/tally_cache.h"

#include <string_view>

#include "base/byte_codec.h"
#include "base/fnv1a.h"
#include "base/positional_file.h"
#include "version.h"

namespace fragtally {
namespace {

// The tallies of some 80,000 matches, as the index cache's bound: a larger
// file is no cache.
constexpr std::uintmax_t kMaxTallyCacheBytes = std::uintmax_t{512} * 1024 * 1024;
constexpr std::size_t kChecksumBytes = 8;

std::string header() { return "fragtally tally cache 2 " FRAGTALLY_VERSION_TEXT "\n"; }

/// What stands for the settings: tallies made with others are of no use.
std::uint64_t settingsPrint(const SiteSettings& settings) { return fnv1a64Words(settingsText(settings)); }

}  // namespace

std::string tallyCacheBytes(std::uint64_t cacheChecksum, std::string_view indexState, std::string_view siteState,
                            const SiteSettings& settings) {
  std::string bytes = header();
  bytes.reserve(bytes.size() + 3 * 8 + indexState.size() + siteState.size() + kChecksumBytes);
  putNumber(bytes, settingsPrint(settings), 8);
  putNumber(bytes, cacheChecksum, 8);
  putNumber(bytes, indexState.size(), 8);
  bytes += indexState;
  bytes += siteState;
  putNumber(bytes, fnv1a64Words(bytes), kChecksumBytes);
  return bytes;
}

std::optional<KeptTallies> loadTallyCache(const std::filesystem::path& path, const SiteSettings& settings,
                                          std::uint64_t cacheChecksum) {
  const PositionalFile file = PositionalFile::open(path);
  const std::string expected = header();
  const std::size_t headBytes = expected.size() + 2 * 8;
  if (!file.isOpen() || file.size() > kMaxTallyCacheBytes || file.size() < headBytes + 8 + kChecksumBytes) {
    return std::nullopt;
  }
  // What it is for first: a cache of other records or settings is not read on.
  std::string bytes(headBytes, '\0');
  if (!file.readAt(0, bytes.data(), headBytes) || bytes.compare(0, expected.size(), expected) != 0) {
    return std::nullopt;
  }
  ByteReader in(bytes, expected.size());
  if (in.number(8) != settingsPrint(settings) || in.number(8) != cacheChecksum || cacheChecksum == 0) {
    return std::nullopt;
  }
  // The rest at once: megabytes, on the way of a run adding a log.
  bytes.resize(static_cast<std::size_t>(file.size()));
  if (!file.readAt(headBytes, bytes.data() + headBytes, bytes.size() - headBytes)) return std::nullopt;
  in = ByteReader(bytes, headBytes);
  const std::string_view checked = std::string_view(bytes).substr(0, bytes.size() - kChecksumBytes);
  ByteReader sealed(bytes, checked.size());
  if (sealed.number(kChecksumBytes) != fnv1a64Words(checked)) return std::nullopt;
  const std::uint64_t indexSize = in.number(8);
  if (!in.ok() || indexSize > checked.size() - in.at()) return std::nullopt;
  std::optional<IndexTally> index = IndexTally::fromState(checked.substr(in.at(), indexSize));
  if (!index) return std::nullopt;
  std::optional<SiteTally> site = SiteTally::fromState(settings, checked.substr(in.at() + indexSize));
  if (!site) return std::nullopt;
  return KeptTallies{cacheChecksum, std::move(*index), std::move(*site)};
}

}  // namespace fragtally

#include "report/index_cache.h"

#include <algorithm>

#include "base/file.h"
#include "version.h"

namespace fragtally {
namespace {

// The same bounds as a record's: a damaged cache cannot make the index hold more.
constexpr std::size_t kMaxCacheBytes = 64 * 1024 * 1024;
constexpr std::size_t kMaxTextBytes = 4096;
constexpr std::uint32_t kMaxPlayers = 64;
constexpr std::uint32_t kMaxWeapons = 64;

void putNumber(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(static_cast<unsigned char>(value >> (8 * i)));
}
void putText(std::string& out, std::string_view text) {
  putNumber(out, text.size(), 4);
  out += text;
}

// Reads what putNumber and putText wrote; every read checks the bounds and
// a failed one leaves the reader failed for good.
class CacheReader {
 public:
  CacheReader(std::string_view bytes, std::size_t at) : bytes_(bytes), at_(at) {}
  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }

  std::uint64_t number(int size) {
    if (!ok_ || bytes_.size() - at_ < static_cast<std::size_t>(size)) return ok_ = false, 0;
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value |= std::uint64_t{static_cast<unsigned char>(bytes_[at_ + i])} << (8 * i);
    at_ += static_cast<std::size_t>(size);
    return value;
  }
  void skip(std::uint64_t size) { at_ += size; }
  std::int32_t signed32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(number(4))); }
  std::string_view text() {
    const std::uint64_t size = number(4);
    if (!ok_ || size > kMaxTextBytes || bytes_.size() - at_ < size) return ok_ = false, std::string_view{};
    const std::string_view value = bytes_.substr(at_, size);
    at_ += size;
    return value;
  }

 private:
  std::string_view bytes_;
  std::size_t at_;
  bool ok_ = true;
};

std::optional<MatchSummary> readSummary(CacheReader& in) {
  MatchSummary summary;
  summary.date = in.text();
  summary.start = in.text();
  summary.lengthSeconds = in.signed32();
  if (in.number(1) == 1) summary.map = std::string(in.text());
  summary.ctRounds = in.signed32();
  summary.terroristRounds = in.signed32();
  summary.kills = static_cast<std::int64_t>(in.number(8));
  const std::uint64_t players = in.number(1);
  if (players > kMaxPlayers) return std::nullopt;
  for (std::uint64_t p = 0; p < players && in.ok(); ++p) {
    PlayerSummary& player = summary.players.emplace_back();
    player.name = in.text();
    player.kills = in.signed32();
    player.deaths = in.signed32();
    const std::uint64_t weapons = in.number(1);
    if (weapons > kMaxWeapons) return std::nullopt;
    for (std::uint64_t w = 0; w < weapons && in.ok(); ++w) {
      const std::string_view weapon = in.text();
      player.weaponKills.emplace_back(weapon, in.signed32());
    }
  }
  if (!in.ok()) return std::nullopt;
  return summary;
}

}  // namespace

std::string IndexCache::header() { return "fragtally index cache " FRAGTALLY_VERSION_TEXT "\n"; }

void IndexCache::append(std::string& cache, std::string_view name, const RecordStamp& stamp,
                        const std::optional<MatchSummary>& summary) {
  putText(cache, name);
  // The entry's length, filled in at its end: loading walks from name to name.
  const std::size_t lengthAt = cache.size();
  putNumber(cache, 0, 4);
  appendEntry(cache, stamp, summary);
  const std::size_t length = cache.size() - lengthAt - 4;
  for (int i = 0; i < 4; ++i) cache[lengthAt + i] = static_cast<char>(static_cast<unsigned char>(length >> (8 * i)));
}

void IndexCache::appendEntry(std::string& cache, const RecordStamp& stamp, const std::optional<MatchSummary>& summary) {
  putNumber(cache, stamp.bytes, 8);
  putNumber(cache, static_cast<std::uint64_t>(stamp.modified), 8);
  putNumber(cache, summary ? 1 : 0, 1);
  if (!summary) return;
  putText(cache, summary->date);
  putText(cache, summary->start);
  putNumber(cache, static_cast<std::uint32_t>(summary->lengthSeconds), 4);
  putNumber(cache, summary->map ? 1 : 0, 1);
  if (summary->map) putText(cache, *summary->map);
  putNumber(cache, static_cast<std::uint32_t>(summary->ctRounds), 4);
  putNumber(cache, static_cast<std::uint32_t>(summary->terroristRounds), 4);
  putNumber(cache, static_cast<std::uint64_t>(summary->kills), 8);
  putNumber(cache, summary->players.size(), 1);
  for (const PlayerSummary& player : summary->players) {
    putText(cache, player.name);
    putNumber(cache, static_cast<std::uint32_t>(player.kills), 4);
    putNumber(cache, static_cast<std::uint32_t>(player.deaths), 4);
    putNumber(cache, player.weaponKills.size(), 1);
    for (const auto& [weapon, kills] : player.weaponKills) {
      putText(cache, weapon);
      putNumber(cache, static_cast<std::uint32_t>(kills), 4);
    }
  }
}

IndexCache IndexCache::load(const std::filesystem::path& path) {
  IndexCache cache;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kMaxCacheBytes) return cache;
  File file = File::openForReading(path);
  if (!file.isOpen()) return cache;
  // Read whole in one piece of its size; a file that grew meanwhile is no cache.
  std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
  std::size_t got = 0;
  for (std::size_t more; got < bytes.size() && (more = file.read(bytes.data() + got, bytes.size() - got)) > 0;) {
    got += more;
  }
  if (file.failed() || got != size) return cache;
  bytes.resize(got);
  const std::string expected = header();
  if (bytes.compare(0, expected.size(), expected) != 0) return cache;

  // Only the names and where their entries lie are taken now; an entry is
  // read, and checked, when its record asks for it.
  cache.bytes_ = std::move(bytes);
  const std::string_view all = cache.bytes_;
  CacheReader in(all, expected.size());
  while (in.ok() && in.at() < all.size()) {
    const std::size_t begin = in.at();
    const std::string_view name = in.text();
    const std::uint64_t length = in.number(4);
    if (!in.ok() || all.size() - in.at() < length) return IndexCache();
    cache.entries_[name] = Entry{begin, all.substr(in.at(), length)};
    in.skip(length);
  }
  return cache;
}

std::optional<std::size_t> IndexCache::entryEndingFrom(const std::string& name, std::size_t at) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end() || entry->second.begin != at) return std::nullopt;
  return static_cast<std::size_t>(entry->second.body.data() - bytes_.data()) + entry->second.body.size();
}

std::optional<std::optional<MatchSummary>> IndexCache::find(const std::string& name, const RecordStamp& stamp) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end()) return std::nullopt;
  const std::string_view body = entry->second.body;
  CacheReader in(body, 0);
  const RecordStamp kept{in.number(8), static_cast<std::int64_t>(in.number(8))};
  if (!in.ok() || !(kept == stamp)) return std::nullopt;
  const std::uint64_t isMatch = in.number(1);
  if (isMatch == 0 && in.ok() && in.at() == body.size()) return std::optional<MatchSummary>();
  if (isMatch != 1) return std::nullopt;
  std::optional<MatchSummary> summary = readSummary(in);
  // An entry must be read to its last byte: anything else is damage.
  if (!summary || in.at() != body.size()) return std::nullopt;
  return summary;
}

}  // namespace fragtally

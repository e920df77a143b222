#include "index/index_cache.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/byte_codec.h"
#include "base/file.h"
#include "base/fnv1a.h"
#include "base/fnv1a_pieces.h"
#include "record/record_format.h"
#include "version.h"

namespace fragtally {
namespace {

// The bounds of a record (record_format.h) hold for its summary in the cache
// too: a damaged cache cannot make the index hold more. With its people a
// match takes about 6 KB here (a generated 30 to 180 KB log), so this holds the
// cache of some 80,000 matches; a larger one is no cache, and every record is read.
constexpr std::size_t kMaxCacheBytes = std::size_t{512} * 1024 * 1024;
// Names over all players of a match: a record's players may each name other
// weapons, but a place must fit in one byte.
constexpr std::uint32_t kMaxWeaponNames = 255;

// The checksum at a cache's end (StreamedStore's seal): fnv1a64Words of every
// byte before it, which any single changed byte alters.
constexpr std::size_t kChecksumBytes = 8;

// The people behind the rest of a summary, within the bounds a record is read in.
void putPeople(std::string& out, const MatchPlayers& people) {
  putNumber(out, people.players.size(), 2);
  for (const MatchPlayer& person : people.players) {
    putText(out, person.authId);
    putNumber(out, (person.bot ? 1u : 0u) | (person.sharedAuthId ? 2u : 0u), 1);
    putNumber(out, person.names.size(), 1);
    for (const NameUse& name : person.names) {
      putText(out, name.name);
      putSigned(out, name.lines);
    }
    for (const std::int64_t figure : {person.kills, person.deaths, person.suicides, person.teamKills,
                                      person.bombsPlanted, person.bombsDefused, person.hostagesRescued,
                                      person.hostagesKilled, person.roundsWon}) {
      putSigned(out, figure);
    }
    putNumber(out, person.weapons.size(), 1);
    for (const WeaponUse& weapon : person.weapons) {
      putText(out, weapon.weapon);
      for (const std::int64_t figure : {weapon.kills, weapon.shots, weapon.hits, weapon.headshots, weapon.damage}) {
        putSigned(out, figure);
      }
    }
  }
  putNumber(out, people.kills.size(), 4);
  for (const KillPair& pair : people.kills) {
    putNumber(out, pair.killer, 1);  // an index below kMaxMatchPlayers
    putNumber(out, pair.victim, 1);
    putSigned(out, pair.kills);
  }
  putSigned(out, static_cast<std::int64_t>(people.playersLeftOut));
}

bool readPeople(ByteReader& in, MatchPlayers& people) {
  const std::uint64_t count = in.number(2);
  if (count > kMaxMatchPlayers) return false;
  people.players.resize(count);
  for (MatchPlayer& person : people.players) {
    person.authId = in.text(kMaxRecordText);
    const std::uint64_t flags = in.number(1);
    if (flags > 3) return false;
    person.bot = (flags & 1) != 0;
    person.sharedAuthId = (flags & 2) != 0;
    const std::uint64_t names = in.number(1);
    if (names > kMaxNamesPerPlayer) return false;
    person.names.resize(names);
    for (NameUse& name : person.names) {
      name.name = in.text(kMaxRecordText);
      name.lines = in.signed64();
    }
    for (std::int64_t* figure : {&person.kills, &person.deaths, &person.suicides, &person.teamKills,
                                 &person.bombsPlanted, &person.bombsDefused, &person.hostagesRescued,
                                 &person.hostagesKilled, &person.roundsWon}) {
      *figure = in.signed64();
    }
    const std::uint64_t weapons = in.number(1);
    if (weapons > kMaxWeaponsPerPlayer) return false;
    person.weapons.resize(weapons);
    for (WeaponUse& weapon : person.weapons) {
      weapon.weapon = in.text(kMaxRecordText);
      for (std::int64_t* figure : {&weapon.kills, &weapon.shots, &weapon.hits, &weapon.headshots, &weapon.damage}) {
        *figure = in.signed64();
      }
    }
    if (!in.ok()) return false;
  }
  const std::uint64_t pairs = in.number(4);
  if (pairs > count * (count == 0 ? 0 : count - 1)) return false;
  people.kills.resize(pairs);
  for (KillPair& pair : people.kills) {
    pair.killer = in.number(1);
    pair.victim = in.number(1);
    pair.kills = in.signed64();
    if (pair.killer >= count || pair.victim >= count) return false;
  }
  const std::int64_t leftOut = in.signed64();
  if (leftOut < 0) return false;
  people.playersLeftOut = static_cast<std::size_t>(leftOut);
  return in.ok();
}

// A record's head before its summary, where it was read with it: its length
// first (0 for none), so that loading a cache can keep it without reading the
// rest. A head whose texts pass a record's bounds is left out.
void putHead(std::string& out, const RecordHead* head) {
  std::string bytes;
  if (head != nullptr && head->generator.size() <= kMaxRecordText && head->logPath.size() <= kMaxRecordText &&
      head->logModified.size() <= kMaxRecordText) {
    putSigned(bytes, head->version);
    putText(bytes, head->generator);
    putText(bytes, head->logPath);
    putNumber(bytes, head->logBytes, 8);
    putText(bytes, head->logModified);
    putNumber(bytes, head->logModifiedNanoseconds, 4);
  }
  putNumber(out, bytes.size(), 2);
  out += bytes;
}

// What putHead wrote after its length, `size` bytes; false for anything else.
bool readHead(ByteReader& in, std::uint64_t size, RecordHead& head) {
  const std::size_t end = in.at() + static_cast<std::size_t>(size);
  head.version = in.signed32();
  head.generator = in.text(kMaxRecordText);
  head.logPath = in.text(kMaxRecordText);
  head.logBytes = in.number(8);
  head.logModified = in.text(kMaxRecordText);
  head.logModifiedNanoseconds = static_cast<std::uint32_t>(in.number(4));
  return in.ok() && in.at() == end;
}

// Reads the head in front of a summary into `head`, or checks and passes it
// (nullptr); a summary without one leaves `head` empty.
bool readHeadOf(ByteReader& in, std::optional<RecordHead>* head) {
  const std::uint64_t size = in.number(2);
  if (head != nullptr) head->reset();
  if (!in.ok()) return false;
  if (size == 0) return true;
  RecordHead passed;
  return readHead(in, size, head != nullptr ? head->emplace() : passed);
}

// Reads a summary into `summary`, whose strings and lists are reused: an index
// of thousands of matches reads them one after another into the same few.
bool readSummary(ByteReader& in, MatchSummary& summary) {
  summary.date = in.text(kMaxRecordText);
  summary.start = in.text(kMaxRecordText);
  summary.lengthSeconds = in.signed32();
  if (in.number(1) == 1) {
    summary.map = in.text(kMaxRecordText);
  } else {
    summary.map.reset();
  }
  summary.ctRounds = in.signed32();
  summary.terroristRounds = in.signed32();
  summary.kills = static_cast<std::int64_t>(in.number(8));
  // Weapon names once per match; each player's kills name them by place.
  const std::uint64_t weaponCount = in.number(1);
  if (weaponCount > kMaxWeaponNames) return false;
  std::string_view weapons[kMaxWeaponNames];
  for (std::uint64_t w = 0; w < weaponCount && in.ok(); ++w) weapons[w] = in.text(kMaxRecordText);
  const std::uint64_t players = in.number(1);
  if (players > kMaxRecordPlayers) return false;
  summary.players.resize(players);
  for (PlayerSummary& player : summary.players) {
    player.name = in.text(kMaxRecordText);
    player.kills = in.signed32();
    player.deaths = in.signed32();
    const std::uint64_t count = in.number(1);
    if (count > kMaxRecordWeapons) return false;
    player.weaponKills.resize(count);
    for (auto& [weapon, kills] : player.weaponKills) {
      const std::uint64_t place = in.number(1);
      if (place >= weaponCount) return false;
      weapon = weapons[place];
      kills = in.signed32();
    }
    if (!in.ok()) return false;
  }
  const std::uint64_t pictures = in.number(1);
  if (pictures > kMaxRecordWeapons) return false;
  summary.pictures.resize(pictures);
  for (std::string& picture : summary.pictures) picture = in.text(kMaxRecordText);
  return in.ok() && readPeople(in, summary.people);
}

}  // namespace

// The form of the entries is numbered apart from the program's version, so that
// a cache of an earlier form is no cache even under the same version.
std::string IndexCache::header() { return "fragtally index cache 7 " FRAGTALLY_VERSION_TEXT "\n"; }

void IndexCache::append(std::string& cache, std::string_view name, const RecordStamp& stamp,
                        std::string_view encodedSummary) {
  putText(cache, name);
  putNumber(cache, 16 + encodedSummary.size(), 4);  // loading walks from name to name
  putNumber(cache, stamp.bytes, 8);
  putNumber(cache, static_cast<std::uint64_t>(stamp.modified), 8);
  cache += encodedSummary;
}

std::string IndexCache::encode(const std::optional<MatchSummary>& summary, const RecordHead* head) {
  if (summary) return encode(*summary, head);
  std::string out;
  putNumber(out, 0, 1);
  return out;
}

std::string IndexCache::encode(const MatchSummary& summary, const RecordHead* head) {
  std::string out;
  putNumber(out, 1, 1);
  putHead(out, head);
  putText(out, summary.date);
  putText(out, summary.start);
  putSigned(out, summary.lengthSeconds);
  putNumber(out, summary.map ? 1 : 0, 1);
  if (summary.map) putText(out, *summary.map);
  putSigned(out, summary.ctRounds);
  putSigned(out, summary.terroristRounds);
  putNumber(out, static_cast<std::uint64_t>(summary.kills), 8);
  std::vector<std::string_view> weapons;
  for (const PlayerSummary& player : summary.players) {
    for (const auto& entry : player.weaponKills) {
      if (std::find(weapons.begin(), weapons.end(), entry.first) == weapons.end()) weapons.push_back(entry.first);
    }
  }
  // More names than a byte can point to: no summary to keep, the record is
  // read again next time (a log never names that many weapons).
  if (weapons.size() > kMaxWeaponNames) return {};
  putNumber(out, weapons.size(), 1);
  for (const std::string_view weapon : weapons) putText(out, weapon);
  putNumber(out, summary.players.size(), 1);
  for (const PlayerSummary& player : summary.players) {
    putText(out, player.name);
    putSigned(out, player.kills);
    putSigned(out, player.deaths);
    putNumber(out, player.weaponKills.size(), 1);
    for (const auto& [weapon, kills] : player.weaponKills) {
      putNumber(out, static_cast<std::uint64_t>(std::find(weapons.begin(), weapons.end(), weapon) - weapons.begin()), 1);
      putSigned(out, kills);
    }
  }
  if (summary.pictures.size() > kMaxRecordWeapons) return {};
  putNumber(out, summary.pictures.size(), 1);
  for (const std::string& picture : summary.pictures) putText(out, picture);
  // Beyond the bounds a record is read in: no summary to keep, as reading the
  // record would give none.
  if (summary.people.players.size() > kMaxMatchPlayers) return {};
  for (const MatchPlayer& person : summary.people.players) {
    if (person.names.size() > kMaxNamesPerPlayer || person.weapons.size() > kMaxWeaponsPerPlayer) return {};
  }
  for (const KillPair& pair : summary.people.kills) {
    if (pair.killer >= summary.people.players.size() || pair.victim >= summary.people.players.size()) return {};
  }
  putPeople(out, summary.people);
  out.shrink_to_fit();  // a batch holds one of these for each log it writes
  return out;
}

IndexCache::Found IndexCache::decode(std::string_view encoded, MatchSummary& into, std::optional<RecordHead>* head) {
  ByteReader in(encoded, 0);
  const std::uint64_t isMatch = in.number(1);
  if (head != nullptr) head->reset();
  if (isMatch == 0 && in.ok() && in.at() == encoded.size()) return Found::noMatch;
  if (isMatch != 1) return Found::nothing;
  // An entry must be read to its last byte: anything else is damage.
  return readHeadOf(in, head) && readSummary(in, into) && in.at() == encoded.size() ? Found::match : Found::nothing;
}

std::optional<std::optional<MatchSummary>> IndexCache::decode(std::string_view encoded) {
  MatchSummary summary;
  switch (decode(encoded, summary)) {
    case Found::match: return std::optional<MatchSummary>(std::move(summary));
    case Found::noMatch: return std::optional<MatchSummary>();
    case Found::nothing: break;
  }
  return std::nullopt;
}

namespace {

// The pieces a cache is read in: its tens of megabytes are never held whole.
constexpr std::size_t kPieceBytes = 64 * 1024;
// An entry's stamp and the first byte of its summary: what knows() needs.
constexpr std::size_t kStampBytes = 16;
// A head's bytes at most: three texts within a record's bounds and its figures.
constexpr std::uint64_t kMaxHeadBytes = 3 * (2 + kMaxRecordText) + 32;

// Walks a cache file front to back a piece at a time, taking the checksum of
// every byte it passes; a few bytes at a time can be looked at whole, however
// the pieces fall.
class PieceWalk {
 public:
  PieceWalk(const PositionalFile& file, std::uint64_t end) : file_(file), end_(end), buffer_(kPieceBytes) {}

  std::uint64_t at() const { return start_ + at_; }
  std::uint64_t checksum() const { return checksum_.value(); }

  // The next `count` bytes (count at most kPieceBytes), not yet passed; false
  // when the file ends before them or cannot be read.
  bool look(std::size_t count, std::string_view& bytes) {
    if (!have(count)) return false;
    bytes = std::string_view(buffer_.data() + at_, count);
    return true;
  }
  // Passes `count` bytes, reading (and checking) them on the way.
  bool pass(std::uint64_t count) {
    while (count > 0) {
      if (at_ == held_ && !have(1)) return false;
      const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(count, held_ - at_));
      at_ += step;
      count -= step;
    }
    return true;
  }

 private:
  bool have(std::size_t count) {
    if (held_ - at_ >= count) return true;
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(at_), buffer_.begin() + static_cast<std::ptrdiff_t>(held_),
              buffer_.begin());
    start_ += at_;
    held_ -= at_;
    at_ = 0;
    while (held_ < count) {
      const std::uint64_t loaded = start_ + held_;
      if (loaded >= end_) return false;
      const std::size_t more = static_cast<std::size_t>(std::min<std::uint64_t>(buffer_.size() - held_, end_ - loaded));
      if (!file_.readAt(loaded, buffer_.data() + held_, more)) return false;
      checksum_.add(std::string_view(buffer_.data() + held_, more));
      held_ += more;
    }
    return true;
  }

  const PositionalFile& file_;
  const std::uint64_t end_;
  std::vector<char> buffer_;
  std::uint64_t start_ = 0;  // where the buffer's first byte lies in the file
  std::size_t held_ = 0;     // bytes in the buffer
  std::size_t at_ = 0;       // the next byte, in the buffer
  Fnv1a64WordsPieces checksum_;
};

}  // namespace

IndexCache IndexCache::load(const std::filesystem::path& path) {
  PositionalFile file = PositionalFile::open(path);
  const std::string expected = header();
  if (!file.isOpen() || file.size() > kMaxCacheBytes || file.size() < expected.size() + kChecksumBytes) return {};
  const std::uint64_t checked = file.size() - kChecksumBytes;

  // One pass over the file, in pieces: the checksum of every byte, and of
  // each entry only what knows() needs and where the rest lies. Nothing of it
  // counts unless the checksum at the end holds.
  PieceWalk walk(file, checked);
  std::string_view bytes;
  if (!walk.look(expected.size(), bytes) || bytes != expected || !walk.pass(expected.size())) return {};
  IndexCache cache;
  while (walk.at() < checked) {
    const std::uint64_t begin = walk.at();
    if (!walk.look(2, bytes)) return {};
    const auto nameSize = static_cast<std::size_t>(ByteReader(bytes, 0).number(2));
    if (nameSize > kMaxRecordText || !walk.look(2 + nameSize + 4, bytes)) return {};
    ByteReader head(bytes, 0);
    std::string name(head.text(kMaxRecordText));
    const auto length = static_cast<std::uint32_t>(head.number(4));
    if (!walk.pass(2 + nameSize + 4)) return {};
    Entry entry{begin, walk.at(), length, {}, Found::nothing, std::nullopt};
    if (length > kStampBytes && walk.look(kStampBytes + 1, bytes)) {
      ByteReader stamp(bytes, 0);
      entry.stamp.bytes = stamp.number(8);
      entry.stamp.modified = static_cast<std::int64_t>(stamp.number(8));
      const auto isMatch = stamp.number(1);
      // A record that is no match has nothing after that byte.
      if (isMatch == 1) entry.kind = Found::match;
      if (isMatch == 0 && length == kStampBytes + 1) entry.kind = Found::noMatch;
      // A match's head is kept: what the folder run asks of every record.
      if (entry.kind == Found::match && walk.look(kStampBytes + 3, bytes)) {
        const std::uint64_t headSize = ByteReader(bytes, kStampBytes + 1).number(2);
        if (headSize > kMaxHeadBytes || kStampBytes + 3 + headSize > length) return {};
        if (headSize > 0) {
          if (!walk.look(static_cast<std::size_t>(kStampBytes + 3 + headSize), bytes)) return {};
          ByteReader head(bytes, kStampBytes + 3);
          if (!readHead(head, headSize, entry.head.emplace())) return {};
        }
      }
    }
    if (!walk.pass(length)) return {};
    cache.entries_[std::move(name)] = entry;
  }
  char sealed[kChecksumBytes];
  if (walk.at() != checked || !file.readAt(checked, sealed, sizeof sealed)) return {};
  const std::uint64_t kept = ByteReader(std::string_view(sealed, sizeof sealed), 0).number(static_cast<int>(kChecksumBytes));
  if (kept != walk.checksum()) return {};
  cache.checksum_ = kept;
  cache.checkedBytes_ = checked;
  cache.file_ = std::move(file);
  return cache;
}

bool IndexCache::copyRange(std::uint64_t begin, std::uint64_t end, StreamedStore& into) const {
  if (end > checkedBytes_ || begin > end) return false;
  std::vector<char> piece(static_cast<std::size_t>(std::min<std::uint64_t>(end - begin, kPieceBytes)));
  for (std::uint64_t at = begin; at < end;) {
    const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(end - at, piece.size()));
    if (!file_.readAt(at, piece.data(), step) || !into.write(std::string_view(piece.data(), step))) return false;
    at += step;
  }
  return true;
}

std::optional<std::uint64_t> IndexCache::entryEndingFrom(const std::string& name, std::uint64_t at) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end() || entry->second.begin != at) return std::nullopt;
  return entry->second.body + entry->second.length;
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> IndexCache::entrySpan(const std::string& name) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end()) return std::nullopt;
  return std::make_pair(entry->second.begin, entry->second.body + entry->second.length);
}

std::optional<RecordStamp> recordStampOf(const std::filesystem::path& file) {
  // One look at the file: thousands of records are looked at on every run.
  const FileLook look = lookAtFile(file);
  if (!look.regular) return std::nullopt;
  return RecordStamp{look.bytes, look.modifiedUnixSeconds * 1000000000 + look.modifiedNanoseconds};
}

IndexCache::Found IndexCache::knows(const std::string& name, const RecordStamp& stamp) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end() || !(entry->second.stamp == stamp)) return Found::nothing;
  return entry->second.kind;
}

const RecordHead* IndexCache::headOf(const std::string& name, const RecordStamp& stamp) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end() || !(entry->second.stamp == stamp) || !entry->second.head) return nullptr;
  return &*entry->second.head;
}

IndexCache::Found IndexCache::find(const std::string& name, const RecordStamp& stamp, MatchSummary& into) const {
  const auto entry = entries_.find(name);
  if (entry == entries_.end() || entry->second.kind == Found::nothing || !(entry->second.stamp == stamp)) {
    return Found::nothing;
  }
  // Each reading thread reads its entries into a buffer of its own; one
  // grown by an unusually large entry is given back after it.
  thread_local std::string body;
  const std::size_t size = entry->second.length - kStampBytes;
  body.resize(size);
  const bool read = file_.readAt(entry->second.body + kStampBytes, body.data(), size);
  const Found found = read ? decode(body, into) : Found::nothing;
  if (body.capacity() > kPieceBytes) std::string().swap(body);
  return found;
}

}  // namespace fragtally

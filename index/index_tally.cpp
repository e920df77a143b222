#include "index/index_tally.h"

#include <algorithm>
#include <numeric>

#include "base/byte_codec.h"
#include "record/match_summary.h"

namespace fragtally {
namespace {

// Two digits at `at` as their number, or -1.
int twoDigits(std::string_view text, std::size_t at) {
  const auto tens = static_cast<unsigned char>(text[at] - '0');
  const auto ones = static_cast<unsigned char>(text[at + 1] - '0');
  return tens <= 9 && ones <= 9 ? tens * 10 + ones : -1;
}

}  // namespace

std::uint64_t matchTimeKey(std::string_view date, std::string_view start) {
  if (date.size() != 10 || date[2] != '/' || date[5] != '/') return 0;
  if (start.size() != 8 || start[2] != ':' || start[5] != ':') return 0;
  // The log writes MM/DD/YYYY: the year's two pieces go first.
  const int pieces[] = {twoDigits(date, 6),  twoDigits(date, 8),  twoDigits(date, 0), twoDigits(date, 3),
                        twoDigits(start, 0), twoDigits(start, 3), twoDigits(start, 6)};
  std::uint64_t key = 0;
  for (const int piece : pieces) {
    if (piece < 0) return 0;
    key = key * 100 + static_cast<std::uint64_t>(piece);
  }
  return key;
}

bool IndexTally::earlier(std::size_t a, std::size_t b) const {
  const IndexMatch& x = matches_[a];
  const IndexMatch& y = matches_[b];
  return x.when != y.when ? x.when < y.when : x.report < y.report;
}

std::uint32_t IndexTally::weaponId(const std::string& name) {
  const auto [at, added] = weaponIds_.try_emplace(name, static_cast<std::uint32_t>(weaponNames_.size()));
  if (added) weaponNames_.push_back(name);
  return at->second;
}

void IndexTally::add(const MatchSummary& match, std::string_view reportName) {
  pictures_.insert(match.pictures.begin(), match.pictures.end());
  if (match.kills == 0) {
    ++logsWithoutKills_;
    return;
  }
  const std::size_t matchAt = matches_.size();
  IndexMatch& row = matches_.emplace_back();
  row.report = reportName;
  row.date = match.date;
  row.start = match.start;
  row.lengthSeconds = match.lengthSeconds;
  row.map = match.map;
  row.ctRounds = match.ctRounds;
  row.terroristRounds = match.terroristRounds;
  row.players = static_cast<std::uint32_t>(match.players.size());
  row.kills = match.kills;
  if (!match.players.empty()) {
    row.bestPlayer = match.players.front().name;
    row.bestPlayerKills = match.players.front().kills;
  }
  row.when = matchTimeKey(match.date, match.start);
  if (!playersByName_) return;

  for (const PlayerSummary& player : match.players) {
    const auto [found, added] = playerIds_.try_emplace(player.name, static_cast<std::uint32_t>(players_.size()));
    if (added) {
      players_.emplace_back().shown.name = player.name;
      players_.back().bestMatch = matchAt;
      players_.back().shown.bestMatchKills = player.kills;
    }
    PlayerTally& tally = players_[found->second];
    tally.shown.matches += 1;
    tally.shown.kills += player.kills;
    tally.shown.deaths += player.deaths;
    // Of equal bests the earliest match counts: when the figure was first reached.
    if (player.kills > tally.shown.bestMatchKills ||
        (player.kills == tally.shown.bestMatchKills && earlier(matchAt, tally.bestMatch))) {
      tally.shown.bestMatchKills = player.kills;
      tally.bestMatch = matchAt;
    }
    for (const auto& [weapon, kills] : player.weaponKills) {
      const std::uint32_t id = weaponId(weapon);
      auto entry = std::find_if(tally.weaponKills.begin(), tally.weaponKills.end(),
                                [&](const auto& counted) { return counted.first == id; });
      if (entry == tally.weaponKills.end()) {
        tally.weaponKills.emplace_back(id, kills);
      } else {
        entry->second += kills;
      }
    }
  }
}

IndexContent IndexTally::take() {
  IndexContent content;
  content.logsWithoutKills = logsWithoutKills_;
  content.pictures.assign(pictures_.begin(), pictures_.end());
  pictures_.clear();

  std::vector<std::size_t> order(matches_.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return earlier(b, a); });
  std::vector<std::size_t> shownAt(matches_.size());
  content.matches.reserve(matches_.size());
  for (const std::size_t at : order) {
    shownAt[at] = content.matches.size();
    content.kills += matches_[at].kills;
    content.matches.push_back(std::move(matches_[at]));
  }

  content.players.reserve(players_.size());
  for (PlayerTally& tally : players_) {
    IndexPlayer& shown = content.players.emplace_back(std::move(tally.shown));
    shown.bestMatch = shownAt[tally.bestMatch];
    // Of equal counts the first name in byte order: the same for any order of records.
    const std::pair<std::uint32_t, std::int64_t>* favourite = nullptr;
    for (const auto& entry : tally.weaponKills) {
      if (entry.second <= 0) continue;
      if (!favourite || entry.second > favourite->second ||
          (entry.second == favourite->second && weaponNames_[entry.first] < weaponNames_[favourite->first])) {
        favourite = &entry;
      }
    }
    if (favourite) shown.favouriteWeapon = weaponNames_[favourite->first];
  }
  std::sort(content.players.begin(), content.players.end(), [](const IndexPlayer& a, const IndexPlayer& b) {
    if (a.kills != b.kills) return a.kills > b.kills;
    if (a.deaths != b.deaths) return a.deaths < b.deaths;
    return a.name < b.name;
  });

  *this = IndexTally();
  return content;
}

std::string IndexTally::state() const {
  std::string bytes;
  if (playersByName_) return bytes;
  const auto fits = [](std::string_view text) { return text.size() <= kMaxCodedText; };
  putSigned(bytes, static_cast<std::int64_t>(logsWithoutKills_));
  putSigned(bytes, static_cast<std::int64_t>(pictures_.size()));
  for (const std::string& picture : pictures_) {
    if (!fits(picture)) return {};
    putText(bytes, picture);
  }
  putSigned(bytes, static_cast<std::int64_t>(matches_.size()));
  for (const IndexMatch& match : matches_) {
    const std::string_view map = match.map ? std::string_view(*match.map) : std::string_view();
    for (const std::string_view text : {std::string_view(match.report), std::string_view(match.date),
                                        std::string_view(match.start), std::string_view(match.bestPlayer), map}) {
      if (!fits(text)) return {};
      putText(bytes, text);
    }
    putNumber(bytes, match.map ? 1 : 0, 1);
    for (const std::int64_t figure : {std::int64_t{match.lengthSeconds}, std::int64_t{match.ctRounds},
                                      std::int64_t{match.terroristRounds}, std::int64_t{match.players}, match.kills,
                                      std::int64_t{match.bestPlayerKills}}) {
      putSigned(bytes, figure);
    }
    putNumber(bytes, match.when, 8);
  }
  return bytes;
}

std::optional<IndexTally> IndexTally::fromState(std::string_view bytes) {
  ByteReader in(bytes, 0);
  IndexTally tally(false);
  // No count can pass the bytes it takes: a damaged one cannot make the tally grow.
  tally.logsWithoutKills_ = static_cast<std::size_t>(in.count(UINT32_MAX));
  const std::uint64_t pictures = in.count(in.left() / 2);
  for (std::uint64_t at = 0; at < pictures && in.ok(); ++at) tally.pictures_.emplace(in.text());
  const std::uint64_t matches = in.count(in.left() / 25);  // 25: the fewest bytes a match takes
  tally.matches_.reserve(static_cast<std::size_t>(matches));
  for (std::uint64_t at = 0; at < matches && in.ok(); ++at) {
    IndexMatch& match = tally.matches_.emplace_back();
    match.report = in.text();
    match.date = in.text();
    match.start = in.text();
    match.bestPlayer = in.text();
    const std::string_view map = in.text();
    if (in.number(1) == 1) match.map.emplace(map);
    match.lengthSeconds = in.signed32();
    match.ctRounds = in.signed32();
    match.terroristRounds = in.signed32();
    const std::int64_t players = in.signed64();
    if (players < 0 || players > UINT32_MAX) in.fail();
    match.players = static_cast<std::uint32_t>(players);
    match.kills = in.signed64();
    match.bestPlayerKills = in.signed32();
    match.when = in.number(8);
  }
  if (!in.ok() || in.left() != 0) return std::nullopt;
  return tally;
}

}  // namespace fragtally

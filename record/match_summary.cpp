#include "record/match_summary.h"

#include <limits>

#include <nlohmann/json.hpp>

#include "record/record_format.h"

namespace fragtally {
namespace {

constexpr std::int64_t kMinNumber = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMaxNumber = std::numeric_limits<std::int32_t>::max();

// The fields a record must have for the index, one bit each.
enum Field : std::uint32_t {
  kFormat = 1u << 0,
  kVersion = 1u << 1,
  kDate = 1u << 2,
  kStart = 1u << 3,
  kLength = 1u << 4,
  kMap = 1u << 5,
  kRoundsCt = 1u << 6,
  kRoundsTerrorist = 1u << 7,
  kKillsCtT = 1u << 8,
  kKillsCtCt = 1u << 9,
  kKillsTCt = 1u << 10,
  kKillsTT = 1u << 11,
  kPlayers = 1u << 12,
  kAllFields = (1u << 13) - 1,
};
enum PlayerField : std::uint32_t { kName = 1, kKills = 2, kDeaths = 4, kAllPlayerFields = 7 };

// Where the reader stands: the parts of a record it keeps. Everything else
// (victims, tie lists, unknown fields) is skipped whole.
enum class Place { kRecord, kRounds, kKills, kPlayers, kPlayer, kPlayerWeapons, kWeapons, kWeapon };

// Follows the parser's events and keeps only what a MatchSummary holds, so a
// record is read without building its whole tree.
class SummaryReader {
 public:
  explicit SummaryReader(MatchSummary& out) : out_(out) {}

  bool complete() const { return finished_ && seen_ == kAllFields; }

  bool null() {
    if (skipping()) return true;
    if (top(Place::kRecord) && key_ == "map") return out_.map.reset(), mark(kMap);
    if (top(Place::kWeapon) && key_ == "picture") return true;  // no picture
    return ignoredScalar();
  }
  bool boolean(bool) { return skipping() || ignoredScalar(); }
  bool number_integer(std::int64_t value) { return skipping() || number(value); }
  bool number_unsigned(std::uint64_t value) {
    return skipping() || (value <= static_cast<std::uint64_t>(kMaxNumber) ? number(static_cast<std::int64_t>(value))
                                                                         : ignoredScalar());
  }
  bool number_float(double, const std::string&) { return skipping() || ignoredScalar(); }
  bool binary(nlohmann::json::binary_t&) { return false; }
  bool string(std::string& value) { return skipping() || text(value); }

  bool key(std::string& value) {
    if (skipDepth_ > 0) return true;
    key_ = value;
    if (top(Place::kPlayerWeapons)) return key_.size() <= kMaxRecordText;
    return true;
  }

  bool start_object(std::size_t) {
    if (skipDepth_ > 0) return ++skipDepth_, true;
    if (places_.empty()) return enter(Place::kRecord);
    switch (places_.back()) {
      case Place::kRecord:
        if (key_ == "rounds") return enter(Place::kRounds);
        if (key_ == "kills") return enter(Place::kKills);
        break;
      case Place::kPlayers:
        if (out_.players.size() == kMaxRecordPlayers) return false;
        out_.players.emplace_back();
        playerSeen_ = 0;
        return enter(Place::kPlayer);
      case Place::kPlayer:
        if (key_ == "weapons") return enter(Place::kPlayerWeapons);
        break;
      case Place::kWeapons:
        if (weaponsListed_++ == kMaxRecordWeapons) return false;
        weaponName_.clear();
        weaponHasPicture_ = false;
        return enter(Place::kWeapon);
      default:
        break;
    }
    return skip();
  }

  bool start_array(std::size_t) {
    if (skipDepth_ > 0) return ++skipDepth_, true;
    if (places_.empty()) return false;
    if (top(Place::kRecord) && key_ == "players") {
      out_.players.clear();
      return enter(Place::kPlayers);
    }
    if (top(Place::kPlayers)) return false;
    if (top(Place::kRecord) && key_ == "weapons") {
      out_.pictures.clear();
      return enter(Place::kWeapons);
    }
    if (top(Place::kWeapons)) return false;
    return skip();
  }

  bool end_object() {
    if (skipDepth_ > 0) return --skipDepth_, true;
    if (top(Place::kPlayer) && playerSeen_ != kAllPlayerFields) return false;
    if (top(Place::kWeapon) && weaponHasPicture_ && !weaponName_.empty()) out_.pictures.push_back(weaponName_);
    places_.pop_back();
    finished_ = places_.empty();
    return true;
  }

  bool end_array() {
    if (skipDepth_ > 0) return --skipDepth_, true;
    if (top(Place::kPlayers)) seen_ |= kPlayers;
    places_.pop_back();
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception&) { return false; }

 private:
  bool top(Place place) const { return !places_.empty() && places_.back() == place; }
  bool enter(Place place) { return places_.push_back(place), true; }
  bool skip() { return skipDepth_ = 1, true; }
  bool skipping() const { return skipDepth_ > 0; }

  bool mark(std::uint32_t field) { return seen_ |= field, true; }
  bool markInPlayer(std::uint32_t field) { return playerSeen_ |= field, true; }

  // A value of a kind that the place does not expect: wrong where the index
  // needs the field, harmless anywhere else.
  bool ignoredScalar() const {
    if (places_.empty() || top(Place::kPlayers) || top(Place::kPlayerWeapons) || top(Place::kWeapons)) return false;
    if (top(Place::kWeapon)) return key_ != "name" && key_ != "picture";
    if (top(Place::kRecord)) {
      return key_ != "format" && key_ != "version" && key_ != "date" && key_ != "start" &&
             key_ != "length_seconds" && key_ != "map";
    }
    if (top(Place::kPlayer)) return key_ != "name" && key_ != "kills" && key_ != "deaths";
    return key_ != "ct" && key_ != "terrorist" && key_.rfind("ct_killed_", 0) != 0 &&
           key_.rfind("terrorist_killed_", 0) != 0;
  }

  bool number(std::int64_t value) {
    if (value < kMinNumber || value > kMaxNumber) return ignoredScalar();
    const auto n = static_cast<std::int32_t>(value);
    switch (places_.empty() ? Place::kPlayers : places_.back()) {
      case Place::kRecord:
        if (key_ == "version") return value == kRecordVersion && mark(kVersion);
        if (key_ == "length_seconds") return out_.lengthSeconds = n, mark(kLength);
        return ignoredScalar();
      case Place::kRounds:
        if (key_ == "ct") return out_.ctRounds = n, mark(kRoundsCt);
        if (key_ == "terrorist") return out_.terroristRounds = n, mark(kRoundsTerrorist);
        return true;
      case Place::kKills:
        if (key_ == "ct_killed_terrorist") return killCounter(kKillsCtT, n);
        if (key_ == "ct_killed_ct") return killCounter(kKillsCtCt, n);
        if (key_ == "terrorist_killed_ct") return killCounter(kKillsTCt, n);
        if (key_ == "terrorist_killed_terrorist") return killCounter(kKillsTT, n);
        return true;
      case Place::kPlayer:
        if (key_ == "kills") return out_.players.back().kills = n, markInPlayer(kKills);
        if (key_ == "deaths") return out_.players.back().deaths = n, markInPlayer(kDeaths);
        return ignoredScalar();
      case Place::kPlayerWeapons: {
        auto& weapons = out_.players.back().weaponKills;
        if (weapons.size() == kMaxRecordWeapons) return false;
        weapons.emplace_back(key_, n);
        return true;
      }
      case Place::kWeapon:
        return ignoredScalar();
      case Place::kPlayers:
      case Place::kWeapons:
        return false;
    }
    return false;
  }

  bool killCounter(std::uint32_t field, std::int32_t n) {
    // A counter given twice would be counted twice: not a record of ours.
    if (seen_ & field) return false;
    return out_.kills += n, mark(field);
  }

  bool text(const std::string& value) {
    if (value.size() > kMaxRecordText) return false;
    if (top(Place::kRecord)) {
      if (key_ == "format") return value == kRecordFormat && mark(kFormat);
      if (key_ == "date") return out_.date = value, mark(kDate);
      if (key_ == "start") return out_.start = value, mark(kStart);
      if (key_ == "map") return out_.map = value, mark(kMap);
    } else if (top(Place::kPlayer) && key_ == "name") {
      out_.players.back().name = value;
      return markInPlayer(kName);
    } else if (top(Place::kWeapon) && key_ == "name") {
      weaponName_ = value;
      return true;
    } else if (top(Place::kWeapon) && key_ == "picture") {
      weaponHasPicture_ = true;
      return true;
    }
    return ignoredScalar();
  }

  MatchSummary& out_;
  std::vector<Place> places_;
  std::string key_;
  std::size_t skipDepth_ = 0;
  std::uint32_t seen_ = 0;
  std::uint32_t playerSeen_ = 0;
  std::size_t weaponsListed_ = 0;
  std::string weaponName_;  // of the weapon being read
  bool weaponHasPicture_ = false;
  bool finished_ = false;
};

}  // namespace

std::optional<MatchSummary> readMatchSummary(std::string_view json) {
  MatchSummary summary;
  SummaryReader reader(summary);
  try {
    // Read to its last byte, the weapons table behind the players too: a
    // record that is broken anywhere is no record, and its log is done again.
    if (!nlohmann::json::sax_parse(json.begin(), json.end(), &reader)) return std::nullopt;
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
  if (!reader.complete()) return std::nullopt;
  return summary;
}

}  // namespace fragtally

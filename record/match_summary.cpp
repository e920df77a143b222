#include "record/match_summary.h"

#include <iterator>
#include <limits>
#include <utility>

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
// The people's fields a record of the second version must have, one bit each.
enum PeopleField : std::uint32_t { kPeople = 1, kKillPairs = 2, kPeopleLeftOut = 4, kAllPeopleFields = 7 };

// The version that first holds the people.
constexpr std::int64_t kFirstVersionWithPeople = 2;
// Enemy kill pairs: at most one for each killer and victim apart.
constexpr std::size_t kMaxKillPairs = kMaxMatchPlayers * (kMaxMatchPlayers - 1);

// Where the reader stands: the parts of a record it keeps. Everything else
// (victims, tie lists, unknown fields) is skipped whole.
enum class Place {
  kRecord, kRounds, kKills, kPlayers, kPlayer, kPlayerWeapons, kWeapons, kWeapon,
  kPeople, kPerson, kPersonNames, kPersonName, kPersonWeapons, kPersonWeapon, kKillPairs, kKillPair
};

// The members of each object of the people, one bit each: every one must be
// there. 0 for a name the object does not have.
std::uint32_t personField(std::string_view key) {
  static constexpr std::string_view kKeys[] = {
      "auth_id",       "bot",           "shared_auth_id",   "names",           "kills",
      "deaths",        "suicides",      "team_kills",       "bombs_planted",   "bombs_defused",
      "hostages_rescued", "hostages_killed", "rounds_won", "weapons"};
  for (std::uint32_t at = 0; at < std::size(kKeys); ++at) {
    if (kKeys[at] == key) return 1u << at;
  }
  return 0;
}
constexpr std::uint32_t kAllPersonFields = (1u << 14) - 1;
std::uint32_t nameField(std::string_view key) { return key == "name" ? 1 : key == "lines" ? 2 : 0; }
constexpr std::uint32_t kAllNameFields = 3;
std::uint32_t weaponField(std::string_view key) {
  static constexpr std::string_view kKeys[] = {"name", "kills", "shots", "hits", "headshots", "damage"};
  for (std::uint32_t at = 0; at < std::size(kKeys); ++at) {
    if (kKeys[at] == key) return 1u << at;
  }
  return 0;
}
constexpr std::uint32_t kAllWeaponFields = (1u << 6) - 1;
std::uint32_t pairField(std::string_view key) {
  return key == "killer" ? 1 : key == "victim" ? 2 : key == "kills" ? 4 : 0;
}
constexpr std::uint32_t kAllPairFields = 7;

// Follows the parser's events and keeps only what a MatchSummary holds, so a
// record is read without building its whole tree.
class SummaryReader {
 public:
  explicit SummaryReader(MatchSummary& out) : out_(out) {}

  bool complete() const {
    if (!finished_ || seen_ != kAllFields) return false;
    // A record of the first version has no people; a later one has them all.
    if (version_ < kFirstVersionWithPeople) return peopleSeen_ == 0;
    if (peopleSeen_ != kAllPeopleFields) return false;
    for (const KillPair& pair : out_.people.kills) {
      if (pair.killer >= out_.people.players.size() || pair.victim >= out_.people.players.size()) return false;
    }
    return true;
  }

  bool null() {
    if (skipping()) return true;
    if (top(Place::kRecord) && key_ == "map") return out_.map.reset(), mark(kMap);
    if (top(Place::kWeapon) && key_ == "picture") return true;  // no picture
    return ignoredScalar();
  }
  bool boolean(bool value) {
    if (skipping()) return true;
    if (top(Place::kPerson) && key_ == "bot") return out_.people.players.back().bot = value, inPerson(key_);
    if (top(Place::kPerson) && key_ == "shared_auth_id") {
      return out_.people.players.back().sharedAuthId = value, inPerson(key_);
    }
    return ignoredScalar();
  }
  bool number_integer(std::int64_t value) {
    if (skipping()) return true;
    if (inPeople() || (top(Place::kRecord) && key_ == "people_left_out")) return peopleNumber(value);
    return number(value);
  }
  bool number_unsigned(std::uint64_t value) {
    if (skipping()) return true;
    if (inPeople() || (top(Place::kRecord) && key_ == "people_left_out")) {
      return value <= static_cast<std::uint64_t>(INT64_MAX) && peopleNumber(static_cast<std::int64_t>(value));
    }
    return value <= static_cast<std::uint64_t>(kMaxNumber) ? number(static_cast<std::int64_t>(value)) : ignoredScalar();
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
      case Place::kPeople:
        if (out_.people.players.size() == kMaxMatchPlayers) return false;
        out_.people.players.emplace_back();
        return enterItem(Place::kPerson);
      case Place::kPersonNames: {
        auto& names = out_.people.players.back().names;
        if (names.size() == kMaxNamesPerPlayer) return false;
        names.emplace_back();
        return enterItem(Place::kPersonName);
      }
      case Place::kPersonWeapons: {
        auto& weapons = out_.people.players.back().weapons;
        if (weapons.size() == kMaxWeaponsPerPlayer) return false;
        weapons.emplace_back();
        return enterItem(Place::kPersonWeapon);
      }
      case Place::kKillPairs:
        if (out_.people.kills.size() == kMaxKillPairs) return false;
        out_.people.kills.emplace_back();
        return enterItem(Place::kKillPair);
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
    if (top(Place::kRecord) && (key_ == "people" || key_ == "kill_pairs")) {
      // Only a record of a version that holds them, and each list once.
      const std::uint32_t field = key_ == "people" ? kPeople : kKillPairs;
      if (version_ < kFirstVersionWithPeople || (peopleSeen_ & field) != 0) return false;
      return enter(field == kPeople ? Place::kPeople : Place::kKillPairs);
    }
    if (top(Place::kPerson) && (key_ == "names" || key_ == "weapons")) {
      if ((itemSeen_.back() & personField(key_)) != 0) return false;
      return enter(key_ == "names" ? Place::kPersonNames : Place::kPersonWeapons);
    }
    if (inPeople() && !top(Place::kPerson) && !top(Place::kPersonName) && !top(Place::kPersonWeapon) &&
        !top(Place::kKillPair)) {
      return false;  // an array in a list of objects
    }
    return skip();
  }

  bool end_object() {
    if (skipDepth_ > 0) return --skipDepth_, true;
    if (top(Place::kPlayer) && playerSeen_ != kAllPlayerFields) return false;
    if (top(Place::kWeapon) && weaponHasPicture_ && !weaponName_.empty()) out_.pictures.push_back(weaponName_);
    if (!endItem()) return false;
    places_.pop_back();
    finished_ = places_.empty();
    return true;
  }

  bool end_array() {
    if (skipDepth_ > 0) return --skipDepth_, true;
    if (top(Place::kPlayers)) seen_ |= kPlayers;
    if (top(Place::kPeople)) peopleSeen_ |= kPeople;
    if (top(Place::kKillPairs)) peopleSeen_ |= kKillPairs;
    if (top(Place::kPersonNames) || top(Place::kPersonWeapons)) {
      const std::string_view list = top(Place::kPersonNames) ? "names" : "weapons";
      places_.pop_back();
      return inPerson(list);
    }
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

  // Inside the people or their kill pairs, where numbers are 64-bit.
  bool inPeople() const { return !places_.empty() && places_.back() >= Place::kPeople; }

  // An object of the people: its members are counted until it ends.
  bool enterItem(Place place) {
    itemSeen_.push_back(0);
    return enter(place);
  }
  // A member of the object being read, given twice: not a record of ours.
  bool inItem(std::uint32_t field) {
    if (field == 0) return true;  // a member it does not have: passed over
    if ((itemSeen_.back() & field) != 0) return false;
    itemSeen_.back() |= field;
    return true;
  }
  bool inPerson(std::string_view key) { return inItem(personField(key)); }
  // The object being left has all its members; a kill pair comes after the one before it.
  bool endItem() {
    std::uint32_t all = 0;
    if (top(Place::kPerson)) all = kAllPersonFields;
    if (top(Place::kPersonName)) all = kAllNameFields;
    if (top(Place::kPersonWeapon)) all = kAllWeaponFields;
    if (top(Place::kKillPair)) all = kAllPairFields;
    if (all == 0) return true;
    if (itemSeen_.back() != all) return false;
    itemSeen_.pop_back();
    if (top(Place::kKillPair)) {
      // By killer, then victim, each pair once: so they are never more than the people allow.
      const auto& pairs = out_.people.kills;
      const KillPair& pair = pairs.back();
      if (pair.killer == pair.victim) return false;
      if (pairs.size() > 1) {
        const KillPair& before = pairs[pairs.size() - 2];
        if (std::pair(before.killer, before.victim) >= std::pair(pair.killer, pair.victim)) return false;
      }
    }
    return true;
  }

  bool peopleNumber(std::int64_t value) {
    if (top(Place::kRecord)) {
      if (version_ < kFirstVersionWithPeople || value < 0 || (peopleSeen_ & kPeopleLeftOut) != 0) return false;
      peopleSeen_ |= kPeopleLeftOut;
      out_.people.playersLeftOut = static_cast<std::size_t>(value);
      return true;
    }
    switch (places_.back()) {
      case Place::kPerson: {
        MatchPlayer& person = out_.people.players.back();
        std::int64_t* figure = nullptr;
        if (key_ == "kills") figure = &person.kills;
        if (key_ == "deaths") figure = &person.deaths;
        if (key_ == "suicides") figure = &person.suicides;
        if (key_ == "team_kills") figure = &person.teamKills;
        if (key_ == "bombs_planted") figure = &person.bombsPlanted;
        if (key_ == "bombs_defused") figure = &person.bombsDefused;
        if (key_ == "hostages_rescued") figure = &person.hostagesRescued;
        if (key_ == "hostages_killed") figure = &person.hostagesKilled;
        if (key_ == "rounds_won") figure = &person.roundsWon;
        if (figure == nullptr) return personField(key_) == 0;  // a number where a text, list or flag belongs
        *figure = value;
        return inPerson(key_);
      }
      case Place::kPersonName:
        if (key_ != "lines") return nameField(key_) == 0;
        out_.people.players.back().names.back().lines = value;
        return inItem(nameField(key_));
      case Place::kPersonWeapon: {
        WeaponUse& weapon = out_.people.players.back().weapons.back();
        std::int64_t* figure = nullptr;
        if (key_ == "kills") figure = &weapon.kills;
        if (key_ == "shots") figure = &weapon.shots;
        if (key_ == "hits") figure = &weapon.hits;
        if (key_ == "headshots") figure = &weapon.headshots;
        if (key_ == "damage") figure = &weapon.damage;
        if (figure == nullptr) return weaponField(key_) == 0;
        *figure = value;
        return inItem(weaponField(key_));
      }
      case Place::kKillPair: {
        KillPair& pair = out_.people.kills.back();
        if (key_ == "kills") {
          pair.kills = value;
        } else if (key_ == "killer" || key_ == "victim") {
          // An index beyond any list is refused here; one beyond this list, at the end.
          if (value < 0 || value >= static_cast<std::int64_t>(kMaxMatchPlayers)) return false;
          (key_ == "killer" ? pair.killer : pair.victim) = static_cast<std::size_t>(value);
        }
        return inItem(pairField(key_));
      }
      default:
        return false;  // a number in a list of objects
    }
  }
  bool markInPlayer(std::uint32_t field) { return playerSeen_ |= field, true; }

  // A value of a kind that the place does not expect: wrong where the index
  // needs the field, harmless anywhere else.
  bool ignoredScalar() const {
    if (places_.empty() || top(Place::kPlayers) || top(Place::kPlayerWeapons) || top(Place::kWeapons)) return false;
    if (top(Place::kPerson)) return personField(key_) == 0;
    if (top(Place::kPersonName)) return nameField(key_) == 0;
    if (top(Place::kPersonWeapon)) return weaponField(key_) == 0;
    if (top(Place::kKillPair)) return pairField(key_) == 0;
    if (inPeople()) return false;  // a value in a list of objects
    if (top(Place::kWeapon)) return key_ != "name" && key_ != "picture";
    if (top(Place::kRecord)) {
      return key_ != "format" && key_ != "version" && key_ != "date" && key_ != "start" &&
             key_ != "length_seconds" && key_ != "map" && key_ != "people" && key_ != "kill_pairs" &&
             key_ != "people_left_out";
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
        if (key_ == "version") {
          // The first version still reads, without its people.
          if (value < 1 || value > kRecordVersion || (seen_ & kVersion) != 0) return false;
          version_ = value;
          return mark(kVersion);
        }
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
      default:
        return false;  // the people's numbers are read by peopleNumber
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
    } else if (top(Place::kPerson) && key_ == "auth_id") {
      out_.people.players.back().authId = value;
      return inPerson(key_);
    } else if (top(Place::kPersonName) && key_ == "name") {
      out_.people.players.back().names.back().name = value;
      return inItem(nameField(key_));
    } else if (top(Place::kPersonWeapon) && key_ == "name") {
      out_.people.players.back().weapons.back().weapon = value;
      return inItem(weaponField(key_));
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
  std::int64_t version_ = 0;
  std::uint32_t peopleSeen_ = 0;
  std::vector<std::uint32_t> itemSeen_;  // members of the people's objects being read, innermost last
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

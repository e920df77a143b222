// The site tally's state in the folder caches' byte form: what a run keeps so
// that the next one, finding only records added since, tallies those alone.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/byte_codec.h"
#include "base/file_threads.h"
#include "site/site_model.h"

namespace fragtally {
namespace {

// The fewest bytes each kind of entry takes: a count read from damaged bytes
// can never ask for more entries than the bytes left could hold.
constexpr std::uint64_t kMinMatchBytes = 3 * 2 + 8 + 2;
constexpr std::uint64_t kMinTextBytes = 2;
constexpr std::uint64_t kMinPersonBytes = 2 + 1 + 1 + 2 + 1 + 1 + 9 + 1 + 1;
constexpr std::uint64_t kMinPersonMatchBytes = 3;
constexpr std::uint64_t kMinWeaponBytes = 6;
constexpr std::uint64_t kMinDayBytes = 14;
constexpr std::uint64_t kMinKillBytes = 5;
constexpr std::uint64_t kMinDayKillsBytes = 2;
constexpr std::uint64_t kMinMapBytes = 7 + 1;

// Every figure of the awards, in one order for writing and reading.
template <typename Figures, typename Each>
void eachAwardFigure(Figures& figures, Each each) {
  for (auto* figure : {&figures.kills, &figures.deaths, &figures.teamKills, &figures.sniperKills, &figures.knifeKills,
                       &figures.grenadeKills, &figures.pistolKills, &figures.shots, &figures.hits, &figures.headshots,
                       &figures.bombsPlanted, &figures.bombsDefused, &figures.hostagesRescued}) {
    each(*figure);
  }
}

// A number that must index something of `size`, or -1 where `orNone`.
std::int64_t indexIn(ByteReader& in, std::size_t size, bool orNone = false) {
  const std::int64_t value = in.signed64();
  if (value < (orNone ? -1 : 0) || value >= static_cast<std::int64_t>(size)) in.fail();
  return value;
}

// Room for the entries a count announces, up to a bound: a count of damaged
// bytes never reserves much more than the bytes themselves take.
template <typename Items>
void reserveFor(Items& items, std::uint64_t count) {
  items.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(count, 4096)));
}

// Whether putText keeps the whole of `text`.
bool fits(std::string_view text) { return text.size() <= kMaxCodedText; }

bool putTexts(std::string& out, const std::vector<std::string>& texts) {
  putSigned(out, static_cast<std::int64_t>(texts.size()));
  for (const std::string& text : texts) {
    if (!fits(text)) return false;
    putText(out, text);
  }
  return true;
}

}  // namespace

bool SiteTally::putPerson(std::string& out, const PersonTally& person) {
  if (!fits(person.key) || !fits(person.latestName.name())) return false;
  putText(out, person.key);
  if (!putTexts(out, person.names)) return false;
  putSigned(out, person.latestMatch);
  putText(out, person.latestName.name());
  putSigned(out, person.latestName.lines());
  putSigned(out, static_cast<std::int64_t>(person.matches.size()));
  for (const PersonMatch& own : person.matches) {
    putSigned(out, own.match);
    putSigned(out, own.kills);
    putSigned(out, own.deaths);
  }
  const PersonSums& sums = person.sums;
  for (const std::int64_t sum : {sums.kills, sums.deaths, sums.suicides, sums.teamKills, sums.bombsPlanted,
                                 sums.bombsDefused, sums.hostagesRescued, sums.hostagesKilled, sums.roundsWon}) {
    putSigned(out, sum);
  }
  putSigned(out, static_cast<std::int64_t>(person.weapons.size()));
  for (const WeaponTally& weapon : person.weapons) {
    putSigned(out, weapon.weapon);
    for (const std::int64_t figure : {weapon.kills, weapon.shots, weapon.hits, weapon.headshots, weapon.damage}) {
      putSigned(out, figure);
    }
  }
  putSigned(out, static_cast<std::int64_t>(person.days.size()));
  for (const AwardPlay& day : person.days) {
    putSigned(out, day.day);
    eachAwardFigure(day.figures, [&](std::int32_t figure) { putSigned(out, figure); });
  }
  return true;
}

std::string SiteTally::state() const {
  std::string out;
  putSigned(out, static_cast<std::int64_t>(matches_.size()));
  for (const SiteMatch& match : matches_) {
    if (!fits(match.report) || !fits(match.date) || !fits(match.start)) return {};
    putText(out, match.report);
    putText(out, match.date);
    putText(out, match.start);
    putNumber(out, match.when, 8);
    putSigned(out, match.day);
    putSigned(out, match.map);
  }
  if (!putTexts(out, mapNames_) || !putTexts(out, weaponNames_)) return {};
  // The people in parts, each after its byte length, so that they are
  // read on several cores at once.
  putSigned(out, static_cast<std::int64_t>(people_.size()));
  std::string part;
  for (std::size_t first = 0; first < people_.size(); first += kPeoplePerPart) {
    part.clear();
    const std::size_t last = std::min(people_.size(), first + kPeoplePerPart);
    for (std::size_t at = first; at < last; ++at) {
      if (!putPerson(part, people_[at])) return {};
    }
    putSigned(out, static_cast<std::int64_t>(part.size()));
    out += part;
  }
  putSigned(out, static_cast<std::int64_t>(kills_.size()));
  for (const KillTally& kill : kills_) {
    putSigned(out, kill.match);
    putSigned(out, kill.killer);
    putSigned(out, kill.victim);
    putSigned(out, kill.kills);
    putNumber(out, kill.rated ? 1 : 0, 1);
  }
  putSigned(out, static_cast<std::int64_t>(days_.size()));
  for (const DayKills& day : days_) {
    putSigned(out, day.day);
    putSigned(out, day.kills);
  }
  for (const std::int64_t matches : matchesByHour_) putSigned(out, matches);
  const auto putMap = [&](const MapTally& map) {
    const SiteMap& figures = map.figures;
    for (const std::int64_t figure : {std::int64_t{figures.map}, figures.matches, figures.ctRounds,
                                      figures.terroristRounds, figures.kills, figures.players,
                                      std::int64_t{figures.lastMatch}}) {
      putSigned(out, figure);
    }
    putSigned(out, static_cast<std::int64_t>(map.weapons.size()));
    for (const WeaponCount& weapon : map.weapons) {
      putSigned(out, weapon.weapon);
      putSigned(out, weapon.kills);
    }
  };
  putSigned(out, static_cast<std::int64_t>(maps_.size()));
  for (const MapTally& map : maps_) putMap(map);
  putMap(unknownMap_);
  return out;
}

void SiteTally::readPerson(ByteReader& in, PersonTally& person, std::size_t matchCount, std::size_t weaponCount) {
  person.key = in.text();
  const std::uint64_t names = in.count(in.left() / kMinTextBytes);
  reserveFor(person.names, names);
  for (std::uint64_t name = 0; name < names && in.ok(); ++name) person.names.emplace_back(in.text());
  person.latestMatch = static_cast<std::uint32_t>(indexIn(in, matchCount));
  std::string latest(in.text());
  person.latestName = LatestName(std::move(latest), in.signed64());
  const std::uint64_t played = in.count(in.left() / kMinPersonMatchBytes);
  reserveFor(person.matches, played);
  for (std::uint64_t match = 0; match < played && in.ok(); ++match) {
    PersonMatch& own = person.matches.emplace_back();
    own.match = static_cast<std::uint32_t>(indexIn(in, matchCount));
    own.kills = in.signed32();
    own.deaths = in.signed32();
  }
  PersonSums& sums = person.sums;
  for (std::int64_t* sum : {&sums.kills, &sums.deaths, &sums.suicides, &sums.teamKills, &sums.bombsPlanted,
                            &sums.bombsDefused, &sums.hostagesRescued, &sums.hostagesKilled, &sums.roundsWon}) {
    *sum = in.signed64();
  }
  const std::uint64_t weapons = in.count(in.left() / kMinWeaponBytes);
  reserveFor(person.weapons, weapons);
  for (std::uint64_t weapon = 0; weapon < weapons && in.ok(); ++weapon) {
    WeaponTally& used = person.weapons.emplace_back();
    used.weapon = static_cast<std::uint32_t>(indexIn(in, weaponCount));
    for (std::int64_t* figure : {&used.kills, &used.shots, &used.hits, &used.headshots, &used.damage}) {
      *figure = in.signed64();
    }
  }
  const std::uint64_t days = in.count(in.left() / kMinDayBytes);
  reserveFor(person.days, days);
  for (std::uint64_t day = 0; day < days && in.ok(); ++day) {
    AwardPlay& play = person.days.emplace_back();
    play.day = in.signed64();
    eachAwardFigure(play.figures, [&](std::int32_t& figure) { figure = in.signed32(); });
  }
}

std::optional<SiteTally> SiteTally::fromState(SiteSettings settings, std::string_view bytes) {
  SiteTally tally(std::move(settings));
  ByteReader in(bytes, 0);
  const std::uint64_t matches = in.count(in.left() / kMinMatchBytes);
  tally.matches_.reserve(static_cast<std::size_t>(matches));
  for (std::uint64_t at = 0; at < matches && in.ok(); ++at) {
    SiteMatch& match = tally.matches_.emplace_back();
    match.report = in.text();
    match.date = in.text();
    match.start = in.text();
    match.when = in.number(8);
    match.day = in.signed64();
    match.map = in.signed32();
  }
  // Names once each, as idOf() gives them their ids.
  const auto readNames = [&](NameIds& ids, std::vector<std::string>& names) {
    const std::uint64_t count = in.count(in.left() / kMinTextBytes);
    for (std::uint64_t at = 0; at < count && in.ok(); ++at) {
      const std::string_view name = in.text();
      if (!ids.emplace(std::string(name), static_cast<std::uint32_t>(names.size())).second) in.fail();
      names.emplace_back(name);
    }
  };
  readNames(tally.mapIds_, tally.mapNames_);
  readNames(tally.weaponIds_, tally.weaponNames_);
  for (const SiteMatch& match : tally.matches_) {
    if (match.map < -1 || match.map >= static_cast<std::int64_t>(tally.mapNames_.size())) in.fail();
  }
  const std::size_t matchCount = tally.matches_.size();
  const std::size_t weaponCount = tally.weaponNames_.size();
  // The parts of the people found first, then read on every core, each
  // to its own list; their numbers are their places in the whole.
  const std::uint64_t people = in.count(in.left() / kMinPersonBytes);
  std::vector<std::string_view> parts;
  for (std::uint64_t first = 0; first < people && in.ok(); first += kPeoplePerPart) {
    const std::uint64_t size = in.count(in.left());
    parts.push_back(bytes.substr(in.at(), static_cast<std::size_t>(size)));
    in.skip(size);
  }
  std::vector<std::vector<PersonTally>> read(parts.size());
  std::vector<char> readWhole(parts.size(), 0);
  std::atomic<std::size_t> next{0};
  onThreads(fileReadingThreads(), parts.size(), [&] {
    for (std::size_t at; (at = next.fetch_add(1)) < parts.size();) {
      const std::uint64_t count = std::min<std::uint64_t>(kPeoplePerPart, people - at * kPeoplePerPart);
      ByteReader partIn(parts[at], 0);
      read[at].reserve(static_cast<std::size_t>(count));
      for (std::uint64_t person = 0; person < count && partIn.ok(); ++person) {
        readPerson(partIn, read[at].emplace_back(), matchCount, weaponCount);
      }
      readWhole[at] = partIn.ok() && partIn.left() == 0;
    }
  });
  tally.personNumbers_.reserve(static_cast<std::size_t>(people));
  for (std::size_t at = 0; at < parts.size(); ++at) {
    if (!readWhole[at]) in.fail();
    for (PersonTally& person : read[at]) {
      if (!in.ok()) break;
      if (!tally.personNumbers_.emplace(person.key, static_cast<std::uint32_t>(tally.people_.size())).second) in.fail();
      tally.people_.push_back(std::move(person));
    }
    std::vector<PersonTally>().swap(read[at]);
  }
  const std::size_t personCount = tally.people_.size();
  const std::uint64_t kills = in.count(in.left() / kMinKillBytes);
  for (std::uint64_t at = 0; at < kills && in.ok(); ++at) {
    KillTally& kill = tally.kills_.emplace_back();
    kill.match = static_cast<std::uint32_t>(indexIn(in, matchCount));
    kill.killer = static_cast<std::uint32_t>(indexIn(in, personCount));
    kill.victim = static_cast<std::uint32_t>(indexIn(in, personCount));
    kill.kills = in.signed32();
    kill.rated = in.number(1) == 1;
  }
  const std::uint64_t days = in.count(in.left() / kMinDayKillsBytes);
  tally.days_.reserve(static_cast<std::size_t>(days));
  for (std::uint64_t at = 0; at < days && in.ok(); ++at) {
    DayKills& day = tally.days_.emplace_back();
    day.day = in.signed64();
    day.kills = in.signed64();
  }
  for (std::int64_t& matchesThen : tally.matchesByHour_) matchesThen = in.signed64();
  const auto readMap = [&](MapTally& map) {
    SiteMap& figures = map.figures;
    figures.map = in.signed32();
    for (std::int64_t* figure : {&figures.matches, &figures.ctRounds, &figures.terroristRounds, &figures.kills,
                                 &figures.players}) {
      *figure = in.signed64();
    }
    // A map without matches has no last one yet.
    figures.lastMatch = static_cast<std::uint32_t>(figures.matches > 0 ? indexIn(in, matchCount) : in.signed64());
    const std::uint64_t weapons = in.count(in.left() / 2);
    for (std::uint64_t at = 0; at < weapons && in.ok(); ++at) {
      WeaponCount& weapon = map.weapons.emplace_back();
      weapon.weapon = static_cast<std::uint32_t>(indexIn(in, weaponCount));
      weapon.kills = in.signed64();
    }
  };
  const std::uint64_t maps = in.count(std::min<std::uint64_t>(in.left() / kMinMapBytes, tally.mapNames_.size()));
  tally.maps_.resize(static_cast<std::size_t>(maps));
  for (MapTally& map : tally.maps_) readMap(map);
  readMap(tally.unknownMap_);
  if (!in.ok() || in.left() != 0) return std::nullopt;
  return tally;
}

}  // namespace fragtally

#include "tests/analysis/plain_player_reading.h"

#include <array>
#include <charconv>
#include <string>
#include <cstddef>

namespace fragtally::plain {
namespace {

// A bracketed part (UID, auth ID, team) is looked for within this many bytes
// of its closing '>', so that trying every `>"` of a hostile line as the end of
// a player text costs a bounded amount each, and a line is read in linear time.
constexpr std::size_t kPartLimit = 64;

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < '0' || byte > '9') return false;
  }
  return true;
}

/// The bracketed part that ends at `close` (the index of its '>'): its '<' is the
/// last one before, within kPartLimit bytes. npos when there is none.
std::size_t openOfPart(std::string_view text, std::size_t close) {
  const std::size_t from = close > kPartLimit ? close - kPartLimit : 0;
  for (std::size_t at = close; at > from; --at) {
    const char c = text[at - 1];
    if (c == '<') return at - 1;
    if (c == '>') return std::string_view::npos;
  }
  return std::string_view::npos;
}

/// The text up to the next double quote from `from`; false when there is none.
bool quotedUpTo(std::string_view text, std::size_t from, std::string_view& value, std::size_t& end) {
  end = text.find('"', from);
  if (end == std::string_view::npos) return false;
  value = text.substr(from, end - from);
  return true;
}

/// The body of a line after its stamp "L MM/DD/YYYY - HH:MM:SS: ".
bool bodyOf(std::string_view line, std::string_view& body) {
  if (!line.starts_with("L ")) return false;
  const std::size_t colon = line.find(": ", 2);
  // The stamp is 25 bytes; a colon far beyond it is no stamp's.
  if (colon == std::string_view::npos || colon > 40) return false;
  body = line.substr(colon + 2);
  return true;
}

/// The player text that `text` starts with (after its opening quote is gone):
/// the first `>"` that closes a valid player text and is followed by a blank or
/// the end. `rest` is what follows the closing quote.
bool leadingPlayer(std::string_view text, PlayerText& player, std::string_view& rest) {
  for (std::size_t at = text.find(">\""); at != std::string_view::npos; at = text.find(">\"", at + 1)) {
    const std::size_t after = at + 2;
    if (after != text.size() && text[after] != ' ') continue;
    if (plain::cutPlayerText(text.substr(0, at + 1), player)) {
      rest = text.substr(after);
      return true;
    }
  }
  return false;
}

std::int64_t propertyNumber(std::string_view text, std::string_view key) {
  std::string needle;
  needle.reserve(key.size() + 3);
  needle.append("(").append(key).append(" \"");
  const std::size_t at = text.find(needle);
  if (at == std::string_view::npos) return 0;
  std::string_view value;
  std::size_t end = 0;
  if (!quotedUpTo(text, at + needle.size(), value, end)) return 0;
  std::int64_t number = 0;
  const auto [last, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || last != value.data() + value.size()) return 0;
  return number;
}

bool readWeaponStats(std::string_view rest, PlayerLine& line) {
  constexpr std::string_view kWeapon = "(weapon \"";
  const std::size_t at = rest.find(kWeapon);
  std::size_t end = 0;
  if (at == std::string_view::npos || !quotedUpTo(rest, at + kWeapon.size(), line.text, end) || line.text.empty()) {
    return false;
  }
  line.figures.shots = propertyNumber(rest, "shots");
  line.figures.hits = propertyNumber(rest, "hits");
  line.figures.kills = propertyNumber(rest, "kills");
  line.figures.headshots = propertyNumber(rest, "headshots");
  line.figures.teamKills = propertyNumber(rest, "tks");
  line.figures.damage = propertyNumber(rest, "damage");
  line.figures.deaths = propertyNumber(rest, "deaths");
  return true;
}

struct NamedAction {
  std::string_view trigger;
  PlayerAction action;
};
constexpr std::array<NamedAction, 4> kActions{{
    {"Planted_The_Bomb", PlayerAction::PlantedTheBomb},
    {"Defused_The_Bomb", PlayerAction::DefusedTheBomb},
    {"Rescued_A_Hostage", PlayerAction::RescuedAHostage},
    {"Killed_A_Hostage", PlayerAction::KilledAHostage},
}};

void readTrigger(std::string_view rest, PlayerLine& line) {
  std::string_view trigger;
  std::size_t end = 0;
  if (!quotedUpTo(rest, 0, trigger, end)) return;
  for (const NamedAction& named : kActions) {
    if (trigger == named.trigger) {
      line.kind = PlayerLineKind::Action;
      line.action = named.action;
      return;
    }
  }
  if (trigger == "weaponstats" && readWeaponStats(rest.substr(end + 1), line)) {
    line.kind = PlayerLineKind::WeaponStats;
  }
}

void readKill(std::string_view rest, PlayerLine& line) {
  constexpr std::string_view kWith = " with \"";
  // The victim's text ends at a `>"` followed by ` with "`.
  for (std::size_t at = rest.find(">\" with \""); at != std::string_view::npos;
       at = rest.find(">\" with \"", at + 1)) {
    if (!plain::cutPlayerText(rest.substr(0, at + 1), line.object)) continue;
    std::size_t end = 0;
    if (!quotedUpTo(rest, at + 2 + kWith.size(), line.text, end) || line.text.empty()) return;
    line.kind = PlayerLineKind::Kill;
    return;
  }
}

void readPlayerEvent(std::string_view rest, PlayerLine& line) {
  constexpr std::string_view kKilled = " killed \"";
  constexpr std::string_view kSuicide = " committed suicide with \"";
  constexpr std::string_view kRename = " changed name to \"";
  constexpr std::string_view kTriggered = " triggered \"";
  constexpr std::string_view kJoined = " joined team \"";
  constexpr std::string_view kDisconnected = " disconnected";
  std::size_t end = 0;
  if (rest.starts_with(kKilled)) {
    readKill(rest.substr(kKilled.size()), line);
  } else if (rest.starts_with(kSuicide)) {
    if (quotedUpTo(rest, kSuicide.size(), line.text, end)) line.kind = PlayerLineKind::Suicide;
  } else if (rest.starts_with(kRename)) {
    // The new name runs to the line's last quote: it may hold quotes itself.
    const std::size_t last = rest.rfind('"');
    if (last > kRename.size() && last + 1 == rest.size()) {
      line.text = rest.substr(kRename.size(), last - kRename.size());
      line.kind = PlayerLineKind::NameChange;
    }
  } else if (rest.starts_with(kTriggered)) {
    readTrigger(rest.substr(kTriggered.size()), line);
  } else if (rest.starts_with(kJoined)) {
    if (quotedUpTo(rest, kJoined.size(), line.text, end)) line.kind = PlayerLineKind::JoinTeam;
  } else if (rest == kDisconnected) {
    line.kind = PlayerLineKind::Disconnect;
  }
}

constexpr std::array<std::string_view, 8> kCtWins{
    "CTs_Win", "Bomb_Defused", "Target_Saved", "All_Hostages_Rescued",
    "VIP_Escaped", "CTs_PreventEscape", "Escaping_Terrorists_Neutralized", "Terrorists_Not_Escaped"};
constexpr std::array<std::string_view, 6> kTerroristWins{
    "Terrorists_Win", "Target_Bombed", "Hostages_Not_Rescued",
    "VIP_Assassinated", "VIP_Not_Escaped", "Terrorists_Escaped"};

template <std::size_t N>
bool isOneOf(std::string_view text, const std::array<std::string_view, N>& texts) {
  for (const std::string_view candidate : texts) {
    if (text == candidate) return true;
  }
  return false;
}

void readRoundEnd(std::string_view body, PlayerLine& line) {
  if (body.starts_with("World triggered \"Round_Draw\"")) {
    line.kind = PlayerLineKind::RoundEnd;
    line.winner = RoundWinner::Draw;
    return;
  }
  constexpr std::string_view kTeam = "Team \"";
  constexpr std::string_view kTriggered = "\" triggered \"";
  if (!body.starts_with(kTeam)) return;
  const std::size_t teamEnd = body.find('"', kTeam.size());
  if (teamEnd == std::string_view::npos || body.substr(teamEnd, kTriggered.size()) != kTriggered) return;
  const std::string_view team = body.substr(kTeam.size(), teamEnd - kTeam.size());
  std::string_view trigger;
  std::size_t end = 0;
  if (!quotedUpTo(body, teamEnd + kTriggered.size(), trigger, end)) return;
  if (team == "CT" && isOneOf(trigger, kCtWins)) {
    line.kind = PlayerLineKind::RoundEnd;
    line.winner = RoundWinner::Ct;
  } else if (team == "TERRORIST" && isOneOf(trigger, kTerroristWins)) {
    line.kind = PlayerLineKind::RoundEnd;
    line.winner = RoundWinner::Terrorist;
  }
}

}  // namespace

bool cutPlayerText(std::string_view text, PlayerText& player) {
  if (text.empty() || text.back() != '>') return false;
  const std::size_t teamOpen = openOfPart(text, text.size() - 1);
  if (teamOpen == std::string_view::npos || teamOpen == 0 || text[teamOpen - 1] != '>') return false;
  const std::size_t authOpen = openOfPart(text, teamOpen - 1);
  if (authOpen == std::string_view::npos || authOpen == 0 || text[authOpen - 1] != '>') return false;
  const std::size_t uidOpen = openOfPart(text, authOpen - 1);
  if (uidOpen == std::string_view::npos) return false;
  const std::string_view uid = text.substr(uidOpen + 1, authOpen - 2 - uidOpen);
  if (!allDigits(uid)) return false;
  player.name = text.substr(0, uidOpen);
  player.uid = uid;
  player.authId = text.substr(authOpen + 1, teamOpen - 2 - authOpen);
  player.team = text.substr(teamOpen + 1, text.size() - 2 - teamOpen);
  return true;
}

PlayerLine readPlayerLine(std::string_view line) {
  PlayerLine read;
  if (line.ends_with('\r')) line.remove_suffix(1);
  std::string_view body;
  if (!bodyOf(line, body)) return read;
  if (!body.starts_with('"')) {
    readRoundEnd(body, read);
    return read;
  }
  std::string_view rest;
  if (!leadingPlayer(body.substr(1), read.subject, rest)) return read;
  read.kind = PlayerLineKind::Mention;
  readPlayerEvent(rest, read);
  return read;
}

}  // namespace fragtally::plain


#include <algorithm>
#include <numeric>

#include "analysis/auth_id.h"

namespace fragtally::plain {
namespace collector {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
// UIDs remembered: a player reconnecting without end cannot grow the table.
constexpr std::size_t kMaxUids = 4 * kMaxMatchPlayers;

std::string_view capped(std::string_view text) { return text.substr(0, kMaxNameBytes); }

void addFigures(MatchPlayer& into, const MatchPlayer& from) {
  into.kills += from.kills;
  into.deaths += from.deaths;
  into.suicides += from.suicides;
  into.teamKills += from.teamKills;
  into.bombsPlanted += from.bombsPlanted;
  into.bombsDefused += from.bombsDefused;
  into.hostagesRescued += from.hostagesRescued;
  into.hostagesKilled += from.hostagesKilled;
  into.roundsWon += from.roundsWon;
}

void addWeapon(std::vector<WeaponUse>& weapons, const WeaponUse& use) {
  auto found = std::find_if(weapons.begin(), weapons.end(),
                            [&](const WeaponUse& known) { return known.weapon == use.weapon; });
  if (found == weapons.end()) {
    if (weapons.size() == kMaxWeaponsPerPlayer) return;
    weapons.push_back(WeaponUse{use.weapon, 0, 0, 0, 0, 0});
    found = weapons.end() - 1;
  }
  found->kills += use.kills;
  found->shots += use.shots;
  found->hits += use.hits;
  found->headshots += use.headshots;
  found->damage += use.damage;
}

}  // namespace collector
using namespace collector;

std::size_t PlainCollector::rootOf(std::vector<std::size_t>& parent, std::size_t entry) {
  while (parent[entry] != entry) {
    parent[entry] = parent[parent[entry]];
    entry = parent[entry];
  }
  return entry;
}

void PlainCollector::join(std::vector<std::size_t>& parent, std::size_t a, std::size_t b) {
  a = rootOf(parent, a);
  b = rootOf(parent, b);
  // The earlier entry stays the root, so a person keeps his place of first appearance.
  if (a != b) parent[std::max(a, b)] = std::min(a, b);
}

std::size_t PlainCollector::newEntry(std::string_view authId, bool bot, std::string_view name) {
  if (entries_.size() == kMaxMatchPlayers) {
    ++playersLeftOut_;
    return kNone;
  }
  Entry entry;
  entry.player.authId = std::string(capped(authId));
  entry.player.bot = bot;
  entry.currentName = std::string(name);
  entry.firstLine = lineNumber_;
  entries_.push_back(std::move(entry));
  return entries_.size() - 1;
}

void PlainCollector::rememberUid(std::string_view uid, std::size_t entry) {
  if (entry == kNone) return;
  const auto found = byUid_.find(std::string(uid));
  if (found != byUid_.end()) {
    found->second = entry;
  } else if (byUid_.size() < kMaxUids) {
    byUid_.emplace(std::string(uid), entry);
  }
}

std::size_t PlainCollector::entryFor(const PlayerText& player) {
  if (player.authId == "HLTV") return kNone;  // the spectator proxy
  if (player.authId == "BOT") {
    // Bots come back under new UIDs at every map and keep their names.
    const std::string name(capped(player.name));
    const auto found = byBotName_.find(name);
    if (found != byBotName_.end()) return found->second;
    const std::size_t entry = newEntry(player.authId, true, name);
    if (entry != kNone) byBotName_.emplace(name, entry);
    return entry;
  }
  const auto byUid = byUid_.find(std::string(player.uid));
  // Most lines name a connection as the line before did.
  if (byUid != byUid_.end() && entries_[byUid->second].player.authId == player.authId) return byUid->second;
  const AuthKind kind = authKindOf(player.authId);
  const std::string account = isAccount(kind) ? accountKeyOf(player.authId) : std::string();
  if (byUid != byUid_.end()) {
    Entry& known = entries_[byUid->second];
    if (account.empty() || known.account == account) return byUid->second;
    if (known.account.empty()) {
      // A pending ID resolved under the same UID.
      known.account = account;
      known.player.authId = std::string(capped(player.authId));
      return byUid->second;
    }
    // Another account under a UID seen before: a new connection.
  }
  const std::size_t entry = newEntry(player.authId, false, capped(player.name));
  if (entry != kNone) entries_[entry].account = account;
  rememberUid(player.uid, entry);
  return entry;
}

void PlainCollector::mention(std::size_t entry, const PlayerText& player) {
  Entry& known = entries_[entry];
  known.lastLine = lineNumber_;
  known.team.assign(player.team.substr(0, kMaxNameBytes));
  const std::string_view name = capped(player.name);
  known.currentName.assign(name);
  std::vector<NameUse>& names = known.player.names;
  const auto found = std::find_if(names.begin(), names.end(), [&](const NameUse& use) { return use.name == name; });
  if (found != names.end()) {
    ++found->lines;
  } else if (names.size() < kMaxNamesPerPlayer) {
    names.push_back(NameUse{std::string(name), 1});
    known.nameFirstLine.push_back(lineNumber_);
  }
}

void PlainCollector::rename(std::size_t entry, std::string_view newName) {
  Entry& known = entries_[entry];
  const std::string name(capped(newName));
  // A bot is known by his name: the table follows him to the new one.
  if (known.player.bot) {
    const auto old = byBotName_.find(known.currentName);
    if (old != byBotName_.end() && old->second == entry) byBotName_.erase(old);
    byBotName_.emplace(name, entry);
  }
  known.currentName = name;
  std::vector<NameUse>& names = known.player.names;
  const bool listed =
      std::any_of(names.begin(), names.end(), [&](const NameUse& use) { return use.name == name; });
  if (!listed && names.size() < kMaxNamesPerPlayer) {
    names.push_back(NameUse{name, 0});
    known.nameFirstLine.push_back(lineNumber_);
  }
}

WeaponUse* PlainCollector::weaponOf(std::size_t entry, std::string_view weapon) {
  std::vector<WeaponUse>& weapons = entries_[entry].player.weapons;
  const std::string_view kept = capped(weapon);
  const auto found =
      std::find_if(weapons.begin(), weapons.end(), [&](const WeaponUse& use) { return use.weapon == kept; });
  if (found != weapons.end()) return &*found;
  if (weapons.size() == kMaxWeaponsPerPlayer) return nullptr;
  weapons.push_back(WeaponUse{std::string(kept), 0, 0, 0, 0, 0});
  return &weapons.back();
}

void PlainCollector::kill(const PlayerLine& line) {
  const std::size_t killer = entryFor(line.subject);
  const std::size_t victim = entryFor(line.object);
  if (killer != kNone && killer == victim) {
    // Killed by his own hand, written as a kill.
    mention(killer, line.subject);
    ++entries_[killer].player.suicides;
    ++entries_[killer].player.deaths;
    return;
  }
  const bool teamKill = !line.subject.team.empty() && line.subject.team == line.object.team;
  if (killer != kNone) {
    mention(killer, line.subject);
    if (teamKill) {
      ++entries_[killer].player.teamKills;
    } else {
      ++entries_[killer].player.kills;
      if (WeaponUse* use = weaponOf(killer, line.text)) ++use->kills;
    }
  }
  if (victim != kNone) {
    mention(victim, line.object);
    ++entries_[victim].player.deaths;
  }
  if (killer != kNone && victim != kNone && !teamKill) ++kills_[{killer, victim}];
}

void PlainCollector::creditRound(std::string_view team) {
  // A connection that ended left its side (a disconnect line clears it), so
  // one person is on the winning side once.
  for (Entry& entry : entries_) {
    if (entry.team == team) ++entry.player.roundsWon;
  }
}

void PlainCollector::addLine(std::string_view text) {
  ++lineNumber_;
  const PlayerLine line = readPlayerLine(text);
  switch (line.kind) {
    case PlayerLineKind::None:
      return;
    case PlayerLineKind::RoundEnd:
      if (line.winner != RoundWinner::Draw) creditRound(line.winner == RoundWinner::Ct ? "CT" : "TERRORIST");
      return;
    case PlayerLineKind::Kill:
      kill(line);
      return;
    default:
      break;
  }
  const std::size_t entry = entryFor(line.subject);
  if (entry == kNone) return;
  mention(entry, line.subject);
  MatchPlayer& player = entries_[entry].player;
  switch (line.kind) {
    case PlayerLineKind::Suicide:
      ++player.suicides;
      ++player.deaths;
      break;
    case PlayerLineKind::NameChange:
      rename(entry, line.text);
      break;
    case PlayerLineKind::Action:
      switch (line.action) {
        case PlayerAction::PlantedTheBomb: ++player.bombsPlanted; break;
        case PlayerAction::DefusedTheBomb: ++player.bombsDefused; break;
        case PlayerAction::RescuedAHostage: ++player.hostagesRescued; break;
        case PlayerAction::KilledAHostage: ++player.hostagesKilled; break;
      }
      break;
    case PlayerLineKind::JoinTeam:
      entries_[entry].team = std::string(line.text.substr(0, kMaxNameBytes));
      break;
    case PlayerLineKind::Disconnect:
      entries_[entry].team.clear();
      break;
    case PlayerLineKind::WeaponStats:
      if (WeaponUse* use = weaponOf(entry, line.text)) {
        use->shots += line.figures.shots;
        use->hits += line.figures.hits;
        use->headshots += line.figures.headshots;
        use->damage += line.figures.damage;
      }
      break;
    default:
      break;
  }
}

std::vector<std::size_t> PlainCollector::people(std::vector<bool>& shared) const {
  std::vector<std::size_t> parent(entries_.size());
  std::iota(parent.begin(), parent.end(), std::size_t{0});
  shared.assign(entries_.size(), false);
  // The connections of one account are one person, unless two of them were on
  // at once (each connection spans its first to its last line): then the ID is
  // shared and tells nobody apart.
  std::map<std::string, std::vector<std::size_t>> byAccount;
  for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
    if (!entries_[entry].account.empty()) byAccount[entries_[entry].account].push_back(entry);
  }
  for (const auto& [account, connections] : byAccount) {
    bool overlap = false;
    std::uint64_t lastEnd = 0;
    for (std::size_t at = 0; at < connections.size(); ++at) {
      const Entry& connection = entries_[connections[at]];
      if (at > 0 && connection.firstLine <= lastEnd) overlap = true;
      lastEnd = std::max(lastEnd, connection.lastLine);
    }
    for (const std::size_t connection : connections) {
      if (overlap) {
        shared[connection] = true;
      } else {
        join(parent, connections.front(), connection);
      }
    }
  }
  // A connection told by its name is the person of an earlier one, under the
  // same ID text, that ended with the name it starts with.
  std::map<std::pair<std::string, std::string>, std::size_t> endedAs;
  for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
    const Entry& connection = entries_[entry];
    if (connection.player.bot || (!connection.account.empty() && !shared[entry]) || connection.player.names.empty()) {
      continue;
    }
    const auto earlier = endedAs.find({connection.player.authId, connection.player.names.front().name});
    if (earlier != endedAs.end() && entries_[earlier->second].lastLine < connection.firstLine) {
      join(parent, earlier->second, entry);
    }
    endedAs[{connection.player.authId, connection.currentName}] = entry;
  }
  return parent;
}

MatchPlayers PlainCollector::result() const {
  MatchPlayers result;
  result.playersLeftOut = playersLeftOut_;
  std::vector<bool> shared;
  std::vector<std::size_t> parent = people(shared);
  std::vector<std::size_t> place(entries_.size(), kNone);
  for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
    if (rootOf(parent, entry) == entry) {
      place[entry] = result.players.size();
      result.players.push_back(MatchPlayer{});
    }
  }
  // Names of a joined person with the line each was first used on, to list them in that order.
  std::vector<std::vector<std::pair<std::uint64_t, NameUse>>> names(result.players.size());
  for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
    const Entry& from = entries_[entry];
    const std::size_t at = place[rootOf(parent, entry)];
    MatchPlayer& into = result.players[at];
    // The real ID wins over a pending one of the same person; else the last one.
    if (!from.account.empty() || !isAccount(authKindOf(into.authId))) into.authId = from.player.authId;
    into.bot = into.bot || from.player.bot;
    into.sharedAuthId = into.sharedAuthId || shared[entry];
    addFigures(into, from.player);
    for (const WeaponUse& use : from.player.weapons) addWeapon(into.weapons, use);
    for (std::size_t name = 0; name < from.player.names.size(); ++name) {
      auto& list = names[at];
      const NameUse& use = from.player.names[name];
      const auto found = std::find_if(list.begin(), list.end(),
                                      [&](const auto& known) { return known.second.name == use.name; });
      if (found != list.end()) {
        found->first = std::min(found->first, from.nameFirstLine[name]);
        found->second.lines += use.lines;
      } else {
        list.emplace_back(from.nameFirstLine[name], use);
      }
    }
  }
  for (std::size_t at = 0; at < names.size(); ++at) {
    auto& list = names[at];
    std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t name = 0; name < list.size() && name < kMaxNamesPerPlayer; ++name) {
      result.players[at].names.push_back(std::move(list[name].second));
    }
  }
  std::map<std::pair<std::size_t, std::size_t>, std::int64_t> pairs;
  for (const auto& [entries, kills] : kills_) {
    pairs[{place[rootOf(parent, entries.first)], place[rootOf(parent, entries.second)]}] += kills;
  }
  for (const auto& [players, kills] : pairs) {
    if (players.first != players.second) result.kills.push_back(KillPair{players.first, players.second, kills});
  }
  return result;
}

}  // namespace fragtally::plain

#include "analysis/match_players.h"

#include <algorithm>
#include <numeric>

#include "analysis/auth_id.h"

namespace fragtally {
namespace {

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

}  // namespace

std::size_t MatchPlayersCollector::rootOf(std::vector<std::size_t>& parent, std::size_t entry) {
  while (parent[entry] != entry) {
    parent[entry] = parent[parent[entry]];
    entry = parent[entry];
  }
  return entry;
}

void MatchPlayersCollector::join(std::vector<std::size_t>& parent, std::size_t a, std::size_t b) {
  a = rootOf(parent, a);
  b = rootOf(parent, b);
  // The earlier entry stays the root, so a person keeps his place of first appearance.
  if (a != b) parent[std::max(a, b)] = std::min(a, b);
}

std::size_t MatchPlayersCollector::newEntry(std::string_view authId, bool bot, std::string_view name) {
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

void MatchPlayersCollector::rememberUid(std::string_view uid, std::size_t entry) {
  if (entry == kNone) return;
  if (byUid_.size() < kMaxUids || byUid_.find(uid) != TextIndex::kMissing) byUid_.set(uid, entry);
}

std::size_t MatchPlayersCollector::entryFor(const PlayerText& player) {
  if (player.authId == "HLTV") return kNone;  // the spectator proxy
  if (player.authId == "BOT") {
    // Bots come back under new UIDs at every map and keep their names.
    const std::string_view name = capped(player.name);
    const std::size_t found = byBotName_.find(name);
    if (found != TextIndex::kMissing) return found;
    const std::size_t entry = newEntry(player.authId, true, name);
    if (entry != kNone) byBotName_.set(name, entry);
    return entry;
  }
  const std::size_t byUid = byUid_.find(player.uid);
  // Most lines name a connection as the line before did.
  if (byUid != TextIndex::kMissing && entries_[byUid].player.authId == player.authId) return byUid;
  if (byUid == TextIndex::kMissing && entries_.size() == kMaxMatchPlayers) {
    // A new connection that finds no room, as newEntry would count it, without
    // working out an account that nothing keeps.
    ++playersLeftOut_;
    return kNone;
  }
  const AuthKind kind = authKindOf(player.authId);
  const std::string account = isAccount(kind) ? accountKeyOf(player.authId) : std::string();
  if (byUid != TextIndex::kMissing) {
    Entry& known = entries_[byUid];
    if (account.empty() || known.account == account) return byUid;
    if (known.account.empty()) {
      // A pending ID resolved under the same UID.
      known.account = account;
      known.player.authId = std::string(capped(player.authId));
      return byUid;
    }
    // Another account under a UID seen before: a new connection.
  }
  const std::size_t entry = newEntry(player.authId, false, capped(player.name));
  if (entry != kNone) entries_[entry].account = account;
  rememberUid(player.uid, entry);
  return entry;
}

void MatchPlayersCollector::takeName(Entry& entry, std::string_view name) {
  entry.currentName.assign(name);
  std::vector<NameUse>& names = entry.player.names;
  const auto found = std::find_if(names.begin(), names.end(), [&](const NameUse& use) { return use.name == name; });
  if (found != names.end()) {
    entry.currentNameAt = static_cast<std::size_t>(found - names.begin());
  } else if (names.size() < kMaxNamesPerPlayer) {
    entry.currentNameAt = names.size();
    names.push_back(NameUse{std::string(name), 0});
    entry.nameFirstLine.push_back(lineNumber_);
  } else {
    entry.currentNameAt = kNotListed;
  }
}

void MatchPlayersCollector::mention(std::size_t entry, const PlayerText& player) {
  Entry& known = entries_[entry];
  known.lastLine = lineNumber_;
  const std::string_view team = player.team.substr(0, kMaxNameBytes);
  if (known.team != team) known.team.assign(team);
  const std::string_view name = capped(player.name);
  // The name of the line before, most often: nothing to look up or copy.
  if (known.currentName != name || known.player.names.empty()) takeName(known, name);
  if (known.currentNameAt != kNotListed) ++known.player.names[known.currentNameAt].lines;
}

void MatchPlayersCollector::rename(std::size_t entry, std::string_view newName) {
  Entry& known = entries_[entry];
  const std::string_view name = capped(newName);
  // A bot is known by his name: the table follows him to the new one.
  if (known.player.bot) {
    if (byBotName_.find(known.currentName) == entry) byBotName_.erase(known.currentName);
    // A name another bot holds stays his.
    if (byBotName_.find(name) == TextIndex::kMissing) byBotName_.set(name, entry);
  }
  takeName(known, name);
}

WeaponUse* MatchPlayersCollector::weaponOf(std::size_t entry, std::string_view weapon) {
  std::vector<WeaponUse>& weapons = entries_[entry].player.weapons;
  const std::string_view kept = capped(weapon);
  const auto found =
      std::find_if(weapons.begin(), weapons.end(), [&](const WeaponUse& use) { return use.weapon == kept; });
  if (found != weapons.end()) return &*found;
  if (weapons.size() == kMaxWeaponsPerPlayer) return nullptr;
  weapons.push_back(WeaponUse{std::string(kept), 0, 0, 0, 0, 0});
  return &weapons.back();
}

void MatchPlayersCollector::kill(const PlayerLine& line) {
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
  if (killer != kNone && victim != kNone && !teamKill) {
    if (kills_.size() <= killer) kills_.resize(killer + 1);
    std::vector<std::int64_t>& row = kills_[killer];
    if (row.size() <= victim) row.resize(victim + 1, 0);
    ++row[victim];
  }
}

void MatchPlayersCollector::creditRound(std::string_view team) {
  // A connection that ended left its side (a disconnect line clears it), so
  // one person is on the winning side once.
  for (Entry& entry : entries_) {
    if (entry.team == team) ++entry.player.roundsWon;
  }
}

void MatchPlayersCollector::addLine(std::string_view text) {
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

std::vector<std::size_t> MatchPlayersCollector::people(std::vector<bool>& shared) const {
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

MatchPlayers MatchPlayersCollector::result() const {
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
  for (std::size_t killer = 0; killer < kills_.size(); ++killer) {
    const std::size_t killerPlace = place[rootOf(parent, killer)];
    for (std::size_t victim = 0; victim < kills_[killer].size(); ++victim) {
      if (kills_[killer][victim] != 0) pairs[{killerPlace, place[rootOf(parent, victim)]}] += kills_[killer][victim];
    }
  }
  for (const auto& [players, kills] : pairs) {
    if (players.first != players.second) result.kills.push_back(KillPair{players.first, players.second, kills});
  }
  return result;
}

}  // namespace fragtally

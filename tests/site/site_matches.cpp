#include "tests/site/site_matches.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace fragtally::testing {

MatchMaker::MatchMaker(int day, int hour, std::string map, int month, int year) {
  char date[16];
  char start[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", month, day, year);
  std::snprintf(start, sizeof start, "%02d:00:00", hour);
  summary_.date = date;
  summary_.start = start;
  summary_.lengthSeconds = 1800;
  summary_.map = std::move(map);
}

std::size_t MatchMaker::player(const std::string& authId, const std::string& name, std::int64_t lines) {
  std::vector<MatchPlayer>& players = summary_.people.players;
  for (std::size_t at = 0; at < players.size(); ++at) {
    if (players[at].authId != authId || players[at].names.front().name != name) continue;
    players[at].names.front().lines += lines;
    return at;
  }
  MatchPlayer& added = players.emplace_back();
  added.authId = authId;
  added.bot = authId == "BOT";
  added.names.push_back(NameUse{name, lines});
  summary_.players.push_back(PlayerSummary{name, 0, 0, {}});
  return players.size() - 1;
}

MatchMaker& MatchMaker::kills(std::size_t killer, std::size_t victim, std::int64_t count, const std::string& weapon) {
  MatchPlayers& people = summary_.people;
  people.kills.push_back(KillPair{killer, victim, count});
  people.players[killer].kills += count;
  people.players[victim].deaths += count;
  auto& weapons = people.players[killer].weapons;
  auto use = std::find_if(weapons.begin(), weapons.end(), [&](const WeaponUse& w) { return w.weapon == weapon; });
  if (use == weapons.end()) use = weapons.insert(weapons.end(), WeaponUse{weapon});
  use->kills += count;
  summary_.kills += count;
  return *this;
}

MatchMaker& MatchMaker::startAt(const std::string& time) {
  summary_.start = time;
  return *this;
}

MatchMaker& MatchMaker::rounds(std::int32_t ct, std::int32_t terrorists) {
  summary_.ctRounds = ct;
  summary_.terroristRounds = terrorists;
  return *this;
}

MatchMaker& MatchMaker::noMap() {
  summary_.map.reset();
  return *this;
}

SiteModel modelOf(const std::vector<MatchMaker>& matches, SiteSettings settings) {
  SiteTally tally(std::move(settings));
  for (std::size_t at = 0; at < matches.size(); ++at) tally.add(matches[at].summary(), "L" + std::to_string(at) + ".htm");
  return tally.take();
}

}  // namespace fragtally::testing

#include "base/text.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// Kill lines pass "CT" or "TERRORIST", answered without a search.
bool namesCt(std::string_view team) {
  if (team == "CT") return true;
  if (team == "TERRORIST") return false;
  return contains(team, "CT");
}

}  // namespace

void MatchStats::registerKill(std::string_view killerName, std::string_view killerTeam,
                              std::string_view victimName, std::string_view victimTeam,
                              std::string_view weapon) {
  // The team counters look at the texts as passed, before the team-kill rule.
  const bool killerIsCt = namesCt(killerTeam);
  const bool victimIsCt = namesCt(victimTeam);
  std::int32_t& teamCounter =
      killerIsCt ? (victimIsCt ? ctKilledCt : ctKilledT) : (victimIsCt ? tKilledCt : tKilledT);
  teamCounter = wrappingAdd(teamCounter, 1);

  // A kill of a team mate marks the killer; a kill of oneself does not.
  if (sameText(killerTeam, victimTeam) && !sameText(killerName, victimName)) killerTeam = "MANIAC";

  // Registration order fixes the slots of names seen for the first time.
  const std::int32_t k = players.findOrAdd(killerName, killerTeam);
  const std::int32_t v = players.findOrAdd(victimName, victimTeam);
  const std::int32_t w = weapons.findOrAdd(weapon, "");
  if (k < 0 || v < 0 || w < 0) return;  // a full table has no slot for this kill

  weaponKills[k][w] = wrappingAdd(weaponKills[k][w], 1);
  victimKills[k][v] = wrappingAdd(victimKills[k][v], 1);

  // Strict comparisons: a tie never moves a running best.
  if (weaponKills[k][w] > weaponKills[k][favouriteWeapon[k]]) favouriteWeapon[k] = w;
  if (victimKills[k][v] > victimKills[k][favouriteVictim[k]]) favouriteVictim[k] = v;
  if (victimKills[k][v] > victimKills[nemesis[v]][v] && k != v) nemesis[v] = k;
}

}  // namespace fragtally

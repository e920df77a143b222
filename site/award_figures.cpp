#include "site/award_figures.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

#include "analysis/match_players.h"

namespace fragtally {

WeaponGroup weaponGroupOf(std::string_view weapon) {
  struct Member {
    std::string_view weapon;
    WeaponGroup group;
  };
  // A kill line names the grenade "grenade"; "hegrenade" is the weapon's
  // own name, which the stats plugin's lines may give.
  static constexpr std::array<Member, 13> kMembers{{
      {"awp", WeaponGroup::sniper},
      {"scout", WeaponGroup::sniper},
      {"sg550", WeaponGroup::sniper},
      {"g3sg1", WeaponGroup::sniper},
      {"knife", WeaponGroup::knife},
      {"grenade", WeaponGroup::grenade},
      {"hegrenade", WeaponGroup::grenade},
      {"glock18", WeaponGroup::pistol},
      {"usp", WeaponGroup::pistol},
      {"p228", WeaponGroup::pistol},
      {"deagle", WeaponGroup::pistol},
      {"fiveseven", WeaponGroup::pistol},
      {"elite", WeaponGroup::pistol},
  }};
  for (const Member& member : kMembers) {
    if (member.weapon == weapon) return member.group;
  }
  return WeaponGroup::none;
}

namespace {

/// `count` plus `more`, held within 32 bits.
void addCapped(std::int32_t& count, std::int64_t more) {
  count = static_cast<std::int32_t>(std::clamp<std::int64_t>(count + more, INT32_MIN, INT32_MAX));
}

}  // namespace

AwardFigures& AwardFigures::operator+=(const AwardFigures& other) {
  addCapped(kills, other.kills);
  addCapped(deaths, other.deaths);
  addCapped(teamKills, other.teamKills);
  addCapped(sniperKills, other.sniperKills);
  addCapped(knifeKills, other.knifeKills);
  addCapped(grenadeKills, other.grenadeKills);
  addCapped(pistolKills, other.pistolKills);
  addCapped(shots, other.shots);
  addCapped(hits, other.hits);
  addCapped(headshots, other.headshots);
  addCapped(bombsPlanted, other.bombsPlanted);
  addCapped(bombsDefused, other.bombsDefused);
  addCapped(hostagesRescued, other.hostagesRescued);
  return *this;
}

AwardFigures awardFiguresOf(const MatchPlayer& player) {
  AwardFigures figures;
  addCapped(figures.kills, player.kills);
  addCapped(figures.deaths, player.deaths);
  addCapped(figures.teamKills, player.teamKills);
  addCapped(figures.bombsPlanted, player.bombsPlanted);
  addCapped(figures.bombsDefused, player.bombsDefused);
  addCapped(figures.hostagesRescued, player.hostagesRescued);
  for (const WeaponUse& use : player.weapons) {
    switch (weaponGroupOf(use.weapon)) {
      case WeaponGroup::sniper: addCapped(figures.sniperKills, use.kills); break;
      case WeaponGroup::knife: addCapped(figures.knifeKills, use.kills); break;
      case WeaponGroup::grenade: addCapped(figures.grenadeKills, use.kills); break;
      case WeaponGroup::pistol: addCapped(figures.pistolKills, use.kills); break;
      case WeaponGroup::none: break;
    }
    addCapped(figures.shots, use.shots);
    addCapped(figures.hits, use.hits);
    addCapped(figures.headshots, use.headshots);
  }
  return figures;
}

}  // namespace fragtally

#include "site/award_figures.h"

#include <array>

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

AwardFigures& AwardFigures::operator+=(const AwardFigures& other) {
  kills += other.kills;
  deaths += other.deaths;
  teamKills += other.teamKills;
  sniperKills += other.sniperKills;
  knifeKills += other.knifeKills;
  grenadeKills += other.grenadeKills;
  pistolKills += other.pistolKills;
  shots += other.shots;
  hits += other.hits;
  headshots += other.headshots;
  bombsPlanted += other.bombsPlanted;
  bombsDefused += other.bombsDefused;
  hostagesRescued += other.hostagesRescued;
  return *this;
}

AwardFigures awardFiguresOf(const MatchPlayer& player) {
  AwardFigures figures;
  figures.kills = player.kills;
  figures.deaths = player.deaths;
  figures.teamKills = player.teamKills;
  figures.bombsPlanted = player.bombsPlanted;
  figures.bombsDefused = player.bombsDefused;
  figures.hostagesRescued = player.hostagesRescued;
  for (const WeaponUse& use : player.weapons) {
    switch (weaponGroupOf(use.weapon)) {
      case WeaponGroup::sniper: figures.sniperKills += use.kills; break;
      case WeaponGroup::knife: figures.knifeKills += use.kills; break;
      case WeaponGroup::grenade: figures.grenadeKills += use.kills; break;
      case WeaponGroup::pistol: figures.pistolKills += use.kills; break;
      case WeaponGroup::none: break;
    }
    figures.shots += use.shots;
    figures.hits += use.hits;
    figures.headshots += use.headshots;
  }
  return figures;
}

}  // namespace fragtally

#pragma once

#include <cstdint>
#include <string_view>

namespace fragtally {

struct MatchPlayer;

/// The weapons some awards count kills with, by the names kill lines give them.
enum class WeaponGroup : std::uint8_t {
  none,
  sniper,   ///< awp, scout, sg550, g3sg1
  knife,    ///< knife
  grenade,  ///< hegrenade
  pistol,   ///< glock18, usp, p228, deagle, fiveseven, elite
};

WeaponGroup weaponGroupOf(std::string_view weapon);

/// One person's figures in one match, as the awards count them. Kept for
/// every day each person played, so in 32 bits: a day's, a week's or a
/// month's count stays far below their limit, and a sum that would pass it
/// stops there.
struct AwardFigures {
  std::int32_t kills = 0;  ///< of enemies
  std::int32_t deaths = 0;
  std::int32_t teamKills = 0;
  std::int32_t sniperKills = 0;  ///< enemy kills by weapon group
  std::int32_t knifeKills = 0;
  std::int32_t grenadeKills = 0;
  std::int32_t pistolKills = 0;
  std::int32_t shots = 0;  ///< from the server's weapon statistics; 0 where it writes none
  std::int32_t hits = 0;
  std::int32_t headshots = 0;
  std::int32_t bombsPlanted = 0;
  std::int32_t bombsDefused = 0;
  std::int32_t hostagesRescued = 0;

  AwardFigures& operator+=(const AwardFigures& other);
  friend bool operator==(const AwardFigures&, const AwardFigures&) = default;
};

/// What a match says about a player, reduced to the awards' figures.
AwardFigures awardFiguresOf(const MatchPlayer& player);

}  // namespace fragtally

#include "report/report_lines.h"
#include "report/report_sections.h"
#include "stats/match_stats.h"

// What the player kill table and the weapons table both walk and both show.
namespace fragtally {

std::vector<std::int32_t> listedPlayers(const MatchStats& stats) {
  std::vector<std::int32_t> listed;
  for (const RankEntry& entry : stats.ranking) {
    if (stats.players.nameAt(entry.player).empty()) break;
    listed.push_back(entry.player);
  }
  return listed;
}

std::vector<std::int32_t> listedWeapons(const MatchStats& stats) {
  std::vector<std::int32_t> listed;
  for (std::int32_t w = 0; w < kTableSlots && !stats.weapons.nameAt(w).empty(); ++w) listed.push_back(w);
  return listed;
}

void appendWeaponImage(ReportLines& out, std::string_view weaponName) {
  out.raw("<img src=\"").text(weaponName).raw(".jpg\" border=\"0\" width=\"128\"  height=\"32\" alt=\"");
  out.text(weaponName).raw("\">");
}

}  // namespace fragtally

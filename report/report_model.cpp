#include "report/report_model.h"

#include "report/report_lines.h"
#include "report/weapon_pictures.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// The player slots of the ranking, best first, up to the first empty name.
std::vector<std::int32_t> listedPlayers(const MatchStats& stats, const Ranking& ranking) {
  std::vector<std::int32_t> listed;
  for (const RankEntry& entry : ranking) {
    if (stats.players.nameAt(entry.player).empty()) break;
    listed.push_back(entry.player);
  }
  return listed;
}

// The weapon slots in order of registration, up to the first empty name.
std::vector<std::int32_t> listedWeapons(const MatchStats& stats) {
  std::vector<std::int32_t> listed;
  for (std::int32_t w = 0; w < kTableSlots && !stats.weapons.nameAt(w).empty(); ++w) listed.push_back(w);
  return listed;
}

// Every listed player whose count equals the best one, in table order; none
// when the best is 0.
template <typename CountOf>
TieList tieList(const std::vector<std::int32_t>& listed, std::int32_t best, CountOf countOf) {
  TieList list;
  list.count = best;
  if (best == 0) return list;  // he killed nobody, or nobody killed him
  for (std::size_t k = 0; k < listed.size(); ++k) {
    if (countOf(listed[k]) == best) list.players.push_back(k);
  }
  return list;
}

ReportPlayer playerRow(const MatchStats& stats, const std::vector<std::int32_t>& listed,
                       const std::vector<std::int32_t>& weapons, std::int32_t p) {
  ReportPlayer row;
  row.slot = p;
  row.name = stats.players.nameAt(p);
  row.tag = stats.players.tagAt(p);
  row.victims.reserve(listed.size());
  for (const std::int32_t other : listed) {
    row.victims.push_back(stats.victimKills[p][other]);
    row.kills = wrappingAdd(row.kills, stats.victimKills[p][other]);
    row.deaths = wrappingAdd(row.deaths, stats.victimKills[other][p]);
  }
  row.easyPrey = tieList(listed, stats.victimKills[p][stats.favouriteVictim[p]],
                         [&](std::int32_t other) { return stats.victimKills[p][other]; });
  row.worstEnemy = tieList(listed, stats.victimKills[stats.nemesis[p]][p],
                           [&](std::int32_t other) { return stats.victimKills[other][p]; });
  // The favourite may lie beyond an empty weapon name, outside the table's rows.
  const std::int32_t favourite = stats.favouriteWeapon[p];
  if (stats.weaponKills[p][favourite] != 0) row.favouriteWeapon = std::string(stats.weapons.nameAt(favourite));
  for (const std::int32_t w : weapons) row.weaponTotal = wrappingAdd(row.weaponTotal, stats.weaponKills[p][w]);
  return row;
}

ReportWeapon weaponRow(const MatchStats& stats, const std::vector<std::int32_t>& listed, std::int32_t w) {
  ReportWeapon row;
  row.name = stats.weapons.nameAt(w);
  row.hasPicture = findWeaponPicture(row.name) != nullptr;
  row.kills.reserve(listed.size());
  row.favourite.reserve(listed.size());
  for (const std::int32_t p : listed) {
    const std::int32_t count = stats.weaponKills[p][w];
    const std::int32_t best = stats.weaponKills[p][stats.favouriteWeapon[p]];
    row.kills.push_back(count);
    // Every weapon that ties with the player's favourite counts; a 0 never does.
    row.favourite.push_back(count == best && best != 0);
    row.total = wrappingAdd(row.total, count);
  }
  return row;
}

}  // namespace

ReportModel buildReportModel(const MatchStats& stats) {
  ReportModel model;
  // The end time is read first: with an empty log that is where the report fails.
  const std::int32_t end = secondsOfTime(stats.endTime);
  const std::int32_t start = secondsOfTime(stats.startTime);
  const std::int32_t d = end - start;
  model.gameSeconds = d;
  model.gameTime = decimalText(d / 3600) + ":" + decimalText(d % 3600 / 60) + ":" + decimalText(d % 60);

  model.logName = stats.logName;
  model.date = stats.date;
  model.startTime = stats.startTime;
  model.endTime = stats.endTime;
  if (!stats.mapName.empty()) model.map = stats.mapName;
  model.ctWins = stats.ctWins;
  model.tWins = stats.tWins;
  model.ctKilledCt = stats.ctKilledCt;
  model.ctKilledT = stats.ctKilledT;
  model.tKilledCt = stats.tKilledCt;
  model.tKilledT = stats.tKilledT;

  const Ranking ranking = rankingOf(stats);
  const std::vector<std::int32_t> listed = listedPlayers(stats, ranking);
  const std::vector<std::int32_t> weapons = listedWeapons(stats);
  model.players.reserve(listed.size());
  for (const std::int32_t p : listed) model.players.push_back(playerRow(stats, listed, weapons, p));
  model.deathsRow.reserve(listed.size());
  for (const std::int32_t victim : listed) {
    std::int32_t deaths = 0;
    for (const RankEntry& killer : ranking) deaths = wrappingAdd(deaths, stats.victimKills[killer.player][victim]);
    model.deathsRow.push_back(deaths);
  }
  model.weapons.reserve(weapons.size());
  for (const std::int32_t w : weapons) model.weapons.push_back(weaponRow(stats, listed, w));
  return model;
}

}  // namespace fragtally

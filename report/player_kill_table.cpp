#include "report/cp1251.h"
#include "report/report_lines.h"
#include "report/report_sections.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

using Players = std::vector<std::int32_t>;

// Every listed player whose count equals the best one, in ranking order, as
// "Name(<font color=C>best</font>)" joined by ", "; "-" when the best is 0.
template <typename CountOf>
void appendBestList(ReportLines& out, const MatchStats& stats, const Players& listed,
                    std::int32_t best, std::string_view countColour, CountOf countOf) {
  if (best == 0) {
    out.raw("-");  // he killed nobody, or nobody killed him
    return;
  }
  bool first = true;
  for (const std::int32_t player : listed) {
    if (countOf(player) != best) continue;
    if (!first) out.raw(", ");
    first = false;
    out.text(stats.players.nameAt(player)).raw("(<font color=\"").raw(countColour).raw("\">");
    out.raw(decimalText(best)).raw("</font>)");
  }
}

void appendHeaderRow(ReportLines& out, const MatchStats& stats, const Players& listed) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\" cellspacing=\"1\"><tr>");
  out.line("   <CAPTION><strong>Статистика убийств(всеми видами оружия)</strong></CAPTION>"_cp1251);
  out.line("   <tr align=\"center\">");
  out.line("     <th><strong>Убийца</strong></th>"_cp1251);
  out.line("     <th width=\"20\">№</th>"_cp1251);
  for (std::size_t k = 0; k < listed.size(); ++k) {
    out.raw("     <th align=\"center\" width=\"20\"><font color=")
        .raw(teamColour(stats.players.tagAt(listed[k])))
        .raw("> ")
        .raw(decimalText(static_cast<std::int32_t>(k + 1)))
        .raw(" </font></th>")
        .end();
  }
  out.line("     <th align=\"center\"><font color=\"#F2665D\"> Убийств </font></td>"_cp1251);
  out.line("     <th align=\"center\"><font color=\"#66F25D\"> Смертей </font></td>"_cp1251);
  out.line("     <th align=\"center\"><font color=\"#00FFFF\"> Легкая добыча </font></th>"_cp1251);
  out.line("     <th align=\"center\"><font color=\"#FF0000\"> Злостный враг </font></th>"_cp1251);
  out.line("     <th align=\"center\"><font color=\"#808000\"> Любимое оружие </font></th>"_cp1251);
  out.line("   </tr>");
}

void appendPlayerRow(ReportLines& out, const MatchStats& stats, const Players& listed, std::size_t r) {
  const std::int32_t p = listed[r];
  const std::string_view colour = teamColour(stats.players.tagAt(p));
  out.line("   <tr align=\"center\">");
  out.raw("     <th><font color=").raw(colour).raw("> ").text(stats.players.nameAt(p));
  out.raw(" </font></th>").end();
  out.raw("     <td width=\"20\"><strong><font color=").raw(colour).raw("> ");
  out.raw(decimalText(static_cast<std::int32_t>(r + 1))).raw(" </font></strong></td>").end();

  std::int32_t kills = 0;
  std::int32_t deaths = 0;
  for (std::size_t c = 0; c < listed.size(); ++c) {
    const std::int32_t victim = listed[c];
    kills = wrappingAdd(kills, stats.victimKills[p][victim]);
    deaths = wrappingAdd(deaths, stats.victimKills[victim][p]);
    const std::string count = countText(stats.victimKills[p][victim]);
    out.raw("     <td width=\"20\"><strong>");
    if (c == r) {
      out.raw("<font color=\"#FFFF00\"> ").raw(count).raw(" </font>");  // his kills of himself
    } else {
      out.raw(" ").raw(count).raw(" ");
    }
    out.raw("</strong></td>").end();
  }
  out.raw("     <td><font color=\"#F2665D\"><strong>").raw(countText(kills)).raw("</strong></font></td>").end();
  out.raw("     <td><font color=\"#66F25D\"><strong>").raw(countText(deaths)).raw("</strong></font></td>").end();

  out.raw("     <td><strong><font color=\"#FFFFFF\"> ");
  appendBestList(out, stats, listed, stats.victimKills[p][stats.favouriteVictim[p]], "#00FFFF",
                 [&](std::int32_t other) { return stats.victimKills[p][other]; });
  out.raw(" </font></strong></td>").end();

  out.raw("     <td><strong><font color=\"#FFFFFF\"> ");
  appendBestList(out, stats, listed, stats.victimKills[stats.nemesis[p]][p], "#FF0000",
                 [&](std::int32_t other) { return stats.victimKills[other][p]; });
  out.raw(" </font></strong></td>").end();

  const std::int32_t weapon = stats.favouriteWeapon[p];
  if (stats.weaponKills[p][weapon] == 0) {
    out.line("     <td align=\"center\"><font color=\"#FF00FF\"> - </font></td>");
  } else {
    out.raw("     <td align=\"center\"><font color=\"#FF00FF\">");
    appendWeaponImage(out, stats.weapons.nameAt(weapon));
    out.raw("</font></td>").end();
  }
  out.line("   </tr>");
}

void appendDeathsRow(ReportLines& out, const MatchStats& stats, const Players& listed) {
  out.line("   <tr>");
  out.line("     <th COLSPAN=\"2\" align=\"center\"><font color=\"#00FF00\"> СМЕРТЕЙ </font></th>"_cp1251);
  for (const std::int32_t victim : listed) {
    // Deaths here count the kills by every slot of the ranking, listed or not.
    std::int32_t deaths = 0;
    for (const RankEntry& killer : stats.ranking) {
      if (killer.player >= 0 && killer.player < kTableSlots) {
        deaths = wrappingAdd(deaths, stats.victimKills[killer.player][victim]);
      }
    }
    out.raw("     <td><strong><font color=\"#00FF00\">").raw(countText(deaths));
    out.raw("</font></strong></td>").end();
  }
  out.line("     <td COLSPAN=\"5\">&nbsp;</td>");
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

void appendLegend(ReportLines& out) {
  out.line(" <p align=\"center\"><strong>");
  out.line("  <font color=\"#0000FF\" size=\"2\"> *Истинный контр-террорист </font><br>"_cp1251);
  out.line("  <font color=\"#FF0000\" size=\"2\"> *Натуральный террорюга </font><br>"_cp1251);
  out.line("  <font color=\"#FF00FF\" size=\"2\"> *Просто маньяк </font></strong></p>"_cp1251);
  out.line(" </strong></p>");
}

}  // namespace

void appendPlayerKillTable(ReportLines& out, const MatchStats& stats) {
  const Players listed = listedPlayers(stats);
  appendHeaderRow(out, stats, listed);
  for (std::size_t r = 0; r < listed.size(); ++r) appendPlayerRow(out, stats, listed, r);
  appendDeathsRow(out, stats, listed);
  appendLegend(out);
}

}  // namespace fragtally

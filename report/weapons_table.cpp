#include "report/cp1251.h"
#include "report/report_lines.h"
#include "report/report_sections.h"
#include "stats/match_stats.h"
#include "version.h"

namespace fragtally {
namespace {

void appendWeaponRow(ReportLines& out, const MatchStats& stats, const std::vector<std::int32_t>& columns,
                     std::int32_t weapon) {
  out.line("   <tr align=\"center\">");
  out.raw("     <td align=\"center\"><font color=\"#FF00FF\">");
  appendWeaponImage(out, stats.weapons.nameAt(weapon));
  out.raw("</font></td>").end();
  for (const std::int32_t p : columns) {
    const std::int32_t count = stats.weaponKills[p][weapon];
    const std::int32_t best = stats.weaponKills[p][stats.favouriteWeapon[p]];
    // Every weapon that ties with the player's favourite is green; a 0 never is.
    const std::string_view colour = count == best && best != 0 ? "\"#00D000\"" : "\"#FFFFFF\"";
    out.raw("     <td><strong><font color=").raw(colour).raw("> ").raw(countText(count));
    out.raw(" </font></strong></td>").end();
  }
  out.line("   </tr>");
}

std::string versionText() {
  return decimalText(FRAGTALLY_VERSION_MAJOR) + "." + decimalText(FRAGTALLY_VERSION_MINOR) + "." +
         decimalText(FRAGTALLY_VERSION_PATCH) + "." + decimalText(FRAGTALLY_VERSION_BUILD);
}

}  // namespace

void appendWeaponsTableAndFooter(ReportLines& out, const MatchStats& stats) {
  const std::vector<std::int32_t> columns = listedPlayers(stats);
  const std::vector<std::int32_t> rows = listedWeapons(stats);

  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\" cellspacing=\"1\">");
  out.line("   <CAPTION><strong>Использованное в битве оружие</strong></CAPTION>"_cp1251);
  out.line("   <tr>");
  out.line("     <th><strong>Оружие</strong></th>"_cp1251);
  // The header row is left open: the first weapon row follows its last cell.
  for (const std::int32_t p : columns) {
    out.raw("     <th><strong><font color=").raw(teamColour(stats.players.tagAt(p))).raw("> ");
    out.text(stats.players.nameAt(p)).raw(" </font></strong></th>").end();
  }
  for (const std::int32_t weapon : rows) appendWeaponRow(out, stats, columns, weapon);

  out.line("   <tr align=\"center\">");
  out.line("     <td><strong> ИТОГО </strong></td>"_cp1251);
  for (const std::int32_t p : columns) {
    std::int32_t total = 0;
    for (const std::int32_t weapon : rows) total = wrappingAdd(total, stats.weaponKills[p][weapon]);
    out.raw("     <td><strong> ").raw(countText(total)).raw(" </strong></td>").end();
  }
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");

  out.raw(" <p align=\"center\">Fragtally_Statistica version ").raw(versionText()).raw(",").end();
  out.raw(" <a href=\"mailto:" FRAGTALLY_CONTACT "\">mailto:" FRAGTALLY_CONTACT "</a></p>").end();
  out.line("</body></html>");
}

}  // namespace fragtally

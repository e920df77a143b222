#include "report/report_lines.h"
#include "report/report_model.h"
#include "report/report_sections.h"
#include "report/report_texts.h"
#include "version.h"

namespace fragtally {
namespace {

void appendWeaponRow(ReportLines& out, const ReportWeapon& weapon) {
  out.line("   <tr align=\"center\">");
  out.raw("     <td align=\"center\"><font color=\"#FF00FF\">");
  appendWeaponImage(out, weapon.name);
  out.raw("</font></td>").end();
  for (std::size_t c = 0; c < weapon.kills.size(); ++c) {
    const std::string_view colour = weapon.favourite[c] ? "\"#00D000\"" : "\"#FFFFFF\"";
    out.raw("     <td><strong><font color=").raw(colour).raw("> ").raw(countText(weapon.kills[c]));
    out.raw(" </font></strong></td>").end();
  }
  out.line("   </tr>");
}

std::string versionText() {
  return decimalText(FRAGTALLY_VERSION_MAJOR) + "." + decimalText(FRAGTALLY_VERSION_MINOR) + "." +
         decimalText(FRAGTALLY_VERSION_PATCH) + "." + decimalText(FRAGTALLY_VERSION_BUILD);
}

}  // namespace

void appendWeaponsTable(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\" cellspacing=\"1\">");
  out.raw("   <CAPTION><strong>").raw(texts.weaponsCaption).raw("</strong></CAPTION>").end();
  out.line("   <tr>");
  out.raw("     <th><strong>").raw(texts.weapon).raw("</strong></th>").end();
  // The header row is left open: the first weapon row follows its last cell.
  for (const ReportPlayer& player : model.players) {
    out.raw("     <th><strong><font color=").raw(teamColour(player.tag)).raw("> ");
    out.text(player.name).raw(" </font></strong></th>").end();
  }
  for (const ReportWeapon& weapon : model.weapons) appendWeaponRow(out, weapon);

  out.line("   <tr align=\"center\">");
  out.raw("     <td><strong> ").raw(texts.total).raw(" </strong></td>").end();
  for (const ReportPlayer& player : model.players) {
    out.raw("     <td><strong> ").raw(countText(player.weaponTotal)).raw(" </strong></td>").end();
  }
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

void appendFooter(ReportLines& out) {
  out.raw(" <p align=\"center\">Fragtally_Statistica version ").raw(versionText()).raw(",").end();
  out.raw(" <a href=\"mailto:" FRAGTALLY_CONTACT "\">mailto:" FRAGTALLY_CONTACT "</a></p>").end();
  out.line("</body></html>");
}

}  // namespace fragtally

#include "report/report_lines.h"
#include "report/report_model.h"
#include "report/report_sections.h"
#include "report/report_texts.h"

namespace fragtally {
namespace {

// The players of a tie list as "Name(<font color=C>count</font>)" joined by
// ", "; "-" when the count is 0.
void appendTieList(ReportLines& out, const ReportModel& model, const TieList& list, std::string_view countColour) {
  if (list.count == 0) {
    out.raw("-");
    return;
  }
  bool first = true;
  for (const std::size_t k : list.players) {
    if (!first) out.raw(", ");
    first = false;
    out.text(model.players[k].name).raw("(<font color=\"").raw(countColour).raw("\">");
    out.raw(decimalText(list.count)).raw("</font>)");
  }
}

void appendHeaderRow(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\" cellspacing=\"1\"><tr>");
  out.raw("   <CAPTION><strong>").raw(texts.killsCaption).raw("</strong></CAPTION>").end();
  out.line("   <tr align=\"center\">");
  out.raw("     <th><strong>").raw(texts.killer).raw("</strong></th>").end();
  out.raw("     <th width=\"20\">").raw(texts.number).raw("</th>").end();
  for (std::size_t k = 0; k < model.players.size(); ++k) {
    out.raw("     <th align=\"center\" width=\"20\"><font color=")
        .raw(teamColour(model.players[k].tag))
        .raw("> ")
        .raw(decimalText(static_cast<std::int32_t>(k + 1)))
        .raw(" </font></th>")
        .end();
  }
  // The kills and deaths headers close with </td>, as the format has them.
  out.raw("     <th align=\"center\"><font color=\"#F2665D\"> ").raw(texts.kills).raw(" </font></td>").end();
  out.raw("     <th align=\"center\"><font color=\"#66F25D\"> ").raw(texts.deaths).raw(" </font></td>").end();
  out.raw("     <th align=\"center\"><font color=\"#00FFFF\"> ").raw(texts.easyPrey).raw(" </font></th>").end();
  out.raw("     <th align=\"center\"><font color=\"#FF0000\"> ").raw(texts.worstEnemy).raw(" </font></th>").end();
  out.raw("     <th align=\"center\"><font color=\"#808000\"> ").raw(texts.favouriteWeapon).raw(" </font></th>").end();
  out.line("   </tr>");
}

void appendPlayerRow(ReportLines& out, const ReportModel& model, std::size_t r) {
  const ReportPlayer& player = model.players[r];
  const std::string_view colour = teamColour(player.tag);
  out.line("   <tr align=\"center\">");
  out.raw("     <th><font color=").raw(colour).raw("> ").text(player.name);
  out.raw(" </font></th>").end();
  out.raw("     <td width=\"20\"><strong><font color=").raw(colour).raw("> ");
  out.raw(decimalText(static_cast<std::int32_t>(r + 1))).raw(" </font></strong></td>").end();

  for (std::size_t c = 0; c < player.victims.size(); ++c) {
    const std::string count = countText(player.victims[c]);
    out.raw("     <td width=\"20\"><strong>");
    if (c == r) {
      out.raw("<font color=\"#FFFF00\"> ").raw(count).raw(" </font>");  // his kills of himself
    } else {
      out.raw(" ").raw(count).raw(" ");
    }
    out.raw("</strong></td>").end();
  }
  out.raw("     <td><font color=\"#F2665D\"><strong>").raw(countText(player.kills)).raw("</strong></font></td>").end();
  out.raw("     <td><font color=\"#66F25D\"><strong>").raw(countText(player.deaths)).raw("</strong></font></td>").end();

  out.raw("     <td><strong><font color=\"#FFFFFF\"> ");
  appendTieList(out, model, player.easyPrey, "#00FFFF");
  out.raw(" </font></strong></td>").end();

  out.raw("     <td><strong><font color=\"#FFFFFF\"> ");
  appendTieList(out, model, player.worstEnemy, "#FF0000");
  out.raw(" </font></strong></td>").end();

  if (!player.favouriteWeapon) {
    out.line("     <td align=\"center\"><font color=\"#FF00FF\"> - </font></td>");
  } else {
    out.raw("     <td align=\"center\"><font color=\"#FF00FF\">");
    appendWeaponImage(out, *player.favouriteWeapon);
    out.raw("</font></td>").end();
  }
  out.line("   </tr>");
}

void appendDeathsRow(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  out.line("   <tr>");
  out.raw("     <th COLSPAN=\"2\" align=\"center\"><font color=\"#00FF00\"> ").raw(texts.deathsRow);
  out.raw(" </font></th>").end();
  for (const std::int32_t deaths : model.deathsRow) {
    out.raw("     <td><strong><font color=\"#00FF00\">").raw(countText(deaths));
    out.raw("</font></strong></td>").end();
  }
  out.line("     <td COLSPAN=\"5\">&nbsp;</td>");
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

void appendLegend(ReportLines& out, const ReportTexts& texts) {
  out.line(" <p align=\"center\"><strong>");
  out.raw("  <font color=\"#0000FF\" size=\"2\"> ").raw(texts.legendCt).raw(" </font><br>").end();
  out.raw("  <font color=\"#FF0000\" size=\"2\"> ").raw(texts.legendTerrorist).raw(" </font><br>").end();
  out.raw("  <font color=\"#FF00FF\" size=\"2\"> ").raw(texts.legendManiac).raw(" </font></strong></p>").end();
  out.line(" </strong></p>");
}

}  // namespace

void appendPlayerKillTable(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  appendHeaderRow(out, model, texts);
  for (std::size_t r = 0; r < model.players.size(); ++r) appendPlayerRow(out, model, r);
  appendDeathsRow(out, model, texts);
  appendLegend(out, texts);
}

}  // namespace fragtally

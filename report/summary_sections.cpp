#include "report/cp1251.h"
#include "report/report_lines.h"
#include "report/report_sections.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

// "H:M:S" without leading zeros, from end minus start in whole seconds. The end
// time is read first: with an empty log that is where the run fails.
std::string gameTimeText(const MatchStats& stats) {
  const std::int32_t end = secondsOfTime(stats.endTime);
  const std::int32_t start = secondsOfTime(stats.startTime);
  const std::int32_t d = end - start;
  return decimalText(d / 3600) + ":" + decimalText(d % 3600 / 60) + ":" + decimalText(d % 60);
}

void appendPageHeader(ReportLines& out, const MatchStats& stats) {
  out.line("<html>");
  out.line("<body bgcolor=\"#000000\" text=\"#FFFFFF\">");
  out.raw(" <p align=\"left\"><strong>Анализ файла ...\""_cp1251)
      .text(stats.logName)
      .raw("\"...</strong></p>")
      .end();
}

void appendSummaryTable(ReportLines& out, MatchStats& stats, const std::string& gameTime) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\"  cellspacing=\"1\">");
  out.line("   <CAPTION><strong>Основная информация</strong></CAPTION>"_cp1251);
  out.line("   <tr>");
  out.line("     <th>Дата</th>"_cp1251);
  out.line("     <th>Карта</th>"_cp1251);
  out.line("     <th><font color=\"#0000FF\">CT_win</font></th>");
  out.line("     <th><font color=\"#FF0000\">TERROR_win</font></th>");
  out.line("     <th>Начало игры</th>"_cp1251);
  out.line("     <th>Окончание игры</th>"_cp1251);
  out.line("     <th><font color=\"#808000\">Игровое время</font></th>"_cp1251);
  out.line("    </tr>");
  out.line("    <tr align=\"center\">");
  out.raw("     <td>").text(stats.date).raw("</td>").end();

  // The record keeps the placeholder, as a later reader of the map expects.
  if (stats.mapName.empty()) stats.mapName = unknownMapText();
  out.raw("     <td>");
  if (stats.mapName == unknownMapText()) {
    out.raw(stats.mapName);
  } else {
    out.text(stats.mapName);
  }
  out.raw("</strong></td>").end();

  out.raw("     <td><font color=\"#0000FF\">").raw(decimalText(stats.ctWins)).raw("</font></td>").end();
  out.raw("     <td><font color=\"#FF0000\">").raw(decimalText(stats.tWins)).raw("</font></td>").end();
  out.raw("     <td>").text(stats.startTime).raw("</td>").end();
  out.raw("     <td>").text(stats.endTime).raw("</td>").end();
  out.raw("     <td><font color=\"#808000\">").raw(gameTime).raw("</font></td>").end();
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

void appendBattleCounter(ReportLines& out, std::string_view colour, std::int32_t count) {
  out.raw("     <td><strong><font color=\"").raw(colour).raw("\"> ").raw(countText(count));
  out.raw(" </font></strong></td>").end();
}

void appendBattleTable(ReportLines& out, const MatchStats& stats) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\" cellspacing=\"1\">");
  out.line("   <CAPTION><strong>Статистика битвы</strong></CAPTION>"_cp1251);
  out.line("   <tr align=\"center\">");
  out.line("     <th><font color=\"#0000FF\"> Убийства,совершенные контр-террористами </font></th>"_cp1251);
  appendBattleCounter(out, "#0000FF", stats.ctKilledCt);
  appendBattleCounter(out, "#FF0000", stats.ctKilledT);
  out.line("   </tr>");
  out.line("   <tr align=\"center\">");
  out.line("     <th><font color=\"#FF0000\"> Убийства,совершенные террористами </font></th>"_cp1251);
  appendBattleCounter(out, "#0000FF", stats.tKilledCt);
  appendBattleCounter(out, "#FF0000", stats.tKilledT);
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

}  // namespace

std::string_view unknownMapText() { return " (неизвестна) "_cp1251; }

void appendSummarySections(ReportLines& out, MatchStats& stats) {
  // The game time fails on an empty log before any line exists.
  const std::string gameTime = gameTimeText(stats);
  appendPageHeader(out, stats);
  appendSummaryTable(out, stats, gameTime);
  appendBattleTable(out, stats);
}

}  // namespace fragtally

#include "report/cp1251.h"
#include "report/report_lines.h"
#include "report/report_sections.h"
#include "report/report_model.h"

namespace fragtally {
namespace {

void appendPageHeader(ReportLines& out, const ReportModel& model) {
  out.line("<html>");
  out.line("<body bgcolor=\"#000000\" text=\"#FFFFFF\">");
  out.raw(" <p align=\"left\"><strong>Анализ файла ...\""_cp1251)
      .text(model.logName)
      .raw("\"...</strong></p>")
      .end();
}

void appendSummaryTable(ReportLines& out, const ReportModel& model) {
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
  out.raw("     <td>").text(model.date).raw("</td>").end();

  out.raw("     <td>");
  if (model.map) {
    out.text(*model.map);
  } else {
    out.raw(unknownMapText());
  }
  out.raw("</strong></td>").end();

  out.raw("     <td><font color=\"#0000FF\">").raw(decimalText(model.ctWins)).raw("</font></td>").end();
  out.raw("     <td><font color=\"#FF0000\">").raw(decimalText(model.tWins)).raw("</font></td>").end();
  out.raw("     <td>").text(model.startTime).raw("</td>").end();
  out.raw("     <td>").text(model.endTime).raw("</td>").end();
  out.raw("     <td><font color=\"#808000\">").raw(model.gameTime).raw("</font></td>").end();
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

void appendBattleCounter(ReportLines& out, std::string_view colour, std::int32_t count) {
  out.raw("     <td><strong><font color=\"").raw(colour).raw("\"> ").raw(countText(count));
  out.raw(" </font></strong></td>").end();
}

void appendBattleTable(ReportLines& out, const ReportModel& model) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\" cellspacing=\"1\">");
  out.line("   <CAPTION><strong>Статистика битвы</strong></CAPTION>"_cp1251);
  out.line("   <tr align=\"center\">");
  out.line("     <th><font color=\"#0000FF\"> Убийства,совершенные контр-террористами </font></th>"_cp1251);
  appendBattleCounter(out, "#0000FF", model.ctKilledCt);
  appendBattleCounter(out, "#FF0000", model.ctKilledT);
  out.line("   </tr>");
  out.line("   <tr align=\"center\">");
  out.line("     <th><font color=\"#FF0000\"> Убийства,совершенные террористами </font></th>"_cp1251);
  appendBattleCounter(out, "#0000FF", model.tKilledCt);
  appendBattleCounter(out, "#FF0000", model.tKilledT);
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

}  // namespace

std::string_view unknownMapText() { return " (неизвестна) "_cp1251; }

void appendSummarySections(ReportLines& out, const ReportModel& model) {
  appendPageHeader(out, model);
  appendSummaryTable(out, model);
  appendBattleTable(out, model);
}

}  // namespace fragtally

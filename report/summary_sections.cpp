#include "report/report_lines.h"
#include "report/report_model.h"
#include "report/report_sections.h"
#include "report/report_texts.h"

namespace fragtally {
namespace {

void appendSummaryTable(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\"  cellspacing=\"1\">");
  out.raw("   <CAPTION><strong>").raw(texts.summaryCaption).raw("</strong></CAPTION>").end();
  out.line("   <tr>");
  out.raw("     <th>").raw(texts.date).raw("</th>").end();
  out.raw("     <th>").raw(texts.map).raw("</th>").end();
  out.raw("     <th><font color=\"#0000FF\">").raw(texts.ctWins).raw("</font></th>").end();
  out.raw("     <th><font color=\"#FF0000\">").raw(texts.terroristWins).raw("</font></th>").end();
  out.raw("     <th>").raw(texts.start).raw("</th>").end();
  out.raw("     <th>").raw(texts.end).raw("</th>").end();
  out.raw("     <th><font color=\"#808000\">").raw(texts.gameTime).raw("</font></th>").end();
  out.line("    </tr>");
  out.line("    <tr align=\"center\">");
  out.raw("     <td>").text(model.date).raw("</td>").end();

  out.raw("     <td>");
  if (model.map) {
    out.text(*model.map);
  } else {
    out.raw(" ").raw(texts.unknownMap).raw(" ");
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

void appendBattleTable(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  out.line(" <p>");
  out.line("  <table align=\"center\" border=\"3\" cellspacing=\"1\">");
  out.raw("   <CAPTION><strong>").raw(texts.battleCaption).raw("</strong></CAPTION>").end();
  out.line("   <tr align=\"center\">");
  out.raw("     <th><font color=\"#0000FF\"> ").raw(texts.killsByCts).raw(" </font></th>").end();
  appendBattleCounter(out, "#0000FF", model.ctKilledCt);
  appendBattleCounter(out, "#FF0000", model.ctKilledT);
  out.line("   </tr>");
  out.line("   <tr align=\"center\">");
  out.raw("     <th><font color=\"#FF0000\"> ").raw(texts.killsByTerrorists).raw(" </font></th>").end();
  appendBattleCounter(out, "#0000FF", model.tKilledCt);
  appendBattleCounter(out, "#FF0000", model.tKilledT);
  out.line("   </tr>");
  out.line("  </table>");
  out.line(" </p>");
}

}  // namespace

void appendLogNameLine(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  out.raw(" <p align=\"left\"><strong>").raw(texts.fileAnalysis).raw(" ...\"");
  out.text(model.logName).raw("\"...</strong></p>").end();
}

void appendSummarySections(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  appendSummaryTable(out, model, texts);
  appendBattleTable(out, model, texts);
}

}  // namespace fragtally

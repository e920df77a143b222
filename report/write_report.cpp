#include "report/write_report.h"

#include <utility>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/output_guard.h"
#include "base/output_names.h"
#include "report/report_lines.h"
#include "report/report_model.h"
#include "report/report_sections.h"
#include "report/report_texts.h"
#include "report/weapon_pictures.h"

namespace fragtally {

void appendReportBody(ReportLines& out, const ReportModel& model, const ReportTexts& texts) {
  appendLogNameLine(out, model, texts);
  appendSummarySections(out, model, texts);
  appendPlayerKillTable(out, model, texts);
  appendWeaponsTable(out, model, texts);
  appendFooter(out);
}

std::size_t reportPageBytes(const ReportModel& model) {
  // Roughly what the page takes: a cell for each pair of players, a row for
  // each player and each weapon, and the fixed parts.
  const std::size_t players = model.players.size();
  return 16384 + players * players * 64 + players * 1024 + model.weapons.size() * 768;
}

std::string buildReport(const ReportModel& model) {
  ReportLines out(PageEncoding::Windows1251, reportPageBytes(model));
  out.line("<html>");
  out.line("<body bgcolor=\"#000000\" text=\"#FFFFFF\">");
  appendReportBody(out, model, reportTexts(SiteLanguage::Russian));
  return std::move(out).take();
}

std::string buildReport(const MatchStats& stats) { return buildReport(buildReportModel(stats)); }

void writeReport(const MatchStats& stats, const ReportModel& model, std::string_view reportPath,
                 std::span<const std::filesystem::path> alsoWritten) {
  const std::string page = buildReport(model);
  const std::filesystem::path target = pathFromUtf8(reportPath);
  std::vector<std::filesystem::path> outputs{target};
  outputs.insert(outputs.end(), alsoWritten.begin(), alsoWritten.end());
  for (const ReportWeapon& weapon : model.weapons) {
    if (weapon.hasPicture) outputs.push_back(target.parent_path() / pathFromUtf8(weapon.name + kPictureExtension));
  }
  refuseOutputsOverLog(model.logName, outputs);
  if (!replaceFileContents(target, page)) throw cannotCreateFile(reportPath);
  writeWeaponPictures(stats, target.parent_path());
}

void writeReport(const MatchStats& stats, std::string_view reportPath,
                 std::span<const std::filesystem::path> alsoWritten) {
  writeReport(stats, buildReportModel(stats), reportPath, alsoWritten);
}

}  // namespace fragtally

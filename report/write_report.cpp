#include "report/write_report.h"

#include "base/error.h"
#include "base/file.h"
#include "report/file_store.h"
#include "report/report_lines.h"
#include "report/report_sections.h"
#include "report/weapon_pictures.h"
#include "stats/match_stats.h"

namespace fragtally {

std::string buildReport(MatchStats& stats) {
  stats.rankPlayers();
  ReportLines out;
  appendSummarySections(out, stats);
  appendPlayerKillTable(out, stats);
  appendWeaponsTableAndFooter(out, stats);
  return out.bytes();
}

void writeReport(MatchStats& stats, std::string_view reportPath) {
  const std::string page = buildReport(stats);
  const std::filesystem::path target = pathFromUtf8(reportPath);
  if (!replaceFileContents(target, page)) throw cannotCreateFile(reportPath);
  writeWeaponPictures(stats, target.parent_path());
}

}  // namespace fragtally

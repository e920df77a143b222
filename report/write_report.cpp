#include "report/write_report.h"

#include "base/error.h"
#include "base/file.h"
#include "report/file_store.h"
#include "report/output_guard.h"
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

void writeReport(MatchStats& stats, std::string_view reportPath, std::span<const std::filesystem::path> alsoWritten) {
  const std::string page = buildReport(stats);
  const std::filesystem::path target = pathFromUtf8(reportPath);
  std::vector<std::filesystem::path> outputs{target};
  outputs.insert(outputs.end(), alsoWritten.begin(), alsoWritten.end());
  for (std::int32_t w = 0; w < kTableSlots && !stats.weapons.nameAt(w).empty(); ++w) {
    const std::string_view weapon = stats.weapons.nameAt(w);
    if (findWeaponPicture(weapon) != nullptr) outputs.push_back(target.parent_path() / pathFromUtf8(std::string(weapon) + ".jpg"));
  }
  refuseOutputsOverLog(stats.logName, outputs);
  if (!replaceFileContents(target, page)) throw cannotCreateFile(reportPath);
  writeWeaponPictures(stats, target.parent_path());
}

}  // namespace fragtally

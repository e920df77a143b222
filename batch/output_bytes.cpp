#include "batch/output_bytes.h"

#include "index/index_cache.h"
#include "record/match_record.h"
#include "record/match_summary.h"
#include "report/report_model.h"
#include "report/write_report.h"

namespace fragtally {

OutputBytes buildOutputBytes(const MatchStats& stats, const MatchPlayers& people, const LogFileFacts& log) {
  const ReportModel model = buildReportModel(stats);
  OutputBytes outputs;
  outputs.page = buildReport(model);
  std::optional<MatchSummary> summary;
  outputs.record = matchRecordJson(model, people, log, &summary);
  outputs.indexSummary = IndexCache::encode(summary);
  for (const ReportWeapon& weapon : model.weapons) {
    if (weapon.hasPicture) outputs.pictureWeapons.push_back(weapon.name);
  }
  return outputs;
}

}  // namespace fragtally

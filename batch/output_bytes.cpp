#include "batch/output_bytes.h"

#include "index/index_cache.h"
#include "record/match_record.h"
#include "record/match_summary.h"
#include "record/record_head.h"
#include "report/report_model.h"
#include "report/site_report_page.h"

namespace fragtally {

OutputBytes buildOutputBytes(const MatchStats& stats, const MatchPlayers& people, const LogFileFacts& log,
                             SiteLanguage language) {
  const ReportModel model = buildReportModel(stats);
  OutputBytes outputs;
  // The page lies in the site's folder beside its index.
  outputs.page = siteReportPage(language, model, SiteReportOptions{.linkToIndex = true});
  std::optional<MatchSummary> summary;
  outputs.record = matchRecordJson(model, people, log, &summary);
  // With the record's head, which the next run then takes from the cache.
  const std::optional<RecordHead> head = parseRecordHead(outputs.record);
  outputs.indexSummary = IndexCache::encode(summary, head ? &*head : nullptr);
  for (const ReportWeapon& weapon : model.weapons) {
    if (weapon.hasPicture) outputs.pictureWeapons.push_back(weapon.name);
  }
  return outputs;
}

}  // namespace fragtally

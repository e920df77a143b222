#include "cli/match_outputs.h"

#include "report/match_record.h"
#include "report/weapon_pictures.h"
#include "report/write_report.h"
#include "stats/match_stats.h"
#include "version.h"

namespace fragtally {

MatchOutputs buildMatchOutputs(const MatchStats& stats, const LogFileFacts& log) {
  MatchOutputs outputs;
  MatchStats copy = stats;  // TEMPORARY until the model lands
  outputs.page = buildReport(copy);
  outputs.record = "{\"format\":\"fragtally-match\",\"version\":1,\"generator\":\"fragtally " FRAGTALLY_VERSION_TEXT
                   "\",\"log\":{\"path\":\"" + log.path + "\",\"bytes\":" + std::to_string(log.bytes) +
                   ",\"modified\":\"" + isoUtcText(log.modifiedUnixSeconds) + "\"},\"date\":\"\"}\n";
  for (std::int32_t w = 0; w < kTableSlots && !stats.weapons.nameAt(w).empty(); ++w) {
    if (findWeaponPicture(stats.weapons.nameAt(w)) != nullptr) outputs.pictureWeapons.emplace_back(stats.weapons.nameAt(w));
  }
  return outputs;
}

}  // namespace fragtally

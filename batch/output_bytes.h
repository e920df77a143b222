#pragma once

#include <string>
#include <vector>

#include "base/site_language.h"

namespace fragtally {

class MatchStats;
struct LogFileFacts;
struct MatchPlayers;

/// The bytes of everything a log's analysis gives to store: the report page,
/// the match record, the names of the weapons whose pictures the page shows,
/// and what the index reads of the record, in the index cache's form.
struct OutputBytes {
  std::string page;
  std::string record;
  std::vector<std::string> pictureWeapons;
  std::string indexSummary;
};

/// Builds the outputs of a match's statistics and people, its page in the
/// site's `language` (siteReportPage: the fixed report in Russian). Throws
/// what the report throws.
OutputBytes buildOutputBytes(const MatchStats& stats, const MatchPlayers& people, const LogFileFacts& log,
                             SiteLanguage language = SiteLanguage::Russian);

}  // namespace fragtally

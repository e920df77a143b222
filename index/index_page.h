#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "index/index_records.h"
#include "index/index_tally.h"

namespace fragtally {

/// A person's row in the index's ranking of players.
struct RankingRow {
  std::string name;  ///< his shown name (a log's text)
  std::string page;  ///< his page's file name in the players' folder (kPlayersFolderName)
  double rating = 0.0;
  double deviation = 0.0;
  std::int64_t matches = 0;
  std::int64_t kills = 0;
  std::int64_t deaths = 0;
  std::string lastReport;  ///< the report of his latest match, and its date and start
  std::string lastDate;
  std::string lastStart;
  std::uint64_t lastWhen = 0;  ///< matchTimeKey
};

/// The ranking that takes the place of the players by name on a site's index.
struct IndexRanking {
  std::vector<RankingRow> ranked;    ///< in ranking order
  std::vector<RankingRow> unranked;  ///< fewer than minMatches matches, listed apart
  std::int64_t minMatches = 0;
};

/// The index page: UTF-8 HTML of the matches, the players and the totals.
/// With a ranking (a site's index) the players are those of the ranking, and
/// the page links the site's other pages.
std::string buildIndexPage(const IndexContent& content, const IndexRanking* ranking = nullptr);

/// Rebuilds `folder`/index.htm from the match records in the folder, and the
/// index cache beside it. Throws cannotCreateFile(<index path>) when the page
/// cannot be stored; an older page is then left as it was. `known`: as for
/// readIndexContent.
/// Returns the weapon pictures (IndexContent::pictures) the folder's reports show.
std::vector<std::string> rebuildIndex(const std::filesystem::path& folder, const KnownRecords* known = nullptr);

}  // namespace fragtally

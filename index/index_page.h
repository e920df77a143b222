#pragma once

#include <array>
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

/// A person an award names: his shown name and his page, as in RankingRow.
struct AwardWinner {
  std::string name;
  std::string page;
};

/// One award of a period as the index shows it; the texts are the site's own,
/// written as they are, the winners' names are log text.
struct IndexAward {
  std::string caption;
  std::vector<AwardWinner> winners;
  std::string figure;  ///< as a reader takes it ("2,50", "41,7 %")
};

/// The awards of the latest period of a kind, with a link to it on the awards page.
struct IndexAwardPeriod {
  std::string title;   ///< "День 08.12.2026", "Декабрь 2026"...
  std::string anchor;  ///< the period's id on the awards page
  std::vector<IndexAward> awards;
};

/// The figures of the index's charts of when people play, as the site's
/// model gives them.
struct IndexCharts {
  std::vector<std::string> days;   ///< "DD.MM.YYYY" of each day of the chart of kills, oldest first
  std::vector<std::int64_t> kills;  ///< the kills of each of those days
  /// Matches by weekday and hour of their start: [(weekday - 1) * 24 + hour], Monday first.
  std::array<std::int64_t, 7 * 24> matchesByHour{};
};

/// The ranking that takes the place of the players by name on a site's index.
struct IndexRanking {
  std::vector<RankingRow> ranked;    ///< the active, in ranking order
  std::vector<RankingRow> unranked;  ///< the active with fewer than minMatches matches, listed apart
  std::vector<RankingRow> inactive;  ///< not seen within activeDays of the newest match, listed apart
  std::int64_t minMatches = 0;
  std::int64_t activeDays = 0;
  std::vector<IndexAwardPeriod> latestAwards;  ///< the latest month's, week's and day's awards, where given
  IndexCharts charts;  ///< no days: no charts
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

#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "base/site_language.h"
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
  std::string figure;  ///< as a reader of the site's language takes it ("2,50", "41,7 %")
};

/// The awards of the latest period of a kind, with a link to it on the awards page.
struct IndexAwardPeriod {
  std::string title;   ///< in the site's language: "Day 2026-12-08", "December 2026"...
  std::string anchor;  ///< the period's id on the awards page
  std::vector<IndexAward> awards;
};

/// The figures of the index's charts of when people play, as the site's
/// model gives them.
struct IndexCharts {
  std::vector<std::string> days;   ///< the date of each day of the chart of kills, oldest first
  std::vector<std::string> labels;  ///< the same days short, as the chart's axis names them
  std::vector<std::int64_t> kills;  ///< the kills of each of those days
  /// Matches by weekday and hour of their start: [(weekday - 1) * 24 + hour], Monday first.
  std::array<std::int64_t, 7 * 24> matchesByHour{};
};

/// A page of a month's matches, as the index lists it.
struct IndexMonth {
  std::string page;   ///< its file name beside the index (site_page_names.h)
  std::string title;  ///< "December 2026" in the site's language; the site's own text
  std::size_t matches = 0;
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
  SiteLanguage language = SiteLanguage::Russian;  ///< the language of the pages that show it

  /// A large site's index shows the top of the ranking and the latest matches
  /// only, and links the pages that list them all. With `rankingPages` set,
  /// the rows above are the top only and the counts below tell them all; the
  /// people listed apart are then only counted, and linked where they start.
  std::string rankingPages;  ///< the whole ranking's first page ("" when the index lists everyone)
  std::string unrankedPage;  ///< the ranking's page where those listed apart start, with their anchors
  std::string inactivePage;
  std::size_t rankedCount = 0;
  std::size_t unrankedCount = 0;
  std::size_t inactiveCount = 0;
  /// The matches the index lists, newest first; the older ones are on `months`.
  std::size_t latestMatches = std::numeric_limits<std::size_t>::max();
  std::vector<IndexMonth> months;  ///< every month's page, newest first
};

/// The index's table of matches, for the pages that list a part of them
/// beside the index.
void appendMatchTable(std::string& page, std::span<const IndexMatch> matches, SiteLanguage language);

/// A table of the ranking's rows; their places count from `firstPlace`, or
/// no place is shown when it is 0. For pages beside the index.
void appendRankingTable(std::string& page, std::span<const RankingRow> rows, std::int64_t firstPlace,
                        SiteLanguage language);

/// The parts of the ranking, each a section of its own with its anchor.
enum class RankingPart { ranked, unranked, inactive };

/// Opens the section of a part of the ranking: its heading and what it holds.
/// The caller closes it.
void appendRankingPartStart(std::string& page, RankingPart part, std::int64_t minMatches, std::int64_t activeDays,
                            SiteLanguage language);

/// The script that sorts a page's tables by a column header (class "sortable"),
/// comparing names as `language` orders them.
void appendSortScript(std::string& page, SiteLanguage language);

/// The index page: UTF-8 HTML of the matches, the players and the totals.
/// With a ranking (a site's index) the players are those of the ranking, and
/// the page links the site's other pages. The page is in `language`.
std::string buildIndexPage(const IndexContent& content, const IndexRanking* ranking = nullptr,
                           SiteLanguage language = SiteLanguage::Russian);

/// Rebuilds `folder`/index.htm from the match records in the folder, and the
/// index cache beside it. Throws cannotCreateFile(<index path>) when the page
/// cannot be stored; an older page is then left as it was. `known`: as for
/// readIndexContent.
/// Returns the weapon pictures (IndexContent::pictures) the folder's reports show.
std::vector<std::string> rebuildIndex(const std::filesystem::path& folder, const KnownRecords* known = nullptr);

}  // namespace fragtally

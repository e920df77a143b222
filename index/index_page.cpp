#include "index/index_page.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/output_names.h"
#include "base/site_texts.h"
#include "base/url_path.h"
#include "index/index_cache.h"
#include "index/index_html.h"
#include "index/svg_chart.h"

namespace fragtally {
namespace {

void appendHeader(std::string& page, const SiteTexts& texts) {
  page += "<header>\n<h1>";
  page += texts.pageTitle;
  page += "</h1>\n<p class=\"lead\">";
  page += texts.lead;
  page += "</p>\n";
}

// The script compares names in the page's language: the tag goes between the halves.
constexpr std::string_view kSortScript = R"(<script>
// Sorting by a column header: numbers by their data-v value, texts by letters.
document.querySelectorAll('table.sortable').forEach(function (table) {
  var heads = table.tHead.rows[0].cells;
  Array.prototype.forEach.call(heads, function (head, column) {
    head.tabIndex = 0;
    function sort() {
      var body = table.tBodies[0];
      var rows = Array.prototype.slice.call(body.rows);
      var numeric = rows.length > 0 && rows[0].cells[column].hasAttribute('data-v');
      var down = head.getAttribute('aria-sort') ? head.getAttribute('aria-sort') === 'ascending' : numeric;
      Array.prototype.forEach.call(heads, function (other) { other.removeAttribute('aria-sort'); });
      head.setAttribute('aria-sort', down ? 'descending' : 'ascending');
      rows.sort(function (a, b) {
        var x = a.cells[column], y = b.cells[column];
        var order = numeric ? Number(x.getAttribute('data-v')) - Number(y.getAttribute('data-v'))
                            : x.textContent.localeCompare(y.textContent, ')";
constexpr std::string_view kSortScriptEnd = R"(');
        return down ? -order : order;
      });
      rows.forEach(function (row) { body.appendChild(row); });
    }
    head.addEventListener('click', sort);
    head.addEventListener('keydown', function (event) {
      if (event.key === 'Enter' || event.key === ' ') { event.preventDefault(); sort(); }
    });
  });
});
</script>
)";

void appendNumberData(std::string& page, std::int64_t value) { page += std::to_string(value); }

/// Appends " <figure>" grouped, for the site's texts that a count follows.
void appendTextAndCount(std::string& page, std::string_view text, std::int64_t count) {
  page += text;
  page += ' ';
  appendGroupedCount(page, count);
}

void appendDate(std::string& page, const IndexMatch& match, const SiteTexts& texts) {
  appendMatchDate(page, match.date, match.start, match.when, texts);
}

// Log texts are set apart with <bdi>: a name written right to left, or with
// direction marks in it, cannot turn the figures beside it around.
void appendMap(std::string& page, const IndexMatch& match, const SiteTexts& texts) {
  if (match.map) {
    page += "<bdi>";
    appendHtmlText(page, *match.map);
    page += "</bdi>";
  } else {
    page += "<span class=\"muted\">";
    page += texts.unknownMap;
    page += "</span>";
  }
}

void appendReportLink(std::string& page, const IndexMatch& match, std::string_view text) {
  page += "<a href=\"";
  appendUrlPath(page, match.report);
  page += "\">";
  appendHtmlText(page, text);
  page += "</a>";
}

void appendCountCell(std::string& page, std::int64_t count, std::string_view className = "n") {
  page += "<td class=\"";
  page += className;
  page += "\" data-v=\"";
  appendNumberData(page, count);
  page += "\">";
  appendGroupedCount(page, count);
  page += "</td>";
}

void appendRatioCell(std::string& page, std::int64_t kills, std::int64_t deaths, const SiteTexts& texts) {
  page += "<td class=\"n\" data-v=\"";
  // Hundredths for sorting; a player never killed sorts above every ratio.
  const std::int64_t ratioKey = deaths <= 0 ? (kills > 0 ? std::int64_t{1} << 52 : 0)
                                : kills < 0  ? 0
                                             : kills * 100 / deaths;
  appendNumberData(page, ratioKey);
  page += "\">";
  appendKillsPerDeath(page, kills, deaths, texts);
  page += "</td>";
}

void appendTotal(std::string& page, std::string_view label) {
  page += "</b><span>";
  page += label;
  page += "</span></li>\n";
}

/// A column's header: `className` "" for a text's column, "n" for a figure's.
void appendHead(std::string& page, std::string_view text, std::string_view className = "") {
  page += className.empty() ? "<th>" : "<th class=\"";
  if (!className.empty()) {
    page += className;
    page += "\">";
  }
  page += text;
  page += "</th>";
}

void appendTotals(std::string& page, const IndexContent& content, std::size_t people, const IndexRanking* ranking,
                  const SiteTexts& texts) {
  page += "<ul class=\"totals\">\n";
  page += "<li><b>";
  appendGroupedCount(page, static_cast<std::int64_t>(content.matches.size()));
  appendTotal(page, texts.totalMatches);
  page += "<li><b>";
  appendGroupedCount(page, content.kills);
  appendTotal(page, texts.totalKills);
  page += "<li><b>";
  appendGroupedCount(page, static_cast<std::int64_t>(people));
  appendTotal(page, texts.totalPlayers);
  if (ranking) {
    page += "<li><b>";
    const bool counted = !ranking->rankingPages.empty();
    const std::size_t active = counted ? ranking->rankedCount + ranking->unrankedCount
                                       : ranking->ranked.size() + ranking->unranked.size();
    appendGroupedCount(page, static_cast<std::int64_t>(active));
    appendTotal(page, texts.totalActivePlayers);
  }
  // Newest first: the last match listed with a readable date is the first
  // one played (matches without one are listed last).
  const auto dated = std::find_if(content.matches.rbegin(), content.matches.rend(),
                                  [](const IndexMatch& match) { return match.when != 0; });
  if (dated != content.matches.rend()) {
    page += "<li><b>";
    appendDate(page, *dated, texts);
    appendTotal(page, texts.firstMatch);
    page += "<li><b>";
    appendDate(page, content.matches.front(), texts);
    appendTotal(page, texts.lastMatch);
  }
  page += "</ul>\n</header>\n";
}

}  // namespace

void appendMatchTable(std::string& page, std::span<const IndexMatch> matches, SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  page += "<div class=\"box\">\n<table class=\"sortable\">\n<thead><tr>";
  appendHead(page, texts.columnDate);
  appendHead(page, texts.columnMap);
  page += "<th class=\"n\">";
  page += texts.columnRounds;
  page += " <span class=\"ct\">CT</span>:<span class=\"t\">T</span></th>";
  appendHead(page, texts.columnKills, "n");
  appendHead(page, texts.columnBestPlayer);
  appendHead(page, texts.columnPlayers, "n");
  appendHead(page, texts.columnStart);
  appendHead(page, texts.columnGameTime, "n");
  appendHead(page, texts.columnReport);
  page += "</tr></thead>\n<tbody>\n";
  // What a phone shows first comes first: the date (a link to the report
  // too), the map and the score; the rest is a scroll away.
  for (const IndexMatch& match : matches) {
    page += "<tr><td data-v=\"";
    appendNumberData(page, match.when);
    page += "\"><a href=\"";
    appendUrlPath(page, match.report);
    page += "\">";
    appendDate(page, match, texts);
    page += "</a></td><td class=\"name\">";
    appendMap(page, match, texts);
    page += "</td><td class=\"n\" data-v=\"";
    appendNumberData(page, std::int64_t{match.ctRounds} + match.terroristRounds);
    page += "\"><span class=\"ct\">";
    appendGroupedCount(page, match.ctRounds);
    page += "</span>:<span class=\"t\">";
    appendGroupedCount(page, match.terroristRounds);
    page += "</span></td>";
    appendCountCell(page, match.kills, "n k");
    page += "<td class=\"name\">";
    if (match.bestPlayer.empty()) {
      page += "-";
    } else {
      page += "<bdi>";
      appendHtmlText(page, match.bestPlayer);
      page += "</bdi> <span class=\"k\">";
      appendGroupedCount(page, match.bestPlayerKills);
      page += "</span>";
    }
    page += "</td>";
    appendCountCell(page, match.players);
    page += "<td>";
    appendHtmlText(page, match.start);
    page += "</td><td class=\"n\" data-v=\"";
    appendNumberData(page, match.lengthSeconds);
    page += "\">";
    appendGameLength(page, match.lengthSeconds);
    page += "</td><td>";
    // The report's own name: the log's name, as admins know their files.
    const std::string_view report = match.report;
    appendReportLink(page, match, report.substr(0, report.rfind('.')));
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n";
}

namespace {

/// The list of the months' pages, each with its count of matches.
void appendMonths(std::string& page, const std::vector<IndexMonth>& months, const SiteTexts& texts) {
  page += "<section id=\"months\">\n<h2>";
  page += texts.monthsHeading;
  page += "</h2>\n<ul class=\"links\">\n";
  for (const IndexMonth& month : months) {
    page += "<li><a href=\"";
    appendUrlPath(page, month.page);
    page += "\">";
    appendHtmlText(page, month.title);
    page += "</a> <span class=\"muted\">";
    appendGroupedCount(page, static_cast<std::int64_t>(month.matches));
    page += "</span></li>\n";
  }
  page += "</ul>\n</section>\n";
}

void appendMatches(std::string& page, const IndexContent& content, const IndexRanking* ranking, SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  page += "<section id=\"matches\">\n<h2>";
  page += texts.matchesHeading;
  page += "</h2>\n";
  if (content.matches.empty()) {
    page += "<p class=\"note\">";
    page += texts.noMatches;
    page += "</p>\n";
  } else {
    const std::size_t shown = std::min(content.matches.size(), ranking ? ranking->latestMatches : content.matches.size());
    appendMatchTable(page, std::span(content.matches).first(shown), language);
    if (shown < content.matches.size()) {
      page += "<p class=\"note\">";
      appendTextAndCount(page, texts.latestMatchesShown, static_cast<std::int64_t>(shown));
      page += ". <a href=\"#months\">";
      page += texts.olderMatchesByMonth;
      page += "</a></p>\n";
    }
  }
  if (content.logsWithoutKills > 0) {
    page += "<p class=\"note\">";
    page += texts.logsWithoutKills;
    page += ' ';
    appendGroupedCount(page, static_cast<std::int64_t>(content.logsWithoutKills));
    page += "</p>\n";
  }
  page += "</section>\n";
}

void appendPlayers(std::string& page, const IndexContent& content, const SiteTexts& texts) {
  if (content.players.empty()) return;
  page += "<section id=\"players\">\n<h2>";
  page += texts.playersHeading;
  page += "</h2>\n<div class=\"box\">\n<table class=\"sortable\">\n<thead><tr>";
  appendHead(page, texts.columnRank, "n");
  appendHead(page, texts.columnPlayer);
  appendHead(page, texts.columnMatches, "n");
  appendHead(page, texts.columnKills, "n");
  appendHead(page, texts.columnDeaths, "n");
  appendHead(page, texts.columnKillsPerDeath, "n");
  appendHead(page, texts.columnFavouriteWeapon);
  appendHead(page, texts.columnBestMatch);
  page += "</tr></thead>\n<tbody>\n";
  std::int64_t rank = 0;
  for (const IndexPlayer& player : content.players) {
    page += "<tr>";
    appendCountCell(page, ++rank, "n muted");
    page += "<td class=\"name\" title=\"";
    appendHtmlText(page, player.name);
    page += "\">";
    appendHtmlText(page, player.name);
    page += "</td>";
    appendCountCell(page, player.matches);
    appendCountCell(page, player.kills, "n k");
    appendCountCell(page, player.deaths, "n d");
    appendRatioCell(page, player.kills, player.deaths, texts);
    page += "<td class=\"name w\">";
    if (player.favouriteWeapon.empty()) {
      page += "-";
    } else {
      appendHtmlText(page, player.favouriteWeapon);
    }
    page += "</td><td>";
    if (player.bestMatchKills <= 0) {
      page += "-";
    } else {
      const IndexMatch& best = content.matches[player.bestMatch];
      page += "<a href=\"";
      appendUrlPath(page, best.report);
      page += "\">";
      appendDate(page, best, texts);
      page += ", ";
      appendMap(page, best, texts);
      page += "</a> <span class=\"k\">";
      appendGroupedCount(page, player.bestMatchKills);
      page += "</span>";
    }
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n</section>\n";
}

void appendRankingRows(std::string& page, std::span<const RankingRow> rows, std::int64_t firstPlace,
                       const SiteTexts& texts) {
  std::int64_t place = firstPlace;
  for (const RankingRow& row : rows) {
    page += "<tr>";
    if (firstPlace > 0) appendCountCell(page, place++, "n muted");
    page += "<td class=\"name\" title=\"";
    appendHtmlText(page, row.name);
    page += "\"><a href=\"" + std::string(kPlayersFolderName) + "/";
    appendUrlPath(page, row.page);
    page += "\"><bdi>";
    appendHtmlText(page, row.name);
    page += "</bdi></a></td>";
    // Whole points: the rating's figures beyond them are noise to a reader.
    const auto rating = static_cast<std::int64_t>(std::lround(row.rating));
    page += "<td class=\"n\" data-v=\"";
    appendNumberData(page, rating);
    page += "\">";
    appendGroupedCount(page, rating);
    page += " <span class=\"muted\">±";
    appendGroupedCount(page, static_cast<std::int64_t>(std::lround(row.deviation)));
    page += "</span></td>";
    appendCountCell(page, row.matches);
    appendCountCell(page, row.kills, "n k");
    appendCountCell(page, row.deaths, "n d");
    appendRatioCell(page, row.kills, row.deaths, texts);
    page += "<td data-v=\"";
    appendNumberData(page, static_cast<std::int64_t>(row.lastWhen));
    page += "\"><a href=\"";
    appendUrlPath(page, row.lastReport);
    page += "\">";
    appendMatchDate(page, row.lastDate, row.lastStart, row.lastWhen, texts);
    page += "</a></td></tr>\n";
  }
}

}  // namespace

void appendRankingTable(std::string& page, std::span<const RankingRow> rows, std::int64_t firstPlace,
                        SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  page += "<div class=\"box\">\n<table class=\"sortable\">\n<thead><tr>";
  if (firstPlace > 0) appendHead(page, texts.columnPlace, "n");
  appendHead(page, texts.columnPlayer);
  appendHead(page, texts.columnRating, "n");
  appendHead(page, texts.columnMatches, "n");
  appendHead(page, texts.columnKills, "n");
  appendHead(page, texts.columnDeaths, "n");
  appendHead(page, texts.columnKillsPerDeath, "n");
  appendHead(page, texts.columnLastMatch);
  page += "</tr></thead>\n<tbody>\n";
  appendRankingRows(page, rows, firstPlace, texts);
  page += "</tbody>\n</table>\n</div>\n";
}

void appendSortScript(std::string& page, SiteLanguage language) {
  page += kSortScript;
  page += htmlLanguageTag(language);
  page += kSortScriptEnd;
}

namespace {

/// A section's start: its id, heading and note.
void appendSectionStart(std::string& page, std::string_view id, std::string_view heading, const std::string& note) {
  page += "<section id=\"";
  page += id;
  page += "\">\n<h2>";
  page += heading;
  page += "</h2>\n<p class=\"note\">";
  page += note;
  page += "</p>\n";
}

}  // namespace

void appendRankingPartStart(std::string& page, RankingPart part, std::int64_t minMatches, std::int64_t activeDays,
                            SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  switch (part) {
    case RankingPart::ranked: {
      const std::string rulesLink =
          "<a href=\"" + std::string(kRatingPageName) + "\">" + std::string(texts.rankingRulesLink) + "</a>";
      appendSectionStart(page, "ranking", texts.rankingHeading,
                         fillText(texts.rankingNote, {groupedCount(activeDays), rulesLink}));
      return;
    }
    case RankingPart::unranked:
      appendSectionStart(page, "unranked", texts.unrankedHeading, fillText(texts.unrankedNote, {groupedCount(minMatches)}));
      return;
    case RankingPart::inactive:
      appendSectionStart(page, "inactive", texts.inactiveHeading, fillText(texts.inactiveNote, {groupedCount(activeDays)}));
      return;
  }
}

namespace {

void appendLatestAwards(std::string& page, const std::vector<IndexAwardPeriod>& periods, const SiteTexts& texts) {
  if (periods.empty()) return;
  page += "<section id=\"awards\">\n<h2>";
  page += texts.awardsHeading;
  page += "</h2>\n<div class=\"cols\">\n";
  for (const IndexAwardPeriod& period : periods) {
    page += "<div>\n<h3><a href=\"";
    page += kAwardsPageName;
    page += '#';
    appendHtmlText(page, period.anchor);
    page += "\">";
    appendHtmlText(page, period.title);
    page += "</a></h3>\n<div class=\"box\">\n<table>\n<tbody>\n";
    for (const IndexAward& award : period.awards) {
      page += "<tr><th scope=\"row\">";
      appendHtmlText(page, award.caption);
      page += "</th><td class=\"name\">";
      for (std::size_t at = 0; at < award.winners.size(); ++at) {
        if (at > 0) page += ", ";
        page += "<a href=\"" + std::string(kPlayersFolderName) + "/";
        appendUrlPath(page, award.winners[at].page);
        page += "\"><bdi>";
        appendHtmlText(page, award.winners[at].name);
        page += "</bdi></a>";
      }
      page += "</td><td class=\"n\">";
      appendHtmlText(page, award.figure);
      page += "</td></tr>\n";
    }
    page += "</tbody>\n</table>\n</div>\n</div>\n";
  }
  page += "</div>\n<p class=\"note\"><a href=\"";
  page += kAwardsPageName;
  page += "\">";
  page += texts.allAwardsLink;
  page += "</a></p>\n</section>\n";
}

/// The charts of when people play: kills per day and matches by hour.
void appendActivityCharts(std::string& page, const IndexCharts& charts, SiteLanguage language) {
  if (charts.days.empty()) return;
  const SiteTexts& texts = siteTexts(language);
  std::vector<ChartFigure> days;
  std::vector<std::string> labels;
  for (std::size_t at = 0; at < charts.days.size() && at < charts.kills.size(); ++at) {
    const std::int64_t kills = charts.kills[at];
    std::string title = charts.days[at] + ": ";
    appendGroupedCount(title, kills);
    title += ' ';
    title += countedNoun(language, kills, texts.killsOne, texts.killsFew, texts.killsMany);
    days.push_back(ChartFigure{kills, std::move(title)});
    labels.push_back(at < charts.labels.size() ? charts.labels[at] : charts.days[at]);  // the year is in the tooltip
  }
  const std::string_view weekdays[] = {texts.monday, texts.tuesday, texts.wednesday, texts.thursday,
                                       texts.friday, texts.saturday, texts.sunday};
  std::vector<ChartFigure> cells;
  for (std::size_t weekday = 0; weekday < 7; ++weekday) {
    for (std::size_t hour = 0; hour < 24; ++hour) {
      const std::int64_t matches = charts.matchesByHour[weekday * 24 + hour];
      std::string title(weekdays[weekday]);
      title += hour < 10 ? " 0" : " ";
      title += std::to_string(hour);
      title += ":00: ";
      appendGroupedCount(title, matches);
      title += ' ';
      title += countedNoun(language, matches, texts.matchesOne, texts.matchesFew, texts.matchesMany);
      cells.push_back(ChartFigure{matches, std::move(title)});
    }
  }
  std::vector<std::string> rows(std::begin(weekdays), std::end(weekdays));
  std::vector<std::string> hours;
  for (int hour = 0; hour < 24; ++hour) hours.push_back(std::to_string(hour));

  page += "<section id=\"activity\">\n<h2>";
  page += texts.activityHeading;
  page += "</h2>\n<div class=\"cols\">\n<div>\n<h3>";
  page += texts.killsPerDayHeading;
  page += "</h3>\n";
  appendColumnChart(page, texts.killsPerDayHeading, days, labels);
  page += "<p class=\"note\">";
  appendGroupedCount(page, static_cast<std::int64_t>(days.size()));
  page += ' ';
  page += texts.killsPerDayNote;
  page += "</p>\n</div>\n<div>\n<h3>";
  page += texts.matchesByHourHeading;
  page += "</h3>\n";
  appendCellGrid(page, texts.matchesByHourHeading, cells, rows, hours);
  page += "<p class=\"note\">";
  page += texts.matchesByHourNote;
  page += "</p>\n</div>\n</div>\n</section>\n";
}

/// Where a part of the ranking that the index only counts is listed whole.
void appendCountAndLink(std::string& page, std::string_view text, std::size_t count, const std::string& target,
                        std::string_view anchor, const SiteTexts& texts) {
  page += "<p class=\"note\">";
  appendTextAndCount(page, text, static_cast<std::int64_t>(count));
  page += ". <a href=\"";
  appendUrlPath(page, target);
  page += anchor;
  page += "\">";
  page += texts.wholeRanking;
  page += "</a></p>\n";
}

void appendRanking(std::string& page, const IndexRanking& ranking, SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  const bool counted = !ranking.rankingPages.empty();
  appendRankingPartStart(page, RankingPart::ranked, ranking.minMatches, ranking.activeDays, language);
  if (ranking.ranked.empty()) {
    page += "<p class=\"note\">";
    page += texts.noRankedYet;
    page += "</p>\n";
  } else {
    appendRankingTable(page, ranking.ranked, 1, language);
  }
  if (counted) {
    page += "<p class=\"note\">";
    appendTextAndCount(page, texts.topShown, static_cast<std::int64_t>(ranking.ranked.size()));
    appendTextAndCount(page, texts.ofTotal, static_cast<std::int64_t>(ranking.rankedCount));
    page += ". <a href=\"";
    appendUrlPath(page, ranking.rankingPages);
    page += "\">";
    page += texts.wholeRanking;
    page += "</a></p>\n";
  }
  page += "</section>\n";
  if (counted ? ranking.unrankedCount > 0 : !ranking.unranked.empty()) {
    appendRankingPartStart(page, RankingPart::unranked, ranking.minMatches, ranking.activeDays, language);
    if (counted) {
      appendCountAndLink(page, texts.peopleListed, ranking.unrankedCount, ranking.unrankedPage, "#unranked", texts);
    } else {
      appendRankingTable(page, ranking.unranked, 0, language);
    }
    page += "</section>\n";
  }
  if (counted ? ranking.inactiveCount == 0 : ranking.inactive.empty()) return;
  appendRankingPartStart(page, RankingPart::inactive, ranking.minMatches, ranking.activeDays, language);
  if (counted) {
    appendCountAndLink(page, texts.peopleListed, ranking.inactiveCount, ranking.inactivePage, "#inactive", texts);
  } else {
    appendRankingTable(page, ranking.inactive, 0, language);
  }
  page += "</section>\n";
}

}  // namespace

std::string buildIndexPage(const IndexContent& content, const IndexRanking* ranking, SiteLanguage language) {
  const SiteTexts& texts = siteTexts(language);
  std::string page;
  // Everyone the site lists, though a large site's index shows only the top.
  const std::size_t people = !ranking ? content.players.size()
                             : !ranking->rankingPages.empty()
                                 ? ranking->rankedCount + ranking->unrankedCount + ranking->inactiveCount
                                 : ranking->ranked.size() + ranking->unranked.size() + ranking->inactive.size();
  // About what a match's row and a player's row take; a page of 10,000
  // matches is a few megabytes, and growing by doubling would hold twice that.
  const std::size_t rows = std::min(content.matches.size(), ranking ? ranking->latestMatches : content.matches.size());
  const std::size_t listed = ranking ? ranking->ranked.size() + ranking->unranked.size() + ranking->inactive.size()
                                     : content.players.size();
  page.reserve(8192 + rows * 560 + listed * 640);
  if (ranking) {
    appendSitePageStart(page, texts.pageTitle, SitePage::index, "", language);
  } else {
    appendPageStart(page, texts.pageTitle, language);
  }
  appendHeader(page, texts);
  appendTotals(page, content, people, ranking, texts);
  if (ranking) appendLatestAwards(page, ranking->latestAwards, texts);
  if (ranking) appendActivityCharts(page, ranking->charts, language);
  appendMatches(page, content, ranking, language);
  if (ranking && !ranking->months.empty()) appendMonths(page, ranking->months, texts);
  if (ranking) {
    appendRanking(page, *ranking, language);
  } else {
    appendPlayers(page, content, texts);
  }
  appendFooter(page, texts);
  appendSortScript(page, language);
  page += "</body>\n</html>\n";
  return page;
}

std::vector<std::string> rebuildIndex(const std::filesystem::path& folder, const KnownRecords* known) {
  StreamedStore cache(folder / kIndexCacheName);
  IndexContent content = readIndexContent(folder, 0, &cache, known);
  const std::string page = buildIndexPage(content);
  const std::filesystem::path target = folder / kIndexPageName;
  if (!replaceFileContents(target, page)) throw cannotCreateFile(utf8FromPath(target));
  // The cache only saves time: an index without it is complete.
  if (cache.size() > 0) cache.seal();
  return std::move(content.pictures);
}

}  // namespace fragtally

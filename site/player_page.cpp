#include "site/player_page.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <span>

#include "base/fnv1a.h"
#include "base/output_names.h"
#include "base/site_page_names.h"
#include "base/site_texts.h"
#include "base/url_path.h"
#include "index/index_html.h"
#include "index/svg_chart.h"
#include "site/award_texts.h"
#include "site/awards_page.h"
#include "site/calendar.h"
#include "site/month_pages.h"

namespace fragtally {
namespace {

constexpr std::string_view kRoot = "../";

std::int64_t rounded(double value) { return static_cast<std::int64_t>(std::lround(value)); }

/// A share as a percentage with one decimal ("23,4 %", "23.4%"); "-" without a whole.
void appendPercent(std::string& page, std::int64_t part, std::int64_t whole, const SiteTexts& texts) {
  if (whole <= 0 || part < 0) {
    page += '-';
    return;
  }
  const auto tenths = (static_cast<std::uint64_t>(part) * 2000 / static_cast<std::uint64_t>(whole) + 1) / 2;
  page += std::to_string(tenths / 10);
  page += texts.decimalMark;
  page += std::to_string(tenths % 10);
  page += texts.percentSign;
}

void appendPersonLink(std::string& page, const SitePerson& person) {
  page += "<a href=\"";
  appendUrlPath(page, person.file);
  page += "\"><bdi>";
  appendHtmlText(page, person.shownName);
  page += "</bdi></a>";
}

void appendReportLink(std::string& page, const SiteMatch& match, const SiteTexts& texts) {
  page += "<a href=\"";
  page += kRoot;
  appendUrlPath(page, match.report);
  page += "\">";
  appendMatchDate(page, match.date, match.start, match.when, texts);
  page += "</a>";
}

void appendMapName(std::string& page, const SiteModel& model, std::int32_t map, const SiteTexts& texts) {
  if (map < 0) {
    page += "<span class=\"muted\">";
    page += texts.unknownMap;
    page += "</span>";
    return;
  }
  page += "<bdi>";
  appendHtmlText(page, model.maps[static_cast<std::size_t>(map)]);
  page += "</bdi>";
}

void appendCard(std::string& page, std::string_view label, const std::string& value) {
  page += "<li><b>";
  page += value;
  page += "</b><span>";
  page += label;
  page += "</span></li>\n";
}

std::string countText(std::int64_t count) { return groupedCount(count); }

std::string ratingText(const Glicko2Rating& rating) {
  std::string text = countText(rounded(rating.rating));
  text += " <span class=\"muted\">±";
  appendGroupedCount(text, rounded(rating.deviation));
  text += "</span>";
  return text;
}

void appendHeader(std::string& page, const SiteModel& model, const SitePerson& person, const SiteTexts& texts) {
  page += "<header>\n<h1><bdi>";
  appendHtmlText(page, person.shownName);
  page += "</bdi></h1>\n<p class=\"lead\">";
  appendHtmlText(page, person.key);
  page += "</p>\n<ul class=\"totals\">\n";
  // Neither his place nor his rating grown uncertain since: both move with
  // other people's matches, and twenty thousand pages would change with each
  // new match. The ranking shows them.
  const Glicko2Rating& afterLastDay =
      person.rating.course.empty() ? person.rating.rating : person.rating.course.back().rating;
  appendCard(page, texts.cardRatingAfterLastDay, ratingText(afterLastDay));
  appendCard(page, texts.totalMatches, countText(static_cast<std::int64_t>(person.matches.size())));
  appendCard(page, texts.totalKills, countText(person.kills));
  appendCard(page, texts.columnDeaths, countText(person.deaths));
  std::string ratio;
  appendKillsPerDeath(ratio, person.kills, person.deaths, texts);
  appendCard(page, texts.columnKillsPerDeath, ratio);
  if (!person.matches.empty()) {
    const SiteMatch& last = model.matches[person.matches.front().match];
    std::string seen;
    appendReportLink(seen, last, texts);
    appendCard(page, texts.lastMatch, seen);
  }
  page += "</ul>\n</header>\n";
}

/// A rating's course as its chart draws it: the whole hundreds of its two
/// lines, and each point's day, height and figures as shown. What the page
/// shows of the course, and all its fingerprint takes of it: a later rating
/// moved by a fraction of a point leaves most people's courses as drawn.
struct DrawnCourse {
  struct Point {
    std::int64_t day = 0;
    int y = 0;
    std::int64_t rating = 0;
    std::int64_t deviation = 0;
  };
  std::int64_t bottom = 0;
  std::int64_t top = 0;
  int bottomY = 0;
  int topY = 0;
  std::vector<Point> points;
};

DrawnCourse drawnCourse(const std::vector<RatingPoint>& course) {
  DrawnCourse drawn;
  if (course.empty()) return drawn;
  double low = course.front().rating.rating;
  double high = low;
  for (const RatingPoint& point : course) {
    low = std::min(low, point.rating.rating);
    high = std::max(high, point.rating.rating);
  }
  // Whole hundreds around the line, at least one hundred apart.
  const double bottom = std::floor(low / 100.0) * 100.0;
  const double top = std::max(std::ceil(high / 100.0) * 100.0, bottom + 100.0);
  const auto y = [&](double rating) {
    return kChartTop +
           static_cast<int>(std::lround((top - rating) * (kChartHeight - kChartTop - kChartBottom) / (top - bottom)));
  };
  drawn.bottom = rounded(bottom);
  drawn.top = rounded(top);
  drawn.bottomY = y(bottom);
  drawn.topY = y(top);
  drawn.points.reserve(course.size());
  for (const RatingPoint& point : course) {
    drawn.points.push_back(DrawnCourse::Point{point.day, y(point.rating.rating), rounded(point.rating.rating),
                                              rounded(point.rating.deviation)});
  }
  return drawn;
}

/// The rating at the end of each day of play as a line, drawn here: no script,
/// each point with its figures as a tooltip. Its area is every chart's, so
/// that the line and the columns beside it read alike.
void appendCourse(std::string& page, const SitePerson& person, const SiteTexts& texts) {
  page += "<section id=\"course\">\n<h2>";
  page += texts.courseHeading;
  page += "</h2>\n";
  const DrawnCourse drawn = drawnCourse(person.rating.course);
  const std::vector<DrawnCourse::Point>& points = drawn.points;
  if (points.empty()) {
    page += "<p class=\"note\">";
    page += texts.noCourse;
    page += "</p>\n</section>\n";
    return;
  }
  const std::int64_t firstDay = points.front().day;
  const std::int64_t days = std::max<std::int64_t>(points.back().day - firstDay, 1);
  const auto x = [&](std::int64_t day) {
    if (points.size() == 1) return kChartLeft + (kChartWidth - kChartLeft - kChartRight) / 2;
    return kChartLeft + static_cast<int>((day - firstDay) * (kChartWidth - kChartLeft - kChartRight) / days);
  };
  char text[160];
  appendChartStart(page, kChartWidth, kChartHeight, texts.courseHeading);
  for (const auto& [level, levelY] : {std::pair{drawn.bottom, drawn.bottomY}, std::pair{drawn.top, drawn.topY}}) {
    std::snprintf(text, sizeof text, "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\"/><text x=\"4\" y=\"%d\">%lld</text>\n",
                  kChartLeft, levelY, kChartWidth - kChartRight, levelY, levelY + 4, static_cast<long long>(level));
    page += text;
  }
  std::snprintf(text, sizeof text, "<text x=\"%d\" y=\"%d\">", kChartLeft, kChartHeight - 6);
  page += text;
  page += dateText(points.front().day, texts);
  page += "</text>";
  if (points.size() > 1) {
    std::snprintf(text, sizeof text, "<text x=\"%d\" y=\"%d\" text-anchor=\"end\">", kChartWidth - kChartRight,
                  kChartHeight - 6);
    page += text;
    page += dateText(points.back().day, texts);
    page += "</text>";
  }
  page += "\n<polyline points=\"";
  for (std::size_t at = 0; at < points.size(); ++at) {
    std::snprintf(text, sizeof text, "%s%d,%d", at == 0 ? "" : " ", x(points[at].day), points[at].y);
    page += text;
  }
  page += "\"/>\n";
  for (const DrawnCourse::Point& point : points) {
    std::snprintf(text, sizeof text, "<circle cx=\"%d\" cy=\"%d\" r=\"3\"><title>", x(point.day), point.y);
    page += text;
    page += dateText(point.day, texts);
    page += ": ";
    appendGroupedCount(page, point.rating);
    page += " ±";
    appendGroupedCount(page, point.deviation);
    page += "</title></circle>\n";
  }
  appendChartEnd(page);
  page += "<p class=\"note\">";
  appendFilled(page, texts.courseNote, {countText(person.rating.games)});
  page += "</p>\n</section>\n";
}

/// His kills per day over the kChartDays days that end with his last match:
/// the same span as the index's chart, a column a calendar day, so that his
/// breaks show as gaps; all his days of play side by side would squeeze a
/// regular's years into hairlines and hide when he was away.
void appendKillsPerDay(std::string& page, const SiteModel& model, const SitePerson& person) {
  if (person.matches.empty()) return;
  const SiteTexts& texts = siteTexts(model.language);
  const std::int64_t lastDay = model.matches[person.matches.front().match].day;
  const std::vector<DayKills> played = killsByDayOf(model, person);
  const std::vector<std::int64_t> kills = killsOfDays(played, lastDay);
  std::vector<ChartFigure> columns;
  const auto dayOf = [&](std::size_t at) { return lastDay - static_cast<std::int64_t>(kills.size() - 1 - at); };
  auto nextPlayed = played.begin();
  for (std::size_t at = 0; at < kills.size(); ++at) {
    const std::int64_t day = dayOf(at);
    // Most people play on few of the days: only those are drawn, each with its figure.
    while (nextPlayed != played.end() && nextPlayed->day < day) ++nextPlayed;
    if (nextPlayed == played.end() || nextPlayed->day != day) {
      columns.push_back(ChartFigure{0, {}});
      continue;
    }
    std::string title = dateText(day, texts) + ": ";
    appendGroupedCount(title, kills[at]);
    title += ' ';
    title += countedNoun(model.language, kills[at], texts.killsOne, texts.killsFew, texts.killsMany);
    columns.push_back(ChartFigure{kills[at], std::move(title)});
  }
  page += "<section id=\"kills\">\n<h2>";
  page += texts.killsPerDayHeading;
  page += "</h2>\n";
  appendColumnChart(page, texts.killsPerDayHeading, columns, [&](std::size_t at) {
    const CalendarDate calendar = dateOfDay(dayOf(at));
    return dateText(texts.chartDayPattern, calendar.year, calendar.month, calendar.day);  // the year is in the tooltip
  });
  page += "<p class=\"note\">";
  appendGroupedCount(page, static_cast<std::int64_t>(kills.size()));
  page += ' ';
  page += texts.playerKillsPerDayNote;
  page += "</p>\n</section>\n";
}

void appendRow(std::string& page, std::string_view label, const std::string& value) {
  page += "<tr><th scope=\"row\">";
  page += label;
  page += "</th><td class=\"n\">";
  page += value;
  page += "</td></tr>\n";
}

void appendFigures(std::string& page, const SitePerson& person, const SiteTexts& texts) {
  page += "<section id=\"figures\">\n<h2>";
  page += texts.figuresHeading;
  page += "</h2>\n<div class=\"cols\">\n<div class=\"box\">\n<table>\n<tbody>\n";
  appendRow(page, texts.totalKills, countText(person.kills));
  appendRow(page, texts.columnDeaths, countText(person.deaths));
  std::string ratio;
  appendKillsPerDeath(ratio, person.kills, person.deaths, texts);
  appendRow(page, texts.columnKillsPerDeath, ratio);
  appendRow(page, texts.rowSuicides, countText(person.suicides));
  appendRow(page, texts.rowTeamKills, countText(person.teamKills));
  if (person.shots > 0) {
    std::string share;
    appendPercent(share, person.hits, person.shots, texts);
    appendRow(page, texts.rowAccuracy, share);
    appendRow(page, texts.rowHeadshots, countText(person.headshots));
    appendRow(page, texts.rowDamage, countText(person.damage));
  }
  page += "</tbody>\n</table>\n</div>\n<div class=\"box\">\n<table>\n<tbody>\n";
  appendRow(page, texts.rowBombsPlanted, countText(person.bombsPlanted));
  appendRow(page, texts.rowBombsDefused, countText(person.bombsDefused));
  appendRow(page, texts.rowHostagesRescued, countText(person.hostagesRescued));
  appendRow(page, texts.rowHostagesKilled, countText(person.hostagesKilled));
  appendRow(page, texts.rowRoundsWon, countText(person.roundsWon));
  page += "</tbody>\n</table>\n</div>\n</div>\n";
  if (person.shots == 0) {
    page += "<p class=\"note\">";
    page += texts.noShotsNote;
    page += "</p>\n";
  }
  page += "</section>\n";
}

void appendWeapons(std::string& page, const SiteModel& model, const SitePerson& person,
                   const std::vector<std::string>& pictures, const SiteTexts& texts) {
  if (person.weapons.empty()) return;
  const bool withShots = person.shots > 0;
  const auto head = [&](std::string_view text) {
    page += "<th class=\"n\">";
    page += text;
    page += "</th>";
  };
  page += "<section id=\"weapons\">\n<h2>";
  page += texts.weaponsHeading;
  page += "</h2>\n<div class=\"box\">\n<table>\n<thead><tr><th>";
  page += texts.columnWeapon;
  page += "</th>";
  head(texts.columnKills);
  if (withShots) {
    head(texts.columnShots);
    head(texts.columnHits);
    head(texts.columnAccuracy);
    head(texts.columnHeadshots);
    head(texts.columnDamage);
  }
  page += "</tr></thead>\n<tbody>\n";
  for (const PersonWeapon& weapon : person.weapons) {
    const std::string& name = model.weapons[weapon.weapon];
    page += "<tr><td class=\"w\">";
    if (std::binary_search(pictures.begin(), pictures.end(), name)) {
      page += "<img class=\"weapon\" alt=\"\" src=\"";
      page += kRoot;
      appendUrlPath(page, name + kPictureExtension);
      page += "\">";
    }
    appendHtmlText(page, name);
    page += "</td><td class=\"n k\">";
    appendGroupedCount(page, weapon.kills);
    page += "</td>";
    if (withShots) {
      page += "<td class=\"n\">";
      appendGroupedCount(page, weapon.shots);
      page += "</td><td class=\"n\">";
      appendGroupedCount(page, weapon.hits);
      page += "</td><td class=\"n\">";
      appendPercent(page, weapon.hits, weapon.shots, texts);
      page += "</td><td class=\"n\">";
      appendGroupedCount(page, weapon.headshots);
      page += "</td><td class=\"n\">";
      appendGroupedCount(page, weapon.damage);
      page += "</td>";
    }
    page += "</tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n</section>\n";
}

void appendOpponents(std::string& page, const SiteModel& model, const std::vector<PersonCount>& list,
                     std::string_view heading, std::string_view none) {
  page += "<div>\n<h2>";
  page += heading;
  page += "</h2>\n";
  if (list.empty()) {
    page += "<p class=\"note\">";
    page += none;
    page += "</p>\n</div>\n";
    return;
  }
  page += "<div class=\"box\">\n<table>\n<tbody>\n";
  for (const PersonCount& entry : list) {
    page += "<tr><td class=\"name\">";
    appendPersonLink(page, model.people[entry.person]);
    page += "</td><td class=\"n\">";
    appendGroupedCount(page, entry.count);
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n</div>\n";
}

void appendMapsAndNames(std::string& page, const SiteModel& model, const SitePerson& person, const SiteTexts& texts) {
  page += "<div class=\"cols\">\n<section id=\"maps\">\n<h2>";
  page += texts.mapsHeading;
  page += "</h2>\n<div class=\"box\">\n<table>\n<thead><tr><th>";
  page += texts.columnMap;
  page += "</th><th class=\"n\">";
  page += texts.columnMatches;
  page += "</th></tr></thead>\n<tbody>\n";
  for (const MapCount& map : person.maps) {
    page += "<tr><td class=\"name\">";
    appendMapName(page, model, map.map, texts);
    page += "</td><td class=\"n\">";
    appendGroupedCount(page, map.matches);
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n</section>\n<section id=\"names\">\n<h2>";
  page += texts.namesHeading;
  page += "</h2>\n<p class=\"text\">";
  for (std::size_t at = 0; at < person.names.size(); ++at) {
    if (at > 0) page += ", ";
    page += "<bdi>";
    appendHtmlText(page, person.names[at]);
    page += "</bdi>";
  }
  page += "</p>\n</section>\n</div>\n";
}

/// A regular's older matches, too many for one page, by the months' pages
/// that list them, with how many of each month's were his.
void appendOlderMonths(std::string& page, const SiteModel& model, const SitePerson& person, std::size_t shown) {
  const SiteTexts& texts = siteTexts(model.language);
  page += "<p class=\"note\">";
  page += texts.playerLatestMatches;
  page += ' ';
  appendGroupedCount(page, static_cast<std::int64_t>(shown));
  page += ". ";
  page += texts.playerOlderMatches;
  page += "</p>\n<ul class=\"links\">\n";
  const auto olderMatches = std::span(person.matches).subspan(shown);
  for (std::size_t at = 0; at < olderMatches.size();) {
    const std::uint32_t month = monthOfMatch(model.matches[olderMatches[at].match].when);
    std::size_t his = 0;
    for (; at < olderMatches.size() && monthOfMatch(model.matches[olderMatches[at].match].when) == month; ++at) ++his;
    page += "<li><a href=\"";
    page += kRoot;
    appendUrlPath(page, monthPageName(month));
    page += "\">";
    appendHtmlText(page, monthTitle(month, texts));
    page += "</a> <span class=\"muted\">(";
    appendGroupedCount(page, static_cast<std::int64_t>(his));
    page += ")</span></li>\n";
  }
  page += "</ul>\n";
}

void appendMatches(std::string& page, const SiteModel& model, const SitePerson& person, const SiteTexts& texts) {
  page += "<section id=\"matches\">\n<h2>";
  page += texts.matchesHeading;
  page += "</h2>\n<div class=\"box\">\n<table>\n<thead><tr><th>";
  page += texts.columnDate;
  page += "</th><th>";
  page += texts.columnMap;
  page += "</th><th>";
  page += texts.columnStart;
  page += "</th><th class=\"n\">";
  page += texts.columnKills;
  page += "</th><th class=\"n\">";
  page += texts.columnDeaths;
  page += "</th></tr></thead>\n<tbody>\n";
  const std::size_t shown = std::min(person.matches.size(), kPlayerPageMatches);
  for (const PersonMatch& own : std::span(person.matches).first(shown)) {
    const SiteMatch& match = model.matches[own.match];
    page += "<tr><td>";
    appendReportLink(page, match, texts);
    page += "</td><td class=\"name\">";
    appendMapName(page, model, match.map, texts);
    page += "</td><td>";
    appendHtmlText(page, match.start);
    page += "</td><td class=\"n k\">";
    appendGroupedCount(page, own.kills);
    page += "</td><td class=\"n d\">";
    appendGroupedCount(page, own.deaths);
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n";
  if (shown < person.matches.size()) appendOlderMonths(page, model, person, shown);
  page += "</section>\n";
}

/// The awards he won, as awardsByPerson lists them: months, weeks, days.
void appendAwards(std::string& page, const SiteModel& model, const SitePerson& person, const SiteTexts& texts) {
  page += "<section id=\"awards\">\n<h2>";
  page += texts.awardsHeading;
  page += "</h2>\n";
  if (person.awards.empty()) {
    page += "<p class=\"note\">";
    page += texts.noAwards;
    page += "</p>\n</section>\n";
    return;
  }
  page += "<div class=\"box\">\n<table>\n<thead><tr><th>";
  page += texts.columnPeriod;
  page += "</th><th>";
  page += texts.columnAward;
  page += "</th><th class=\"n\">";
  page += texts.columnFigure;
  page += "</th></tr></thead>\n<tbody>\n";
  for (const WonAward& won : person.awards) {
    page += "<tr><td>";
    // Days the awards page no longer lists are named without a link.
    const bool linked = awardsPageShows(model.awards, won.period);
    if (linked) {
      page += "<a href=\"";
      page += kRoot;
      page += kAwardsPageName;
      page += '#';
      page += periodAnchor(won.period);
      page += "\">";
    }
    page += periodTitle(won.period, texts);
    if (linked) page += "</a>";
    page += "</td><td>";
    page += awardCaption(texts, won.id);
    if (won.shared) {
      page += " <span class=\"muted\">";
      page += texts.sharedAward;
      page += "</span>";
    }
    page += "</td><td class=\"n\">";
    appendAwardFigure(page, won.id, won.figure, texts);
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n</section>\n";
}

/// The bytes a page's fingerprint is taken of: numbers as eight bytes, texts
/// after their lengths, so that no two fields run into each other.
class InputBytes {
 public:
  void number(std::int64_t value) {
    char word[sizeof value];
    std::memcpy(word, &value, sizeof value);
    bytes_.append(word, sizeof word);
  }
  void number(double value) { number(std::bit_cast<std::int64_t>(value)); }
  void text(std::string_view text) {
    number(static_cast<std::int64_t>(text.size()));
    bytes_ += text;
  }
  void shownRating(const Glicko2Rating& rating) {
    number(rounded(rating.rating));
    number(rounded(rating.deviation));
  }
  void map(const SiteModel& model, std::int32_t map) {
    number(std::int64_t{map});
    if (map >= 0) text(model.maps[static_cast<std::size_t>(map)]);
  }
  void reserve(std::size_t bytes) { bytes_.reserve(bytes); }
  [[nodiscard]] std::uint64_t fingerprint() const { return std::max<std::uint64_t>(fnv1a64Words(bytes_), 1); }

 private:
  std::string bytes_;
};

}  // namespace

std::string buildPlayerPage(const SiteModel& model, const SitePerson& person,
                            const std::vector<std::string>& pictures) {
  std::string page;
  page.reserve(12000 + std::min(person.matches.size(), kPlayerPageMatches) * 220 + person.rating.course.size() * 90 + person.awards.size() * 160);
  const SiteTexts& texts = siteTexts(model.language);
  appendSitePageStart(page, fillText(texts.playerTitle, {person.shownName}), SitePage::player, kRoot, model.language);
  appendHeader(page, model, person, texts);
  page += "<div class=\"cols\">\n";
  appendCourse(page, person, texts);
  appendKillsPerDay(page, model, person);
  page += "</div>\n";
  appendAwards(page, model, person, texts);
  appendFigures(page, person, texts);
  appendWeapons(page, model, person, pictures, texts);
  page += "<div class=\"cols\">\n";
  appendOpponents(page, model, person.victims, texts.victimsHeading, texts.noVictims);
  appendOpponents(page, model, person.killers, texts.killersHeading, texts.noKillers);
  page += "</div>\n";
  appendMapsAndNames(page, model, person, texts);
  appendMatches(page, model, person, texts);
  appendFooter(page, texts);
  page += "</body>\n</html>\n";
  return page;
}

std::uint64_t playerPageInputs(const SiteModel& model, const SitePerson& person,
                               const std::vector<std::string>& pictures) {
  InputBytes in;
  in.reserve(1024 + std::min(person.matches.size(), kPlayerPageMatches) * 64 + person.matches.size() * 24);
  in.number(static_cast<std::int64_t>(model.language));
  in.text(person.key);
  in.text(person.file);
  in.text(person.shownName);
  in.number(static_cast<std::int64_t>(person.names.size()));
  for (const std::string& name : person.names) in.text(name);
  // His rating now shows only where he has no course; it moves with every
  // day anyone plays. The header's rating is the course's last point.
  if (person.rating.course.empty()) in.shownRating(person.rating.rating);
  in.number(person.rating.games);
  const DrawnCourse drawn = drawnCourse(person.rating.course);
  in.number(drawn.bottom);
  in.number(drawn.top);
  in.number(std::int64_t{drawn.bottomY});
  in.number(std::int64_t{drawn.topY});
  in.number(static_cast<std::int64_t>(drawn.points.size()));
  for (const DrawnCourse::Point& point : drawn.points) {
    in.number(point.day);
    in.number(std::int64_t{point.y});
    in.number(point.rating);
    in.number(point.deviation);
  }
  for (const std::int64_t sum : {person.kills, person.deaths, person.suicides, person.teamKills, person.shots,
                                 person.hits, person.headshots, person.damage, person.bombsPlanted, person.bombsDefused,
                                 person.hostagesRescued, person.hostagesKilled, person.roundsWon}) {
    in.number(sum);
  }
  // The latest matches as their rows show them; the older ones by their
  // months and days, which the links to the months and the chart of kills show.
  in.number(static_cast<std::int64_t>(person.matches.size()));
  for (std::size_t at = 0; at < person.matches.size(); ++at) {
    const PersonMatch& own = person.matches[at];
    const SiteMatch& match = model.matches[own.match];
    in.number(static_cast<std::int64_t>(match.when));
    in.number(match.day);
    in.number(std::int64_t{own.kills});
    if (at >= kPlayerPageMatches) continue;
    in.number(std::int64_t{own.deaths});
    in.text(match.report);
    in.text(match.date);
    in.text(match.start);
    in.map(model, match.map);
  }
  in.number(static_cast<std::int64_t>(person.weapons.size()));
  for (const PersonWeapon& weapon : person.weapons) {
    const std::string& name = model.weapons[weapon.weapon];
    in.text(name);
    in.number(std::int64_t{std::binary_search(pictures.begin(), pictures.end(), name)});
    for (const std::int64_t figure : {weapon.kills, weapon.shots, weapon.hits, weapon.headshots, weapon.damage}) {
      in.number(figure);
    }
  }
  for (const std::vector<PersonCount>* opponents : {&person.victims, &person.killers}) {
    in.number(static_cast<std::int64_t>(opponents->size()));
    for (const PersonCount& entry : *opponents) {
      const SitePerson& other = model.people[entry.person];
      in.text(other.file);
      in.text(other.shownName);
      in.number(entry.count);
    }
  }
  in.number(static_cast<std::int64_t>(person.maps.size()));
  for (const MapCount& map : person.maps) {
    in.map(model, map.map);
    in.number(map.matches);
  }
  // An award links the awards page only while that page lists its period.
  in.number(static_cast<std::int64_t>(person.awards.size()));
  for (const WonAward& won : person.awards) {
    in.number(static_cast<std::int64_t>(won.period.kind));
    in.number(won.period.firstDay);
    in.number(won.period.lastDay);
    in.number(static_cast<std::int64_t>(won.id));
    in.number(won.figure);
    in.number(std::int64_t{won.shared});
    in.number(std::int64_t{awardsPageShows(model.awards, won.period)});
  }
  return in.fingerprint();
}

}  // namespace fragtally

#include "site/maps_page.h"

#include <algorithm>

#include "base/output_names.h"
#include "base/site_texts.h"
#include "base/url_path.h"
#include "index/index_html.h"
#include "index/svg_chart.h"

namespace fragtally {
namespace {

/// The map's name as log text, or the site's own name of the unknown map.
std::string_view mapNameOf(const SiteModel& model, const SiteTexts& texts, const SiteMap& map) {
  return map.map >= 0 ? std::string_view(model.maps[static_cast<std::size_t>(map.map)]) : texts.unknownMap;
}

void appendMapName(std::string& page, const SiteModel& model, const SiteTexts& texts, const SiteMap& map) {
  if (map.map < 0) {
    page += "<span class=\"muted\">";
    page += texts.unknownMap;
    page += "</span>";
    return;
  }
  page += "<bdi>";
  appendHtmlText(page, model.maps[static_cast<std::size_t>(map.map)]);
  page += "</bdi>";
}

std::string countedText(SiteLanguage language, std::int64_t count, std::string_view one, std::string_view few,
                        std::string_view many) {
  std::string text;
  appendGroupedCount(text, count);
  text += ' ';
  text += countedNoun(language, count, one, few, many);
  return text;
}

/// A whole divided by a count with one decimal, rounded half up: "4,5".
void appendAverage(std::string& page, const SiteTexts& texts, std::int64_t whole, std::int64_t count) {
  if (count <= 0 || whole < 0) {
    page += '-';
    return;
  }
  const auto tenths = (static_cast<std::uint64_t>(whole) * 20 / static_cast<std::uint64_t>(count) + 1) / 2;
  page += std::to_string(tenths / 10);
  page += texts.decimalMark;
  page += std::to_string(tenths % 10);
}

void appendPopularity(std::string& page, const SiteModel& model, const SiteTexts& texts) {
  std::vector<ChartBar> bars;
  for (const SiteMap& map : model.mapFigures) {
    const std::string_view name = mapNameOf(model, texts, map);
    std::string title(name);
    title += ": ";
    title += countedText(model.language, map.matches, texts.matchesOne, texts.matchesFew, texts.matchesMany);
    bars.push_back(ChartBar{std::string(name), ChartFigure{map.matches, std::move(title)}});
  }
  page += "<section id=\"popularity\">\n<h2>";
  page += texts.mapPopularity;
  page += "</h2>\n";
  appendBarList(page, texts.mapPopularity, bars);
  page += "</section>\n";
}

void appendWeapons(std::string& page, const SiteModel& model, const SiteMap& map,
                   const std::vector<std::string>& pictures) {
  if (map.weapons.empty()) {
    page += '-';
    return;
  }
  for (std::size_t at = 0; at < map.weapons.size(); ++at) {
    const std::string& name = model.weapons[map.weapons[at].weapon];
    page += "<span class=\"use\">";
    if (std::binary_search(pictures.begin(), pictures.end(), name)) {
      page += "<img class=\"weapon\" alt=\"\" src=\"";
      appendUrlPath(page, name + kPictureExtension);
      page += "\">";
    }
    page += "<span class=\"w\">";
    appendHtmlText(page, name);
    page += "</span> <span class=\"k\">";
    appendGroupedCount(page, map.weapons[at].kills);
    page += "</span></span>";
  }
}

void appendRow(std::string& page, const SiteModel& model, const SiteTexts& texts, const SiteMap& map,
               const std::vector<std::string>& pictures) {
  page += "<tr><td class=\"name\">";
  appendMapName(page, model, texts, map);
  page += "</td><td class=\"n\">";
  appendGroupedCount(page, map.matches);
  page += "</td><td class=\"n\"><span class=\"ct\">";
  appendGroupedCount(page, map.ctRounds);
  page += "</span>:<span class=\"t\">";
  appendGroupedCount(page, map.terroristRounds);
  page += "</span></td><td>";
  std::string label = "CT ";
  appendGroupedCount(label, map.ctRounds);
  label += " : T ";
  appendGroupedCount(label, map.terroristRounds);
  appendSplitBar(page, label,
                 ChartFigure{map.ctRounds, "CT: " + countedText(model.language, map.ctRounds, texts.roundsOne, texts.roundsFew,
                                                                 texts.roundsMany)},
                 ChartFigure{map.terroristRounds, "T: " + countedText(model.language, map.terroristRounds, texts.roundsOne,
                                                                       texts.roundsFew, texts.roundsMany)});
  page += "</td><td class=\"n k\">";
  appendGroupedCount(page, map.kills);
  page += "</td><td class=\"n\">";
  appendAverage(page, texts, map.players, map.matches);
  page += "</td><td class=\"uses\">";
  appendWeapons(page, model, map, pictures);
  page += "</td><td>";
  const SiteMatch& last = model.matches[map.lastMatch];
  page += "<a href=\"";
  appendUrlPath(page, last.report);
  page += "\">";
  appendMatchDate(page, last.date, last.start, last.when, texts);
  page += "</a></td></tr>\n";
}

void appendTable(std::string& page, const SiteModel& model, const SiteTexts& texts,
                 const std::vector<std::string>& pictures) {
  page += "<section id=\"maps\">\n<h2>";
  page += texts.mapsTitle;
  page += "</h2>\n<div class=\"box\">\n<table>\n<thead><tr><th>";
  page += texts.columnMap;
  page += "</th><th class=\"n\">";
  page += texts.columnMatches;
  page += "</th><th class=\"n\">";
  page += texts.columnRounds;
  page += " <span class=\"ct\">CT</span>:<span class=\"t\">T</span></th><th>";
  page += texts.columnSideBalance;
  page += "</th><th class=\"n\">";
  page += texts.columnKills;
  page += "</th><th class=\"n\">";
  page += texts.columnPlayersPerMatch;
  page += "</th><th>";
  page += texts.columnTopWeapons;
  page += "</th><th>";
  page += texts.lastMatch;
  page += "</th></tr></thead>\n<tbody>\n";
  for (const SiteMap& map : model.mapFigures) appendRow(page, model, texts, map, pictures);
  page += "</tbody>\n</table>\n</div>\n</section>\n";
}

}  // namespace

std::string buildMapsPage(const SiteModel& model, const std::vector<std::string>& pictures) {
  const SiteTexts& texts = siteTexts(model.language);
  std::string page;
  page.reserve(8192 + model.mapFigures.size() * 900);
  appendSitePageStart(page, texts.mapsTitle, SitePage::maps, "", model.language);
  page += "<header>\n<h1>";
  page += texts.mapsTitle;
  page += "</h1>\n<p class=\"lead\">";
  page += texts.mapsLead;
  page += "</p>\n</header>\n";
  if (model.mapFigures.empty()) {
    page += "<p class=\"note\">";
    page += texts.noMaps;
    page += "</p>\n";
  } else {
    appendPopularity(page, model, texts);
    appendTable(page, model, texts, pictures);
  }
  appendFooter(page, texts);
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace fragtally

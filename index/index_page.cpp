#include "index/index_page.h"

#include <algorithm>
#include <string_view>

#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "base/output_names.h"
#include "base/url_path.h"
#include "index/index_cache.h"
#include "index/index_html.h"
#include "version.h"

namespace fragtally {
namespace {

constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Статистика матчей</title>
<style>
:root{color-scheme:dark}
*{box-sizing:border-box}
body{margin:0;background:#0b0e12;color:#e3e7ec;font:15px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,Ubuntu,sans-serif}
main{max-width:1200px;margin:0 auto;padding:20px 12px 36px}
h1{margin:0;font-size:1.7em;letter-spacing:.01em}
h2{margin:1.8em 0 .6em;font-size:1.2em}
.lead{margin:.3em 0 0;color:#8b949e}
.totals{display:grid;grid-template-columns:repeat(auto-fit,minmax(130px,1fr));gap:10px;margin:18px 0 0;padding:0;list-style:none}
.totals li{background:#151a21;border:1px solid #262d36;border-radius:10px;padding:10px 14px}
.totals b{display:block;font-size:1.45em;font-weight:600;font-variant-numeric:tabular-nums}
.totals span{color:#8b949e;font-size:.85em}
.box{overflow-x:auto;border:1px solid #262d36;border-radius:10px;background:#10141a}
table{width:100%;border-collapse:collapse;font-variant-numeric:tabular-nums}
th,td{padding:7px 11px;text-align:left;white-space:nowrap;border-bottom:1px solid #1e242c}
thead th{background:#171d25;color:#a9b3be;font-size:.82em;font-weight:600;text-transform:uppercase;letter-spacing:.03em}
tbody tr:nth-child(even){background:#131820}
tbody tr:hover{background:#1b2330}
tbody tr:last-child td{border-bottom:0}
.n{text-align:right}
.name{max-width:16em;overflow:hidden;text-overflow:ellipsis}
a{color:#58c4ff;text-decoration:none}
a:hover,a:focus{text-decoration:underline}
.ct{color:#6fa8ff}.t{color:#ff6b6b}.k{color:#f2665d}.d{color:#66f25d}.w{color:#e48be4}.muted{color:#8b949e}
.note{margin:.7em 0 0;color:#8b949e}
th[tabindex]{cursor:pointer}
th[aria-sort=descending]::after{content:" \25BE"}
th[aria-sort=ascending]::after{content:" \25B4"}
footer{margin-top:2.4em;color:#6e7781;font-size:.85em}
</style>
</head>
<body>
<main>
<header>
<h1>Статистика матчей</h1>
<p class="lead">Матчи и игроки по всем отчётам этой папки</p>
)";

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
                            : x.textContent.localeCompare(y.textContent, 'ru');
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

// The date as a Russian reader writes it (DD.MM.YYYY), marked with its
// machine-readable form; a date of another form is shown as the log has it.
void appendDate(std::string& page, const IndexMatch& match) {
  if (match.when == 0) {
    appendHtmlText(page, match.date);
    return;
  }
  const std::string_view date = match.date;
  page += "<time datetime=\"";
  page.append(date.substr(6, 4)).append("-").append(date.substr(0, 2)).append("-").append(date.substr(3, 2));
  page += "T";
  page += match.start;
  page += "\">";
  page.append(date.substr(3, 2)).append(".").append(date.substr(0, 2)).append(".").append(date.substr(6, 4));
  page += "</time>";
}

// Log texts are set apart with <bdi>: a name written right to left, or with
// direction marks in it, cannot turn the figures beside it around.
void appendMap(std::string& page, const IndexMatch& match) {
  if (match.map) {
    page += "<bdi>";
    appendHtmlText(page, *match.map);
    page += "</bdi>";
  } else {
    page += "<span class=\"muted\">(неизвестна)</span>";
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

void appendTotals(std::string& page, const IndexContent& content) {
  page += "<ul class=\"totals\">\n";
  page += "<li><b>";
  appendGroupedCount(page, static_cast<std::int64_t>(content.matches.size()));
  page += "</b><span>Матчей</span></li>\n<li><b>";
  appendGroupedCount(page, content.kills);
  page += "</b><span>Убийств</span></li>\n<li><b>";
  appendGroupedCount(page, static_cast<std::int64_t>(content.players.size()));
  page += "</b><span>Игроков</span></li>\n";
  // Newest first: the last match listed with a readable date is the first
  // one played (matches without one are listed last).
  const auto dated = std::find_if(content.matches.rbegin(), content.matches.rend(),
                                  [](const IndexMatch& match) { return match.when != 0; });
  if (dated != content.matches.rend()) {
    page += "<li><b>";
    appendDate(page, *dated);
    page += "</b><span>Первый матч</span></li>\n<li><b>";
    appendDate(page, content.matches.front());
    page += "</b><span>Последний матч</span></li>\n";
  }
  page += "</ul>\n</header>\n";
}

void appendMatches(std::string& page, const IndexContent& content) {
  page += "<section id=\"matches\">\n<h2>Матчи</h2>\n";
  if (content.matches.empty()) {
    page += "<p class=\"note\">Матчей с убийствами пока нет.</p>\n";
  } else {
    page +=
        "<div class=\"box\">\n<table class=\"sortable\">\n<thead><tr><th>Дата</th><th>Карта</th>"
        "<th class=\"n\">Раунды <span class=\"ct\">CT</span>:<span class=\"t\">T</span></th>"
        "<th class=\"n\">Убийств</th><th>Лучший игрок</th><th class=\"n\">Игроков</th><th>Начало игры</th>"
        "<th class=\"n\">Игровое время</th><th>Отчёт</th></tr></thead>\n<tbody>\n";
    // What a phone shows first comes first: the date (a link to the report
    // too), the map and the score; the rest is a scroll away.
    for (const IndexMatch& match : content.matches) {
      page += "<tr><td data-v=\"";
      appendNumberData(page, match.when);
      page += "\"><a href=\"";
      appendUrlPath(page, match.report);
      page += "\">";
      appendDate(page, match);
      page += "</a></td><td class=\"name\">";
      appendMap(page, match);
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
  if (content.logsWithoutKills > 0) {
    page += "<p class=\"note\">Логов без убийств (не показаны): ";
    appendGroupedCount(page, static_cast<std::int64_t>(content.logsWithoutKills));
    page += "</p>\n";
  }
  page += "</section>\n";
}

void appendPlayers(std::string& page, const IndexContent& content) {
  if (content.players.empty()) return;
  page +=
      "<section id=\"players\">\n<h2>Игроки</h2>\n<div class=\"box\">\n<table class=\"sortable\">\n"
      "<thead><tr><th class=\"n\">№</th><th>Игрок</th><th class=\"n\">Матчей</th><th class=\"n\">Убийств</th>"
      "<th class=\"n\">Смертей</th><th class=\"n\">Убийств на смерть</th><th>Любимое оружие</th>"
      "<th>Лучший матч</th></tr></thead>\n<tbody>\n";
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
    page += "<td class=\"n\" data-v=\"";
    // Hundredths for sorting; a player never killed sorts above every ratio.
    const std::int64_t ratioKey = player.deaths <= 0 ? (player.kills > 0 ? std::int64_t{1} << 52 : 0)
                                  : player.kills < 0  ? 0
                                                      : player.kills * 100 / player.deaths;
    appendNumberData(page, ratioKey);
    page += "\">";
    appendKillsPerDeath(page, player.kills, player.deaths);
    page += "</td><td class=\"name w\">";
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
      appendDate(page, best);
      page += ", ";
      appendMap(page, best);
      page += "</a> <span class=\"k\">";
      appendGroupedCount(page, player.bestMatchKills);
      page += "</span>";
    }
    page += "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</div>\n</section>\n";
}

}  // namespace

std::string buildIndexPage(const IndexContent& content) {
  std::string page;
  // About what a match's row and a player's row take; a page of 10,000
  // matches is a few megabytes, and growing by doubling would hold twice that.
  page.reserve(8192 + content.matches.size() * 560 + content.players.size() * 640);
  page += kHead;
  appendTotals(page, content);
  appendMatches(page, content);
  appendPlayers(page, content);
  page += "<footer>Страница собрана программой fragtally " FRAGTALLY_VERSION_TEXT "</footer>\n</main>\n";
  page += kSortScript;
  page += "</body>\n</html>\n";
  return page;
}

std::vector<std::string> rebuildIndex(const std::filesystem::path& folder, const KnownRecords* known) {
  std::string cache;
  IndexContent content = readIndexContent(folder, 0, &cache, known);
  const std::string page = buildIndexPage(content);
  const std::filesystem::path target = folder / kIndexPageName;
  if (!replaceFileContents(target, page)) throw cannotCreateFile(utf8FromPath(target));
  // The cache only saves time: an index without it is complete.
  if (!cache.empty()) replaceFileContents(folder / kIndexCacheName, cache);
  return std::move(content.pictures);
}

}  // namespace fragtally

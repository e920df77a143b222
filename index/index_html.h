#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/site_texts.h"

namespace fragtally {

/// The look of every page of the site, the index's and the players' alike.
inline constexpr std::string_view kSiteStyle = R"(:root{color-scheme:dark}
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
nav.site{display:flex;flex-wrap:wrap;gap:4px 18px;margin:0 0 14px;padding:0 0 10px;border-bottom:1px solid #1e242c;font-size:.95em}
nav.site a[aria-current]{color:#e3e7ec;font-weight:600}
.links{display:flex;flex-wrap:wrap;gap:4px 18px;margin:.6em 0 0;padding:0;list-style:none}
.pager{display:flex;flex-wrap:wrap;gap:4px 18px;margin:.8em 0}
.pager a[aria-current]{color:#e3e7ec;font-weight:600}
.cols{display:grid;grid-template-columns:repeat(auto-fit,minmax(280px,1fr));gap:0 22px}
.chart{display:block;width:100%;height:auto;max-height:260px;color:#58c4ff;background:#10141a;border:1px solid #262d36;border-radius:10px}
.chart polyline{fill:none;stroke:currentColor;stroke-width:2;vector-effect:non-scaling-stroke}
.chart circle,.chart rect{fill:currentColor}
.chart rect.zero{fill:#8b949e;fill-opacity:.45}
.chart .q0{fill-opacity:.1}.chart .q1{fill-opacity:.3}.chart .q2{fill-opacity:.5}.chart .q3{fill-opacity:.75}
.chart line{stroke:#262d36;vector-effect:non-scaling-stroke}
.chart text{fill:#8b949e;font-size:13px}
.chart.grid{max-height:220px}
.chart.list{max-height:none;max-width:640px}
td.uses{white-space:normal;min-width:15em}
.use{display:inline-block;white-space:nowrap;margin:2px 14px 2px 0}
.chart.split{display:inline-block;vertical-align:middle;width:120px;height:10px;border:0;border-radius:2px;background:none}
img.weapon{height:22px;width:auto;vertical-align:middle;margin-right:8px;border-radius:3px}
th[scope=row]{white-space:normal;font-weight:600}
.text{max-width:46em}
.text p,.text li{overflow-wrap:anywhere}
)";

/// The pages of a site, for the header that links them on every page: the
/// index, a month's matches, the ranking's pages, ...
enum class SitePage { index, month, ranking, rating, awards, maps, player };

/// Appends the start of a page up to its <main>: the document's head in
/// `language` with `title` (log text, escaped here) and the site's look.
void appendPageStart(std::string& page, std::string_view title, SiteLanguage language);

/// The same, then the links between the site's pages, the one header every
/// page of the site shows, with the page the reader is on marked. `root`
/// leads from the page to the output folder ("" or "../").
void appendSitePageStart(std::string& page, std::string_view title, SitePage current, std::string_view root,
                         SiteLanguage language);

/// Appends the date of a match as the language writes it (datePattern),
/// marked with its machine-readable form; a date of another form is shown as
/// the log has it. `date` is the log's MM/DD/YYYY, `when` matchTimeKey of the
/// date and start.
void appendMatchDate(std::string& page, std::string_view date, std::string_view start, std::uint64_t when,
                     const SiteTexts& texts);

/// The "{}" of `text` filled with `values` (fillText), appended.
void appendFilled(std::string& page, std::string_view text, std::initializer_list<std::string_view> values);

/// A count grouped as appendGroupedCount writes it, as a text of its own.
std::string groupedCount(std::int64_t count);

/// The page's footer: who built it, and the end of its <main>.
void appendFooter(std::string& page, const SiteTexts& texts);

/// Appends UTF-8 text as HTML character data or attribute value: & < > " '
/// become references, control characters the replacement character.
void appendHtmlText(std::string& page, std::string_view text);

/// Appends a count with its thousands set apart by no-break spaces ("12 345"),
/// in every language: a space is the one separator no reader takes for a
/// decimal mark.
void appendGroupedCount(std::string& page, std::int64_t count);

/// Appends a game length as hours, minutes and seconds: "0:40:12" ("-0:00:05"
/// for the negative length of a strange log).
void appendGameLength(std::string& page, std::int64_t seconds);

/// Appends kills per death with two decimals and the language's decimal mark
/// ("1,25", "1.25"); "-" when there is no death (or a negative figure).
void appendKillsPerDeath(std::string& page, std::int64_t kills, std::int64_t deaths, const SiteTexts& texts);

}  // namespace fragtally

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The names of the site's archive pages in the output folder, in one place: the
// site writes them, a rebuild removes those it no longer writes, and a folder
// run keeps every log's report off them. Each name comes from a number only
// (a month, a page's place), never from a log's text, so it is safe in any
// file system and the same from run to run.
namespace fragtally {

/// The whole ranking's first page; its later pages are rankingPageName(2)...
inline constexpr char kRankingPageName[] = "ranking.htm";

/// The month of a match's time key (matchTimeKey: YYYYMMDDhhmmss) as YYYYMM;
/// 0 for a match whose date could not be read.
std::uint32_t monthOfMatch(std::uint64_t when);

/// The page of a month's matches (YYYYMM): "matches-2026-12.htm", its later
/// parts "matches-2026-12-p2.htm"...; month 0, the matches without a readable
/// date, "matches-undated.htm". `part` counts from 1.
std::string monthPageName(std::uint32_t month, std::size_t part = 1);

/// The whole ranking's pages: "ranking.htm", then "ranking-p2.htm"... `part`
/// counts from 1.
std::string rankingPageName(std::size_t part);

/// Whether `stem` (a file name without ".htm") is one of the names above. A
/// report never takes such a name, and only files named so are removed as the
/// site's stale pages. A name with a number added ("<stem>-2", "<stem>-3"...),
/// as a folder run moves a report off a taken name, is one of them only where
/// it reads as a month ("matches-2026-12"), so that way out always ends.
bool isSitePageStem(std::string_view stem);

/// The same for a whole file name: a site page's stem and ".htm".
bool isSitePageName(std::string_view fileName);

}  // namespace fragtally

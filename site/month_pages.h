#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/site_texts.h"
#include <vector>

#include "index/index_page.h"
#include "index/index_tally.h"

namespace fragtally {

/// The matches a site's index lists: the latest; every match is on its month's page.
inline constexpr std::size_t kIndexLatestMatches = 100;
/// Matches on one page of a month; a month with more is split into parts,
/// which keeps a page of a busy server's month under half a megabyte.
inline constexpr std::size_t kMonthPageMatches = 500;

/// A page of matches beside the index: a month's, or a part of a busy month's.
struct MonthPage {
  std::uint32_t month = 0;  ///< YYYYMM; 0 for the matches without a readable date
  std::size_t part = 1;     ///< from 1
  std::size_t first = 0;    ///< its first match in IndexContent::matches
  std::size_t count = 0;
  std::string name;         ///< monthPageName
};

/// The pages of `matches` (newest first, those without a readable date last,
/// as the index has them), newest first: a month's matches on its page, at
/// most `perPage` to a part.
std::vector<MonthPage> monthPagesOf(const std::vector<IndexMatch>& matches, std::size_t perPage = kMonthPageMatches);

/// The index's list of months: each month once, its first page and all its matches.
std::vector<IndexMonth> indexMonthsOf(const std::vector<MonthPage>& pages,
                                      SiteLanguage language = SiteLanguage::Russian);

/// A month as a reader of `texts`' language names it ("December 2026"); the
/// matches without a date by the site's text for them.
std::string monthTitle(std::uint32_t month, const SiteTexts& texts);

/// The page `pages[at]`: its matches newest first in the index's columns,
/// linked to the pages of newer and older matches and to the index's list of months.
std::string buildMonthPage(const std::vector<IndexMatch>& matches, const std::vector<MonthPage>& pages, std::size_t at,
                           SiteLanguage language = SiteLanguage::Russian);

}  // namespace fragtally

#pragma once

#include <cstdint>
#include <string>

#include "site/site_model.h"

namespace fragtally {

/// Days of play whose awards the awards page lists one by one: the days
/// within this many days of the newest match, like the active players. Every
/// month and week stays listed; years of daily awards would make the page
/// too big to open on a phone.
inline constexpr std::int64_t kAwardPageDays = 60;
/// Weeks the awards page lists, counted back from the newest week with
/// awards: a year of them. Older weeks stay in their months, which keeps the
/// page under half a megabyte after years of play.
inline constexpr std::int64_t kAwardPageWeeks = 52;

/// The site's awards page (awards.htm, in the output folder): every month's
/// awards, those of the last kAwardPageWeeks weeks, then those of the days
/// within kAwardPageDays of the newest day with awards, each period newest
/// first, winners linked to their pages. The same model gives the same bytes.
std::string buildAwardsPage(const SiteModel& model);

/// Whether the awards page lists `period` of `table` (every month; the last
/// kAwardPageWeeks weeks; days within kAwardPageDays of the newest day with awards).
bool awardsPageShows(const AwardTable& table, const Period& period);

/// Appends a period's awards as a table: award, winners (linked through
/// `root`, the way from the page to the output folder), figure.
void appendPeriodAwards(std::string& page, const SiteModel& model, const PeriodAwards& awards,
                        std::string_view root);

}  // namespace fragtally

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

/// The site's awards page (awards.htm, in the output folder): every month's
/// and week's awards, then those of the days within kAwardPageDays of the
/// newest day with awards, each period newest first, winners linked to
/// their pages. The same model gives the same bytes.
std::string buildAwardsPage(const SiteModel& model);

/// Whether the awards page lists `period` of `table` (every month and week;
/// days within kAwardPageDays of the newest day with awards).
bool awardsPageShows(const AwardTable& table, const Period& period);

/// Appends a period's awards as a table: award, winners (linked through
/// `root`, the way from the page to the output folder), figure.
void appendPeriodAwards(std::string& page, const SiteModel& model, const PeriodAwards& awards,
                        std::string_view root);

}  // namespace fragtally

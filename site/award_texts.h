#pragma once

#include <string>
#include <string_view>

#include "base/site_texts.h"
#include "site/awards.h"
#include "site/calendar.h"

namespace fragtally {

/// The caption of an award in the language of `texts`.
std::string_view awardCaption(const SiteTexts& texts, AwardId id);

/// Appends an award's figure as a reader of `texts`' language takes it: a
/// count grouped ("1 234"), kills per death with two decimals ("2,50"), a
/// share as a percentage with one decimal ("41,7 %"), a rating gain in whole
/// points with its sign ("+37").
void appendAwardFigure(std::string& page, AwardId id, double figure, const SiteTexts& texts);

/// A period as a reader of `texts`' language names it: a day by its date, a
/// week by its number and days, a month by its name and year (in English
/// "2026-12-08", "Week 50 (2026-12-07 to 2026-12-13)", "December 2026"; in
/// Russian the dates are 08.12.2026 and the week's first day 07.12).
std::string periodTitle(const Period& period, const SiteTexts& texts);

/// A period's anchor on the awards page: its periodLabel, unique over the kinds.
std::string periodAnchor(const Period& period);

}  // namespace fragtally

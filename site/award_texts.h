#pragma once

#include <string>
#include <string_view>

#include "base/site_texts.h"
#include "site/awards.h"
#include "site/calendar.h"

namespace fragtally {

/// The caption of an award in the language of `texts`.
std::string_view awardCaption(const SiteTexts& texts, AwardId id);

/// Appends an award's figure as a reader takes it: a count grouped ("1 234"),
/// kills per death with two decimals ("2,50"), a share as a percentage with
/// one decimal ("41,7 %"), a rating gain in whole points with its sign ("+37").
void appendAwardFigure(std::string& page, AwardId id, double figure);

/// A period as a Russian reader names it: "08.12.2026",
/// "Неделя 50 (07.12–13.12.2026)", "Декабрь 2026".
std::string periodTitle(const Period& period);

/// A period's anchor on the awards page: its periodLabel, unique over the kinds.
std::string periodAnchor(const Period& period);

}  // namespace fragtally

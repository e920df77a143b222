#pragma once

#include <cstdint>
#include <string>

#include "base/site_language.h"

namespace fragtally {

/// The page that tells a reader how the rating is made, DIR/rating.htm, with
/// the number of matches that ranks a person; the worked example is figured
/// by the rating's own code. In `language`, its figures written as the language writes them.
std::string buildRatingPage(std::int64_t minMatches, SiteLanguage language = SiteLanguage::Russian);

}  // namespace fragtally

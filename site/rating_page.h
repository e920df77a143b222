#pragma once

#include <cstdint>
#include <string>

namespace fragtally {

/// The page that tells a reader how the rating is made, DIR/rating.htm, with
/// the number of matches that ranks a person; the worked example is figured
/// by the rating's own code.
std::string buildRatingPage(std::int64_t minMatches);

}  // namespace fragtally

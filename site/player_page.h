#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "site/site_model.h"

namespace fragtally {

/// The matches a player's page lists, his latest: a regular of years has
/// thousands. His older ones are named by month, linked to the months' pages.
inline constexpr std::size_t kPlayerPageMatches = 100;

/// The page of one person, DIR/players/<his file>: his rating and its course,
/// his latest matches (kPlayerPageMatches) and the months of the older ones, figures, weapons (with the pictures of `pictures`, the weapon
/// pictures the folder holds, in name order), maps, objectives and opponents.
std::string buildPlayerPage(const SiteModel& model, const SitePerson& person,
                            const std::vector<std::string>& pictures);

}  // namespace fragtally

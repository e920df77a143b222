#pragma once

#include <string>
#include <vector>

#include "site/site_model.h"

namespace fragtally {

/// The page of one person, DIR/players/<his file>: his rating and its course,
/// his matches, figures, weapons (with the pictures of `pictures`, the weapon
/// pictures the folder holds, in name order), maps, objectives and opponents.
std::string buildPlayerPage(const SiteModel& model, const SitePerson& person,
                            const std::vector<std::string>& pictures);

}  // namespace fragtally

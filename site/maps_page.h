#pragma once

#include <string>
#include <vector>

#include "site/site_model.h"

namespace fragtally {

/// The site's maps page (maps.htm, in the output folder): a chart of matches
/// per map, then a row per map (SiteModel::mapFigures, most played first, the
/// unknown map last) with its matches, the rounds each side won and their
/// balance, kills, players per match, its most used weapons (with the
/// pictures of `pictures`, the folder's weapon pictures in byte order) and a
/// link to its latest match's report. The same model gives the same bytes.
std::string buildMapsPage(const SiteModel& model, const std::vector<std::string>& pictures);

}  // namespace fragtally

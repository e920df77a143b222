#pragma once

#include <cstddef>
#include <cstdint>
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

/// A fingerprint of everything buildPlayerPage reads for `person`, never 0:
/// where it is the one his page was built with, the page would come out the
/// same, and a run that adds a match builds only the pages it changes. Much
/// cheaper than the page: a few words per match, his latest ones' texts.
/// Whatever the page comes to show must be added here too.
std::uint64_t playerPageInputs(const SiteModel& model, const SitePerson& person,
                               const std::vector<std::string>& pictures);

}  // namespace fragtally

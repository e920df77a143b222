#pragma once

#include <cstdint>
#include <string>

#include "base/site_language.h"

#include "players/player_key.h"
#include "players/players_file.h"
#include "players/rating_run.h"
#include "site/activity.h"

namespace fragtally {

/// How the site tells its people apart and ranks them: what the front ends
/// take from their options and from the output folder's players.txt.
struct SiteSettings {
  IdentityRules identity;                     ///< who is who, and whether bots are people
  std::int64_t minMatches = kMinRankedMatches;  ///< matches a person needs to be ranked
  std::int64_t activeDays = kActiveDays;        ///< days after his last match a person stays active
  PlayersFile playersFile;                    ///< the admin's merges, hidden people and shown names
  SiteLanguage language = SiteLanguage::Russian;  ///< the language of every page
};

/// The settings as text: two settings give the same text only when they give
/// the same pages from the same records. Every member that changes a page
/// must be in it, or a run with a new setting would keep the old pages.
std::string settingsText(const SiteSettings& settings);

}  // namespace fragtally

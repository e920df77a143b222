#pragma once

#include <optional>
#include <string>
#include <vector>

#include "site/site_settings.h"

namespace fragtally {

/// The site's options, wherever they stand before a "--":
///   --identity auto|id|name   how a player is told apart (auto)
///   --bots                    bots are players too
///   --min-matches N           matches a player needs to be ranked (3)
///   --active-days N           days a player stays active after his last match (60)
///   --lang en|ru              the language of the site's pages and match pages (ru)
struct SiteArguments {
  SiteSettings settings;
  bool given = false;  ///< any of them was given
};

/// Takes the site's options out of `args`, leaving the other arguments in their
/// order. Returns the usage error, or nothing.
std::optional<std::string> takeSiteArguments(std::vector<std::string>& args, SiteArguments& site);

/// The settings for the output folder `folder`: `site`'s, with the admin's
/// players.txt in it (see loadPlayersFile, whose errors it throws).
SiteSettings siteSettingsFor(const SiteArguments& site, const std::string& folder);

}  // namespace fragtally

#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "index/index_tally.h"
#include "site/site_model.h"
#include "site/site_settings.h"

namespace fragtally {

/// The tallies of the index and of the site as a rebuild left them, before
/// their content and model were taken, and the checksum of the index cache
/// whose records they hold.
struct KeptTallies {
  std::uint64_t cacheChecksum = 0;
  IndexTally index{false};
  SiteTally site;
};

/// The bytes of the tally cache that keeps the tallies' states
/// (IndexTally::state, SiteTally::state, neither empty) beside the index
/// cache sealed with `cacheChecksum`, whose records they hold, for settings
/// `settings`. A run that finds only records added since goes on from it, and
/// so reads and adds only those. Like the index cache it belongs to this
/// program version and ends with a checksum of every byte before it.
std::string tallyCacheBytes(std::uint64_t cacheChecksum, std::string_view indexState, std::string_view siteState,
                            const SiteSettings& settings);

/// The tallies kept at `path`, when the file there is a whole tally cache of
/// this program version, made with these settings, of the records of the
/// index cache sealed with `cacheChecksum`; nothing otherwise.
std::optional<KeptTallies> loadTallyCache(const std::filesystem::path& path, const SiteSettings& settings,
                                          std::uint64_t cacheChecksum);

}  // namespace fragtally

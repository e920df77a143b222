#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "index/index_records.h"
#include "index/index_page.h"
#include "site/site_model.h"
#include "site/site_settings.h"

namespace fragtally {

/// What a rebuild of the site did.
struct SiteBuild {
  /// The weapon pictures (IndexContent::pictures) the folder's reports show.
  std::vector<std::string> pictures;
  std::size_t pagesWritten = 0;  ///< pages whose bytes changed (or that were missing)
  std::size_t pagesRemoved = 0;  ///< players' pages of people no longer listed, archive pages no longer written
};

/// The index's ranking as the model gives it.
IndexRanking rankingOf(const SiteModel& model);

/// Stores the site's pages in `folder` from what its records gave: the index
/// (the latest matches, the top of the ranking), the whole ranking's pages,
/// a page of each month's matches, rating.htm, awards.htm, maps.htm and a
/// page per person in players/. A page is only stored where its bytes change, each
/// through a durable store; players' pages of people who are gone are removed
/// (only files named as playerFileName names them), and so are the ranking's
/// and the months' pages no longer written (only files named as
/// base/site_page_names.h names them). Throws cannotCreateFile(path) for the first
/// page that cannot be stored; the index is stored first, and an older page
/// that cannot be replaced is left as it was. The site cache beside the pages
/// then keeps `inputs`, the fingerprint of what they were built from (0: not
/// known), and each page's stamp and checksum (site/site_cache.h).
SiteBuild storeSite(const std::filesystem::path& folder, const IndexContent& content, const SiteModel& model,
                    std::uint64_t inputs = 0);

/// The fingerprint of a site's inputs: the records as the index cache's
/// checksum stands for them, and the settings. Never 0.
std::uint64_t siteInputs(std::uint64_t recordsChecksum, const SiteSettings& settings);

/// Rebuilds the site of `folder` from its match records, each read once for
/// the index and the model of people, and the index cache beside it, then
/// stores the pages as storeSite does. The same records give the same bytes
/// whatever the order or number of runs. Where the records and settings are
/// those of the last build and its pages stand as it left them, nothing is
/// built: the pages would be the same. `known`: as for readIndexContent.
SiteBuild rebuildSite(const std::filesystem::path& folder, const SiteSettings& settings, KnownRecords known = {});

}  // namespace fragtally

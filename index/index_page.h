#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "index/index_records.h"
#include "index/index_tally.h"

namespace fragtally {

/// The index page: UTF-8 HTML of the matches, the players and the totals.
std::string buildIndexPage(const IndexContent& content);

/// Rebuilds `folder`/index.htm from the match records in the folder, and the
/// index cache beside it. Throws cannotCreateFile(<index path>) when the page
/// cannot be stored; an older page is then left as it was. `known`: as for
/// readIndexContent.
/// Returns the weapon pictures (IndexContent::pictures) the folder's reports show.
std::vector<std::string> rebuildIndex(const std::filesystem::path& folder, const KnownRecords* known = nullptr);

}  // namespace fragtally

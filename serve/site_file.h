#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <boost/beast/core/file.hpp>

#include "base/open_file_facts.h"

namespace fragtally::serve {

/// A file of the site, opened once: everything served of it (its facts, its
/// bytes) comes from this one open handle, so a page replaced by a rename while
/// it is served is served whole as it was when opened.
struct SiteFile {
  std::filesystem::path realPath;      // links resolved
  boost::beast::file file;
  OpenFileFacts facts;  // of the open handle: a regular file
};

/// Opens `relative` in the site whose folder's real path is `realRoot`. Nothing
/// when it is missing, is not a regular file (a folder, a device), cannot be
/// read, or when its real path, links resolved, lies outside `realRoot`. A path
/// without links is opened as it is, in one step; one with a link is resolved
/// first.
std::optional<SiteFile> openSiteFile(const std::filesystem::path& realRoot, const std::filesystem::path& relative);

/// Whether `path` is `folder` itself or lies under it; both are real paths.
bool liesUnder(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace fragtally::serve

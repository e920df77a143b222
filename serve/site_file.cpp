#include "serve/site_file.h"

#include <algorithm>
#include <system_error>

#include "base/open_file_facts.h"

namespace fragtally::serve {
namespace {

// Size, time and kind of the open file, asked of its handle rather than of its
// name: the name may already lead to a newer file.
bool describeOpenFile(boost::beast::file& file, SiteFile& site) {
  const auto facts = factsOfOpenFile(file.native_handle());
  if (!facts || !facts->regular) return false;
  site.bytes = facts->bytes;
  site.modifiedNanoseconds = facts->modifiedNanoseconds;
  return true;
}

}  // namespace

bool liesUnder(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto inFolder = folder.begin();
  auto inPath = path.begin();
  for (; inFolder != folder.end(); ++inFolder, ++inPath) {
    if (inFolder->empty()) continue;  // the empty last part of "/srv/site/"
    if (inPath == path.end() || *inPath != *inFolder) return false;
  }
  return true;
}

std::optional<SiteFile> openSiteFile(const std::filesystem::path& realRoot, const std::filesystem::path& relative) {
  std::error_code error;
  SiteFile site;
  site.realPath = std::filesystem::canonical(realRoot / relative, error);
  if (error || !liesUnder(site.realPath, realRoot)) return std::nullopt;
  // The real path holds no link any more: what is opened is what was checked.
  const auto handle = openSharedForReading(site.realPath);
  if (!handle) return std::nullopt;
  site.file.native_handle(*handle);  // closed with the file
  if (!describeOpenFile(site.file, site)) return std::nullopt;
  return site;
}

}  // namespace fragtally::serve

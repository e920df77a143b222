#include "serve/site_file.h"

#include <algorithm>
#include <system_error>

#include "base/open_file_facts.h"

namespace fragtally::serve {
namespace {

// Size, time, identity and kind of the open file, asked of its handle rather
// than of its name: the name may already lead to a newer file.
bool describeOpenFile(SiteFile& site) {
  const auto facts = factsOfOpenFile(site.file.native_handle());
  if (!facts || !facts->regular) return false;
  site.facts = *facts;
  return true;
}

// Names only: neither "." nor "..", nor a root that would replace the folder.
bool onlyPlainNames(const std::filesystem::path& relative) {
  if (relative.empty() || relative.has_root_name() || relative.has_root_directory()) return false;
  return std::none_of(relative.begin(), relative.end(),
                      [](const std::filesystem::path& name) { return name == "." || name == ".."; });
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
  SiteFile site;
  // The common case, a page named as it lies: the root is a real path and the
  // names hold no "..", so a path opened without passing a link is its own
  // real path, inside the root, and needs no resolving name by name.
  if (onlyPlainNames(relative)) {
    site.realPath = realRoot / relative;
    if (const auto handle = openSharedForReadingWithoutLinks(site.realPath)) {
      site.file.native_handle(*handle);  // closed with the file
      if (!describeOpenFile(site)) return std::nullopt;
      return site;
    }
  }
  std::error_code error;
  site.realPath = std::filesystem::canonical(realRoot / relative, error);
  if (error || !liesUnder(site.realPath, realRoot)) return std::nullopt;
  // The real path holds no link any more: what is opened is what was checked.
  const auto handle = openSharedForReading(site.realPath);
  if (!handle) return std::nullopt;
  site.file.native_handle(*handle);  // closed with the file
  if (!describeOpenFile(site)) return std::nullopt;
  return site;
}

}  // namespace fragtally::serve

#pragma once

#include <filesystem>
#include <string_view>

namespace fragtally::serve {

/// What a request target names in the site.
struct SiteTarget {
  enum class Kind {
    file,       // `file`, relative to the site's folder
    badTarget,  // not a path with an optional query: 400
    notServed,  // a name the site never serves (a folder, a dot-file, a way out): 404
  };
  Kind kind = Kind::notServed;
  std::filesystem::path file;
};

/// Reads a request target ("/L1208003.htm", "/" for "/index.htm") as the URL
/// library decodes it, segment by segment, and refuses any segment that could
/// lead elsewhere than a file in the site's folder itself or its sub-folders:
/// empty ("//", a trailing "/": a folder), starting with '.' ("..", ".", a
/// dot-file or dot-folder such as a lock file), or holding after decoding a
/// '/', '\', ':' or a control byte (NUL among them); and the live modes' raw
/// logs folder, "logs/", which holds players' addresses. Nothing is looked up on
/// disk here; the caller still checks that the real file lies in the folder.
SiteTarget siteTargetFor(std::string_view target);

}  // namespace fragtally::serve

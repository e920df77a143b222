#include "serve/site_target.h"

#include <boost/url/parse.hpp>

#include "base/file.h"
#include "base/output_names.h"

namespace fragtally::serve {
namespace {

bool segmentServed(std::string_view segment) {
  if (segment.empty() || segment.front() == '.') return false;
  for (const char c : segment) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

}  // namespace

SiteTarget siteTargetFor(std::string_view target) {
  const auto parsed = boost::urls::parse_origin_form(target);
  if (!parsed) return {SiteTarget::Kind::badTarget, {}};
  const auto segments = parsed->segments();  // decoded
  if (segments.empty()) return {SiteTarget::Kind::file, pathFromUtf8(kIndexPageName)};
  std::filesystem::path file;
  // The live modes' raw logs hold every line a server sent, players'
  // addresses among them: they are kept, not published.
  if (*segments.begin() == kRawLogsFolderName) return {SiteTarget::Kind::notServed, {}};
  for (const std::string segment : segments) {
    if (!segmentServed(segment)) return {SiteTarget::Kind::notServed, {}};
    file /= pathFromUtf8(segment);
  }
  return {SiteTarget::Kind::file, file};
}

}  // namespace fragtally::serve

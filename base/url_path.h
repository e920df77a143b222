#pragma once

#include <string>
#include <string_view>

namespace fragtally {

/// Appends a file name as a relative URL (a picture's `src`, a report's `href`),
/// every byte other than ASCII letters, digits, '.', '_' and '-' written as %XX
/// (capital hex digits). What is kept can neither lead out of the folder ('/',
/// '\\'), name a scheme or another host (':', "//"), end the attribute ('"',
/// '\'', blanks), nor start a query or a fragment ('?', '#'), so the URL
/// names a file beside the page whatever bytes the name holds. '~', though
/// unreserved, is encoded too: the reports have always written it so, and
/// their bytes do not change.
void appendUrlPath(std::string& out, std::string_view fileName);

}  // namespace fragtally
